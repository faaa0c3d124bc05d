#include "engine/poolliveframe.h"

#include <algorithm>
#include <new>

std::unique_ptr<LiveFrame> pool_LiveFrame::Make()
{
    try {
        return std::make_unique<LiveFrame>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

pool_LiveFrame::pool_LiveFrame(int reserved)
{
    Reserve(reserved);
}

LiveFrame* pool_LiveFrame::Take()
{
    std::lock_guard<std::mutex> guard(m_lock);
    LiveFrame* frame = nullptr;
    if (!m_free.empty()) {
        frame = m_free.front();
        m_free.pop_front();
    } else {
        std::unique_ptr<LiveFrame> made = Make();
        if (!made)
            return nullptr;
        frame = made.get();
        m_all.push_back(std::move(made));
    }
    frame->length = 0;
    frame->noDisplay = 0;
    frame->mark = -1;
    m_inUse.push_back(frame);
    return frame;
}

void pool_LiveFrame::GiveBack(LiveFrame*& frame)
{
    if (!frame)
        return;
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = std::find(m_inUse.begin(), m_inUse.end(), frame);
    if (it != m_inUse.end()) {
        m_inUse.erase(it);
        m_free.push_back(frame);
    }
    frame = nullptr;
}

int pool_LiveFrame::Reserve(int n)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<LiveFrame> made = Make();
        if (!made)
            return -1;
        m_free.push_back(made.get());
        m_all.push_back(std::move(made));
    }
    return 0;
}

int pool_LiveFrame::FreeCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return int(m_free.size());
}

int pool_LiveFrame::InUseCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return int(m_inUse.size());
}
