#pragma once
// The sixteen tile engines of the main dialog and what they need of it: the control bar's
// operations, the play groups and the calls the engines make from their play threads (carried
// over to the user-interface thread before they touch a window).
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include <QObject>

#include "playback/playbackaudiosink.h"
#include "playback/playbackclock.h"
#include "playback/playbackframesink.h"
#include "playback/playbackhost.h"
#include "ui/playgroups.h"
#include "ui/tileplayers.h"

class CSearchView;
class PreviewSink;
class ViewerTiles;

// What the tile engines' calls reach in the main dialog (on the user-interface thread).
class ViewerPlayersHost
{
public:
    virtual ~ViewerPlayersHost() = default;
    virtual void EngineStepsWaitBox() = 0;
    virtual void ShowGroupTime(int group, int tile, int hhmmss, int direction) = 0;
    virtual void UpdatePlaySlider(int tile) = 0;
    // A tile's recording lies in these cells of the time search bar.
    virtual void MarkTimeBar(int tile, int firstCell, int count) = 0;
    virtual bool IsClosing() const = 0;
};

class ViewerPlayers : public QObject, public TilePlayers, public PlayGroupTiles, public PlaybackHost
{
    Q_OBJECT
public:
    using PlayFlags = std::array<bool, 16>;

    // previews may be null: the slider previews then get no picture.
    ViewerPlayers(ViewerPlayersHost& host, ViewerTiles& tiles, PlayFlags& flags, PlaybackFrameSink& frames,
                  PlaybackAudioSink& audio, PreviewSink* previews = nullptr);
    ~ViewerPlayers() override;

    CSearchView* Player(int tile) const;
    // Opens folder + name in the tile's engine; false when the recording was not opened.
    bool Open(int tile, const QString& folder, const QString& name);
    // Stops every tile (shut-down) and waits for their workers.
    void StopAll();

    // TilePlayers and PlayGroupTiles.
    bool IsOpen(int tile) const override;
    PlayState State(int tile) const override;
    int FastSpeed(int tile) const override;
    void SetFastSpeed(int tile, int speed) override;
    void StopPlayback(int tile) override;
    void SetPlayGroup(int tile, int group) override;
    int PlayGroup(int tile) const override;
    bool IsPlaying(int tile) const override;
    void Run(int tile, PlayOperation operation) override;

    // PlaybackHost: called from the engines' threads too.
    void StepMessageBox() override;
    void UpdateGroupTime(int tile, const QString& timeText) override;
    void LeaveGroup(int tile) override;
    void SkipGroup(int tile) override;
    void UpdatePlaySlider(int tile) override;
    void MarkTimeBar(int tile, int firstCell, int count) override;
    int TileFrameRate(int tile) const override;
    bool IsTileVisible(int tile) const override;
    int SplitCount() const override;
    bool StopRequested() const override;

    void SetSplitCount(int count) { m_splitCount = count; }
    void SetVisible(int tile, bool visible)
    {
        if (Valid(tile))
            m_visible[tile] = visible;
    }
    PlayGroups& Groups() { return m_groups; }

private:
    static bool Valid(int tile) { return tile >= 0 && tile < 16; }

    ViewerPlayersHost& m_host;
    ViewerTiles& m_tiles;
    PlayFlags& m_flags;
    SteadyPlaybackClock m_clock;
    PlayGroups m_groups;
    std::array<std::atomic<int>, 16> m_group;
    std::array<std::atomic<bool>, 16> m_visible;
    std::atomic<int> m_splitCount{4};
    std::array<std::unique_ptr<CSearchView>, 16> m_players;
};
