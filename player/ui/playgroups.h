#pragma once
// Play groups: tiles started together share a group number 0..15, and the group's time on the
// time bar is the time of its slowest tile. Also the program's request numbers.
#include <array>
#include <functional>
#include <mutex>

#include <QString>
#include <QVector>

// What the groups need to know of a tile's playback engine.
class PlayGroupTiles
{
public:
    virtual ~PlayGroupTiles() = default;
    // The tile holds a playback source (its play flag).
    virtual bool IsPlaying(int tile) const = 0;
    // The tile's engine has a recording open with its reader running.
    virtual bool IsOpen(int tile) const = 0;
    virtual int PlayGroup(int tile) const = 0;
    virtual void SetPlayGroup(int tile, int group) = 0;
};

class PlayGroups
{
public:
    static constexpr int kGroups = 16;
    static constexpr int kNoTime = -1;

    PlayGroups();

    // Frees the selected playing tiles from their groups and returns a group number held by no
    // playing tile, its times cleared. When all sixteen are held the search still ends (after
    // at most sixteen tries) and the last number tried is handed out.
    int NewPlayGroup(const QVector<int>& selected, PlayGroupTiles& tiles);
    // Stores `time` (hhmmss) of `tile` in group `group`; true when the tile is the group's
    // slowest in play direction (direction < 0 is reverse play). `show` is called with the
    // time when the tile is the slowest (or `force`) and the group and tile are the time bar's.
    bool UpdateGroupTime(int group, int time, int tile, int direction, bool force, const PlayGroupTiles& tiles,
                         int barGroup, int barTile, const std::function<void(int time)>& show);
    // The tiles that jump to their next second with `tile` when its video falls behind its
    // sound: `tile` itself and every tile of its group (0..15) that plays a recording.
    // `groupOf` and `plays` are asked per tile; called from the tile's play thread.
    static QVector<int> SkipTargets(int tile, const std::function<int(int)>& groupOf,
                                    const std::function<bool(int)>& plays);
    void ClearSlot(int group, int tile);
    int TimeOf(int group, int tile) const;

    // 1, 2, …, 9999, 0, 1, …
    int GetNextRequestId();

    // "%06d" of hhmmss as "hh:mm:ss".
    static QString TimeText(int hhmmss);
    // The time bar's position of a time: (hours × 60 + minutes) / 3.
    static int BarPosition(int hhmmss);

private:
    std::mutex m_groupLock;
    std::mutex m_requestLock;
    std::array<std::array<int, 16>, kGroups> m_times;
    int m_counter = 0;
    int m_requestCounter = 0;
};
