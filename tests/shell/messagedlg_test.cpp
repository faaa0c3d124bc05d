// The shared message box: its five modes, how it follows the hub's texts and option word, and
// that the hub's open state always ends with the box.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "shell/support/composedwindow.h"
#include "shell/support/shell_hubfixture.h"

namespace {

QLabel* Label(MessageDlg* box)
{
    return box->findChild<QLabel*>(QStringLiteral("label"));
}

QPushButton* CloseButton(MessageDlg* box)
{
    return box->findChild<QPushButton*>(QStringLiteral("closeButton"));
}

QPushButton* OkButton(MessageDlg* box)
{
    return box->findChild<QPushButton*>(QStringLiteral("okButton"));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The box by itself

struct ModeCase
{
    int mode;
    const char* button;
    bool buttonEnabled;
    bool hasOk;
    bool visibleAfterShow;
    bool followsHub;
};

class ShellMessageDlgMode : public ShellHubTest, public ::testing::WithParamInterface<ModeCase>
{};

TEST_P(ShellMessageDlgMode, BuildsItsButtonsAndFollowsTheHubOnlyWhereItShould)
{
    const ModeCase& c = GetParam();
    hub->ShowMessageBox(QString(), QStringLiteral("stored text"), QString());
    MessageDlg box(hub.get(), c.mode);
    EXPECT_TRUE(hub->Messages().IsOpen());

    ASSERT_NE(CloseButton(&box), nullptr);
    EXPECT_EQ(CloseButton(&box)->text(), QString::fromLatin1(c.button));
    EXPECT_EQ(CloseButton(&box)->isEnabled(), c.buttonEnabled);
    EXPECT_EQ(OkButton(&box) != nullptr, c.hasOk);
    EXPECT_GE(Label(&box)->minimumWidth(), 200);
    EXPECT_GE(Label(&box)->minimumHeight(), 40);
    EXPECT_EQ(Label(&box)->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);

    // Mode 4 starts hidden; the others show when asked.
    if (c.mode != MessageDlg::Wait)
        box.show();
    EXPECT_EQ(box.isVisible(), c.visibleAfterShow);

    // A hub text change reaches the label at the next tick only in the modes that follow the hub.
    hub->ShowMessageBox(QString(), QStringLiteral("new text"), QString());
    box.timerRedrawLabel();
    EXPECT_EQ(Label(&box)->text() == QStringLiteral("new text"), c.followsHub);
}

INSTANTIATE_TEST_SUITE_P(Modes, ShellMessageDlgMode,
                         ::testing::Values(ModeCase{0, "Close", false, false, true, true},
                                           ModeCase{1, "Close", false, false, true, false},
                                           ModeCase{2, "Cancel", true, true, true, false},
                                           ModeCase{3, "Cancel", true, false, true, true},
                                           ModeCase{4, "Close", false, false, false, false}));

TEST_F(ShellHubTest, HubMessageBoxStartsWithTheHubTexts)
{
    hub->ShowMessageBox(QString(), QStringLiteral("Connecting"), QString());
    // Store a title without opening the shared box: the test builds its own.
    hub->ShowMessageBox(QStringLiteral("Lobby"), QString(), QString());
    MessageDlg box(hub.get(), MessageDlg::HubMessage);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Lobby"));
    EXPECT_EQ(Label(&box)->text(), QStringLiteral("Connecting"));
}

TEST_F(ShellHubTest, FixedMessageSetTextEnablesClose)
{
    MessageDlg box(hub.get(), MessageDlg::Fixed);
    EXPECT_TRUE(Label(&box)->text().isEmpty());
    box.SetText(QStringLiteral("ZENT"), QStringLiteral("Sitebook Parse error"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("ZENT"));
    EXPECT_EQ(Label(&box)->text(), QStringLiteral("Sitebook Parse error"));
    EXPECT_TRUE(CloseButton(&box)->isEnabled());
}

TEST_F(ShellHubTest, HubMessageFollowsTitleAndText)
{
    MessageDlg box(hub.get(), MessageDlg::HubMessage);
    box.show();
    hub->ShowMessageBox(QStringLiteral("Gate"), QStringLiteral("Login fail"), QString());
    box.timerRedrawLabel();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Gate"));
    EXPECT_EQ(Label(&box)->text(), QStringLiteral("Login fail"));
    EXPECT_FALSE(CloseButton(&box)->isEnabled());
    EXPECT_TRUE(box.isVisible());
}

TEST_F(ShellHubTest, OptionStopEnablesTheButtonAndKeepsTheBox)
{
    MessageDlg box(hub.get(), MessageDlg::HubMessage);
    box.show();
    hub->ShowMessageBox(QString(), QStringLiteral("Not Support"), QStringLiteral("stop"));
    box.timerRedrawLabel();
    EXPECT_TRUE(CloseButton(&box)->isEnabled());
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, OptionExitClosesAtTheFirstTick)
{
    MessageDlg box(hub.get(), MessageDlg::HubMessage);
    QSignalSpy finished(&box, &QDialog::finished);
    box.show();
    hub->ShowMessageBox(QString(), QStringLiteral("Done"), QStringLiteral("exit"));
    box.timerRedrawLabel();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, OptionAutoClosesAtTheTenthTickThatSeesIt)
{
    MessageDlg box(hub.get(), MessageDlg::HubMessage);
    QSignalSpy finished(&box, &QDialog::finished);
    box.show();

    hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
    for (int i = 0; i < 6; ++i)
        box.timerRedrawLabel();
    // Ticks with another option do not count, and they do not reset the count.
    hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
    for (int i = 0; i < 20; ++i)
        box.timerRedrawLabel();
    EXPECT_EQ(finished.count(), 0);
    hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
    for (int i = 0; i < 3; ++i)
        box.timerRedrawLabel();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(box.isVisible());
    box.timerRedrawLabel(); // the tenth "auto" tick
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, RefreshTimerDrivesTheBox)
{
    auto* box = new MessageDlg(hub.get(), MessageDlg::HubMessage);
    QPointer<MessageDlg> guard(box);
    QSignalSpy finished(box, &QDialog::finished);
    box->show();
    hub->ShowMessageBox(QStringLiteral("Backup"), QStringLiteral("Finished"), QStringLiteral("auto"));
    QTRY_COMPARE(Label(box)->text(), QStringLiteral("Finished"));
    QTRY_COMPARE(finished.count(), 1);
    EXPECT_FALSE(hub->Messages().IsOpen());
    delete guard.data();
}

TEST_F(ShellHubTest, QuestionAnswersOkWithOneAndCancelWithZero)
{
    for (const char* button : {"okButton", "closeButton"}) {
        MessageDlg box(hub.get(), MessageDlg::Question);
        box.SetText(QStringLiteral("Delete"), QStringLiteral("Delete the recorder?"));
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        ASSERT_EQ(finished.count(), 1) << button;
        EXPECT_EQ(finished.at(0).at(0).toInt(), QByteArray(button) == "okButton" ? 1 : 0) << button;
        EXPECT_FALSE(hub->Messages().IsOpen()) << button;
    }
}

TEST_F(ShellHubTest, WaitBoxIsVisibleOnlyWhileTheWaitFlagIsClear)
{
    MessageDlg box(hub.get(), MessageDlg::Wait);
    QSignalSpy finished(&box, &QDialog::finished);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(Label(&box)->text().isEmpty());

    hub->Messages().SetWaitFlag(0);
    box.timerRedrawLabel();
    EXPECT_TRUE(box.isVisible());
    hub->Messages().SetWaitFlag(1);
    box.timerRedrawLabel();
    EXPECT_FALSE(box.isVisible());
    // Hidden is not closed.
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(hub->Messages().IsOpen());
    hub->Messages().SetWaitFlag(0);
    box.timerRedrawLabel();
    EXPECT_TRUE(box.isVisible());
}

TEST_F(ShellHubTest, WaitBoxHonoursExit)
{
    MessageDlg box(hub.get(), MessageDlg::Wait);
    QSignalSpy finished(&box, &QDialog::finished);
    box.timerRedrawLabel();
    ASSERT_TRUE(box.isVisible());
    hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    box.timerRedrawLabel();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(hub->Messages().IsOpen());
}

// ---------------------------------------------------------------------------------------------
// The open state cannot stick

struct CloseWay
{
    const char* name;
    std::function<void(MessageDlg*)> close;
};

class ShellMessageBoxClose : public ShellHubTest, public ::testing::WithParamInterface<CloseWay>
{};

TEST_P(ShellMessageBoxClose, ClearsTheOpenState)
{
    for (int mode : {0, 1, 2, 3, 4}) {
        auto* box = new MessageDlg(hub.get(), mode);
        QPointer<MessageDlg> guard(box);
        box->SetText(QStringLiteral("T"), QStringLiteral("x"));
        box->show();
        ASSERT_TRUE(hub->Messages().IsOpen()) << GetParam().name << " mode " << mode;
        GetParam().close(box);
        EXPECT_FALSE(hub->Messages().IsOpen()) << GetParam().name << " mode " << mode;
        delete guard.data();
        EXPECT_FALSE(hub->Messages().IsOpen()) << GetParam().name << " mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ShellMessageBoxClose,
    ::testing::Values(CloseWay{"escape", [](MessageDlg* b) { QTest::keyClick(b, Qt::Key_Escape); }},
                      CloseWay{"accept", [](MessageDlg* b) { b->accept(); }},
                      CloseWay{"reject", [](MessageDlg* b) { b->reject(); }},
                      CloseWay{"close", [](MessageDlg* b) { b->close(); }},
                      CloseWay{"button", [](MessageDlg* b) { QTest::mouseClick(CloseButton(b), Qt::LeftButton); }},
                      CloseWay{"destroy", [](MessageDlg* b) { delete b; }}),
    [](const ::testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.name); });

TEST_F(ShellHubTest, OpenStateLastsUntilTheLastBoxCloses)
{
    auto first = std::make_unique<MessageDlg>(hub.get(), MessageDlg::Fixed);
    auto second = std::make_unique<MessageDlg>(hub.get(), MessageDlg::Question);
    second->reject();
    EXPECT_TRUE(hub->Messages().IsOpen());
    // Closing an already closed box again changes nothing.
    second->reject();
    second.reset();
    EXPECT_TRUE(hub->Messages().IsOpen());
    first->accept();
    EXPECT_FALSE(hub->Messages().IsOpen());
}

// ---------------------------------------------------------------------------------------------
// The hub opens the shared box

TEST_F(ShellHubTest, ShowMessageBoxOpensOneModalBoxAndUpdatesIt)
{
    bool updated = false;
    BoxWatcher watcher([&](MessageDlg*, const BoxSample& s) {
        if (!updated) {
            updated = true;
            hub->ShowMessageBox(QStringLiteral("Gate"), QStringLiteral("Login ok"), QString());
        } else if (s.text == QStringLiteral("Login ok")) {
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
        }
    });
    hub->ShowMessageBox(QStringLiteral("Lobby"), QStringLiteral("Connecting"), QString());
    EXPECT_TRUE(BoxWatcher::LiveBoxes().isEmpty()); // not before the single shot

    QTRY_VERIFY(updated && !hub->Messages().IsOpen() && BoxWatcher::LiveBoxes().isEmpty());
    ASSERT_FALSE(watcher.Samples().empty());
    const BoxSample& first = watcher.Samples().front();
    EXPECT_EQ(first.mode, MessageDlg::HubMessage);
    EXPECT_EQ(first.title, QStringLiteral("Lobby"));
    EXPECT_EQ(first.text, QStringLiteral("Connecting"));
    EXPECT_FALSE(first.buttonEnabled);
    EXPECT_TRUE(first.visible);
    EXPECT_EQ(watcher.BoxesSeen(), 1);
    EXPECT_EQ(watcher.MostAtOnce(), 1);
    bool sawUpdate = false;
    for (const BoxSample& s : watcher.Samples())
        sawUpdate |= (s.title == QStringLiteral("Gate") && s.text == QStringLiteral("Login ok"));
    EXPECT_TRUE(sawUpdate);
}

TEST_F(ShellHubTest, EmptyTitleOpensNothingButStoresTheText)
{
    BoxWatcher watcher;
    hub->ShowMessageBox(QString(), QStringLiteral("Disconnected"), QString());
    QTest::qWait(50);
    EXPECT_EQ(watcher.BoxesSeen(), 0);
    EXPECT_FALSE(hub->Messages().IsOpen());

    BoxWatcher closer([&](MessageDlg* box, const BoxSample&) { box->reject(); });
    hub->ShowMessageBox(QStringLiteral("Gate"), QString(), QString());
    QTRY_VERIFY(closer.BoxesSeen() == 1 && BoxWatcher::LiveBoxes().isEmpty());
    EXPECT_EQ(closer.Samples().front().title, QStringLiteral("Gate"));
    EXPECT_EQ(closer.Samples().front().text, QStringLiteral("Disconnected"));
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, TitleWithEmptyTextShowsTheStoredText)
{
    BoxWatcher first([&](MessageDlg*, const BoxSample&) { hub->ShowMessageBox(QString(), QString(), "exit"); });
    hub->ShowMessageBox(QStringLiteral("Lobby"), QStringLiteral("Connect fail"), QString());
    QTRY_VERIFY(first.BoxesSeen() == 1 && BoxWatcher::LiveBoxes().isEmpty());

    BoxWatcher second([&](MessageDlg* box, const BoxSample&) { QTest::keyClick(box, Qt::Key_Escape); });
    hub->ShowMessageBox(QStringLiteral("Yard"), QString(), QString());
    QTRY_VERIFY(second.BoxesSeen() == 1 && BoxWatcher::LiveBoxes().isEmpty());
    EXPECT_EQ(second.Samples().front().title, QStringLiteral("Yard"));
    EXPECT_EQ(second.Samples().front().text, QStringLiteral("Connect fail"));
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, ExitWithTheOpeningCallClosesAtTheFirstTick)
{
    BoxWatcher watcher; // only looks, never acts
    hub->ShowMessageBox(QStringLiteral("Lobby"), QStringLiteral("Bye"), QStringLiteral("exit"));
    QTRY_VERIFY(watcher.BoxesShown() == 1 && BoxWatcher::LiveBoxes().isEmpty());
    EXPECT_FALSE(hub->Messages().IsOpen());
    EXPECT_LE(watcher.MostAtOnce(), 1);
}

TEST_F(ShellHubTest, MuseumSearchTitleGivesTheCancelBox)
{
    BoxWatcher watcher(
        [&](MessageDlg* box, const BoxSample&) { QTest::mouseClick(CloseButton(box), Qt::LeftButton); });
    hub->ShowMessageBox(QStringLiteral("Museum Search"), QStringLiteral("Searching"), QString());
    QTRY_VERIFY(watcher.BoxesSeen() == 1 && BoxWatcher::LiveBoxes().isEmpty());
    const BoxSample& s = watcher.Samples().front();
    EXPECT_EQ(s.mode, MessageDlg::MuseumSearch);
    EXPECT_EQ(s.buttonText, QStringLiteral("Cancel"));
    EXPECT_TRUE(s.buttonEnabled);
    EXPECT_EQ(s.text, QStringLiteral("Searching"));
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, PleaseWaitGivesTheBlankWaitBox)
{
    hub->Messages().SetWaitFlag(1);
    int phase = 0;
    BoxWatcher watcher([&](MessageDlg*, const BoxSample& s) {
        // Hidden while the flag is set; shown once it clears; then told to exit.
        if (phase == 0 && !s.visible) {
            ++phase;
            hub->Messages().SetWaitFlag(0);
        } else if (phase == 1 && s.visible) {
            ++phase;
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
        }
    });
    hub->ShowMessageBox(QStringLiteral("Lobby"), QStringLiteral("Please wait..."), QString());
    QTRY_VERIFY(phase == 2 && BoxWatcher::LiveBoxes().isEmpty());
    EXPECT_EQ(watcher.Samples().front().mode, MessageDlg::Wait);
    EXPECT_TRUE(watcher.Samples().front().text.isEmpty());
    EXPECT_EQ(watcher.BoxesSeen(), 1);
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, NoSecondBoxWhileOneIsOpen)
{
    int calls = 0;
    BoxWatcher watcher([&](MessageDlg* box, const BoxSample&) {
        if (++calls < 5)
            hub->ShowMessageBox(QStringLiteral("Lobby %1").arg(calls), QStringLiteral("again"), QString());
        else
            box->reject();
    });
    hub->ShowMessageBox(QStringLiteral("Lobby"), QStringLiteral("first"), QString());
    QTRY_VERIFY(calls >= 5 && BoxWatcher::LiveBoxes().isEmpty());
    QTest::qWait(50); // let any single shot still pending run
    EXPECT_EQ(watcher.BoxesSeen(), 1);
    EXPECT_EQ(watcher.MostAtOnce(), 1);
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, ShowModalMessageRunsAFixedBoxUntilItCloses)
{
    BoxWatcher watcher([&](MessageDlg* box, const BoxSample& s) {
        if (s.visible)
            QTest::mouseClick(CloseButton(box), Qt::LeftButton);
    });
    hub->ShowModalMessage(QStringLiteral("Warring"), QStringLiteral("Input server address"));
    EXPECT_TRUE(BoxWatcher::LiveBoxes().isEmpty());
    ASSERT_EQ(watcher.BoxesSeen(), 1);
    const BoxSample& s = watcher.Samples().front();
    EXPECT_EQ(s.mode, MessageDlg::Fixed);
    EXPECT_EQ(s.title, QStringLiteral("Warring"));
    EXPECT_EQ(s.text, QStringLiteral("Input server address"));
    EXPECT_TRUE(s.buttonEnabled);
    EXPECT_FALSE(hub->Messages().IsOpen());
}

TEST_F(ShellHubTest, ChangedCertificateQuestionTrustsOnlyWithOk)
{
    const QString recorder = QStringLiteral("Gate (10.1.2.3:9000)");
    const QString known = QStringLiteral("0A:1B:2C");
    const QString offered = QStringLiteral("F0:E1:D2");
    for (const char* button : {"okButton", "closeButton"}) {
        BoxWatcher watcher([&](MessageDlg* box, const BoxSample& s) {
            if (s.visible)
                QTest::mouseClick(box->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        });
        const bool trusted = hub->Sessions()->TrustChangedCertificate(recorder, known, offered);
        EXPECT_EQ(trusted, QByteArray(button) == "okButton") << button;
        EXPECT_TRUE(BoxWatcher::LiveBoxes().isEmpty()) << button;
        ASSERT_EQ(watcher.BoxesSeen(), 1) << button;
        const BoxSample& s = watcher.Samples().front();
        EXPECT_EQ(s.mode, MessageDlg::Question) << button;
        EXPECT_EQ(s.title, QStringLiteral("Certificate changed")) << button;
        for (const QString& part : {recorder, known, offered, QStringLiteral("intercepting")})
            EXPECT_TRUE(s.text.contains(part)) << button << " " << part.toStdString();
        EXPECT_LT(s.text.indexOf(known), s.text.indexOf(offered)) << "the known fingerprint comes first";
        EXPECT_FALSE(hub->Messages().IsOpen()) << button;
    }
}

TEST(ShellMessageBoxHubs, BoxCountsOnlyWithTheHubThatSawItOpen)
{
    auto first = std::make_unique<ComposedWindow<MainWindow>>();
    auto box = std::make_unique<MessageDlg>(nullptr, MessageDlg::Fixed);
    EXPECT_TRUE(first->Messages().IsOpen());
    first.reset();

    auto second = std::make_unique<ComposedWindow<MainWindow>>();
    auto other = std::make_unique<MessageDlg>(nullptr, MessageDlg::Fixed);
    ASSERT_TRUE(second->Messages().IsOpen());
    // The older box's end must not close the new hub's box.
    box.reset();
    EXPECT_TRUE(second->Messages().IsOpen());
    other.reset();
    EXPECT_FALSE(second->Messages().IsOpen());
}
