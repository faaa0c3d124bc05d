#pragma once
// The hub's recorder table: 9999 slots (indices 0 to 9998), one session object per slot.
// Sessions take their slot in their constructor and free it in their destructor; the table owns
// none of them. A bad index gives null, false or nothing. Written on the user-interface thread
// only; the session threads read it without a lock.
#include <QString>

#include "session/slottable.h"

class CModuleDevice;
class RecorderSession;

class RecorderTable
{
public:
    static constexpr int kSlots = 9999;

    static bool IsIndex(int index) { return Slots::IsIndex(index); }

    // The session in the slot; null for a bad index or a free slot.
    RecorderSession* GetDevice(int index) const;
    // False (table unchanged) for a bad index, no session or a slot in use.
    bool AddDevice(int index, CModuleDevice* device);
    // False for a bad index or a slot that was not in use.
    bool RemoveDevice(int index);
    // The lowest free index, -1 when all slots are in use.
    int GetFreeDeviceIndex() const { return m_slots.FreeIndex(); }
    // The lowest in-use index whose recorder name is exactly the name; -1 for an empty name or
    // no match.
    int FindDeviceByName(const QString& name) const;
    // True while any registered recorder is logged in.
    bool IsAnyDeviceConnected() const;
    // Live sound, then playback sound, of every registered recorder in index order.
    void StopAllAudio() const;

private:
    using Slots = SlotTable<CModuleDevice, kSlots>;

    Slots m_slots;
};
