#include "ui/hpcameo.h"

#include "support/displayfakes.h"
#include "support/fakecameo.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class HPCameoTest : public ::testing::Test
{
protected:
    HPCameoTest()
        : grid(&host, &displayHost)
    {
        grid.Init(&engine);
        grid.resize(400, 400);
        grid.show();
        grid.Layout(400, 400, 1, false, false, false);
    }

    void SendMove(const QPoint& at)
    {
        QMouseEvent move(QEvent::MouseMove, at, grid.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&grid, &move);
    }

    void SendWheel(int delta)
    {
        const QPoint at(100, 100);
        QWheelEvent wheel(at, grid.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&grid, &wheel);
    }

    FakeCameoHost host;
    QuietDisplayHost displayHost;
    FakeCameoEngine engine;
    HPCameo grid;
};

const QPoint kTile0(100, 100);
const QPoint kTile1(300, 100);
const QPoint kTile2(100, 300);

} // namespace

TEST_F(HPCameoTest, ClicksSelectTilesWithTheirModifierKeys)
{
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::NoModifier, kTile2);
    EXPECT_EQ(grid.GetFirstSelected(), 2);
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::ControlModifier, kTile1);
    QVector<int> selected;
    grid.GetSelectedCameos(selected);
    EXPECT_EQ(selected, (QVector<int>{1, 2}));
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::ShiftModifier, kTile2);
    selected.clear();
    grid.GetSelectedCameos(selected);
    EXPECT_EQ(selected, (QVector<int>{0, 1, 2}));
}

TEST_F(HPCameoTest, DoubleClickSwitchesToSingleViewAndBack)
{
    QTest::mouseDClick(&grid, Qt::LeftButton, Qt::NoModifier, kTile1);
    EXPECT_EQ(grid.Grid().LayoutCode(), 0);
    EXPECT_EQ(grid.Grid().StartTile(), 1);
    QTest::mouseDClick(&grid, Qt::LeftButton, Qt::NoModifier, kTile0);
    EXPECT_EQ(grid.Grid().LayoutCode(), 1);
}

TEST_F(HPCameoTest, WheelZoomsTheFirstSelectedTile)
{
    SendWheel(120);
    SendWheel(120);
    EXPECT_FLOAT_EQ(grid.GetCameo(0)->zoom, 1.2f);
    SendWheel(-120);
    EXPECT_FLOAT_EQ(grid.GetCameo(0)->zoom, 1.1f);
}

TEST_F(HPCameoTest, RightClickOpensTheMenuWhoseEntriesAct)
{
    QTest::mousePress(&grid, Qt::RightButton, Qt::NoModifier, kTile1);
    QMenu* menu = grid.ContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 10000));
    EXPECT_EQ(grid.GetFirstSelected(), 1);
    QStringList texts;
    QAction* zoomIn = nullptr;
    for (QAction* action : menu->actions()) {
        texts << action->text();
        if (action->text().startsWith("ZOOM_IN")) {
            zoomIn = action;
        }
    }
    EXPECT_TRUE(texts.contains("VIEW_SINGLE"));
    EXPECT_TRUE(texts.contains("USE_DIRECTX"));
    ASSERT_NE(zoomIn, nullptr);
    EXPECT_EQ(zoomIn->text(), "ZOOM_IN     x1.1");
    zoomIn->trigger();
    EXPECT_FLOAT_EQ(grid.GetCameo(1)->zoom, 1.1f);
    menu->close();
}

TEST_F(HPCameoTest, DraggingAFileTileShowsTheImageThenBeepsOnTheDrop)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("h101010.001"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(grid.OpenFile(0, dir.path() + "/", "h101010.001"), 0);
    QSignalSpy refused(&grid, &HPCameo::DropRefused);
    QTest::mousePress(&grid, Qt::LeftButton, Qt::NoModifier, kTile0);
    SendMove(kTile0 + QPoint(10, 0));
    EXPECT_FALSE(grid.IsDragImageShown());
    SendMove(kTile1);
    EXPECT_TRUE(grid.IsDragImageShown());
    QTest::mouseRelease(&grid, Qt::LeftButton, Qt::NoModifier, kTile1);
    EXPECT_FALSE(grid.IsDragImageShown());
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(grid.GetCameo(0)->fileTile, 1);
}

TEST_F(HPCameoTest, WindowPaintsWhatTheDisplayDrew)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("h101010.002"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(grid.OpenFile(1, dir.path() + "/", "h101010.002"), 0);
    std::vector<uint8_t> picture(336 * 224 * 4);
    for (size_t i = 0; i < picture.size(); i += 4) {
        picture[i] = 30;      // blue
        picture[i + 1] = 160; // green
        picture[i + 2] = 40;  // red
        picture[i + 3] = 255;
    }
    LiveFrame frame;
    frame.serverId = kFileServerId;
    frame.camera = 1;
    frame.mark = 5;
    frame.width = 336;
    frame.height = 224;
    grid.Display().DisplayFrame(1, frame, picture.data(), 0, 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return (grid.grab().toImage().pixel(300, 100) & 0xFFFFFF) == (qRgb(40, 160, 30) & 0xFFFFFF); },
        20000));
    EXPECT_EQ(grid.grab().toImage().pixel(100, 300) & 0xFFFFFF, 0u);
}

TEST_F(HPCameoTest, ALayoutFromTheMainDialogEndsSequencing)
{
    grid.SetSequencing(true);
    EXPECT_TRUE(grid.Controller().IsSequencing());
    grid.resize(500, 500); // a resize keeps it
    EXPECT_TRUE(grid.Controller().IsSequencing());
    grid.Layout(500, 500, 7, false, false, false);
    EXPECT_FALSE(grid.Controller().IsSequencing());
}

TEST_F(HPCameoTest, ResizingLaysTheSameLayoutOutAgain)
{
    grid.resize(600, 300);
    CameoRect rect;
    ASSERT_TRUE(grid.GetCameoRect(3, &rect));
    EXPECT_EQ(rect, (CameoRect{300, 150, 600, 300}));
    EXPECT_EQ(grid.Grid().LayoutCode(), 1);
}
