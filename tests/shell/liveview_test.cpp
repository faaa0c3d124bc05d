// The live window: title, its grid, whole-cell sizing, keys, and closing while popped out.
#include <QCloseEvent>
#include <QTest>
#include <memory>

#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

using LiveViewTest = GridTest;

TEST_F(LiveViewTest, TitleGridAndStartSize)
{
    for (int i = 0; i < MainWindow::kLiveViews; ++i) {
        auto view = std::make_unique<LiveView>(hub.get(), i);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Live - %1").arg(i + 1));
        EXPECT_TRUE(view->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(view->minimumSize(), QSize(320, 240));
        EXPECT_EQ(view->size(), QSize(640, 480));
        CCameo* grid = view->GetCameo();
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->parentWidget(), view.get());
        EXPECT_EQ(grid->GetKind(), CameoKind::Live);
        EXPECT_EQ(grid->GetCellCount(), 64);
        EXPECT_EQ(grid->GetSplit(), 16);
        EXPECT_EQ(grid->GetFirstCell(), 0);
        EXPECT_EQ(grid->GetOwnerSlot(), i);
        EXPECT_EQ(grid->pos(), QPoint(10, 10));
        EXPECT_EQ(grid->minimumSize(), QSize(10, 10));
        EXPECT_EQ(hub->Sessions()->GetCameo(grid->GetCameoIndex()), grid);
    }
}

TEST_F(LiveViewTest, GridKeepsWholeCells)
{
    LiveView view(hub.get(), 0);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.GetCameo()->OnSplitMode(0, 9, false);
    view.resize(1000, 700);
    QTest::qWait(0);
    EXPECT_EQ(view.GetCameo()->size(), QSize(978, 678));
    view.GetCameo()->OnSplitMode(0, 16, false);
    view.resize(801, 601);
    EXPECT_EQ(view.GetCameo()->size(), QSize(780, 580));
}

TEST_F(LiveViewTest, EscapeLeavesTheWindowOpen)
{
    LiveView view(hub.get(), 1);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.result(), 0);
}

TEST_F(LiveViewTest, ClosingAPoppedOutWindowDocksItBack)
{
    auto* view = new LiveView(hub.get(), 0);
    ChildWindowSlots* windows = hub->LiveViewSlots();
    ASSERT_NE(windows, nullptr);
    ASSERT_TRUE(windows->Place(0, view));
    windows->PopOut(0);
    ASSERT_TRUE(view->IsPopup());

    EXPECT_FALSE(view->close());
    EXPECT_FALSE(view->IsPopup()) << "docked back into the multi-document area";
    EXPECT_EQ(windows->Window(0), view);

    // Docked, the close goes on; destroying the window frees the hub's slot.
    delete view;
    EXPECT_EQ(windows->Window(0), nullptr);
}

TEST_F(LiveViewTest, DockedWindowCloses)
{
    LiveView view(hub.get(), 2);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.close());
    EXPECT_FALSE(view.isVisible());
}
