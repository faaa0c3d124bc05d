// Where a message box opens: over the window it belongs to, not at the screen's corner, whether
// its parent is that window itself or a widget inside it.
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "widgets/messagedlg.h"

namespace {

// Where the window stands, as a fraction of the room the screen leaves around it.
struct Placement
{
    const char* name;
    double acrossScreen;
    double downScreen;
    bool parentIsInnerWidget;
};

class MessageDlgPlacement : public ::testing::TestWithParam<Placement>
{};

TEST_P(MessageDlgPlacement, OpensCentredOverItsWindow)
{
    const Placement& placement = GetParam();
    QDialog window;
    const QSize size(360, 260);
    window.resize(size);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize room = screen.size() - size - QSize(20, 40);
    window.move(screen.topLeft()
                + QPoint(int(room.width() * placement.acrossScreen), int(room.height() * placement.downScreen)));
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(250, 220, 100, 24);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QWidget* parent = placement.parentIsInnerWidget ? static_cast<QWidget*>(edit) : &window;
    MessageDlg box(parent, MessageDlg::Fixed);
    box.SetText(QStringLiteral("SiteBook"), QStringLiteral("Input folder name"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    const QRect windowRect = window.frameGeometry();
    const QPoint boxCentre = box.frameGeometry().center();
    EXPECT_TRUE(windowRect.contains(boxCentre))
        << placement.name << ": box centre " << boxCentre.x() << "," << boxCentre.y() << " outside window "
        << windowRect.x() << "," << windowRect.y() << " " << windowRect.width() << "x" << windowRect.height();
    EXPECT_LE((boxCentre - windowRect.center()).manhattanLength(), 40) << placement.name;
}

INSTANTIATE_TEST_SUITE_P(Parents, MessageDlgPlacement,
                         ::testing::Values(Placement{"window far from the corner", 1.0, 1.0, false},
                                           Placement{"widget inside the window", 0.8, 0.6, true},
                                           Placement{"window near the corner", 0.05, 0.05, false}),
                         [](const ::testing::TestParamInfo<Placement>& info) {
                             return std::string(info.param.parentIsInnerWidget ? "InnerWidget" : "Window")
                                    + std::to_string(info.index);
                         });

} // namespace
