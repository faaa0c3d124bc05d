#include "shell/cameocells.h"

#include <algorithm>
#include <cmath>

#include "shell/cameoosd.h"

CameoCells::CameoCells()
{
    m_layout.fill(-1);
}

void CameoCells::LayOut(int first, int split, int count, std::vector<int>* shown, std::vector<int>* hidden)
{
    m_layout.fill(-1);
    count = std::clamp(count, 0, kCells);
    const int n = CameoOsd::IntegerSqrt(split);
    if (n < 1 || first < 0 || first >= count)
        return;
    int c = first;
    int x = 0;
    int y = 0;
    for (int i = 0; i < count; ++i) {
        m_cells[size_t(i)].selected = 0;
        CameoCell& cell = m_cells[size_t(c)];
        if (i < split) {
            cell.active = 1;
            cell.column = x;
            cell.row = y;
            if (x < kLayoutSide && y < kLayoutSide)
                m_layout[size_t(x * kLayoutSide + y)] = c;
            if (shown)
                shown->push_back(c);
            if (++x >= n) {
                x = 0;
                ++y;
            }
        } else if (hidden) {
            hidden->push_back(c);
        }
        if (++c >= count)
            c = 0;
    }
}

int CameoCells::LayoutCell(int column, int row) const
{
    if (column < 0 || column >= kLayoutSide || row < 0 || row >= kLayoutSide)
        return -1;
    return m_layout[size_t(column * kLayoutSide + row)];
}

int CameoCells::CellAt(int x, int y, int width, int height, int split) const
{
    const int n = CameoOsd::IntegerSqrt(split);
    if (n < 1 || x < 0 || y < 0)
        return -1;
    const int cellWidth = width / n;
    const int cellHeight = height / n;
    if (cellWidth < 1 || cellHeight < 1)
        return -1;
    const int column = x / cellWidth;
    const int row = y / cellHeight;
    if (column >= n || row >= n)
        return -1;
    return LayoutCell(column, row);
}

int CameoCells::PageFirst(int first, int split, int shownSplit, int count, bool newSplit)
{
    if (split < 1)
        return first;
    if (split == shownSplit && !newSplit) {
        first += split;
        return first >= count ? 0 : first / split * split;
    }
    return first >= 1 ? first / split * split : first;
}

void CameoCells::SelectOnly(int cell)
{
    for (CameoCell& c : m_cells)
        c.selected = 0;
    if (IsCell(cell))
        m_cells[size_t(cell)].selected = 1;
}

QVector<bool> CameoCells::Selection(int count) const
{
    QVector<bool> selected(std::clamp(count, 0, kCells));
    for (int i = 0; i < selected.size(); ++i)
        selected[i] = m_cells[size_t(i)].selected != 0;
    return selected;
}

void CameoCells::SetSelection(const QVector<bool>& selected)
{
    for (int i = 0; i < selected.size() && i < kCells; ++i)
        m_cells[size_t(i)].selected = selected[i] ? 1 : 0;
}

void CameoCells::Reset(int cell, bool keepPicture, const QImage& blank)
{
    if (!IsCell(cell))
        return;
    CameoCell& c = m_cells[size_t(cell)];
    c.active = 0;
    c.selected = 0;
    c.column = 0;
    c.row = 0;
    c.zoom = 1.0f;
    c.osdDate = 0;
    c.osdTime = 0;
    c.frozen = 0;
    c.videoLoss = 0;
    c.sensor = 0;
    c.motion = 0;
    if (!keepPicture)
        c.picture = blank;
}

void CameoCells::Empty(int cell, const QImage& blank)
{
    if (!IsCell(cell))
        return;
    CameoCell& c = m_cells[size_t(cell)];
    c.recorder = -1;
    c.channel = -1;
    c.rememberedRecorder = -1;
    c.rememberedChannel = -1;
    c.liveStarted = 0;
    c.zoom = 1.0f;
    c.picture = blank;
    c.videoLoss = 0;
    c.sensor = 0;
    c.motion = 0;
}

void CameoCells::Unbind(int cell, const QImage& blank)
{
    if (!IsCell(cell))
        return;
    CameoCell& c = m_cells[size_t(cell)];
    c.recorder = -1;
    c.channel = -1;
    c.zoom = 1.0f;
    c.osdDate = 0;
    c.osdTime = 0;
    c.frozen = 0;
    c.picture = blank;
    c.videoLoss = c.sensor = c.motion = 0;
}

void CameoCells::Place(int cell, int recorder, int channel)
{
    if (!IsCell(cell))
        return;
    CameoCell& c = m_cells[size_t(cell)];
    c.rememberedRecorder = recorder;
    c.rememberedChannel = channel;
    c.osdDate = -1;
    c.osdTime = -1;
}

void CameoCells::Swap(int cell, int otherCell)
{
    if (!IsCell(cell) || !IsCell(otherCell) || cell == otherCell)
        return;
    CameoCell& first = m_cells[size_t(cell)];
    CameoCell& second = m_cells[size_t(otherCell)];
    std::swap(first, second);
    std::swap(first.column, second.column);
    std::swap(first.row, second.row);
}

int CameoCells::Find(int recorder, int channel, int count) const
{
    for (int i = 0; i < std::min(count, kCells); ++i) {
        const CameoCell& c = m_cells[size_t(i)];
        if (c.recorder == recorder && c.channel == channel)
            return i;
    }
    return -1;
}

void CameoCells::SetZoom(int cell, float zoom, bool resetPan)
{
    if (!IsCell(cell))
        return;
    CameoCell& c = m_cells[size_t(cell)];
    c.zoom = zoom;
    if (resetPan) {
        c.panX = 0;
        c.panY = 0;
    }
}

void CameoCells::FreezeSelected(int count, bool online)
{
    for (int i = 0; i < std::min(count, kCells); ++i) {
        CameoCell& c = m_cells[size_t(i)];
        if (c.selected)
            c.frozen = online ? !c.frozen : 0;
    }
}
