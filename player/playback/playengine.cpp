#include "playback/playengine.h"
#include "playback/audioreader.h"
#include "playback/framehandoff.h"
#include "playback/framelistreader.h"
#include "playback/mediareader.h"
#include "playback/playbackclock.h"
#include "playback/playbackhost.h"
#include "playback/playbacklog.h"
#include "playback/stopsignal.h"
#include "playback/tilestate.h"

#include <algorithm>

PlayEngine::PlayEngine(TileState& tile, MediaReader& reader, FrameListReader& list, FrameHandOff& handOff,
                       AudioReader& audio, PlaybackHost& host, PlaybackClock& clock, StopSignal& stop)
    : m_tile(tile)
    , m_reader(reader)
    , m_list(list)
    , m_handOff(handOff)
    , m_audio(audio)
    , m_host(host)
    , m_clock(clock)
    , m_stop(stop)
{}

PlayEngine::~PlayEngine()
{
    m_stop.Raise();
    Join();
}

void PlayEngine::SetFastSpeed(int speed)
{
    m_tile.fastSpeed = std::clamp(speed, 1, kFastSpeeds);
}

int PlayEngine::FastInterval(int speed)
{
    static constexpr int kIntervals[kFastSpeeds] = {500, 333, 250, 200, 150};
    return kIntervals[std::clamp(speed, 1, kFastSpeeds) - 1];
}

bool PlayEngine::IsRunning() const
{
    return m_tile.running.load();
}

void PlayEngine::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool PlayEngine::Idle() const
{
    switch (m_tile.State()) {
    case PlayState::Start:
    case PlayState::End:
    case PlayState::Paused:
    case PlayState::Stopping:
    case PlayState::NoData: return !m_tile.running.load();
    default: return false;
    }
}

bool PlayEngine::Refuse(bool refused)
{
    if (refused)
        m_host.StepMessageBox();
    return refused;
}

void PlayEngine::StopPlayback()
{
    if (Idle()) {
        Join();
        m_host.StepMessageBox();
        return;
    }
    m_stop.Raise();
    m_tile.SetState(PlayState::Stopping);
    // The worker ends within one frame read: its pauses wake on the stop signal, and the video
    // engine and audio output it calls never wait for this thread.
    Join();
    m_audio.Stop();
    // A worker that reached an end of the data leaves that state; any other stops here.
    if (m_tile.State() != PlayState::Start && m_tile.State() != PlayState::End)
        m_tile.SetState(PlayState::Stopping);
    m_tile.stepEstimate = 0;
}

void PlayEngine::Start(std::function<void()> body)
{
    Join();
    m_stop.Clear();
    m_tile.running = true;
    m_worker = std::thread([this, body = std::move(body)] {
        body();
        m_tile.running = false;
    });
}

void PlayEngine::PlayForward()
{
    if (Refuse(!m_tile.opened || m_tile.State() == PlayState::End))
        return;
    StopPlayback();
    m_stop.Clear();
    m_tile.direction = int(PlayDirection::Forward);
    m_tile.SetState(PlayState::Forward);
    if (m_tile.audioOn.load() == 2) {
        m_audio.WaitReady();
        m_audio.StartAudio();
    }
    if (m_tile.fieldFlag)
        m_tile.lastKeyOffset = -1;
    Start([this] { PlayLoop(); });
}

void PlayEngine::PlayBackward()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::Start))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::Backward);
    m_tile.SetState(PlayState::Backward);
    Start([this] { PlayLoop(); });
}

void PlayEngine::FastForward()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::End))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::FastForward);
    m_tile.SetState(PlayState::FastForward);
    Start([this] { PlayLoop(); });
}

void PlayEngine::FastBackward()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::Start))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::FastBackward);
    m_tile.SetState(PlayState::FastBackward);
    Start([this] { PlayLoop(); });
}

void PlayEngine::StepForward()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::End))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::Forward);
    m_tile.SetState(PlayState::StepForward);
    Start([this] { StepOnce(); });
}

void PlayEngine::StepBackward()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::Start))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::Backward);
    m_tile.SetState(PlayState::StepBackward);
    Start([this] { StepOnce(); });
}

void PlayEngine::GoFirst()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::Start))
        return;
    if (m_tile.audioOn.load() == 2)
        m_audio.Flush();
    StopPlayback();
    m_tile.direction = int(PlayDirection::Still);
    m_tile.SetState(PlayState::Start);
    // The seek reads and shows the first frame.
    if (FrameList())
        ListSeek(m_list.SeekToPosition(0));
    else
        m_reader.GoToTime(QStringLiteral("000000"));
    m_tile.SetState(PlayState::Start);
}

void PlayEngine::GoLast()
{
    if (Refuse(!m_tile.opened || m_tile.frozen || m_tile.State() == PlayState::End))
        return;
    if (m_tile.audioOn.load() == 2)
        m_audio.Flush();
    StopPlayback();
    m_tile.direction = int(PlayDirection::Still);
    m_tile.SetState(PlayState::End);
    if (FrameList())
        ListSeek(m_list.SeekToLast());
    else
        m_reader.GoToTime(QStringLiteral("240000"));
    m_tile.SetState(PlayState::End);
}

void PlayEngine::Pause()
{
    if (Refuse(!m_tile.opened || m_tile.State() == PlayState::Start || m_tile.State() == PlayState::End))
        return;
    if (m_tile.audioOn.load() == 2)
        m_audio.Flush();
    StopPlayback();
    m_tile.direction = int(PlayDirection::Still);
    m_audio.ClearFill();
    m_tile.SetState(PlayState::Paused);
    m_handOff.ShowState();
}

void PlayEngine::GoToTime(const QString& timeText)
{
    if (Refuse(!m_tile.opened))
        return;
    StopPlayback();
    m_tile.direction = int(PlayDirection::Still);
    if (FrameList()) {
        // The seek runs on the tile's own worker, as its play and steps do.
        Start([this, timeText] {
            ListSeek(m_list.SeekToTime(timeText));
            qCDebug(lcPlayerPlayback, "CAMEO : %d", m_tile.tile);
        });
        return;
    }
    m_reader.GoToTime(timeText);
}

void PlayEngine::SeekToFrame(int position)
{
    if (FrameList()) {
        if (!m_tile.opened || position < 0)
            return;
        Pause();
        m_tile.SetState(PlayState::Paused);
        ListSeek(m_list.SeekToPosition(position));
        return;
    }
    if (!m_tile.opened || !m_tile.indexLoaded || position < 0)
        return;
    Pause();
    m_tile.SetState(PlayState::Paused);
    const bool layout512 = m_tile.Layout512();
    const int headerSize = layout512 ? IndexLayout::kHeader512 : IndexLayout::kHeader224;
    const int entrySize = layout512 ? IndexLayout::kEntry512 : IndexLayout::kEntry224;
    qint64 pos = headerSize + qint64(entrySize) * (qint64(position) + m_tile.index.firstSecond);
    pos = std::min(pos, m_tile.index.lastEntryPos);
    m_tile.lastKeyOffset = -1;
    m_reader.ReadIndexEntry(pos);
}

double PlayEngine::FrameInterval() const
{
    const PlayDirection direction = m_tile.Direction();
    if (direction == PlayDirection::FastForward || direction == PlayDirection::FastBackward)
        return FastInterval(m_tile.fastSpeed);
    if (m_tile.Layout512()) {
        const int count = m_tile.block.Count();
        const int index = m_tile.headerIndex;
        if (index >= 0 && index < count && !m_tile.block.Header(index).paced)
            return 1;
        const int step = std::max(1, m_tile.step.load());
        return std::min(1000.0, step * 1000.0 / std::max(1, count));
    }
    if (direction == PlayDirection::Backward)
        return 1000;
    const int fps = m_tile.record.FramesPerSecond();
    return fps > 0 ? 1000.0 / fps : 1;
}

bool PlayEngine::ReadNext()
{
    switch (m_tile.Direction()) {
    case PlayDirection::Forward:
        if (m_tile.State() == PlayState::End)
            return false;
        m_reader.NextFrame(false);
        return true;
    case PlayDirection::Backward:
        if (m_tile.State() == PlayState::Start)
            return false;
        m_reader.StepBackMedia();
        return true;
    case PlayDirection::FastForward:
        if (m_tile.State() == PlayState::End)
            return false;
        m_reader.NextSecond();
        return true;
    case PlayDirection::FastBackward:
        if (m_tile.State() == PlayState::Start)
            return false;
        m_reader.PreviousSecond();
        return true;
    case PlayDirection::Still: return false;
    }
    return false;
}

bool PlayEngine::FrameList() const
{
    return m_tile.paths.kind == RecordingKind::FrameList;
}

void PlayEngine::PlayLoop()
{
    if (FrameList()) {
        ListPlayLoop();
        return;
    }
    QString reported = m_tile.CurrentTime();
    // The part of a millisecond the last waits left over, so that whole-millisecond waits add up
    // to the recording's own time.
    double owed = 0;
    while (!m_stop.IsRaised()) {
        const qint64 started = m_clock.NowMs();
        const QString now = m_tile.CurrentTime();
        const bool forwardWithAudio = m_tile.Direction() == PlayDirection::Forward && m_tile.audioOn.load() == 2;
        if (now != reported) {
            reported = now;
            m_host.UpdateGroupTime(m_tile.tile, now);
            if (forwardWithAudio)
                m_audio.PlayAudioSecond(now);
        }
        if (forwardWithAudio && m_audio.VideoBehind())
            m_host.SkipGroup(m_tile.tile);
        m_tile.readResult = int(ReadResult::Pending);
        if (!ReadNext()) {
            // The end (or start) of the data was shown: the box that waited for it closes.
            m_host.StepMessageBox();
            break;
        }
        if (m_tile.readResult.load() == int(ReadResult::End)) {
            m_handOff.PutNoData();
            m_host.StepMessageBox();
            break;
        }
        if (m_tile.step.load() == TileState::kImmediateStep) {
            m_tile.step = 1;
            if (m_clock.Pause(1, m_stop))
                break;
            continue;
        }
        const qint64 elapsed = m_clock.NowMs() - started;
        m_handOff.UpdateStepRate(elapsed);
        const double due = FrameInterval() + owed;
        const qint64 whole = qint64(due);
        owed = due - double(whole);
        const int wait = int(std::max<qint64>(1, whole - elapsed));
        if (m_clock.Pause(wait, m_stop))
            break;
    }
    m_host.LeaveGroup(m_tile.tile);
}

void PlayEngine::StepOnce()
{
    if (FrameList()) {
        ListStepOnce();
        return;
    }
    if (m_tile.audioOn.load() == 2)
        m_audio.Flush();
    if (m_tile.Direction() == PlayDirection::Forward)
        m_reader.NextFrame(true);
    else
        m_reader.StepBackMedia();
    m_host.StepMessageBox();
}

void PlayEngine::ListSeek(bool found)
{
    if (!found) {
        m_tile.readResult = int(ReadResult::End);
        return;
    }
    // The state a seek leaves says whether the tile stands at an end of the recording; it is set
    // before the frame goes to the video engine, which shows it with the frame.
    if (m_list.AtFirst())
        m_tile.SetState(PlayState::Start);
    else if (m_list.AtLast())
        m_tile.SetState(PlayState::End);
    else
        m_tile.SetState(PlayState::Paused);
    m_tile.readResult = m_list.ReadCurrent();
}

void PlayEngine::ListPlayLoop()
{
    const bool forward = m_tile.direction.load() > 0;
    const bool fast = m_tile.Direction() == PlayDirection::FastForward
                      || m_tile.Direction() == PlayDirection::FastBackward;
    QString reported = m_tile.CurrentTime();
    // The sound of the second play starts in goes on at the first pass.
    QString audioReported;
    while (!m_stop.IsRaised()) {
        const qint64 started = m_clock.NowMs();
        // The last (or, backwards, the first) frame goes to the video engine with the end state.
        if (forward ? m_list.AtLast() : m_list.AtFirst())
            m_tile.SetState(forward ? PlayState::End : PlayState::Start);
        m_tile.readResult = m_list.ReadCurrent();
        if (m_tile.readResult.load() == int(ReadResult::End)) {
            m_handOff.PutNoData();
            m_host.StepMessageBox();
            break;
        }
        const QString now = m_list.FrameTimeString(m_list.CurrentFile(), m_list.CurrentFrame());
        if (now != reported) {
            reported = now;
            m_host.UpdateGroupTime(m_tile.tile, now);
        }
        if (now != audioReported && m_tile.Direction() == PlayDirection::Forward && m_tile.audioOn.load() == 2) {
            audioReported = now;
            if (m_listAudioSync)
                m_listAudioSync();
        }
        int wait = m_list.NextFrameIndex(forward ? 1 : -1);
        if (wait == -1) {
            // The day's list holds this recording alone: its first or last frame ends play.
            m_tile.SetState(forward ? PlayState::End : PlayState::Start);
            m_host.StepMessageBox();
            break;
        }
        if (fast)
            wait = FastInterval(m_tile.fastSpeed);
        else if (wait < 1)
            wait = 1000;
        const qint64 elapsed = m_clock.NowMs() - started;
        if (m_clock.Pause(int(std::max<qint64>(1, wait - elapsed)), m_stop))
            break;
    }
    if (m_tile.State() != PlayState::Start && m_tile.State() != PlayState::End)
        m_tile.SetState(PlayState::Paused);
    m_host.LeaveGroup(m_tile.tile);
}

void PlayEngine::ListStepOnce()
{
    if (m_tile.audioOn.load() == 2)
        m_audio.Flush();
    const bool forward = m_tile.Direction() == PlayDirection::Forward;
    if (!m_list.StepOne(forward ? 1 : -1)) {
        m_tile.SetState(forward ? PlayState::End : PlayState::Start);
    } else {
        if (forward && m_list.AtLast())
            m_tile.SetState(PlayState::End);
        else if (!forward && m_list.AtFirst())
            m_tile.SetState(PlayState::Start);
        m_tile.readResult = m_list.ReadCurrent();
    }
    m_host.StepMessageBox();
}
