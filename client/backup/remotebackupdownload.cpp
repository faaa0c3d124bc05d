#include "backup/remotebackupdownload.h"

#include "backup/backuplog.h"
#include "backup/backuptimerange.h"
#include "backup/remotebackuplink.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

RemoteBackupDownload::RemoteBackupDownload(RemoteBackupLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(kSilenceLimitMs);
    connect(&m_silence, &QTimer::timeout, this, &RemoteBackupDownload::OnSilent);
}

RemoteBackupDownload::~RemoteBackupDownload() = default;

int RemoteBackupDownload::NextSequence(int sequence)
{
    return sequence >= kLastSequence ? 0 : sequence + 1;
}

int RemoteBackupDownload::AudioPayloadLength(int size, int bufferSize)
{
    return size < kAudioHeaderSize || size > bufferSize ? -1 : size - kAudioHeaderSize;
}

void RemoteBackupDownload::StepSequence()
{
    m_sequence = NextSequence(m_sequence);
}

bool RemoteBackupDownload::Start(const Plan& plan)
{
    if (m_running)
        return false;
    m_plan = plan;
    m_waiting.clear();
    m_planned.fill(false);
    m_status.fill(Status::Stopped);
    m_failureText.clear();
    for (int channel : plan.channels) {
        if (channel >= 0 && channel < ModuleRecord::kChannels && !m_planned[size_t(channel)]) {
            m_planned[size_t(channel)] = true;
            m_waiting.append(channel);
        }
    }
    if (m_waiting.isEmpty())
        return false;
    // Channels are fetched in their own order.
    std::sort(m_waiting.begin(), m_waiting.end());
    m_planned[kAudio] = plan.audio;
    ModuleRecord::MakePath(plan.destination);
    for (int channel : qAsConst(m_waiting))
        m_writer.StartRecord(channel, plan.date, plan.begin, plan.destination, -1, ModuleRecord::BackupData);
    m_writer.SetNoRefresh(!plan.toArchive);
    m_running = true;
    m_current = m_waiting.takeFirst();
    RequestChannel();
    return true;
}

void RemoteBackupDownload::RequestChannel()
{
    StepSequence();
    m_link.SendPlaybackRate(kPlaybackRate);
    m_lastFrameTime = -1;
    m_link.SendPlayback(m_sequence, m_current, m_plan.audio ? m_current + 1 : 0, m_plan.date, m_plan.begin);
    m_silence.start();
}

void RemoteBackupDownload::OnVideo(int channel, int size, int kind, int date, int time, int sequence, bool key,
                                   char frameType, char marker, const char* data)
{
    if (sequence != m_sequence || !m_running || m_current < 0)
        return;
    if (time > m_plan.end || time < m_lastFrameTime) {
        EndChannel();
        return;
    }
    m_silence.start();
    if (size != 4 && channel == m_current && size > 0 && data) {
        m_writer.OnRecordData(channel, date, time, quint8(frameType), kind, data, size, quint8(marker),
                              key ? 1 : 0);
        if (m_writer.Failed(channel)) {
            Fail(channel, m_writer.Failure(channel));
            return;
        }
    }
    m_lastFrameTime = time;
    m_status[size_t(m_current)] = Status::Downloading;
    emit ChannelProgress(m_current, DownloadPercent(time, m_plan.begin, m_plan.end));
    emit ChannelStatus(m_current, Status::Downloading);
    if (m_plan.audio) {
        m_status[kAudio] = Status::Downloading;
        emit ChannelStatus(kAudio, Status::Downloading);
    }
}

void RemoteBackupDownload::OnSilent()
{
    qCDebug(lcBackup) << "remote backup: no frame of channel" << m_current << "for" << kSilenceLimitMs << "ms";
    EndChannel();
}

void RemoteBackupDownload::EndChannel()
{
    if (!m_running || m_current < 0)
        return;
    m_silence.stop();
    // The channel's last second is written here: only then is it finished.
    if (!m_writer.StopRecord(m_current)) {
        Fail(m_current, m_writer.Failure(m_current));
        return;
    }
    if (m_status[size_t(m_current)] == Status::Downloading) {
        m_status[size_t(m_current)] = Status::Finished;
        emit ChannelProgress(m_current, 100.0);
        emit ChannelStatus(m_current, Status::Finished);
    }
    StepSequence();
    m_link.SendPlaybackStop();
    if (!m_waiting.isEmpty()) {
        m_current = m_waiting.takeFirst();
        RequestChannel();
        return;
    }
    if (m_plan.audio) {
        m_status[kAudio] = Status::Finished;
        emit ChannelStatus(kAudio, Status::Finished);
    }
    m_current = -1;
    Finish();
}

QString RemoteBackupDownload::AudioFileName(int size) const
{
    const bool linear = size == 664 || size == 2072;
    return m_plan.destination + QString::asprintf("%08d/", m_plan.date)
           + QString::asprintf(linear ? "a3%06d.%03d" : "a0%06d.%03d", m_plan.begin, m_current + 1);
}

void RemoteBackupDownload::OnAudio(int size, int sequence, const char* data)
{
    if (sequence != m_sequence || m_current < 0 || !m_running || !data)
        return;
    if (size < kAudioHeaderSize) {
        qCDebug(lcBackup) << "remote backup: audio block of" << size << "bytes dropped";
        return;
    }
    QByteArray sound(data + kAudioHeaderSize, size - kAudioHeaderSize);
    if (!(size == 664 || size == 2072)) {
        for (char& byte : sound)
            byte = char(quint8(byte) - 0x80);
    }
    const QString path = AudioFileName(size);
    ModuleRecord::MakePath(QFileInfo(path).path());
    QFile file(path);
    bool written = file.open(QIODevice::Append | QIODevice::Unbuffered);
    for (qint64 done = 0; written && done < sound.size();) {
        const qint64 n = file.write(sound.constData() + done, sound.size() - done);
        written = n > 0;
        done += qMax<qint64>(n, 0);
    }
    if (!written) {
        ModuleRecord::WriteFailure failure;
        failure.file = path;
        failure.reason = file.errorString();
        failure.diskFull = ModuleRecord::IsDiskFull(file);
        Fail(kAudio, failure);
    }
}

void RemoteBackupDownload::Fail(int channel, const ModuleRecord::WriteFailure& failure)
{
    m_status[size_t(channel)] = failure.diskFull ? Status::DiskFull : Status::WriteFailed;
    emit ChannelStatus(channel, m_status[size_t(channel)]);
    m_failureText = ModuleRecord::FailureText(QStringLiteral("The backup of ") + m_plan.recorderName, failure);
    Finish();
}

void RemoteBackupDownload::Stop()
{
    if (m_running)
        Finish();
}

void RemoteBackupDownload::Finish()
{
    m_silence.stop();
    StepSequence();
    m_link.SendPlaybackStop();
    const int current = m_current;
    for (int channel = 0; channel < ModuleRecord::kChannels; ++channel)
        m_writer.StopRecord(channel);
    // A stop in the middle of a channel writes its last second; that write may fail as well.
    if (current >= 0 && m_writer.Failed(current) && m_failureText.isEmpty()) {
        const ModuleRecord::WriteFailure failure = m_writer.Failure(current);
        m_status[size_t(current)] = failure.diskFull ? Status::DiskFull : Status::WriteFailed;
        emit ChannelStatus(current, m_status[size_t(current)]);
        m_failureText = ModuleRecord::FailureText(QStringLiteral("The backup of ") + m_plan.recorderName, failure);
    }
    for (int channel = 0; channel <= kAudio; ++channel) {
        const Status status = m_status[size_t(channel)];
        if (m_planned[size_t(channel)] && (status == Status::Downloading || status == Status::Stopped)) {
            m_status[size_t(channel)] = Status::Stopped;
            emit ChannelStatus(channel, Status::Stopped);
        }
    }
    m_running = false;
    m_current = -1;
    m_waiting.clear();
    emit Ended();
}
