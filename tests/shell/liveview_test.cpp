// The live window: title, its grid, whole-cell sizing, keys, and closing while popped out.
#include <QCloseEvent>
#include <QTest>
#include <memory>

#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/liveviewhost.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

using LiveViewTest = GridTest;

TEST_F(LiveViewTest, TitleGridAndStartSize)
{
    for (int i = 0; i < MainWindow::kLiveViews; ++i) {
        auto view = std::make_unique<LiveView>(hub.get(), i, hub.get());
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
    LiveView view(hub.get(), 0, hub.get());
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
    LiveView view(hub.get(), 1, hub.get());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.result(), 0);
}

TEST_F(LiveViewTest, ClosingAPoppedOutWindowDocksItBack)
{
    auto* view = new LiveView(hub.get(), 0, hub.get());
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
    LiveView view(hub.get(), 2, hub.get());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.close());
    EXPECT_FALSE(view.isVisible());
}

namespace {

// A host that records what the window asks of it.
class RecordingLiveViewHost : public LiveViewHost
{
public:
    QString LiveViewStyleSheet() const override { return QStringLiteral("QDialog { background: #123456; }"); }
    bool IsLiveViewPopup(int index) const override { return popup && index == popupIndex; }
    void DockLiveView(int index) override
    {
        calls << QStringLiteral("dock %1").arg(index);
        popup = false;
    }
    void SetupTabBar(bool subWindowView) override { calls << QStringLiteral("tabs %1").arg(subWindowView); }
    void ResetEmapFlag() override { calls << QStringLiteral("emap"); }
    void deleteLiveView(int index) override { calls << QStringLiteral("delete %1").arg(index); }

    bool popup = false;
    int popupIndex = -1;
    QStringList calls;
};

} // namespace

TEST_F(LiveViewTest, TheWindowAsksOnlyItsOwnHost)
{
    RecordingLiveViewHost host;
    host.popup = true;
    host.popupIndex = 3;
    auto view = std::make_unique<LiveView>(nullptr, 3, &host);
    EXPECT_EQ(view->styleSheet(), host.LiveViewStyleSheet());
    EXPECT_TRUE(view->IsPopup());

    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("emap")});

    // Popped out, a close docks the window back instead; docked, it closes.
    host.calls.clear();
    EXPECT_FALSE(view->close());
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("dock 3")});
    EXPECT_TRUE(view->isVisible());

    // Maximized in the multi-document area, the area switches to tabs.
    host.calls.clear();
    view->showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(host.calls.contains(QStringLiteral("tabs 0")), 10000);

    host.calls.clear();
    EXPECT_TRUE(view->close());
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("emap")});

    host.calls.clear();
    view.reset();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("delete 3")});
}

TEST_F(LiveViewTest, AWindowWithoutAHostStillWorks)
{
    LiveView view(nullptr, 0, nullptr);
    EXPECT_FALSE(view.IsPopup());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.close());
}
