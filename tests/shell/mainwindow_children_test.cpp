// The hub's child window slots: limits, docking into the multi-document area, popping out and
// back, freeing on close, and the main window's close.
#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTabBar>
#include <QTest>

#include "shell/childwindowslots.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/mainwin_childwindow.h"
#include "shell/support/mainwin_fixture.h"

namespace {

class MainWinChildren : public MainWinTest
{
protected:
    void SetUp() override
    {
        MainWinTest::SetUp();
        StartHub();
        hub->show();
        area = hub->GetMdiArea();
    }

    // A live window in the slot that, like the live window, asks the hub to free its slot when
    // it is destroyed.
    MainWinChildWindow* PlaceLive(int index)
    {
        auto* w = new MainWinChildWindow([index] {
            if (g_pMainWindow)
                g_pMainWindow->deleteLiveView(index);
        });
        EXPECT_TRUE(hub->LiveViewSlots()->Place(index, w));
        return w;
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    QMdiArea* area = nullptr;
};

} // namespace

TEST_F(MainWinChildren, SlotCountsPerKind)
{
    EXPECT_EQ(hub->LiveViewSlots()->Count(), 4);
    EXPECT_EQ(hub->SearchViewSlots()->Count(), 2);
    EXPECT_EQ(hub->SearchLocalViewSlots()->Count(), 2);
    EXPECT_EQ(hub->EmapViewSlots()->Count(), 2);
}

TEST_F(MainWinChildren, FifthLiveWindowIsRefused)
{
    for (int i = 0; i < 4; ++i)
        PlaceLive(i);
    EXPECT_EQ(area->subWindowList().size(), 4);
    EXPECT_EQ(hub->LiveViewSlots()->FreeSlot(), -1);

    EXPECT_EQ(hub->exeLiveView(), 3);
    EXPECT_EQ(area->subWindowList().size(), 4);
    // A taken slot is not given away either.
    MainWinChildWindow extra;
    EXPECT_FALSE(hub->LiveViewSlots()->Place(2, &extra));
    EXPECT_FALSE(hub->LiveViewSlots()->Place(4, &extra));
    EXPECT_EQ(area->subWindowList().size(), 4);
}

TEST_F(MainWinChildren, FullSearchAndEmapSlotsGiveMinusOne)
{
    MainWinChildWindow* w[6];
    for (auto*& p : w)
        p = new MainWinChildWindow;
    hub->SearchViewSlots()->Place(0, w[0]);
    hub->SearchViewSlots()->Place(1, w[1]);
    hub->SearchLocalViewSlots()->Place(0, w[2]);
    hub->SearchLocalViewSlots()->Place(1, w[3]);
    hub->EmapViewSlots()->Place(0, w[4]);
    hub->EmapViewSlots()->Place(1, w[5]);
    EXPECT_EQ(hub->exeSearchView(), -1);
    EXPECT_EQ(hub->exeEmapView(), -1);
    EXPECT_EQ(area->subWindowList().size(), 6);
}

TEST_F(MainWinChildren, PlacedWindowIsDockedAsSubWindow)
{
    MainWinChildWindow* w = PlaceLive(1);
    QMdiSubWindow* sub = hub->LiveViewSlots()->SubWindow(1);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->widget(), w);
    EXPECT_EQ(area->subWindowList(), QList<QMdiSubWindow*>{sub});
    EXPECT_EQ(sub->size(), QSize(500, 300));
    EXPECT_FALSE(hub->IsLiveViewPopup(1));
    EXPECT_EQ(hub->LiveViewSlots()->Window(1), w);
    EXPECT_EQ(hub->LiveViewSlots()->FreeSlot(), 0);
}

TEST_F(MainWinChildren, PopOutAndDockBack)
{
    MainWinChildWindow* w = PlaceLive(0);
    hub->ToggleLiveViewPopup(0);
    Settle();
    EXPECT_TRUE(hub->IsLiveViewPopup(0));
    EXPECT_TRUE(area->subWindowList().isEmpty());
    EXPECT_EQ(hub->LiveViewSlots()->SubWindow(0), nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->size(), QSize(640, 480));

    hub->ToggleLiveViewPopup(0);
    EXPECT_FALSE(hub->IsLiveViewPopup(0));
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().first()->widget(), w);
    EXPECT_FALSE(w->isWindow());
    EXPECT_EQ(area->subWindowList().first()->size(), QSize(640, 480));

    // An empty slot is left alone.
    hub->ToggleLiveViewPopup(2);
    hub->PopOutLiveView(3);
    EXPECT_FALSE(hub->IsLiveViewPopup(2));
    EXPECT_EQ(area->subWindowList().size(), 1);
}

TEST_F(MainWinChildren, PopupModeActionPopsOutTheFirstLiveWindow)
{
    hub->TabAction(2)->trigger(); // no live window 0: nothing
    PlaceLive(0);
    PlaceLive(1);
    hub->TabAction(2)->trigger();
    EXPECT_TRUE(hub->IsLiveViewPopup(0));
    EXPECT_FALSE(hub->IsLiveViewPopup(1));
}

TEST_F(MainWinChildren, PoppingOutWhileTabbedLeavesTheAreaTabbed)
{
    PlaceLive(0);
    PlaceLive(1);
    hub->SetupTabBar(false);
    ASSERT_EQ(area->viewMode(), QMdiArea::TabbedView);
    hub->PopOutLiveView(1);
    Settle();
    EXPECT_TRUE(hub->IsLiveViewPopup(1));
    EXPECT_EQ(area->viewMode(), QMdiArea::TabbedView);
    EXPECT_FALSE(hub->IsSubWindowView());
    ASSERT_NE(hub->GetTabBar(), nullptr);
    EXPECT_EQ(hub->GetTabBar()->count(), 1);
}

TEST_F(MainWinChildren, ClosingASubWindowFreesTheSlot)
{
    QPointer<MainWinChildWindow> w = PlaceLive(2);
    EXPECT_TRUE(hub->LiveViewSlots()->SubWindow(2)->close());
    Settle();
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(hub->LiveViewSlots()->Window(2), nullptr);
    EXPECT_TRUE(area->subWindowList().isEmpty());
    EXPECT_EQ(hub->LiveViewSlots()->FreeSlot(), 0);
}

TEST_F(MainWinChildren, RefusedSubWindowCloseKeepsTheSlot)
{
    MainWinChildWindow* w = PlaceLive(0);
    w->refuseClose = true;
    EXPECT_FALSE(hub->LiveViewSlots()->SubWindow(0)->close());
    Settle();
    EXPECT_EQ(hub->LiveViewSlots()->Window(0), w);
    EXPECT_EQ(area->subWindowList().size(), 1);
    w->refuseClose = false;
}

TEST_F(MainWinChildren, WindowDestroyedByItselfFreesItsSlot)
{
    MainWinChildWindow* w = PlaceLive(1);
    hub->PopOutLiveView(1);
    delete w;
    Settle();
    EXPECT_EQ(hub->LiveViewSlots()->Window(1), nullptr);
    EXPECT_FALSE(hub->IsLiveViewPopup(1));
    EXPECT_TRUE(area->subWindowList().isEmpty());

    MainWinChildWindow* docked = PlaceLive(1);
    delete docked;
    Settle();
    EXPECT_EQ(hub->LiveViewSlots()->Window(1), nullptr);
    EXPECT_TRUE(area->subWindowList().isEmpty());
}

TEST_F(MainWinChildren, DeleteLiveViewClosesAndDestroysTheWindow)
{
    QPointer<MainWinChildWindow> w = PlaceLive(0);
    hub->PopOutLiveView(0);
    hub->deleteLiveView(0);
    EXPECT_EQ(hub->LiveViewSlots()->Window(0), nullptr);
    EXPECT_FALSE(hub->IsLiveViewPopup(0));
    ASSERT_FALSE(w.isNull());
    EXPECT_GE(w->closeEvents, 1);
    EXPECT_FALSE(w->isVisible());
    // Until the old window is gone its slot takes no other, so that the old window's own
    // destruction cannot free its successor.
    EXPECT_EQ(hub->LiveViewSlots()->FreeSlot(), 1);

    Settle();
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(hub->LiveViewSlots()->FreeSlot(), 0);
    MainWinChildWindow* next = PlaceLive(0);
    Settle();
    EXPECT_EQ(hub->LiveViewSlots()->Window(0), next);
}

TEST_F(MainWinChildren, MainWindowCloseClosesEveryWindow)
{
    QPointer<MainWinChildWindow> a = PlaceLive(0);
    QPointer<MainWinChildWindow> b = PlaceLive(1);
    hub->PopOutLiveView(1);
    auto* search = new MainWinChildWindow;
    hub->SearchViewSlots()->Place(0, search);

    EXPECT_TRUE(hub->close());
    EXPECT_TRUE(hub->IsClosing());
    EXPECT_GE(a->closeEvents, 1);
    EXPECT_GE(b->closeEvents, 1);
    EXPECT_GE(search->closeEvents, 1);
    Settle();
    EXPECT_TRUE(a.isNull());
}

TEST_F(MainWinChildren, RefusingWindowKeepsTheMainWindowOpen)
{
    MainWinChildWindow* a = PlaceLive(0);
    MainWinChildWindow* b = PlaceLive(1);
    MainWinChildWindow* c = PlaceLive(2);
    b->refuseClose = true;

    EXPECT_FALSE(hub->close());
    EXPECT_TRUE(hub->IsClosing());
    EXPECT_TRUE(hub->isVisible());
    EXPECT_EQ(a->closeEvents, 1);
    EXPECT_EQ(b->closeEvents, 1);
    // The windows after the refusing one were not asked.
    EXPECT_EQ(c->closeEvents, 0);
    Settle();
    EXPECT_EQ(hub->LiveViewSlots()->Window(1), b);
    EXPECT_EQ(hub->LiveViewSlots()->Window(2), c);
    b->refuseClose = false;
}

TEST_F(MainWinChildren, ShutDownDestroysTheOpenWindows)
{
    QPointer<MainWinChildWindow> a = PlaceLive(0);
    QPointer<MainWinChildWindow> b = PlaceLive(3);
    hub->PopOutLiveView(3);
    QPointer<MainWinChildWindow> e = new MainWinChildWindow;
    hub->EmapViewSlots()->Place(1, e);
    StopHub();
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(b.isNull());
    EXPECT_TRUE(e.isNull());
}

// ---------------------------------------------------------------------------------------------
// The live windows themselves

namespace {

QAction* ViewMenuEntry(MainWindow* hub, const QString& text)
{
    for (QAction* top : hub->menuBar()->actions()) {
        if (top->text() != QLatin1String("&View"))
            continue;
        for (QAction* a : top->menu()->actions()) {
            if (a->text() == text)
                return a;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(MainWinChildren, LiveViewMenuOpensFourLiveWindowsAndNoFifth)
{
    QAction* open = ViewMenuEntry(hub.get(), "Live View");
    ASSERT_NE(open, nullptr);
    for (int i = 0; i < 4; ++i)
        open->trigger();
    const QList<QMdiSubWindow*> subs = area->subWindowList();
    ASSERT_EQ(subs.size(), 4);
    for (int i = 0; i < 4; ++i) {
        auto* view = qobject_cast<LiveView*>(subs[i]->widget());
        ASSERT_NE(view, nullptr) << i;
        EXPECT_EQ(view->GetIndex(), i);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Live - %1").arg(i + 1));
        EXPECT_EQ(hub->LiveViewSlots()->Window(i), view);
    }

    EXPECT_EQ(hub->exeLiveView(), 3);
    open->trigger();
    EXPECT_EQ(area->subWindowList().size(), 4);
}

TEST_F(MainWinChildren, ActiveLiveWindow)
{
    EXPECT_EQ(hub->GetActiveLiveView(), nullptr);
    ASSERT_EQ(hub->exeLiveView(), 0);
    ASSERT_EQ(hub->exeLiveView(), 1);
    area->setActiveSubWindow(hub->LiveViewSlots()->SubWindow(0));
    EXPECT_EQ(hub->GetActiveLiveView(), hub->LiveViewSlots()->Window(0));
    // Another kind of window in the area is not a live window.
    hub->SearchViewSlots()->Place(0, new MainWinChildWindow);
    area->setActiveSubWindow(hub->SearchViewSlots()->SubWindow(0));
    EXPECT_EQ(hub->GetActiveLiveView(), nullptr);
}

TEST_F(MainWinChildren, ClosingAPoppedOutLiveWindowDocksItBack)
{
    ASSERT_EQ(hub->exeLiveView(), 0);
    QPointer<QWidget> view = hub->LiveViewSlots()->Window(0);
    hub->ToggleLiveViewPopup(0);
    Settle();
    ASSERT_TRUE(hub->IsLiveViewPopup(0));
    EXPECT_TRUE(view->isWindow());

    EXPECT_FALSE(view->close());
    Settle();
    ASSERT_FALSE(view.isNull());
    EXPECT_FALSE(hub->IsLiveViewPopup(0));
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().first()->widget(), view.data());
}

TEST_F(MainWinChildren, ClosingADockedLiveWindowFreesItsSlot)
{
    ASSERT_EQ(hub->exeLiveView(), 0);
    ASSERT_EQ(hub->exeLiveView(), 1);
    QPointer<QWidget> first = hub->LiveViewSlots()->Window(0);
    EXPECT_TRUE(hub->LiveViewSlots()->SubWindow(0)->close());
    Settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(area->subWindowList().size(), 1);
    // The freed slot is the next one given.
    EXPECT_EQ(hub->exeLiveView(), 0);
    EXPECT_EQ(area->subWindowList().size(), 2);
}

TEST_F(MainWinChildren, MainWindowCloseWithLiveWindowsInAndOut)
{
    ASSERT_EQ(hub->exeLiveView(), 0);
    ASSERT_EQ(hub->exeLiveView(), 1);
    hub->PopOutLiveView(1);
    QPointer<QWidget> a = hub->LiveViewSlots()->Window(0);
    QPointer<QWidget> b = hub->LiveViewSlots()->Window(1);
    // The popped-out window goes back into the area and closes with the others.
    EXPECT_TRUE(hub->close());
    Settle();
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(b.isNull());
    EXPECT_TRUE(area->subWindowList().isEmpty());
}
