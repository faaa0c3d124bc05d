#include "shell/localplaybackcell.h"
#include "shell/shelllog.h"

#include <QDebug>

#include <algorithm>

namespace {

constexpr int kPauseWaitMs = 1000;
constexpr int kFastSpeedLow = 2;
constexpr int kFastSpeedWrap = 9; // the speed after 8 starts again at 2

bool IsFast(PlaybackControl control)
{
    return control == PlaybackControl::FastForward || control == PlaybackControl::FastBackward;
}

} // namespace

void LocalPlaybackCell::SetFiles(const QString& folder, const QString& dataFile)
{
    QMutexLocker lock(&m_filesLock);
    m_reader.SetFiles(folder, dataFile);
}

LocalRecordReader LocalPlaybackCell::Reader() const
{
    QMutexLocker lock(&m_filesLock);
    return m_reader;
}

bool LocalPlaybackCell::LoadIndex(QByteArray& header) const
{
    return Reader().ReadHeader(header);
}

bool LocalPlaybackCell::SetIndex(const QByteArray& header, int tag)
{
    auto table = std::make_shared<LocalMinuteTable>();
    if (!LocalRecordReader::BuildMinuteTable(header, tag, *table))
        return false;
    int hour = 0;
    int minute = 0;
    const bool found = table->FirstPresent(hour, minute);
    {
        QMutexLocker lock(&m_filesLock);
        m_table = std::move(table);
    }
    if (found)
        SetPosition(hour, minute, 0);
    return found;
}

int LocalPlaybackCell::GetFirstTime() const
{
    QMutexLocker lock(&m_filesLock);
    return m_table ? m_table->firstTime : -1;
}

int LocalPlaybackCell::GetLastTime() const
{
    QMutexLocker lock(&m_filesLock);
    return m_table ? m_table->lastTime : -1;
}

bool LocalPlaybackCell::IsMinutePresent(int hour, int minute) const
{
    QMutexLocker lock(&m_filesLock);
    return m_table && m_table->IsPresent(hour, minute);
}

qint64 LocalPlaybackCell::ReadEntry(int hour, int minute, int second) const
{
    LocalRecordReader reader;
    std::shared_ptr<const LocalMinuteTable> table;
    {
        QMutexLocker lock(&m_filesLock);
        reader = m_reader;
        table = m_table;
    }
    return table ? reader.ReadEntry(*table, hour, minute, second) : -1;
}

QByteArray LocalPlaybackCell::ReadRecords(qint64 offset) const
{
    return Reader().ReadRecords(offset);
}

QByteArray LocalPlaybackCell::ReadFrame(const LocalFrameEntry& entry)
{
    return Reader().ReadFrame(entry, m_frameFile);
}

void LocalPlaybackCell::SetPosition(int hour, int minute, int second)
{
    m_position = (hour * 60 + minute) * 60 + second;
    Wake();
}

void LocalPlaybackCell::SetControl(PlaybackControl control)
{
    m_control = control;
    Wake();
}

void LocalPlaybackCell::SetLocalDateTime(int date, int time)
{
    m_localDate = date;
    m_localTime = time;
}

int LocalPlaybackCell::FrameInterval(int frameCount, bool keyFramesOnly, int speed)
{
    int interval = keyFramesOnly ? 1000 : std::clamp(1000 / std::max(frameCount, 1), 1, 1000);
    if (speed > 0)
        interval /= speed;
    return interval;
}

bool LocalPlaybackCell::IsFrameShown(int index, bool keyFramesOnly, int keyIndex)
{
    // The fast and reverse modes step from key frame to key frame: a second without one shows
    // nothing and costs no time.
    return !keyFramesOnly || index == keyIndex;
}

void LocalPlaybackCell::ApplyControl(const QVector<LocalPlaybackCell*>& cells, int control)
{
    const auto code = static_cast<PlaybackControl>(control);
    if (code != PlaybackControl::Pause) {
        for (LocalPlaybackCell* cell : cells) {
            int speed = 0;
            if (IsFast(code)) {
                speed = cell->GetControl() != code ? kFastSpeedLow : cell->GetSpeed() + 1;
                if (speed >= kFastSpeedWrap)
                    speed = kFastSpeedLow;
            }
            cell->SetSpeed(speed);
        }
    }
    switch (code) {
    case PlaybackControl::Pause: {
        const bool allPaused = std::all_of(cells.begin(), cells.end(), [](const LocalPlaybackCell* cell) {
            return cell->GetControl() == PlaybackControl::Pause;
        });
        for (LocalPlaybackCell* cell : cells)
            cell->SetControl(allPaused ? PlaybackControl::Forward : PlaybackControl::Pause);
        break;
    }
    case PlaybackControl::Forward:
        for (LocalPlaybackCell* cell : cells) {
            cell->SetKeyFramesOnly(false);
            cell->SetControl(code);
        }
        break;
    case PlaybackControl::Backward:
    case PlaybackControl::FastForward:
    case PlaybackControl::FastBackward:
        for (LocalPlaybackCell* cell : cells) {
            cell->SetKeyFramesOnly(true);
            cell->SetControl(code);
        }
        break;
    case PlaybackControl::Restart:
        for (LocalPlaybackCell* cell : cells) {
            const int first = cell->GetFirstTime();
            // A cell without a recording has no time to go back to.
            if (first < 0)
                continue;
            cell->SetPosition(first / 10000, first % 10000 / 100, first % 100);
            cell->SetKeyFramesOnly(false);
            cell->SetControl(PlaybackControl::Forward);
        }
        break;
    default: break;
    }
}

bool LocalPlaybackCell::Start(CQThreadHelper::ThreadProc proc, void* grid, int cell)
{
    return m_thread.StartThread(proc, grid, cell);
}

void LocalPlaybackCell::Stop()
{
    Wake();
    if (m_thread.isRunning())
        m_thread.WaitThread();
}

void LocalPlaybackCell::Wake()
{
    QMutexLocker lock(&m_waitLock);
    ++m_wakeCount;
    m_wake.wakeAll();
}

bool LocalPlaybackCell::WaitFor(int ms, const std::atomic<bool>& closing)
{
    QMutexLocker lock(&m_waitLock);
    if (m_wakeCount == 0 && !closing)
        m_wake.wait(&m_waitLock, QDeadlineTimer(ms));
    const bool woken = m_wakeCount != 0;
    m_wakeCount = 0;
    return woken;
}

void LocalPlaybackCell::PaceFrame(int intervalMs, const std::atomic<bool>& closing)
{
    const int elapsed = int(std::min<qint64>(m_clock.elapsed(), 1000));
    WaitFor(std::clamp(intervalMs - elapsed, 1, 1000), closing);
    m_clock.restart();
}

void LocalPlaybackCell::Run(const std::atomic<bool>& closing, int cell, const SecondPlayer& playSecond)
{
    m_localDate = 0;
    m_localTime = 0;
    m_speed = 0;
    m_keyOnly = false;
    m_control = PlaybackControl::Forward;
    m_clock.invalidate();
    qCDebug(lcShell) << "CCameo : THREAD_LOCAL_FILE START nCameo =" << cell << "first" << GetFirstTime() << "last"
                     << GetLastTime();
    {
        // Changes made before the thread began are in the values it just read.
        QMutexLocker lock(&m_waitLock);
        m_wakeCount = 0;
    }

    while (!closing) {
        const PlaybackControl control = m_control;
        if (control == PlaybackControl::Stop) {
            qCDebug(lcShell) << "CCameo : THREAD_LOCAL_FILE PB_STOP!!! nCameo =" << cell;
            break;
        }
        if (!m_clock.isValid())
            m_clock.start();
        if (control == PlaybackControl::Pause) {
            WaitFor(kPauseWaitMs, closing);
            m_clock.restart();
            continue;
        }

        int position = m_position;
        const int hour = position / 3600;
        const int minute = position / 60 % 60;
        if (position >= 1 && position < LocalRecordReader::kSecondsPerDay && IsMinutePresent(hour, minute))
            playSecond(hour, minute, position % 60);

        switch (m_control.load()) {
        case PlaybackControl::Forward:
        case PlaybackControl::FastForward:
            if (position + 1 > LocalRecordReader::kSecondsPerDay)
                WaitFor(kPauseWaitMs, closing);
            else // a position set meanwhile (restart, a new recording) wins
                m_position.compare_exchange_strong(position, position + 1);
            break;
        case PlaybackControl::Backward:
        case PlaybackControl::FastBackward:
            if (position - 1 < 0)
                WaitFor(kPauseWaitMs, closing);
            else
                m_position.compare_exchange_strong(position, position - 1);
            break;
        default: break;
        }
    }
    m_frameFile.close();
    m_control = PlaybackControl::Idle;
    qCDebug(lcShell) << "CCameo : THREAD_LOCAL_FILE EEEEEEEEEEEEEEEND nCameo =" << cell;
}
