// The pop-up base: frameless and on top, room for its drawn title bar, dragged with the left button.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <functional>

#include <gtest/gtest.h>

#include "widgets/cpopupdialog.h"

namespace {

int TitleBarHeight(QWidget* w)
{
    QStyleOptionTitleBar option;
    option.initFrom(w);
    return w->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, w);
}

// A move with the given buttons held; QTest's own move only places the cursor.
void MoveMouse(QWidget* w, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

class ShellPopupDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.resize(240, 120);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(100, 100);
        QTRY_COMPARE(dialog.pos(), QPoint(100, 100));
    }

    CPopupDialog dialog;
};

} // namespace

TEST_F(ShellPopupDialog, IsAFramelessDialogOnTop)
{
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
}

TEST_F(ShellPopupDialog, ContentStartsBelowTheTitleBar)
{
    const QMargins m = dialog.contentsMargins();
    EXPECT_EQ(m.top(), TitleBarHeight(&dialog));
    EXPECT_GT(m.top(), 0);
    EXPECT_EQ(m.left(), 0);
    EXPECT_EQ(m.right(), 0);
    EXPECT_EQ(m.bottom(), 0);
}

TEST_F(ShellPopupDialog, PaintsItsTitleBarAndNothingBelow)
{
    dialog.setWindowTitle(QStringLiteral("A title far too long to fit into the narrow pop-up at all"));
    const QImage image = dialog.grab().toImage();
    const int bar = TitleBarHeight(&dialog);
    // The title bar differs from the body, whose background was left unpainted.
    const QRgb body = image.pixel(image.width() / 2, bar + 20);
    bool barDrawn = false;
    for (int x = 0; x < image.width() && !barDrawn; ++x)
        barDrawn = image.pixel(x, bar / 2) != body;
    EXPECT_TRUE(barDrawn);
}

struct DragCase
{
    const char* what;
    std::function<void(QWidget*)> steps;
    QPoint expectedShift;
};

class ShellPopupDrag : public ShellPopupDialog, public ::testing::WithParamInterface<DragCase>
{};

TEST_P(ShellPopupDrag, MovesOnlyWhileTheLeftButtonDrags)
{
    GetParam().steps(&dialog);
    QTRY_COMPARE(dialog.pos(), QPoint(100, 100) + GetParam().expectedShift);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShellPopupDrag,
    ::testing::Values(DragCase{"left drag keeps the grabbed point under the cursor",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(40, 25), Qt::LeftButton);
                               },
                               QPoint(30, 20)},
                      DragCase{"two moves add up",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(15, 5), Qt::LeftButton);
                                   // The dialog has moved by 5, so the same screen point is now 5 further left.
                                   MoveMouse(w, QPoint(12, 9), Qt::LeftButton);
                               },
                               QPoint(7, 4)},
                      DragCase{"right button press starts no drag",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::RightButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(40, 25), Qt::LeftButton | Qt::RightButton);
                               },
                               QPoint(0, 0)},
                      DragCase{"middle button release does not end a drag",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   QTest::mousePress(w, Qt::MiddleButton, {}, QPoint(10, 5));
                                   QTest::mouseRelease(w, Qt::MiddleButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(20, 5), Qt::LeftButton);
                               },
                               QPoint(10, 0)},
                      DragCase{"left release ends the drag",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(40, 25), Qt::LeftButton);
                               },
                               QPoint(0, 0)},
                      DragCase{"move without the left button held does not drag",
                               [](QWidget* w) {
                                   QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 5));
                                   MoveMouse(w, QPoint(40, 25), Qt::NoButton);
                               },
                               QPoint(0, 0)}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(ShellPopupDialog, PressOnAChildThatTakesItStartsNoDrag)
{
    auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
    button->setGeometry(50, 60, 80, 30);
    button->show();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    MoveMouse(&dialog, QPoint(120, 120), Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::qWait(20);
    EXPECT_EQ(dialog.pos(), QPoint(100, 100));
}
