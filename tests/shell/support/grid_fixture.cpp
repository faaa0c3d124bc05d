#include "shell/support/grid_fixture.h"

#include <QDir>

void GridTest::SetUp()
{
    ASSERT_TRUE(m_programDir.isValid());
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_programDir.path());
    ShellHubTest::SetUp();
}

void GridTest::TearDown()
{
    grids.clear();
    ShellHubTest::TearDown();
    QDir::setCurrent(m_previousDir);
}

CCameo* GridTest::NewGrid(int kind, int cells, int split)
{
    grids.push_back(std::make_unique<CCameo>(nullptr));
    CCameo* grid = grids.back().get();
    if (kind >= 0 && kind <= 2)
        grid->InitCameo(kind, cells, split);
    return grid;
}

CCameo* GridTest::NewEmapTile()
{
    grids.push_back(std::make_unique<GridEmapTile>());
    CCameo* grid = grids.back().get();
    grid->InitCameo(CCameo::KindLive, 1, -1);
    return grid;
}

void GridTest::DeleteGrid(CCameo* grid)
{
    for (auto it = grids.begin(); it != grids.end(); ++it) {
        if (it->get() == grid) {
            grids.erase(it);
            return;
        }
    }
}

void GridTest::PutPicture(CCameo* grid, int cell, const QImage& picture, bool crop)
{
    QMutexLocker lock(grid->GetCellsLock());
    grid->SetCameoImage(picture, cell, crop);
}

QImage GridTest::Solid(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(color);
    return image;
}
