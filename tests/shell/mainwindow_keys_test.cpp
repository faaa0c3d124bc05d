// Full screen, the keys of the main window, the hover that brings back its menu bar and the
// window drag.
#include <QApplication>
#include <QDockWidget>
#include <QHoverEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>

#include "shell/mainwindow.h"
#include "shell/support/mainwin_fixture.h"

namespace {

class MainWinKeys : public MainWinTest
{
protected:
    void SetUp() override
    {
        MainWinTest::SetUp();
        StartHub();
        hub->show();
    }

    QStringList OpenDocks() const
    {
        QStringList open;
        for (QDockWidget* d : hub->DockWidgets()) {
            if (!d->isHidden())
                open << d->windowTitle();
        }
        return open;
    }

    void Mouse(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, pos, hub->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(hub.get(), &event);
    }
};

} // namespace

TEST_F(MainWinKeys, F11EntersAndLeavesFullScreen)
{
    hub->DockWidgets()[3]->hide(); // P/T/Z closed by the user before
    const QStringList before = OpenDocks();
    ASSERT_FALSE(before.contains("Screen Split"));

    QTest::keyClick(hub.get(), Qt::Key_F11);
    EXPECT_TRUE(hub->IsFullScreenMode());
    EXPECT_TRUE(hub->isFullScreen());
    EXPECT_FALSE(hub->IsMenuBarShown());
    EXPECT_TRUE(hub->menuBar()->isHidden());
    EXPECT_TRUE(OpenDocks().isEmpty());

    QTest::keyClick(hub.get(), Qt::Key_F11);
    EXPECT_FALSE(hub->IsFullScreenMode());
    EXPECT_FALSE(hub->isFullScreen());
    EXPECT_TRUE(hub->IsMenuBarShown());
    EXPECT_FALSE(hub->menuBar()->isHidden());
    // Exactly the docks that were open come back.
    EXPECT_EQ(OpenDocks(), before);
}

TEST_F(MainWinKeys, LeavingFullScreenRestoresMaximized)
{
    hub->showMaximized();
    QTest::keyClick(hub.get(), Qt::Key_F11);
    EXPECT_TRUE(hub->isFullScreen());
    QTest::keyClick(hub.get(), Qt::Key_Escape);
    EXPECT_FALSE(hub->IsFullScreenMode());
    EXPECT_TRUE(hub->isMaximized());
}

TEST_F(MainWinKeys, EscapeOutsideFullScreenDoesNothing)
{
    const QStringList before = OpenDocks();
    QTest::keyClick(hub.get(), Qt::Key_Escape);
    EXPECT_FALSE(hub->IsFullScreenMode());
    EXPECT_FALSE(hub->isFullScreen());
    EXPECT_TRUE(hub->isVisible());
    EXPECT_EQ(OpenDocks(), before);
    EXPECT_TRUE(hub->IsMenuBarShown());
}

TEST_F(MainWinKeys, EscapeLeavesFullScreen)
{
    QTest::keyClick(hub.get(), Qt::Key_F11);
    ASSERT_TRUE(hub->IsFullScreenMode());
    QTest::keyClick(hub.get(), Qt::Key_Escape);
    EXPECT_FALSE(hub->IsFullScreenMode());
    EXPECT_FALSE(hub->isFullScreen());
}

TEST_F(MainWinKeys, FullScreenActionsOfTheMenus)
{
    hub->TabAction(1)->trigger();
    EXPECT_TRUE(hub->IsFullScreenMode());
    hub->TabAction(1)->trigger();
    EXPECT_FALSE(hub->IsFullScreenMode());
}

TEST_F(MainWinKeys, F10TogglesTabsAndTwiceReturns)
{
    QMdiArea* area = hub->GetMdiArea();
    ASSERT_EQ(area->viewMode(), QMdiArea::SubWindowView);
    QTest::keyClick(hub.get(), Qt::Key_F10);
    EXPECT_EQ(area->viewMode(), QMdiArea::TabbedView);
    EXPECT_FALSE(hub->IsSubWindowView());
    QTest::keyClick(hub.get(), Qt::Key_F10);
    EXPECT_EQ(area->viewMode(), QMdiArea::SubWindowView);
    EXPECT_TRUE(hub->IsSubWindowView());
}

TEST_F(MainWinKeys, CtrlAndShiftFlags)
{
    QTest::keyPress(hub.get(), Qt::Key_Control);
    EXPECT_TRUE(hub->IsCtrlHeld());
    EXPECT_FALSE(hub->IsShiftHeld());
    // Any other key press clears both first.
    QTest::keyPress(hub.get(), Qt::Key_Shift);
    EXPECT_FALSE(hub->IsCtrlHeld());
    EXPECT_TRUE(hub->IsShiftHeld());
    QTest::keyPress(hub.get(), Qt::Key_Control);
    EXPECT_TRUE(hub->IsCtrlHeld());
    QTest::keyRelease(hub.get(), Qt::Key_Control);
    EXPECT_FALSE(hub->IsCtrlHeld());
}

TEST_F(MainWinKeys, HoverAtTheTopEdgeShowsTheMenuBarInFullScreen)
{
    const int barHeight = hub->MenuBarHeight();
    // Outside full screen hovering changes nothing.
    QHoverEvent away(QEvent::HoverMove, QPointF(50, barHeight + 40), QPointF(50, 0));
    QApplication::sendEvent(hub.get(), &away);
    EXPECT_TRUE(hub->IsMenuBarShown());

    QTest::keyClick(hub.get(), Qt::Key_F11);
    ASSERT_FALSE(hub->IsMenuBarShown());
    QHoverEvent near(QEvent::HoverMove, QPointF(50, 5), QPointF(50, 6));
    QApplication::sendEvent(hub.get(), &near);
    EXPECT_FALSE(hub->IsMenuBarShown());

    // The hover filter hands the move to the hub, which shows the bar at the top edge ...
    QHoverEvent top(QEvent::HoverMove, QPointF(50, 0), QPointF(50, 5));
    QApplication::sendEvent(hub.get(), &top);
    EXPECT_TRUE(hub->IsMenuBarShown());
    EXPECT_FALSE(hub->menuBar()->isHidden());
    // ... keeps it while the pointer stays on it, and hides it below it.
    QHoverEvent onBar(QEvent::HoverMove, QPointF(50, barHeight + 1), QPointF(50, 0));
    QApplication::sendEvent(hub.get(), &onBar);
    EXPECT_TRUE(hub->IsMenuBarShown());
    QHoverEvent below(QEvent::HoverMove, QPointF(50, barHeight + 2), QPointF(50, 0));
    QApplication::sendEvent(hub.get(), &below);
    EXPECT_FALSE(hub->IsMenuBarShown());
    EXPECT_TRUE(hub->menuBar()->isHidden());
}

TEST_F(MainWinKeys, LeftButtonDragMovesTheWindow)
{
    hub->move(100, 100);
    const QPoint start = hub->pos();
    Mouse(QEvent::MouseButtonPress, QPoint(300, 200), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(330, 220), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(hub->pos(), start + QPoint(30, 20));
    Mouse(QEvent::MouseButtonRelease, QPoint(330, 220), Qt::LeftButton, Qt::NoButton);

    // After the release a move does nothing.
    const QPoint after = hub->pos();
    Mouse(QEvent::MouseMove, QPoint(400, 300), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(hub->pos(), after);
}

TEST_F(MainWinKeys, NoDragWhenMaximized)
{
    hub->showMaximized();
    const QPoint start = hub->pos();
    Mouse(QEvent::MouseButtonPress, QPoint(300, 200), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(350, 260), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(hub->pos(), start);
}

TEST_F(MainWinKeys, WaitLabelStaysCentredWhenTheWindowResizes)
{
    QLabel* wait = nullptr;
    for (QLabel* label : hub->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->text() == QLatin1String("Please wait..."))
            wait = label;
    }
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(wait->isHidden());
    EXPECT_EQ(wait->alignment(), Qt::AlignCenter);

    hub->resize(1001, 701);
    QCoreApplication::processEvents();
    ASSERT_EQ(hub->size(), QSize(1001, 701));
    EXPECT_EQ(wait->geometry(), QRect(400, 310, 200, 80));
}
