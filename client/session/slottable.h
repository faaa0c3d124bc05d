#pragma once
// A fixed number of numbered slots (0 to N - 1), each an in-use byte and a pointer to an object
// registered there: the shape of the hub's recorder and grid tables. The table owns none of the
// objects. Indices are checked as unsigned, so negative ones fail too; a slot's pointer counts
// only while the slot is in use, and a freed slot holds null. No lock: the tables that need one
// hold it around these calls.
#include <QtGlobal>

#include <array>

template <typename T, int N>
class SlotTable
{
public:
    static constexpr int kSlots = N;

    static bool IsIndex(int index) { return static_cast<unsigned>(index) < unsigned(N); }

    // The object in the slot; null for a bad index or a free slot.
    T* Get(int index) const { return IsIndex(index) && At(index).inUse ? At(index).item : nullptr; }

    // False (table unchanged) for a bad index, no object or a slot in use.
    bool Add(int index, T* item)
    {
        if (!IsIndex(index) || !item || At(index).inUse)
            return false;
        At(index) = Slot{1, item};
        return true;
    }

    // False for a bad index or a slot that was not in use.
    bool Remove(int index)
    {
        if (!IsIndex(index) || !At(index).inUse)
            return false;
        At(index) = Slot{};
        return true;
    }

    // The lowest free index, -1 when every slot is in use.
    int FreeIndex() const
    {
        for (int i = 0; i < N; ++i) {
            if (!At(i).inUse)
                return i;
        }
        return -1;
    }

    // The lowest index whose object matches, -1 when none does.
    template <typename Match>
    int FindIndex(Match match) const
    {
        for (int i = 0; i < N; ++i) {
            if (At(i).inUse && At(i).item && match(*At(i).item))
                return i;
        }
        return -1;
    }

    // Every object in index order.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        for (const Slot& slot : m_slots) {
            if (slot.inUse && slot.item)
                visit(*slot.item);
        }
    }

private:
    struct Slot
    {
        quint8 inUse = 0;
        T* item = nullptr;
    };

    Slot& At(int index) { return m_slots[static_cast<size_t>(index)]; }
    const Slot& At(int index) const { return m_slots[static_cast<size_t>(index)]; }

    std::array<Slot, N> m_slots{};
};
