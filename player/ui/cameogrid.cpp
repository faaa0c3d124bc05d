#include "ui/cameogrid.h"

#include <cmath>

namespace {

// Zoom factors move in tenths; keeping them on the tenth stops float drift from letting one step
// too many through at the limits.
float RoundedZoom(float zoom)
{
    return std::round(zoom * 10.0f) / 10.0f;
}

} // namespace

CameoGrid::CameoGrid()
{
    for (int tile = 0; tile < kCameoCount; ++tile) {
        m_items[tile].Reset(tile);
    }
    m_layoutCode = CameoLayout::kSixteen;
    m_selected[0] = 1;
}

std::optional<CameoItem> CameoGrid::GetCameo(int tile) const
{
    if (!IsCameoIndex(tile)) {
        return std::nullopt;
    }
    QMutexLocker locker(&m_lock);
    return m_items[tile];
}

CameoView CameoGrid::View(int tile) const
{
    CameoView view;
    if (!IsCameoIndex(tile)) {
        return view;
    }
    QMutexLocker locker(&m_lock);
    view.item = m_items[tile];
    view.rect = m_rects[tile];
    view.hasRect = m_width >= 0 && m_rects[tile].IsSet();
    view.selected = m_selected[tile] != 0;
    view.layoutCode = m_layoutCode;
    view.multiTile = IsMultiTileLocked();
    return view;
}

void CameoGrid::ResetCameo(int tile)
{
    // The tile still lies in the current layout: only its source and settings go.
    Update(tile, [tile](CameoItem& item) {
        const int visible = item.visible;
        item.Reset(tile);
        item.visible = visible;
    });
}

std::array<bool, 16> CameoGrid::AssignedTiles() const
{
    QMutexLocker locker(&m_lock);
    std::array<bool, 16> assigned{};
    for (int tile = 0; tile < kCameoCount; ++tile) {
        assigned[tile] = m_items[tile].assigned != 0;
    }
    return assigned;
}

int CameoGrid::GetFirstSelected() const
{
    QMutexLocker locker(&m_lock);
    return FirstSelectedLocked();
}

int CameoGrid::FirstSelectedLocked() const
{
    for (int tile = 0; tile < kCameoCount; ++tile) {
        if (m_selected[tile]) {
            return tile;
        }
    }
    return -1;
}

int CameoGrid::GetSelectedCameos(QVector<int>& list) const
{
    QMutexLocker locker(&m_lock);
    int count = 0;
    for (int tile = 0; tile < kCameoCount; ++tile) {
        if (m_selected[tile]) {
            list.append(tile);
            ++count;
        }
    }
    return count;
}

void CameoGrid::SelectCameo(int tile, bool select, bool add)
{
    if (!IsCameoIndex(tile)) {
        return;
    }
    QMutexLocker locker(&m_lock);
    if (select) {
        if (!add) {
            m_selected.fill(0);
        }
        m_selected[tile] = 1;
    } else {
        m_selected[tile] = 0;
    }
}

bool CameoGrid::IsSelected(int tile) const
{
    if (!IsCameoIndex(tile)) {
        return false;
    }
    QMutexLocker locker(&m_lock);
    return m_selected[tile] != 0;
}

void CameoGrid::SelectByClick(int tile, SelectKeys keys)
{
    if (!IsCameoIndex(tile)) {
        return;
    }
    QMutexLocker locker(&m_lock);
    switch (keys) {
    case SelectKeys::Control: m_selected[tile] = m_selected[tile] ? 0 : 1; break;
    case SelectKeys::Shift: {
        // The anchor of a Shift run is always the first tile: nothing ever moves it.
        const int anchor = 0;
        m_selected.fill(0);
        for (int run = std::min(anchor, tile); run <= std::max(anchor, tile); ++run) {
            m_selected[run] = 1;
        }
        break;
    }
    case SelectKeys::None:
        m_selected.fill(0);
        m_selected[tile] = 1;
        break;
    }
}

void CameoGrid::SelectAll()
{
    QMutexLocker locker(&m_lock);
    bool allSelected = true;
    int firstVisible = -1;
    for (int tile = 0; tile < kCameoCount; ++tile) {
        if (m_items[tile].visible) {
            if (firstVisible < 0) {
                firstVisible = tile;
            }
            allSelected = allSelected && m_selected[tile];
        }
    }
    if (firstVisible < 0) {
        return;
    }
    for (int tile = 0; tile < kCameoCount; ++tile) {
        if (allSelected) {
            m_selected[tile] = tile == firstVisible ? 1 : 0;
        } else {
            m_selected[tile] = m_items[tile].visible ? 1 : 0;
        }
    }
}

int CameoGrid::CameoFromPoint(int x, int y) const
{
    QMutexLocker locker(&m_lock);
    for (int tile = 0; tile < kCameoCount; ++tile) {
        if (m_items[tile].visible && m_rects[tile].IsSet() && m_rects[tile].Contains(x, y)) {
            return tile;
        }
    }
    return -1;
}

int CameoGrid::FindCameo(int sourceId, int channel) const
{
    QMutexLocker locker(&m_lock);
    for (int tile = 0; tile < kCameoCount; ++tile) {
        const CameoItem& item = m_items[tile];
        if (item.fileTile && item.sourceId == sourceId && item.channel == channel) {
            return tile;
        }
    }
    return -1;
}

int CameoGrid::FindLiveCameo(int serverId, int camera) const
{
    QMutexLocker locker(&m_lock);
    for (int tile = 0; tile < kCameoCount; ++tile) {
        const CameoItem& item = m_items[tile];
        if (item.serverId == serverId && item.camera == camera && serverId != kNoSourceId) {
            return tile;
        }
    }
    return -1;
}

bool CameoGrid::GetCameoRect(int tile, CameoRect* rect) const
{
    if (!IsCameoIndex(tile)) {
        return false;
    }
    QMutexLocker locker(&m_lock);
    if (m_width < 0 || !m_rects[tile].IsSet()) {
        return false;
    }
    if (rect) {
        *rect = m_rects[tile];
    }
    return true;
}

QVector<CameoRect> CameoGrid::SpareCells() const
{
    QMutexLocker locker(&m_lock);
    return m_spareCells;
}

CameoLayoutChange CameoGrid::Layout(int width, int height, int code, bool repress, bool restore, bool keepStart)
{
    QMutexLocker locker(&m_lock);
    const int codeBefore = m_layoutCode;
    const int startBefore = m_start;
    int start = 0;
    if (repress && code == m_layoutCode) {
        std::array<bool, 16> assigned{};
        for (int tile = 0; tile < kCameoCount; ++tile) {
            assigned[tile] = m_items[tile].assigned != 0;
        }
        start = CameoLayout::NormaliseStart(code, CameoLayout::RepressStart(code, m_start, assigned));
        m_selected.fill(0);
        m_selected[start] = 1;
    } else {
        const int first = FirstSelectedLocked();
        start = CameoLayout::NormaliseStart(code, first < 0 ? 0 : first);
        if (restore && code != 0) {
            start = m_savedMultiStart;
        }
        if (keepStart) {
            start = startBefore;
        }
    }

    if (codeBefore != 0) {
        m_previousLayoutCode = codeBefore;
    }
    if (code != 0) {
        m_savedMultiStart = start;
    }
    m_width = width;
    m_height = height;
    m_layoutCode = code;
    m_start = start;

    const CameoPlacement placement = CameoLayout::Place(code, start, width, height);
    m_rects = placement.rects;
    m_spareCells = placement.spareCells;
    for (int tile = 0; tile < kCameoCount; ++tile) {
        m_items[tile].visible = placement.visible[tile] ? 1 : 0;
    }

    CameoLayoutChange change;
    change.changed = !(code == codeBefore && !repress && !restore && start == startBefore);
    if (change.changed) {
        for (int tile = 0; tile < kCameoCount; ++tile) {
            CameoItem& item = m_items[tile];
            if (!item.streaming) {
                change.clearPictures.append(tile);
            }
            if (!item.fileTile) {
                item.restart = 1;
            }
        }
    }
    return change;
}

int CameoGrid::LayoutCode() const
{
    QMutexLocker locker(&m_lock);
    return m_layoutCode;
}

int CameoGrid::PreviousLayoutCode() const
{
    QMutexLocker locker(&m_lock);
    return m_previousLayoutCode;
}

int CameoGrid::StartTile() const
{
    QMutexLocker locker(&m_lock);
    return m_start;
}

int CameoGrid::Width() const
{
    QMutexLocker locker(&m_lock);
    return m_width;
}

int CameoGrid::Height() const
{
    QMutexLocker locker(&m_lock);
    return m_height;
}

bool CameoGrid::IsMultiTile() const
{
    QMutexLocker locker(&m_lock);
    return IsMultiTileLocked();
}

bool CameoGrid::IsMultiTileLocked() const
{
    return m_layoutCode != CameoLayout::kSingle;
}

int CameoGrid::ZoomIn()
{
    QMutexLocker locker(&m_lock);
    const int tile = FirstSelectedLocked();
    if (tile < 0) {
        return -1;
    }
    const float zoom = RoundedZoom(m_items[tile].zoom + kZoomStep);
    if (zoom > kZoomMax) {
        return -1;
    }
    m_items[tile].zoom = zoom;
    return tile;
}

int CameoGrid::ZoomOut()
{
    QMutexLocker locker(&m_lock);
    const int tile = FirstSelectedLocked();
    if (tile < 0) {
        return -1;
    }
    const float zoom = RoundedZoom(m_items[tile].zoom - kZoomStep);
    if (zoom < 1.0f) {
        return -1;
    }
    m_items[tile].zoom = zoom;
    return tile;
}

void CameoGrid::SetPan(int tile, int x, int y)
{
    Update(tile, [x, y](CameoItem& item) {
        item.panX = std::max(0, x);
        item.panY = std::max(0, y);
    });
}
