#pragma once
// What a tile's playback engine needs of the main dialog and the tile grid. Calls come from the
// tile's play threads as well as the user-interface thread: an implementation hands them to the
// user-interface thread where it must (a queued signal), never blocking on it.
#include <QString>

class PlaybackHost
{
public:
    virtual ~PlaybackHost() = default;

    // One step of the timed "BUFFERING" box (closed at its last step). Called for every refused
    // operation, every stop of an idle tile, every frame read and every end of play: a step with
    // no box open does nothing and must cost little.
    virtual void StepMessageBox() = 0;
    // The tile's play thread reached a new second; group -1 when it leaves its play group.
    virtual void UpdateGroupTime(int tile, const QString& timeText) = 0;
    virtual void LeaveGroup(int tile) = 0;
    // Forward play with audio fell behind: every playing tile of the group skips ahead.
    virtual void SkipGroup(int tile) = 0;
    // The tile's position changed (play slider of the current tile).
    virtual void UpdatePlaySlider(int tile) = 0;
    // A recording of the tile lies in `count` cells of three minutes from `firstCell` (0..479)
    // of the time search bar's file row.
    virtual void MarkTimeBar(int tile, int firstCell, int count) = 0;

    // Grid facts the pacing uses.
    virtual int TileFrameRate(int tile) const = 0;
    virtual bool IsTileVisible(int tile) const = 0;
    virtual int SplitCount() const = 0;
    // The main dialog asks every wait for audio to end.
    virtual bool StopRequested() const = 0;
};
