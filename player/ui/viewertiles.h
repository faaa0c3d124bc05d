#pragma once
// What the main dialog and its bars need of the tile grid: selection, visibility, opening a
// file in a tile, layout and redrawing. The grid window implements it; tests give a fake.
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVector>

class ViewerTiles
{
public:
    static constexpr int kTileCount = 16;

    virtual ~ViewerTiles() = default;

    // Selected tiles in selection order; empty when none is selected.
    virtual QVector<int> SelectedCameos() const = 0;
    virtual void SelectOnly(int tile) = 0;
    virtual void SelectAll() = 0;
    // True when the tile is shown in the current layout.
    virtual bool IsVisible(int tile) const = 0;
    // The frames per second the tile is set to show (its image adjust setting). Called from the
    // tiles' play threads too.
    virtual int FrameRate(int tile) const = 0;
    // Opens the file in the tile; false when the recording was not opened.
    virtual bool OpenFile(int tile, const QString& path) = 0;
    // The tile under a point of the grid window, or -1.
    virtual int CameoFromPoint(const QPoint& point) const = 0;
    // Lays the tiles out for an area of `size` with a layout code.
    virtual void Layout(const QSize& size, int code, bool repress, bool restore) = 0;
    virtual int SplitCode() const = 0;
    virtual void RedrawAll() = 0;
};
