#pragma once
// A grid of sixteen tiles for the dialog's logic: selection, visibility by layout count and a
// set of files that open.
#include <QMap>
#include <QSet>
#include <QStringList>

#include "ui/viewertiles.h"

class FakeViewerTiles : public ViewerTiles
{
public:
    QVector<int> selected{0};
    int visibleCount = 4;
    int visibleFirst = 0;
    QSet<QString> openable;
    QStringList opened; // "tile:path" of every open tried
    int redraws = 0;
    int code = 1;
    QSize laidOutSize;
    QMap<int, int> frameRates; // tile → its frame rate (15 when not set)

    QVector<int> SelectedCameos() const override { return selected; }
    void SelectOnly(int tile) override { selected = {tile}; }
    void SelectAll() override
    {
        selected.clear();
        for (int t = 0; t < kTileCount; ++t)
            selected.append(t);
    }
    bool IsVisible(int tile) const override { return tile >= visibleFirst && tile < visibleFirst + visibleCount; }
    int FrameRate(int tile) const override { return frameRates.value(tile, 15); }
    bool OpenFile(int tile, const QString& path) override
    {
        opened << QStringLiteral("%1:%2").arg(tile).arg(path);
        return openable.contains(path);
    }
    int CameoFromPoint(const QPoint& point) const override
    {
        return point.x() >= 0 && point.x() < 16 ? point.x() : -1;
    }
    void Layout(const QSize& size, int layoutCode, bool, bool) override
    {
        laidOutSize = size;
        code = layoutCode;
    }
    int SplitCode() const override { return code; }
    void RedrawAll() override { ++redraws; }
};
