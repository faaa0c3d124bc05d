#pragma once
// The playback engine of one tile: it opens a recording from disk, plays it with the play
// operations, hands its frames to the video engine and its audio to the audio output, and answers
// the play position queries of the main dialog. A thin face over the tile's state, its readers,
// its frame hand-off, its audio reader and its play engine; widget-free (the recorder search
// face is the shell's).
#include "playback/audioreader.h"
#include "playback/framehandoff.h"
#include "playback/framelistaudio.h"
#include "playback/framelistreader.h"
#include "playback/mediareader.h"
#include "playback/playengine.h"
#include "playback/previewreader.h"
#include "playback/stopsignal.h"
#include "playback/tilestate.h"

#include <QString>
#include <QStringList>

#include <memory>

class PlaybackAudioSink;
class PlaybackClock;
class PlaybackFrameSink;
class PlaybackHost;

class CSearchView
{
public:
    static constexpr int kTiles = 16;
    static constexpr const char* kCorruptText = "No video information or corrupt file!";

    // What the grid hands a tile to open.
    struct OpenRequest
    {
        QString fileName; // without folder
        QString folder;
        int tile = 0;
        quint8 listFlag = 0;
    };

    // previews may be null: slider previews then get no picture.
    CSearchView(int tile, PlaybackFrameSink& sink, PlaybackHost& host, PlaybackAudioSink& audio,
                PlaybackClock& clock, PreviewSink* previews = nullptr);
    ~CSearchView();
    CSearchView(const CSearchView&) = delete;
    CSearchView& operator=(const CSearchView&) = delete;

    // Opens the recording and shows its first frame; false with LastError() set when it cannot
    // be played (LastError() empty when nothing is to be said, as for a stream file without its
    // day list).
    bool OpenFile(const OpenRequest& request);
    QString LastError() const { return m_error; }
    void CloseSearch();

    // Play operations.
    void StopPlayback() { m_engine.StopPlayback(); }
    void PlayForward() { m_engine.PlayForward(); }
    void PlayBackward() { m_engine.PlayBackward(); }
    void FastForward() { m_engine.FastForward(); }
    void FastBackward() { m_engine.FastBackward(); }
    void SetFastSpeed(int speed) { m_engine.SetFastSpeed(speed); }
    void StepForward() { m_engine.StepForward(); }
    void StepBackward() { m_engine.StepBackward(); }
    void GoFirst() { m_engine.GoFirst(); }
    void GoLast() { m_engine.GoLast(); }
    void Pause() { m_engine.Pause(); }
    void GoToTime(const QString& timeText) { m_engine.GoToTime(timeText); }
    void SeekToFrame(int position) { m_engine.SeekToFrame(position); }
    void ShowCurrentFrame();
    bool StartAudio();
    void WaitAudioReady() { m_audio.WaitReady(); }

    // Readers.
    int SeekToTime(const QString& timeText) { return m_reader.SeekToTime(timeText); }
    int ReadIndexEntry(qint64 position) { return m_reader.ReadIndexEntry(position); }
    void ReadMediaFrame() { m_reader.ReadMediaFrame(); }
    void StepBackMedia() { m_reader.StepBackMedia(); }
    void PlayAudioSecond(const QString& timeText) { m_audio.PlayAudioSecond(timeText); }
    // The picture at a play position for slider preview 0..9, read on a thread of its own.
    void StartPreview(int position, int preview);
    void JoinPreview();

    // Recordings read through their frame lists (the player's own recordings).
    static constexpr int kMaxListFiles = 500;
    // Cells of the time search bar's row a day spans (three minutes each).
    static constexpr int kTimeBarCells = 480;
    // Data and index paths of the current file of the tile's file list.
    void SetIndexPaths();
    // Loads the index at the index path, marks the recording's time in the time search bar and
    // finds its audio file; false when it holds no file information or no frame.
    bool LoadFrameList();
    // Hands the audio of the second the current frame stands in to the audio output.
    void SyncAudioToVideo();
    const FrameListAudio& ListAudio() const { return m_listAudio; }
    int NextFrameIndex(int step) { return m_list.NextFrameIndex(step); }
    QString GetFrameTimeString(int file, int frame) const { return m_list.FrameTimeString(file, frame); }
    void FreeIndexArrays() { m_list.Free(); }
    const FrameListReader& FrameList() const { return m_list; }

    // Frame hand-off.
    void PutNoData() { m_handOff.PutNoData(); }
    void UpdateStepRate(int elapsedMs) { m_handOff.UpdateStepRate(elapsedMs); }

    // Queries.
    int GetPlayRange() const;
    int GetPlayPosition() const;
    QString GetCurrentTimeString() const;
    QString GetCurrentDateString() const { return m_tile.CurrentDate(); }
    PlayState State() const { return m_tile.State(); }
    int FastSpeed() const { return m_tile.fastSpeed; }
    bool IsOpened() const { return m_tile.opened; }
    bool IsRunning() const { return m_engine.IsRunning(); }
    int Tile() const { return m_tile.tile; }
    int Channel() const { return m_tile.paths.channel; }
    int ServerId() const { return m_tile.serverId; }
    QString CameraTitle() const { return m_tile.paths.cameraTitle; }
    QString RecorderName() const { return m_tile.paths.info.name; }
    QString RecorderAddress() const { return m_tile.paths.info.address; }
    bool OwnerMarker() const { return m_tile.paths.owner; }
    QString DataPath() const { return m_tile.paths.dataPath; }
    QString IndexPath() const { return m_tile.paths.indexPath; }
    bool IndexBased() const { return m_tile.paths.IndexBased(); }
    bool Layout512() const { return m_tile.indexLoaded && m_tile.Layout512(); }
    AudioKind GetAudioKind() const { return m_tile.audio.kind; }
    QString AudioPath() const { return m_tile.audio.path; }
    int AudioOn() const { return m_tile.audioOn; }
    const IndexInfo& Index() const { return m_tile.index; }
    const RecordingPaths& Paths() const { return m_tile.paths; }
    const AudioSource& Audio() const { return m_tile.audio; }
    void SetFrozen(bool frozen) { m_tile.frozen = frozen; }
    // Forward play of the tile's group fell behind its audio: the next frame read jumps to the
    // next second.
    void SetSkipFlag() { m_tile.skip = true; }
    // Waits for the running worker to end (shut-down and tests).
    void Join() { m_engine.Join(); }

private:
    void Reset();
    bool Fail(const QString& error);
    bool OpenFrameList(const RecordingPaths& paths);
    bool IsFrameList() const { return m_tile.paths.kind == RecordingKind::FrameList; }

    TileState m_tile;
    StopSignal m_stop;
    PlaybackHost& m_host;
    FrameHandOff m_handOff;
    MediaReader m_reader;
    FrameListReader m_list;
    FrameListAudio m_listAudio;
    PlaybackAudioSink& m_audioSink;
    AudioReader m_audio;
    PlayEngine m_engine;
    std::unique_ptr<PreviewReader> m_preview;
    PreviewSink* m_previewSink;
    QString m_error;
    QStringList m_fileList; // the day's files of a recording read through its frame list
    int m_filePos = 0;
};
