// The shared message box against a fake hub: a box follows the hub's texts and options, the
// wait box follows the wait flag, and every box reports its opening and closing to the hub that
// counted it, and to no other.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "support/fakemessageboxhub.h"
#include "widgets/messagedlg.h"

namespace {

constexpr int kWaitMs = 10000;

QString LabelOf(const MessageDlg& box)
{
    const auto* label = box.findChild<QLabel*>(QStringLiteral("label"));
    return label ? label->text() : QString();
}

bool CloseEnabled(const MessageDlg& box)
{
    const auto* button = box.findChild<QPushButton*>(QStringLiteral("closeButton"));
    return button && button->isEnabled();
}

TEST(MessageDlgOnHub, FollowsTheHubsTextsAndOptionsUntilExit)
{
    FakeMessageBoxHub hub;
    hub.Set(QStringLiteral("DVR Connection"), QStringLiteral("Network Connecting..."));
    MessageDlg box(nullptr, MessageDlg::HubMessage);
    box.show();
    EXPECT_EQ(hub.OpenBoxes(), 1);
    EXPECT_EQ(box.windowTitle(), "DVR Connection");
    EXPECT_EQ(LabelOf(box), "Network Connecting...");
    EXPECT_FALSE(CloseEnabled(box)) << "a box that follows the hub waits for its word";

    hub.Set(QStringLiteral("Gate"), QStringLiteral("Login fail"), QStringLiteral("stop"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return CloseEnabled(box); }, kWaitMs));
    EXPECT_EQ(box.windowTitle(), "Gate");
    EXPECT_EQ(LabelOf(box), "Login fail");
    EXPECT_TRUE(box.isVisible());

    hub.Set(QStringLiteral("Gate"), QStringLiteral("Login fail"), QStringLiteral("exit"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, kWaitMs));
    EXPECT_EQ(hub.OpenBoxes(), 0);
}

TEST(MessageDlgOnHub, TheWaitBoxShowsOnlyWhileTheWaitFlagIsDown)
{
    FakeMessageBoxHub hub;
    hub.SetWaitFlag(1);
    MessageDlg box(nullptr, MessageDlg::Wait);
    EXPECT_FALSE(box.isVisible());
    hub.SetWaitFlag(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.isVisible(); }, kWaitMs));
    hub.SetWaitFlag(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, kWaitMs));
    hub.Set(QString(), QString(), QStringLiteral("exit"));
    hub.SetWaitFlag(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hub.OpenBoxes() == 0; }, kWaitMs));
    EXPECT_EQ(box.result(), 0);
}

TEST(MessageDlgOnHub, EachBoxIsCountedOnceByTheHubThatSawItOpen)
{
    auto first = std::make_unique<FakeMessageBoxHub>();
    auto box = std::make_unique<MessageDlg>(nullptr, MessageDlg::Fixed);
    MessageDlg other(nullptr, MessageDlg::Fixed);
    EXPECT_EQ(first->OpenBoxes(), 2);
    // Closing twice, then destroying, counts the box out once.
    box->done(0);
    box->done(0);
    box.reset();
    EXPECT_EQ(first->OpenBoxes(), 1);

    // A hub installed after the box opened never hears of its closing.
    FakeMessageBoxHub second;
    other.done(0);
    EXPECT_EQ(second.OpenBoxes(), 0);
    EXPECT_EQ(first->OpenBoxes(), 1);
}

} // namespace
