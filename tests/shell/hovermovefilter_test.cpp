// The hover filter hands pointer movement to its handler (the main window's) and consumes
// nothing.
#include <QCoreApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QWidget>

#include "shell/hovermovefilter.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

namespace {

// Counts the events of each type that reach it.
class CountingWidget : public QWidget
{
public:
    int hovers = 0;
    int mouseMoves = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::HoverMove)
            ++hovers;
        if (e->type() == QEvent::MouseMove)
            ++mouseMoves;
        return QWidget::event(e);
    }
};

void Hover(QWidget* widget, QPoint to, QPoint from)
{
    QHoverEvent event(QEvent::HoverMove, to, from);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

using HoverMoveFilterTest = GridTest;

TEST_F(HoverMoveFilterTest, HoverMovesReachTheHubAndTheWatchedWidget)
{
    CountingWidget widget;
    HoverMoveFilter filter([this](int x, int y, int oldX, int oldY) { hub->OnHoverMove(x, y, oldX, oldY); });
    widget.installEventFilter(&filter);
    hub->FullScreenWindows();
    ASSERT_TRUE(hub->IsFullScreenMode());
    ASSERT_FALSE(hub->IsMenuBarShown());

    Hover(&widget, QPoint(30, 0), QPoint(30, 12));
    EXPECT_TRUE(hub->IsMenuBarShown()) << "the hub saw the pointer touch the top edge";
    EXPECT_EQ(widget.hovers, 1) << "the widget still gets the event";

    Hover(&widget, QPoint(30, hub->MenuBarHeight() + 50), QPoint(30, 0));
    EXPECT_FALSE(hub->IsMenuBarShown());
    EXPECT_EQ(widget.hovers, 2);
}

TEST_F(HoverMoveFilterTest, OtherEventsPassUntouched)
{
    CountingWidget widget;
    widget.setMouseTracking(true);
    HoverMoveFilter filter([this](int x, int y, int oldX, int oldY) { hub->OnHoverMove(x, y, oldX, oldY); });
    widget.installEventFilter(&filter);
    hub->FullScreenWindows();
    ASSERT_FALSE(hub->IsMenuBarShown());

    QMouseEvent move(QEvent::MouseMove, QPointF(30, 0), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
    EXPECT_EQ(widget.mouseMoves, 1);
    EXPECT_FALSE(hub->IsMenuBarShown()) << "only hover moves are handed to the hub";
}
