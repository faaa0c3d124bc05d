#include "playback/searchview.h"
#include "playback/playbackhost.h"
#include "playback/playbacklog.h"
#include "playback/previewsink.h"

#include <algorithm>

CSearchView::CSearchView(int tile, PlaybackFrameSink& sink, PlaybackHost& host, PlaybackAudioSink& audio,
                         PlaybackClock& clock, PreviewSink* previews)
    : m_host(host)
    , m_handOff(m_tile, sink, host)
    , m_reader(m_tile, m_handOff, host)
    , m_list(m_tile, m_handOff, host, m_stop)
    , m_audioSink(audio)
    , m_audio(m_tile, audio, clock)
    , m_engine(m_tile, m_reader, m_list, m_handOff, m_audio, host, clock, m_stop)
    , m_previewSink(previews)
{
    if (previews)
        m_preview = std::make_unique<PreviewReader>(*previews);
    m_engine.SetListAudioSync([this] { SyncAudioToVideo(); });
    m_tile.tile = tile;
    m_tile.serverId = -1;
}

CSearchView::~CSearchView()
{
    JoinPreview();
    m_stop.Raise();
    m_engine.Join();
    m_audio.Stop();
}

void CSearchView::Reset()
{
    JoinPreview();
    if (m_tile.opened)
        m_engine.StopPlayback();
    m_engine.Join();
    m_audio.Stop();
    m_tile.opened = false;
    m_tile.indexLoaded = false;
    m_list.Free();
    m_listAudio.Close();
    m_fileList.clear();
    m_filePos = 0;
    m_tile.paths = RecordingPaths();
    m_tile.index = IndexInfo();
    m_tile.audio = AudioSource();
    m_tile.audioOn = 0;
    m_tile.block = FrameBlock();
    m_tile.headerIndex = -1;
    m_tile.keyListPos = -1;
    m_tile.lastKeyOffset = -1;
    m_tile.recordOffset = -1;
    m_tile.indexPos = -1;
    m_tile.currentSecond = -1;
    m_tile.stepEstimate = 0;
    m_tile.fieldFlag = false;
    m_tile.fastSpeed = 1;
    m_tile.direction = int(PlayDirection::Still);
    m_tile.SetState(PlayState::Start);
    m_tile.ClearCurrent();
}

bool CSearchView::Fail(const QString& error)
{
    m_error = error;
    if (!error.isEmpty())
        qCWarning(lcPlayerPlayback) << "tile" << m_tile.tile << error;
    return false;
}

bool CSearchView::OpenFile(const OpenRequest& request)
{
    m_error.clear();
    if (request.tile < 0 || request.tile >= kTiles || request.tile != m_tile.tile)
        return Fail(QStringLiteral("no such tile: %1").arg(request.tile));
    Reset();
    RecordingPaths paths = RecordingLocator::Locate(request.folder, request.fileName);
    if (paths.kind == RecordingKind::None) {
        if (paths.silent) {
            qCDebug(lcPlayerPlayback) << paths.error;
            return Fail(QString());
        }
        return Fail(paths.error);
    }
    if (paths.kind == RecordingKind::FrameList)
        return OpenFrameList(paths);
    m_tile.paths = paths;
    m_tile.serverId = -999;
    if (!m_reader.LoadIndex()) {
        m_handOff.PutNoData();
        m_host.StepMessageBox();
        return Fail(QStringLiteral("cannot read the index %1").arg(paths.indexPath));
    }
    m_tile.audio = RecordingLocator::ChooseAudio(paths, m_tile.Layout512());
    m_tile.audioOn = m_tile.audio.kind != AudioKind::None ? 1 : 0;
    m_tile.opened = true;
    // The "first" operation: the day's first frame, shown, at the start.
    m_tile.direction = int(PlayDirection::Still);
    m_reader.GoToTime(QStringLiteral("000000"));
    if (m_tile.readResult.load() != int(ReadResult::Frame)) {
        m_handOff.PutNoData();
        m_host.StepMessageBox();
        m_tile.opened = false;
        return Fail(QStringLiteral("no recorded frame in %1").arg(paths.dataPath));
    }
    m_tile.SetState(PlayState::Start);
    return true;
}

void CSearchView::SetIndexPaths()
{
    if (m_filePos < 0 || m_filePos >= m_fileList.size())
        return;
    const QString name = m_fileList.at(m_filePos);
    m_tile.paths.dataPath = m_tile.paths.folder + QLatin1Char('/') + name;
    m_tile.paths.indexPath = m_tile.paths.folder + QLatin1Char('/') + QLatin1Char('i') + name;
}

bool CSearchView::LoadFrameList()
{
    if (!m_list.Load(m_tile.paths.indexPath, m_tile.paths.dataPath))
        return false;
    // The time search bar's cells are three minutes each; a recording past midnight is marked
    // to the row's end.
    const int start = m_list.StartSecond();
    const int first = std::min(start / 60 / 3, kTimeBarCells - 1);
    const int count = std::min((m_list.DurationSeconds() + 179) / 180, kTimeBarCells - first);
    m_host.MarkTimeBar(m_tile.tile, first, count);
    m_tile.audio = AudioSource();
    if (m_listAudio.Open(m_tile.paths.folder, m_fileList.value(m_filePos), m_tile.paths.channel)) {
        m_tile.audio.path = m_listAudio.Path();
        m_tile.audioOn = 1;
    } else {
        m_tile.audioOn = 0;
    }
    return true;
}

void CSearchView::SyncAudioToVideo()
{
    if (!m_list.IsLoaded())
        return;
    const int second = m_list.SecondsFromStart(m_list.CurrentFile(), m_list.CurrentFrame());
    m_listAudio.Sync(second, m_audioSink, [this, second] {
        return m_list.SecondsFromStart(m_list.CurrentFile(), m_list.CurrentFrame()) == second;
    });
}

bool CSearchView::OpenFrameList(const RecordingPaths& paths)
{
    m_tile.paths = paths;
    m_tile.serverId = -999;
    m_fileList = QStringList{paths.name};
    m_filePos = 0;
    SetIndexPaths();
    if (!LoadFrameList()) {
        m_tile.paths = RecordingPaths();
        return Fail(QString::fromLatin1(kCorruptText));
    }
    m_tile.opened = true;
    // The "first" operation: the recording's first frame, shown, at the start.
    m_tile.direction = int(PlayDirection::Still);
    m_tile.SetState(PlayState::Paused);
    m_list.SeekToPosition(0);
    m_tile.readResult = m_list.ReadCurrent();
    if (m_tile.readResult.load() != int(ReadResult::Frame)) {
        m_tile.opened = false;
        m_list.Free();
        m_listAudio.Close();
        m_tile.audioOn = 0;
        m_tile.audio = AudioSource();
        m_tile.paths = RecordingPaths();
        return Fail(QString::fromLatin1(kCorruptText));
    }
    m_tile.SetState(PlayState::Start);
    return true;
}

void CSearchView::CloseSearch()
{
    Reset();
}

void CSearchView::ShowCurrentFrame()
{
    if (!m_tile.opened)
        return;
    if (IsFrameList()) {
        m_list.ForgetGroup();
        m_list.ReadCurrent();
    } else if (m_tile.Layout512()) {
        m_tile.lastKeyOffset = -1;
        m_reader.ReadMediaFrame();
    } else if (m_tile.recordOffset >= 0) {
        m_reader.ReadRecordAt(m_tile.recordOffset);
    }
}

bool CSearchView::StartAudio()
{
    if (m_tile.audioOn.load() == 0)
        return false;
    return m_audio.StartAudio();
}

int CSearchView::GetPlayRange() const
{
    if (!m_tile.opened)
        return 0;
    if (IsFrameList())
        return std::max(0, m_list.TotalFrames() - 1);
    return std::max(0, m_tile.index.entryCount - m_tile.index.firstSecond - 1);
}

int CSearchView::GetPlayPosition() const
{
    if (!m_tile.opened)
        return -1;
    if (IsFrameList())
        return m_list.Position();
    return std::max(0, m_tile.currentSecond.load() - m_tile.index.firstSecond);
}

QString CSearchView::GetCurrentTimeString() const
{
    if (IsFrameList())
        return m_list.IsLoaded() ? m_list.FrameTimeString(m_list.CurrentFile(), m_list.CurrentFrame())
                                 : QStringLiteral("000000");
    return m_tile.opened ? m_tile.CurrentTime() : QStringLiteral("000000");
}

void CSearchView::StartPreview(int position, int preview)
{
    if (!m_preview)
        return;
    if (!m_tile.opened || IsFrameList()) {
        m_preview->Join();
        m_previewSink->ShowPreview(preview, 0, 0, QString());
        return;
    }
    m_preview->StartPreview(m_tile.paths, m_tile.Layout512(), m_tile.index.firstSecond, position, preview);
}

void CSearchView::JoinPreview()
{
    if (m_preview)
        m_preview->Join();
}
