#pragma once
// Search tests that put a stand-in pop-up where the session looks for the program's own: the
// stand-in's log of what reached it from the search thread, and a fixture that installs the
// stand-in for one test and puts the previous pop-up back.
#include <QMutex>
#include <QMutexLocker>

#include <vector>

#include "shell/support/grid_online_fixture.h"

// Entries added on one thread and read on another.
template <class Entry>
class LockedLog
{
public:
    void Append(const Entry& entry)
    {
        QMutexLocker lock(&m_lock);
        m_entries.push_back(entry);
    }
    std::vector<Entry> Entries() const
    {
        QMutexLocker lock(&m_lock);
        return m_entries;
    }

private:
    mutable QMutex m_lock;
    std::vector<Entry> m_entries;
};

// `Face` is the session's face of the pop-up (with static Install and Instance); `popup` is
// installed by the test itself, once the main window has installed its own.
template <class Face, class StandIn>
class StandInPopupTest : public GridOnlineTest
{
protected:
    void TearDown() override
    {
        Face::Install(previous);
        GridOnlineTest::TearDown();
    }

    Face* previous = Face::Instance();
    StandIn popup;
};
