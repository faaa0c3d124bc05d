#pragma once
// The state of the player's tile grid without any window: the sixteen tile records, the split
// layout with its rectangles, the selection and each tile's zoom and pan. The grid window and the
// display read it from different threads, so every access goes through the grid's lock and
// readers get copies.
#include "ui/cameoitem.h"
#include "ui/cameolayout.h"

#include <QMutex>
#include <QVector>
#include <array>
#include <optional>

// Keys held during a click on a tile.
enum class SelectKeys { None, Control, Shift };

// One tile as the display needs it, copied under the lock.
struct CameoView
{
    CameoItem item;
    CameoRect rect;
    bool hasRect = false;
    bool selected = false;
    int layoutCode = 0;
    bool multiTile = false;
};

// What a layout call changed, for the caller to pass on to the video engine.
struct CameoLayoutChange
{
    bool changed = false;
    // Tiles whose pictures are to be cleared (those without a requested live stream).
    QVector<int> clearPictures;
};

class CameoGrid
{
public:
    static constexpr float kZoomStep = 0.1f;
    static constexpr float kZoomMax = 3.0f;

    CameoGrid();

    std::optional<CameoItem> GetCameo(int tile) const;
    CameoView View(int tile) const;
    // Changes one record under the lock; false for a tile number outside 0..15.
    template <class Change>
    bool Update(int tile, Change&& change)
    {
        if (!IsCameoIndex(tile)) {
            return false;
        }
        QMutexLocker locker(&m_lock);
        change(m_items[tile]);
        return true;
    }
    void ResetCameo(int tile);
    std::array<bool, 16> AssignedTiles() const;

    int GetFirstSelected() const;
    int GetSelectedCameos(QVector<int>& list) const;
    void SelectCameo(int tile, bool select, bool add);
    bool IsSelected(int tile) const;
    void SelectByClick(int tile, SelectKeys keys);
    void SelectAll();

    int CameoFromPoint(int x, int y) const;
    int FindCameo(int sourceId, int channel) const;
    int FindLiveCameo(int serverId, int camera) const;
    bool GetCameoRect(int tile, CameoRect* rect) const;
    QVector<CameoRect> SpareCells() const;

    CameoLayoutChange Layout(int width, int height, int code, bool repress, bool restore, bool keepStart);
    int LayoutCode() const;
    int PreviousLayoutCode() const;
    int StartTile() const;
    int Width() const;
    int Height() const;
    bool IsMultiTile() const;

    // Zoom of the first selected tile one step in or out; the tile changed, or -1.
    int ZoomIn();
    int ZoomOut();
    // Stores a pan offset; negative values become 0.
    void SetPan(int tile, int x, int y);

private:
    bool IsMultiTileLocked() const;
    int FirstSelectedLocked() const;

    mutable QMutex m_lock;
    int m_width = -1;
    int m_height = -1;
    int m_layoutCode = -1;
    int m_previousLayoutCode = CameoLayout::kSixteen;
    int m_start = 0;
    int m_savedMultiStart = 0;
    std::array<CameoRect, 16> m_rects{};
    std::array<int, 16> m_selected{};
    std::array<CameoItem, 16> m_items;
    QVector<CameoRect> m_spareCells;
};
