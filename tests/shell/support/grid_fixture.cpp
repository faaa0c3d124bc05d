#include "shell/support/grid_fixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

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

CCameo* GridTest::NewGrid(CameoKind kind, int cells, int split)
{
    CCameo* grid = NewFreshGrid();
    grid->InitCameo(int(kind), cells, split);
    return grid;
}

CCameo* GridTest::NewFreshGrid()
{
    grids.push_back(std::make_unique<CCameo>(nullptr));
    return grids.back().get();
}

CCameo* GridTest::NewEmapTile()
{
    grids.push_back(std::make_unique<GridEmapTile>());
    CCameo* grid = grids.back().get();
    grid->InitCameo(int(CameoKind::Live), 1, -1);
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

int GridTest::HandOffLiveUntilCounted(CCameo* grid, int recorder, int channel, int cell, bool keep)
{
    // A busy machine may hold the redraw thread inside its pass for long: the limit is one of
    // time, not of tries.
    QDeadlineTimer limit(30000);
    int counted = 0;
    for (int attempt = 0; counted == 0 && (attempt == 0 || !limit.hasExpired()); ++attempt) {
        if (attempt > 0)
            QThread::usleep(200); // let the redraw thread finish its pass
        hub->Sessions()->CountCameoFrame(recorder, channel, grid->GetCameoIndex(), cell, keep ? 1 : 0, 0);
        grid->OnFPSTimer();
        counted = grid->GetCellFps(cell);
    }
    return counted;
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
