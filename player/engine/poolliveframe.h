#pragma once
// The program's pool of frame records: records are made on demand and recycled, never given back
// to the heap while the program runs, so that playing allocates nothing once the pool has grown to
// its working set.
#include "engine/liveframe.h"

#include <list>
#include <memory>
#include <mutex>
#include <vector>

class pool_LiveFrame
{
public:
    explicit pool_LiveFrame(int reserved = 10);

    // A record moved from the free to the in-use list (a new one when none is free); null when
    // no record could be allocated. A record handed out has length 0, no display 0, mark -1.
    LiveFrame* Take();
    // The record leaves the in-use list for the end of the free list; frame becomes null.
    void GiveBack(LiveFrame*& frame);
    // n new records into the free list; -1 when an allocation fails, else 0.
    int Reserve(int n);

    int FreeCount() const;
    int InUseCount() const;

private:
    static std::unique_ptr<LiveFrame> Make();

    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<LiveFrame>> m_all;
    std::list<LiveFrame*> m_free;
    std::list<LiveFrame*> m_inUse;
};
