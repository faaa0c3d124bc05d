#pragma once
// The dialog's view of the grid window: selection, visibility, opening a file in a tile and
// layouts, over HPCameo.
#include <functional>

#include "ui/viewertiles.h"

class HPCameo;

class CameoTiles : public ViewerTiles
{
public:
    explicit CameoTiles(HPCameo& cameo)
        : m_cameo(cameo)
    {}

    QVector<int> SelectedCameos() const override;
    void SelectOnly(int tile) override;
    void SelectAll() override;
    bool IsVisible(int tile) const override;
    int FrameRate(int tile) const override;
    // True when the tile's player opened the recording.
    bool OpenFile(int tile, const QString& path) override;
    int CameoFromPoint(const QPoint& point) const override;
    void Layout(const QSize& size, int code, bool repress, bool restore) override;
    int SplitCode() const override;
    void RedrawAll() override;

    // Set by the dialog: whether a tile's player holds an opened recording.
    void SetOpenedCheck(std::function<bool(int)> opened) { m_opened = std::move(opened); }

private:
    HPCameo& m_cameo;
    std::function<bool(int)> m_opened;
};
