#include "playback/hpitemcommon.h"

#include <algorithm>

std::atomic<quint64> HPItemCommon::s_counter{0};

HPItemCommon::HPItemCommon(int type, QString name)
    : m_type(type)
    , m_serial(++s_counter)
    , m_name(std::move(name))
{}

HPItemCommon* HPItemCommon::Child(int i) const
{
    return i >= 0 && i < ChildCount() ? m_children[size_t(i)].get() : nullptr;
}

bool HPItemCommon::Visible() const
{
    return !(m_type == kCamera || (m_type >= 5 && m_type <= 10));
}

HPItemCommon* HPItemCommon::Insert(std::unique_ptr<HPItemCommon> item, const QString& latestView)
{
    if (!item)
        return nullptr;
    auto at = m_children.end();
    if (item->m_type == kRecorder) {
        at = std::find_if(m_children.begin(), m_children.end(),
                          [](const auto& child) { return child->m_type == 5 || child->m_type == 8; });
    } else if (item->m_type == kFront
               || (item->m_type == kLatestViewGroup && !latestView.isEmpty() && item->m_name == latestView)) {
        at = m_children.begin();
    }
    item->m_parent = this;
    return m_children.insert(at, std::move(item))->get();
}

std::unique_ptr<HPItemCommon> HPItemCommon::Take(HPItemCommon* child)
{
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == m_children.end())
        return nullptr;
    std::unique_ptr<HPItemCommon> taken = std::move(*it);
    m_children.erase(it);
    taken->m_parent = nullptr;
    return taken;
}

HPItemCommon* HPItemCommon::Find(int type, int key)
{
    if ((type == kAnyType || type == m_type) && Matches(key))
        return this;
    for (const auto& child : m_children) {
        if (HPItemCommon* found = child->Find(type, key))
            return found;
    }
    return nullptr;
}

std::vector<HPItemCommon*> HPItemCommon::Collect(int type)
{
    std::vector<HPItemCommon*> items;
    if (type == kAnyType || type == m_type)
        items.push_back(this);
    for (const auto& child : m_children) {
        const auto below = child->Collect(type);
        items.insert(items.end(), below.begin(), below.end());
    }
    return items;
}

void HPItemCommon::RemoveChildren()
{
    m_children.clear();
}
