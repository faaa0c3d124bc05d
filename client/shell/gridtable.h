#pragma once
// The hub's grid table: 50 slots (indices 0 to 49), each an in-use byte and the grid registered
// there. Grids take the lowest free slot when they are built and free it when they are
// destroyed; the table owns none of them.
//
// The sessions' decode threads hand their pictures to the grids through this table. They hold
// the table lock for reading across each hand-off, and a grid leaving the table takes it for
// writing, so once RemoveCameo returns no decode thread is inside that grid and none can reach
// it again. The lock is recursive because a hand-off reads the table again (the decoder looks
// the grid up).
#include <QReadWriteLock>

#include "session/slottable.h"

class CCameo;

class GridTable
{
public:
    static constexpr int kSlots = 50;
    // Channels of a recorder that a grid cell can show.
    static constexpr int kChannels = 16;

    static bool IsIndex(int index) { return Slots::IsIndex(index); }

    // The grid in the slot; null for a bad index or a free slot.
    CCameo* GetCameo(int index) const;
    // False (table unchanged) for a bad index, no grid or a slot in use.
    bool AddCameo(int index, CCameo* cameo);
    // False for a bad index or a slot that was not in use. Waits for every hand-off in progress.
    bool RemoveCameo(int index);
    // The lowest free index, -1 when all slots are in use.
    int GetFreeCameoIndex() const;

    // On a decode thread: a recorder channel's picture is ready for a cell of a grid. keep: the
    // cell only counts the frame and keeps its picture; crop: the picture loses its bottom rows.
    // Nothing for a negative cell, a bad grid index or a free slot.
    void CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, bool keep, bool crop);
    // Every grid, in index order, clears its cell of the recorder's channel (-1: channels 0..15).
    void ClearDeviceCells(int deviceIndex, int channel);
    // Every grid (or only the remote playback grids) forgets the recorder in all its cells.
    void DisconnectRecorder(int deviceIndex, bool playbackGridsOnly);

private:
    using Slots = SlotTable<CCameo, kSlots>;

    Slots m_slots;
    mutable QReadWriteLock m_lock{QReadWriteLock::Recursive};
};
