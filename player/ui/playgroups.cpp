#include "ui/playgroups.h"

PlayGroups::PlayGroups()
{
    for (auto& group : m_times)
        group.fill(kNoTime);
}

int PlayGroups::NewPlayGroup(const QVector<int>& selected, PlayGroupTiles& tiles)
{
    std::lock_guard<std::mutex> lock(m_groupLock);
    for (const int tile : selected) {
        if (tile < 0 || tile >= 16 || !tiles.IsPlaying(tile) || !tiles.IsOpen(tile))
            continue;
        const int old = tiles.PlayGroup(tile);
        if (old >= 0 && old < kGroups)
            m_times[old][tile] = kNoTime;
        tiles.SetPlayGroup(tile, -1);
    }
    auto held = [&tiles](int group) {
        for (int t = 0; t < 16; ++t) {
            if (tiles.IsPlaying(t) && tiles.PlayGroup(t) == group)
                return true;
        }
        return false;
    };
    for (int tries = 0; tries < kGroups; ++tries) {
        m_counter = (m_counter + 1) % kGroups;
        if (!held(m_counter))
            break;
    }
    m_times[m_counter].fill(kNoTime);
    return m_counter;
}

bool PlayGroups::UpdateGroupTime(int group, int time, int tile, int direction, bool force,
                                 const PlayGroupTiles& tiles, int barGroup, int barTile,
                                 const std::function<void(int)>& show)
{
    if (group < 0 || group >= kGroups || tile < 0 || tile >= 16)
        return false;
    m_times[group][tile] = time;
    bool slowest = true;
    for (int j = 0; j < 16 && slowest; ++j) {
        if (j == tile || !tiles.IsPlaying(j))
            continue;
        const int other = m_times[group][j];
        if (other < 0)
            continue;
        if (direction < 0 ? other > time : other < time)
            slowest = false;
    }
    if ((slowest || force) && group == barGroup && tile == barTile && show)
        show(time);
    return slowest;
}

QVector<int> PlayGroups::SkipTargets(int tile, const std::function<int(int)>& groupOf,
                                     const std::function<bool(int)>& plays)
{
    if (tile < 0 || tile >= 16)
        return {};
    const int group = groupOf(tile);
    QVector<int> targets;
    for (int t = 0; t < 16; ++t) {
        const bool same = t == tile || (group >= 0 && group < kGroups && groupOf(t) == group);
        if (same && plays(t))
            targets << t;
    }
    return targets;
}

void PlayGroups::ClearSlot(int group, int tile)
{
    if (group >= 0 && group < kGroups && tile >= 0 && tile < 16)
        m_times[group][tile] = kNoTime;
}

int PlayGroups::TimeOf(int group, int tile) const
{
    if (group < 0 || group >= kGroups || tile < 0 || tile >= 16)
        return kNoTime;
    return m_times[group][tile];
}

int PlayGroups::GetNextRequestId()
{
    std::lock_guard<std::mutex> lock(m_requestLock);
    if (++m_requestCounter > 9999)
        m_requestCounter = 0;
    return m_requestCounter;
}

QString PlayGroups::TimeText(int hhmmss)
{
    const QString digits = QStringLiteral("%1").arg(hhmmss, 6, 10, QLatin1Char('0'));
    return digits.mid(0, 2) + QLatin1Char(':') + digits.mid(2, 2) + QLatin1Char(':') + digits.mid(4, 2);
}

int PlayGroups::BarPosition(int hhmmss)
{
    return ((hhmmss / 10000) * 60 + (hhmmss / 100) % 100) / 3;
}
