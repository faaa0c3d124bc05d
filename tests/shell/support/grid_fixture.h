#pragma once
// Grid tests: a hub with named recorders (from the shell hub fixture) and grids that are
// destroyed before the recorders and the hub. The hub runs in a temporary program directory, so
// the settings it writes when it closes (display flags among them) stay with the test.
#include <QImage>
#include <QMutexLocker>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "shell/ccameo.h"
#include "shell/support/shell_hubfixture.h"

// The e-map camera tile's grid: a one-cell live grid with the e-map flag.
class GridEmapTile : public CCameo
{
public:
    GridEmapTile()
        : CCameo(nullptr)
    {
        SetEmapFlag(true);
    }
};

class GridTest : public ShellHubTest
{
public:
    // Stores a picture in a cell the way a decoder's hand-off does: under the cells lock.
    static void PutPicture(CCameo* grid, int cell, const QImage& picture, bool crop = false);
    // A picture of one colour.
    static QImage Solid(int width, int height, QColor color);
    // Hands a live picture on the way a decoder keeps doing. A live hand-off skips a picture
    // while the redraw thread holds the cells, so the picture is handed on again until the
    // cell counts it or 30 s went by. Returns the frames the cell counted at the last try (the
    // grid's frame-rate count is taken on every try).
    int HandOffLiveUntilCounted(CCameo* grid, int recorder, int channel, int cell, bool keep = false);

protected:
    void SetUp() override;
    void TearDown() override;

    // A grid set up with InitCameo.
    CCameo* NewGrid(CameoKind kind, int cells, int split = -1);
    // A grid as its constructor leaves it, before InitCameo.
    CCameo* NewFreshGrid();
    CCameo* NewEmapTile();
    void DeleteGrid(CCameo* grid);

    std::vector<std::unique_ptr<CCameo>> grids;

private:
    QTemporaryDir m_programDir;
    QString m_previousDir;
};
