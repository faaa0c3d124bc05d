// The chat window and the console's chat, the wait window, and the notice list's pages against
// the central server simulator.
#include "fakevalidationhub.h"

#include "admin/waitfor.h"
#include "core/clistmodel.h"
#include "harness/centralsimprocess.h"
#include "validation/account.h"
#include "validation/cchatmessage.h"
#include "validation/cwaitdlg.h"
#include "validation/noticerows.h"
#include "validation/validationchat.h"
#include "validation/validationnoticeview.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"
#include "validation/validationview.h"

#include <QAction>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QStringList LinesOf(const CChatMessage& chat)
{
    QStringList lines;
    for (int row = 0; row < chat.Lines()->count(); ++row)
        lines << chat.Lines()->item(row)->text();
    return lines;
}

TEST(ChatWindow, SendAddsTheOwnLineAndEmptyInputSendsNothing)
{
    CChatMessage chat;
    EXPECT_EQ(chat.windowTitle(), QStringLiteral("Chatting"));
    EXPECT_EQ(chat.size(), QSize(400, 400));
    chat.SetOwnName(QStringLiteral("admin"));
    chat.SetConnected();
    QSignalSpy sent(&chat, &CChatMessage::OnSendChatMessage);
    chat.onSendButtonClicked();
    EXPECT_EQ(sent.count(), 0);
    EXPECT_TRUE(LinesOf(chat).isEmpty());

    chat.Input()->setText(QStringLiteral("gate 3 <b>offline</b>"));
    chat.SendButton()->click();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toString(), QStringLiteral("gate 3 <b>offline</b>"));
    EXPECT_TRUE(chat.Input()->text().isEmpty());
    EXPECT_EQ(LinesOf(chat), QStringList{QStringLiteral("[admin] : gate 3 <b>offline</b>")});
}

// Nothing a user sends leaves the machine: the window says so where the user looks.
TEST(ChatWindow, SaysThatChatIsLocal)
{
    CChatMessage chat;
    chat.SetConnected();
    chat.show();
    ASSERT_NE(chat.NoteLabel(), nullptr);
    EXPECT_TRUE(chat.NoteLabel()->isVisible());
    EXPECT_EQ(chat.NoteLabel()->text(),
              QStringLiteral("Chat is local: lines stay in this window and are not sent to the server."));
    EXPECT_LT(chat.NoteLabel()->geometry().bottom(), chat.Lines()->geometry().top());
}

TEST(ChatWindow, ReturnInTheInputSendsNothing)
{
    CChatMessage chat;
    chat.SetConnected();
    chat.show();
    QSignalSpy sent(&chat, &CChatMessage::OnSendChatMessage);
    chat.Input()->setText(QStringLiteral("typed"));
    QTest::keyClick(chat.Input(), Qt::Key_Return);
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(chat.Input()->text(), QStringLiteral("typed"));
    EXPECT_TRUE(chat.isVisible());
}

TEST(ChatWindow, WhileConnectingTheInputIsLockedAndOnlyTheWaitLineShows)
{
    CChatMessage chat;
    chat.AddChatLine(QStringLiteral("x"), QStringLiteral("old"));
    chat.Input()->setText(QStringLiteral("draft"));
    chat.SetConnecting();
    EXPECT_TRUE(chat.Input()->isReadOnly());
    EXPECT_TRUE(chat.Input()->text().isEmpty());
    EXPECT_FALSE(chat.SendButton()->isEnabled());
    EXPECT_EQ(LinesOf(chat), QStringList{QStringLiteral("Connecting - Please wait....")});
    chat.SetConnected();
    EXPECT_FALSE(chat.Input()->isReadOnly());
    EXPECT_TRUE(chat.SendButton()->isEnabled());
    EXPECT_TRUE(LinesOf(chat).isEmpty());
}

TEST(ChatWindow, ClosingHidesItKeepsItsLinesAndTellsTheConsole)
{
    CChatMessage chat;
    chat.SetConnected();
    chat.show();
    chat.AddChatLine(QStringLiteral("Validation"), QStringLiteral("hello"));
    QSignalSpy closed(&chat, &CChatMessage::OnChatClose);
    chat.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(chat.isVisible());
    EXPECT_EQ(LinesOf(chat), QStringList{QStringLiteral("[Validation] : hello")});
    chat.show();
    QTest::keyClick(&chat, Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 2);
    EXPECT_FALSE(chat.isVisible());
}

TEST(ConsoleChat, KeepsItsTargetUntilTheWindowCloses)
{
    QWidget parent;
    ValidationChat chat(&parent);
    EXPECT_FALSE(chat.IsOpen());
    chat.AddServerText(QStringLiteral("not open"));
    EXPECT_TRUE(LinesOf(*chat.Window()).isEmpty());

    chat.Start(true, QStringLiteral("admin"));
    EXPECT_TRUE(chat.IsOpen());
    EXPECT_EQ(chat.TargetKind(), ValidationChat::Target::Parent);
    EXPECT_TRUE(chat.Window()->isVisible());
    chat.AddServerText(QStringLiteral("hello"));
    EXPECT_EQ(LinesOf(*chat.Window()), QStringList{QStringLiteral("[Validation] : hello")});

    chat.Window()->close();
    EXPECT_FALSE(chat.IsOpen());
    EXPECT_EQ(chat.TargetKind(), ValidationChat::Target::None);
    EXPECT_FALSE(chat.Window()->isVisible());

    chat.Start(false, QStringLiteral("admin"));
    EXPECT_EQ(chat.TargetKind(), ValidationChat::Target::Child);
    EXPECT_TRUE(LinesOf(*chat.Window()).isEmpty());
}

TEST(WaitWindow, IsAnEmptyFixedToolWindowMadeHiddenUnderItsOwner)
{
    auto owner = std::make_unique<QWidget>();
    QPointer<CWaitDlg> wait = CWaitDlg::CreateHidden(owner.get());
    ASSERT_TRUE(wait);
    EXPECT_EQ(wait->parentWidget(), owner.get());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(wait->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(wait->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(wait->minimumSize(), wait->maximumSize());
    EXPECT_TRUE(wait->findChildren<QWidget*>().isEmpty());
    owner.reset();
    EXPECT_TRUE(wait.isNull());
}

struct PageCase
{
    int total;
    int page;
    int rows;
    int firstNumber; // of the page's first row; its last is firstNumber - rows + 1
    int pageCount;
    bool next;
};

class NoticePages : public ::testing::TestWithParam<PageCase>
{};

TEST_P(NoticePages, NumbersRunOnFromPageToPage)
{
    const PageCase& c = GetParam();
    EXPECT_EQ(c.rows + NoticeRows::PageBase(c.total, c.page, c.rows), c.firstNumber);
    EXPECT_EQ(NoticeRows::PageCount(c.total), c.pageCount);
    EXPECT_EQ(NoticeRows::HasNextPage(c.total, c.page), c.next);
}

INSTANTIATE_TEST_SUITE_P(Totals, NoticePages,
                         ::testing::Values(PageCase{3, 0, 3, 3, 1, false}, PageCase{65, 0, 30, 65, 3, true},
                                           PageCase{65, 1, 30, 35, 3, true}, PageCase{65, 2, 5, 5, 3, false},
                                           PageCase{60, 1, 30, 30, 2, false}, PageCase{0, 0, 0, 0, 1, false},
                                           // A reply without a total numbers its page by itself.
                                           PageCase{0, 2, 4, 4, 1, false}));

TEST(NoticePages, ReadPageNumbersTheRowsOfALaterPage)
{
    int total = 0;
    const auto rows = NoticeRows::ReadPage(
        R"({"total_count":32,"data":[{"id":31,"title":"a","contents":"","createdAt":""},)"
        R"({"id":32,"title":"b","contents":"","createdAt":""}]})",
        1, &total);
    EXPECT_EQ(total, 32);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].number, QStringLiteral("2"));
    EXPECT_EQ(rows[1].number, QStringLiteral("1"));
}

class ConsolePages : public ::testing::Test
{
protected:
    void Start(const QStringList& options)
    {
        sim = std::make_unique<CentralSimProcess>(options);
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
        login.DatabaseHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.DatabasePortEdit()->setText(QString::number(sim->HttpPort()));
        login.ValidationHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.ValidationPortEdit()->setText(QString::number(sim->ValidationPort()));
        login.AccountEdit()->setText(QStringLiteral("admin"));
        login.PasswordEdit()->setText(QStringLiteral("1234"));
        login.onOKButtonClicked();
        ASSERT_TRUE(WaitFor([&] { return view.isVisible() && hub.validationConnected; }));
    }

    QStringList Column(int column)
    {
        QStringList texts;
        CListModel* model = view.Notices()->Model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QStringList NoticeBodies()
    {
        QStringList bodies;
        for (const QJsonObject& request : sim->Requests(QStringLiteral("/notice/list")))
            bodies << QString::fromUtf8(
                QJsonDocument(request.value("body").toObject()).toJson(QJsonDocument::Compact));
        return bodies;
    }

    // Triggers the account tree's menu entry on the node.
    bool RunEntry(const QModelIndex& node, const QString& entry)
    {
        QMenu menu;
        if (!view.Tree()->BuildMenu(menu, node))
            return false;
        for (QAction* action : menu.actions())
            if (action->text() == entry) {
                action->trigger();
                return true;
            }
        return false;
    }

    // Waits for the page's reply: its first row's number.
    bool WaitForPage(int page, const QString& firstNumber)
    {
        return WaitFor([&] {
            return view.Notices()->Page() == page && view.Notices()->Model()->rowCount() > 0
                   && Column(0).first() == firstNumber;
        });
    }

    std::unique_ptr<CentralSimProcess> sim;
    FakeValidationHub hub;
    ValidationSession session{hub};
    ValidationView view{session, hub};
    Account login{session, hub};
};

TEST_F(ConsolePages, NextAndPrevWalkThePagesOfThirty)
{
    Start({QStringLiteral("--notices"), QStringLiteral("65")});
    ValidationNoticeView* notices = view.Notices();
    view.Tabs()->setCurrentIndex(2);
    ASSERT_TRUE(WaitForPage(0, QStringLiteral("65")));
    EXPECT_EQ(Column(0).size(), 30);
    EXPECT_EQ(Column(0).last(), QStringLiteral("36"));
    EXPECT_EQ(Column(1).first(), QStringLiteral("Notice 1"));
    EXPECT_EQ(notices->PageLabel()->text(), QStringLiteral("1 / 3"));
    EXPECT_FALSE(notices->PrevButton()->isEnabled());
    EXPECT_TRUE(notices->NextButton()->isEnabled());

    notices->NextButton()->click();
    ASSERT_TRUE(WaitForPage(1, QStringLiteral("35")));
    EXPECT_EQ(Column(0).last(), QStringLiteral("6"));
    EXPECT_EQ(Column(1).first(), QStringLiteral("Notice 31"));
    EXPECT_EQ(notices->PageLabel()->text(), QStringLiteral("2 / 3"));
    EXPECT_TRUE(notices->PrevButton()->isEnabled());

    notices->NextButton()->click();
    ASSERT_TRUE(WaitForPage(2, QStringLiteral("5")));
    EXPECT_EQ(Column(0), (QStringList{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(Column(1).last(), QStringLiteral("Notice 65"));
    EXPECT_FALSE(notices->NextButton()->isEnabled());

    notices->PrevButton()->click();
    ASSERT_TRUE(WaitForPage(1, QStringLiteral("35")));
    EXPECT_EQ(NoticeBodies(), (QStringList{R"({"limit":"30","offset":"0"})", R"({"limit":"30","offset":"30"})",
                                           R"({"limit":"30","offset":"60"})", R"({"limit":"30","offset":"30"})"}));

    // A new notice on the server brings the first page back.
    ASSERT_TRUE(sim->Push(QStringLiteral("notice;")));
    ASSERT_TRUE(WaitForPage(0, QStringLiteral("65")));
}

TEST_F(ConsolePages, AnOlderPageAnsweredLateIsNotShownOverTheNewerOne)
{
    Start({QStringLiteral("--notices"), QStringLiteral("65")});
    ValidationNoticeView* notices = view.Notices();
    view.Tabs()->setCurrentIndex(2);
    ASSERT_TRUE(WaitForPage(0, QStringLiteral("65")));
    notices->NextButton()->click();
    ASSERT_TRUE(WaitForPage(1, QStringLiteral("35")));
    ASSERT_TRUE(WaitFor([&] { return session.Http().BusySenders() == 0 && session.Http().QueuedCount() == 0; }));

    const int asked = sim->Requests(QStringLiteral("/notice/list")).size();
    QSignalSpy replies(&session.Http(), &CNetwork_http::OnResult);
    const auto noticeReplies = [&] {
        int count = 0;
        for (const QList<QVariant>& reply : replies)
            count += reply.at(0).toInt() == CentralRequests::kNoticeList ? 1 : 0;
        return count;
    };
    // "Prev" asks for the first page, whose answer the server holds back; "Next" then asks for
    // the last page, which is answered and shown first.
    ASSERT_TRUE(sim->Hold(QStringLiteral("/notice/list")));
    notices->PrevButton()->click();
    ASSERT_TRUE(WaitFor([&] { return sim->Requests(QStringLiteral("/notice/list")).size() == asked + 1; }));
    notices->NextButton()->click();
    ASSERT_TRUE(WaitForPage(2, QStringLiteral("5")));
    ASSERT_TRUE(sim->Release(QStringLiteral("/notice/list")));
    ASSERT_TRUE(WaitFor([&] { return noticeReplies() == 2; }));

    // The late answer belongs to a request the user has gone past: the last page stays.
    EXPECT_EQ(notices->Page(), 2);
    EXPECT_EQ(Column(0), (QStringList{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(notices->PageLabel()->text(), QStringLiteral("3 / 3"));
    EXPECT_FALSE(notices->NextButton()->isEnabled());
    EXPECT_TRUE(notices->PrevButton()->isEnabled());

    // The page still moves on as asked afterwards.
    notices->PrevButton()->click();
    ASSERT_TRUE(WaitForPage(1, QStringLiteral("35")));
}

class ConsolePagesBroken : public ConsolePages, public ::testing::WithParamInterface<const char*>
{};

TEST_P(ConsolePagesBroken, AReplyThatNeverCameWholeKeepsThePageShown)
{
    Start({QStringLiteral("--notices"), QStringLiteral("65")});
    ValidationNoticeView* notices = view.Notices();
    view.Tabs()->setCurrentIndex(2);
    ASSERT_TRUE(WaitForPage(0, QStringLiteral("65")));
    ASSERT_TRUE(sim->SetFail(QStringLiteral("/notice/list"), QString::fromLatin1(GetParam())));
    notices->NextButton()->click();
    ASSERT_TRUE(WaitFor(
        [&] { return notices->PageLabel()->text() == QStringLiteral("The notice list could not be read."); }));
    EXPECT_EQ(notices->Page(), 0);
    EXPECT_EQ(Column(0).size(), 30);
    EXPECT_EQ(Column(0).first(), QStringLiteral("65"));
    EXPECT_TRUE(notices->NextButton()->isEnabled());

    ASSERT_TRUE(sim->SetFail(QStringLiteral("/notice/list"), QString()));
    notices->NextButton()->click();
    ASSERT_TRUE(WaitForPage(1, QStringLiteral("35")));
    EXPECT_EQ(notices->PageLabel()->text(), QStringLiteral("2 / 3"));
}

INSTANTIATE_TEST_SUITE_P(Modes, ConsolePagesBroken, ::testing::Values("empty", "notjson", "status500", "cut"));

TEST_F(ConsolePages, AServerMessageDuringAChatIsSaidInTheChatToo)
{
    Start({});
    // "Chatting" on an account below: a chat with that node.
    ASSERT_TRUE(RunEntry(session.Tree().FindAccount(4), QStringLiteral("Chatting")));
    ASSERT_TRUE(view.Chat()->IsOpen());
    EXPECT_EQ(view.Chat()->TargetKind(), ValidationChat::Target::Child);
    view.Chat()->Window()->close();
    // On the logged-in account's own node: a chat with its parent.
    ASSERT_TRUE(RunEntry(session.RootIndex(), QStringLiteral("Chatting")));
    ASSERT_TRUE(view.Chat()->IsOpen());
    EXPECT_EQ(view.Chat()->TargetKind(), ValidationChat::Target::Parent);
    view.Chat()->Window()->Input()->setText(QStringLiteral("anyone there?"));
    view.Chat()->Window()->SendButton()->click();
    ASSERT_TRUE(sim->Push(QStringLiteral("message;admin;1;Gate 3 is back;")));
    ASSERT_TRUE(WaitFor([&] { return hub.messages.contains(QStringLiteral("Validation|Gate 3 is back")); }));
    EXPECT_EQ(LinesOf(*view.Chat()->Window()),
              (QStringList{"[admin] : anyone there?", "[Validation] : Gate 3 is back"}));
    // The chat's own words stay off the line.
    for (const QString& line : sim->Lines())
        EXPECT_FALSE(line.contains(QStringLiteral("anyone there?"))) << line.toStdString();
}
} // namespace
