#include "session/sessionrecording.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QMetaObject>

#include "common/media/modulerecord.h"
#include "session/archivepaths.h"
#include "session/backuphosts.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"

SessionRecording::SessionRecording(RecorderSession& session, ChannelStates& channels,
                                   const PlaybackSlots& playbackSlots, FolderOf folderOf)
    : m_session(session)
    , m_channels(channels)
    , m_slots(playbackSlots)
    , m_folderOf(std::move(folderOf))
    , m_live(std::make_unique<ModuleRecord>())
    , m_search(std::make_unique<ModuleRecord>())
    , m_event(std::make_unique<ModuleRecord>())
{
    // The first writer makes the client recording folders, the second its own.
    MakeRecordingFolders();
    // A writer reports a started recording from whichever thread writes; the archive items are
    // rebuilt on the user-interface thread, and not at all once the session is gone.
    RecorderSession* device = &session;
    auto refresh = [device](int recorderIndex, int archiveKind) {
        QMetaObject::invokeMethod(
            device,
            [device, recorderIndex, archiveKind] {
                if (recorderIndex == device->GetDeviceIndex())
                    device->UpdateArchiveItems(nullptr, archiveKind);
            },
            Qt::QueuedConnection);
    };
    for (ModuleRecord* writer : {m_live.get(), m_search.get(), m_event.get()})
        writer->SetArchiveRefresh(refresh);
}

SessionRecording::~SessionRecording() = default;

void SessionRecording::Release()
{
    m_eventHost.reset();
    m_scheduleHost.reset();
    m_remoteCDHost.reset();
    m_live.reset();
    m_search.reset();
    m_event.reset();
}

void SessionRecording::MakeRecordingFolders() const
{
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    ModuleRecord::MakePath(ArchivePaths::BackupRoot(hub->ProgramDirectory()));
    for (const char* kind : {"EventData", "ScheduleData", "Record_Live", "Record_Search"})
        ModuleRecord::MakePath(ArchivePaths::KindFolder(hub->ProgramDirectory(), QLatin1String(kind)));
}

// =============================================================================================
// Backup windows

void SessionRecording::CreateBackupHosts(bool furtherCapable)
{
    if (m_eventHost)
        m_eventHost->StopBackup();
    BackupHostFactory* factory = BackupHostFactory::Instance();
    if (!factory)
        return;
    if (!m_eventHost)
        m_eventHost = factory->CreateEventHost(m_session);
    if (!m_scheduleHost)
        m_scheduleHost = factory->CreateScheduleHost(m_session);
    if (!m_remoteCDHost)
        m_remoteCDHost = factory->CreateRemoteCDHost(m_session, furtherCapable);
}

void SessionRecording::ShowBackupWindow(BackupWindow which)
{
    const QString name = m_session.GetDvrName();
    const auto show = [&name](auto* host, const char* title, const char* what) {
        if (!host) {
            qCDebug(lcSession) << what << name << "has no" << title << "window before its login";
            return;
        }
        host->ShowWindow(QLatin1String(title) + QStringLiteral(" - ") + name);
    };
    switch (which) {
    case BackupWindow::Event: show(m_eventHost.get(), "Event Backup", "ShowEventBackup:"); break;
    case BackupWindow::RemoteCD: show(m_remoteCDHost.get(), "Remote CD Backup", "ShowRemoteCDBackup:"); break;
    case BackupWindow::Schedule: show(m_scheduleHost.get(), "Schedule Backup", "ShowScheduleBackup:"); break;
    }
}

bool SessionRecording::EventBackupNeedsLive(int channel) const
{
    return m_eventHost && m_eventHost->IsRunning() && m_eventHost->NeedsLive(channel);
}

// =============================================================================================
// Recordings

void SessionRecording::StartSearchRecord(int ch, int date, int time)
{
    if (ch < 0 || ch >= kSessionChannels)
        return;
    m_search->StartRecord(ch, date, time, m_folderOf(QStringLiteral("Record_Search")) + QLatin1Char('/'),
                          m_session.GetDeviceIndex(), ModuleRecord::RecordSearch);
}

void SessionRecording::StartEventRecord(int ch)
{
    if (ch < 0 || ch >= kSessionChannels)
        return;
    const ChannelState& channel = m_channels[size_t(ch)];
    if (channel.eventRecordMark.load() != 1)
        return;
    m_event->StartRecord(ch, channel.eventStartDate, channel.eventStartTime,
                         m_folderOf(QStringLiteral("EventData")) + QLatin1Char('/'), m_session.GetDeviceIndex(),
                         ModuleRecord::EventData);
}

void SessionRecording::ToggleRecord(int index)
{
    if (index < 0 || index >= 2 * kSessionChannels) {
        qCDebug(lcSession) << "ToggleRecord: index out of range" << index;
        return;
    }
    const bool live = index < kSessionChannels;
    const int ch = live ? index : index - kSessionChannels;
    ChannelState& channel = m_channels[size_t(ch)];
    std::atomic<quint8>& mark = live ? channel.liveRecordMark : channel.searchRecordMark;
    if (mark.load() != 0) {
        // The intake stops writing at its next frame.
        mark = 0;
        return;
    }
    mark = 1;
    int date = 0;
    int time = 0;
    LastReceived(live, ch, date, time);
    const QString folder = m_folderOf(live ? QStringLiteral("Record_Live") : QStringLiteral("Record_Search"))
                           + QLatin1Char('/');
    ModuleRecord* writer = live ? m_live.get() : m_search.get();
    const int kind = live ? ModuleRecord::RecordLive : ModuleRecord::RecordSearch;
    if (!writer || !writer->StartRecord(ch, date, time, folder, m_session.GetDeviceIndex(), kind)) {
        // A writer that refused would write nothing: the mark must not claim a recording.
        qCDebug(lcSession) << "ToggleRecord: recording of" << index << "could not start";
        mark = 0;
    }
}

void SessionRecording::EndFailedRecording(bool live, int ch)
{
    ChannelState& channel = m_channels[size_t(ch)];
    std::atomic<quint8>& mark = live ? channel.liveRecordMark : channel.searchRecordMark;
    if (mark.exchange(0) == 0)
        return;
    const ModuleRecord* writer = live ? m_live.get() : m_search.get();
    const QString text = ModuleRecord::FailureText(
        QStringLiteral("The recording of %1 camera %2").arg(m_session.GetDvrName()).arg(ch + 1),
        writer->Failure(ch));
    // The writer may run on a channel's thread: the user is told on the window thread.
    QMetaObject::invokeMethod(
        &m_session,
        [text] {
            if (SessionHub* hub = SessionHub::Instance())
                hub->ShowMessageBox(QStringLiteral("Record"), text, QStringLiteral("stop"));
        },
        Qt::QueuedConnection);
}

void SessionRecording::LastReceived(bool live, int ch, int& date, int& time) const
{
    date = live ? -1 : m_slots[size_t(ch)].lastPlayDate.load();
    time = live ? -1 : m_slots[size_t(ch)].lastPlayTime.load();
    if (ModuleRecord::IsValidDate(date) && ModuleRecord::IsValidTime(time))
        return;
    // Nothing received on the channel yet: the recording is named after the local clock.
    const QDateTime now = QDateTime::currentDateTime();
    date = now.date().year() * 10000 + now.date().month() * 100 + now.date().day();
    time = now.time().hour() * 10000 + now.time().minute() * 100 + now.time().second();
}

void SessionRecording::Write(bool live, int channel, int date, int time, int frameType, int kind, const char* data,
                             int size, int sequence, bool decodeOnly)
{
    ModuleRecord* writer = live ? m_live.get() : m_search.get();
    if (!writer)
        return;
    writer->OnRecordData(channel, date, time, frameType, kind, data, size, quint8(sequence), decodeOnly ? 1 : 0);
    if (writer->Failed(channel))
        EndFailedRecording(live, channel);
}

void SessionRecording::FeedEventBackup(int channel, int date, int time, int frameType, int kind, const char* data,
                                       int size, bool decodeOnly)
{
    if (!m_eventHost || channel < 0 || channel >= kSessionChannels)
        return;
    std::atomic<quint8>& mark = m_channels[size_t(channel)].eventRecordMark;
    const int weekDay = DayOfWeek(date);
    if (!m_eventHost->IsRunning()) {
        // A stopped page ends a recording still running, so that its last second is kept.
        if (mark.load() == 1) {
            mark = 0;
            if (!m_event->StopRecord(channel))
                ReportEventFailure(channel, time, weekDay);
        }
        return;
    }
    // A channel whose recording failed writes nothing until the page starts again.
    if (mark.load() == kEventRecordFailed)
        return;
    const bool alarm = m_session.GetMotionState(channel) || m_session.GetSensorState(channel);
    if (alarm && m_eventHost->IsBackupTime(channel, time, weekDay)) {
        if (mark.load() != 1) {
            mark = 1;
            m_channels[size_t(channel)].eventStartDate = date;
            m_channels[size_t(channel)].eventStartTime = time;
            StartEventRecord(channel);
        }
        qint64 written = 0;
        if (data && size > 0)
            written = m_event->OnRecordData(channel, date, time, frameType, kind, data, size, 0,
                                            decodeOnly ? 1 : 0);
        if (m_event->Failed(channel)) {
            mark = kEventRecordFailed;
            m_event->StopRecord(channel);
            ReportEventFailure(channel, time, weekDay);
            return;
        }
        emit m_session.OnEventResult(channel, date, time, weekDay, written);
    } else if (mark.load() == 1) {
        mark = 0;
        if (!m_event->StopRecord(channel)) {
            mark = kEventRecordFailed;
            ReportEventFailure(channel, time, weekDay);
            return;
        }
        emit m_session.OnEventResult(channel, date, time, weekDay, -1);
    }
}

void SessionRecording::ReportEventFailure(int channel, int time, int weekDay)
{
    const ModuleRecord::WriteFailure failure = m_event->Failure(channel);
    emit m_session.OnEventWriteFailed(channel, time, weekDay, failure.file, failure.reason, failure.diskFull);
}

int SessionRecording::DayOfWeek(int date)
{
    const QDate day(date / 10000, (date / 100) % 100, date % 100);
    if (!day.isValid()) {
        qCDebug(lcSession) << "DayOfWeek: not a date" << date;
        return 0;
    }
    return day.dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
}
