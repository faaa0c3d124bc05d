#include "session/museummatcher.h"

#include <QtEndian>

#include <algorithm>

void MuseumMatcher::SetArea(int gridFamily, int x1, int y1, int x2, int y2)
{
    m_set = true;
    m_gridFamily = gridFamily;
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    m_counter = -1;
    m_previous.clear();
}

void MuseumMatcher::Clear()
{
    m_set = false;
    m_counter = -1;
    m_previous.clear();
}

bool MuseumMatcher::ReadGrid(const char* motion, int size, Grid& grid)
{
    if (!motion || size < kHeadSize)
        return false;
    const auto* head = reinterpret_cast<const uchar*>(motion);
    grid.version = head[0];
    const int width = (head[1] & 1) ? 8 : 4;
    grid.columns = std::min(int(head[2]), width * 8);
    grid.rows = std::min(int(head[3]), kMaxRows);
    if (grid.rows < 1 || grid.columns < 1 || kHeadSize + grid.rows * width > size)
        return false;
    grid.masks.resize(grid.rows);
    const uchar* row = head + kHeadSize;
    for (int r = 0; r < grid.rows; ++r, row += width)
        grid.masks[r] = width == 8 ? qFromLittleEndian<quint64>(row) : qFromLittleEndian<quint32>(row);
    return true;
}

int MuseumMatcher::NeighbourCount(const QVector<quint64>& rowMasks, int columns, int column, int row)
{
    int count = 0;
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, int(rowMasks.size()) - 1); ++r) {
        for (int c = std::max(column - 1, 0); c <= std::min(column + 1, columns - 1); ++c) {
            if (c < 64 && (rowMasks[r] >> c) & 1u)
                ++count;
        }
    }
    return count;
}

MuseumMatch MuseumMatcher::TestFrame(const char* motion, int size, bool keyFrame, bool simpleLayout)
{
    m_counter = keyFrame ? 0 : m_counter + 1;
    Grid grid;
    if (!ReadGrid(motion, size, grid))
        return MuseumMatch::NoMotionData;
    if (simpleLayout)
        return TestSimple(grid);
    if (grid.version < kMinVersion)
        return MuseumMatch::NoMotionData;
    return TestGrid(grid);
}

MuseumMatch MuseumMatcher::TestSimple(const Grid& grid) const
{
    if (m_y1 < 0)
        return MuseumMatch::NoRows;
    if (m_x2 <= m_x1)
        return MuseumMatch::NoCells;
    const int x1 = std::max(m_x1, 0);
    const int x2 = std::min(m_x2, grid.columns);
    for (int r = m_y1; r < std::min(m_y2, grid.rows); ++r) {
        for (int c = x1; c < x2; ++c) {
            if ((grid.masks[r] >> c) & 1u)
                return MuseumMatch::Match;
        }
    }
    return MuseumMatch::NoCells;
}

MuseumMatch MuseumMatcher::TestGrid(const Grid& grid)
{
    const int x1 = std::max(m_x1, 0);
    const int y1 = std::max(m_y1, 0);
    const int x2 = std::min(m_x2, grid.columns);
    const int y2 = std::min(m_y2, grid.rows);
    int score = 0;
    int counted = 0;
    int alike = 0;
    QVector<quint64> inArea(grid.rows, 0);
    for (int r = y1; r < y2; ++r) {
        for (int c = x1; c < x2; ++c) {
            if (!((grid.masks[r] >> c) & 1u))
                continue;
            score += NeighbourCount(grid.masks, grid.columns, c, r);
            ++counted;
            inArea[r] |= quint64(1) << c;
            if (r < m_previous.size() && ((m_previous[r] >> c) & 1u))
                ++alike;
        }
    }
    if (counted == 0) {
        m_previous.clear();
        return MuseumMatch::TooLittle;
    }
    // Change along the border or in a narrow area has fewer neighbours to score with.
    if (x1 == 0 || y1 == 0 || x2 >= grid.columns || y2 >= grid.rows)
        score += kBorderAllowance;
    if (x2 - x1 <= 2 || y2 - y1 <= 2)
        score += kNarrowAllowance;
    if (score <= kScoreThreshold) {
        m_previous.clear();
        return MuseumMatch::TooLittle;
    }
    if (m_counter == 1)
        return MuseumMatch::Match;
    if (m_previous.isEmpty()) {
        m_previous = inArea;
        return MuseumMatch::FirstOfTwo;
    }
    return alike > kAlikeCells ? MuseumMatch::Match : MuseumMatch::NotLikePrevious;
}
