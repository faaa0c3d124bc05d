#pragma once
// Where a recorder channel's decoded pictures go: the live cell and the e-map tile that show it
// and its cell in the recorder's playback grid. The grid writes it when it binds a cell; the
// session's decode threads read it, so every entry is atomic. -1 means "not shown".
#include <atomic>

struct CameoRoute
{
    std::atomic<int> liveGrid{-1};
    std::atomic<int> liveCell{-1};
    std::atomic<int> emapGrid{-1};
    std::atomic<int> emapCell{-1};
    std::atomic<int> playbackCell{-1};

    void Reset()
    {
        liveGrid = -1;
        liveCell = -1;
        emapGrid = -1;
        emapCell = -1;
        playbackCell = -1;
    }
};
