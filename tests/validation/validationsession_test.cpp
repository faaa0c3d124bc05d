// The console's logic against the central server simulator: login, the tree it builds, the
// validation line, and adds and deletes with their replies, refusals and broken replies.
#include "centralsessiontest.h"

#include "core/treemodel.h"
#include "validation/validationsession.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {
class Session : public CentralSessionTest
{
protected:
    std::unique_ptr<ValidationAccount> NewDvr(const char* name)
    {
        auto dvr = std::make_unique<ValidationAccount>();
        dvr->type = QStringLiteral("dvr");
        dvr->parent_id = 2;
        dvr->name = QString::fromUtf8(name);
        dvr->dvr_host = QStringLiteral("10.0.0.9");
        dvr->dvr_port = QStringLiteral("9000");
        dvr->dvr_login_id = QStringLiteral("admin");
        dvr->dvr_password = QStringLiteral("1234");
        return dvr;
    }

    QString Name(const QModelIndex& index) { return index.data().toString(); }
};

TEST_F(Session, LoginBuildsTheTreeAndConnectsTheLine)
{
    QSignalSpy loggedIn(&session, &ValidationSession::LoggedIn);
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    ASSERT_EQ(loggedIn.count(), 1);
    EXPECT_EQ(session.RootId(), 1);
    // The login account has no name: its user id shows.
    EXPECT_EQ(Name(session.RootIndex()), QStringLiteral("admin"));
    const QModelIndex root = session.RootIndex();
    ASSERT_EQ(session.Model().rowCount(root), 2);
    EXPECT_EQ(Name(session.Model().index(0, 0, root)), QStringLiteral("operator"));
    EXPECT_EQ(Name(session.Model().index(1, 0, root)), QStringLiteral("East"));
    EXPECT_EQ(Name(session.Model().index(0, 0, session.Model().index(1, 0, root))), QStringLiteral("Gate"));

    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("aliveVMS;1;0;;;;;")); }));
    ASSERT_TRUE(WaitFor([&] { return hub.serverSiteBooks.size() == 1; }));
    EXPECT_TRUE(hub.serverSiteBooks[0].contains(QStringLiteral("\"Gate\"")));
    const QList<QJsonObject> logins = sim.Requests(QStringLiteral("/login"));
    ASSERT_EQ(logins.size(), 1);
    EXPECT_EQ(logins[0].value("body").toObject().value("password").toString(), QStringLiteral("1234"));
}

TEST_F(Session, AWrongPasswordShowsTheServersWordsAndBuildsNothing)
{
    QSignalSpy loggedIn(&session, &ValidationSession::LoggedIn);
    LogIn(session, QStringLiteral("admin"), QStringLiteral("nope"));
    ASSERT_TRUE(WaitFor([&] { return !hub.messages.isEmpty(); }));
    EXPECT_EQ(hub.messages[0], QStringLiteral("Warning|Login failed: wrong user id or password"));
    EXPECT_EQ(loggedIn.count(), 0);
    EXPECT_EQ(session.Model().rowCount(), 0);
}

TEST_F(Session, AnUnreachableServerSaysSo)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    QSignalSpy probe(&session, &ValidationSession::ProbeAnswered);
    session.ConnectDatabaseServer(QStringLiteral("127.0.0.1"), QString::number(closedPort));
    ASSERT_TRUE(WaitFor([&] { return probe.count() == 1; }));
    EXPECT_FALSE(probe.at(0).at(0).toBool());
    EXPECT_EQ(hub.messages, QStringList{"Warning|Can not connect to the database server."});
}

TEST_F(Session, ALoginReplyThatIsNotWholeLogsNoOneIn)
{
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/login"), QStringLiteral("cut")));
    QSignalSpy loggedIn(&session, &ValidationSession::LoggedIn);
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return !hub.messages.isEmpty(); }));
    EXPECT_EQ(loggedIn.count(), 0);
    EXPECT_TRUE(session.UserId().isEmpty());
    EXPECT_EQ(session.Model().rowCount(), 0);
}

TEST_F(Session, AnAddedRecorderJoinsTheTreeTheLineAndTheSiteBook)
{
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    const QModelIndex east = session.Tree().FindAccount(2);
    session.AddDvr(east, NewDvr("T\xc3\xbcr"));
    EXPECT_EQ(hub.localChange, 1);
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    const QModelIndex added = session.Tree().FindDvr(6);
    ASSERT_TRUE(added.isValid());
    EXPECT_EQ(Name(added), QStringLiteral("T\u00fcr"));
    EXPECT_EQ(hub.localChange, 0);
    EXPECT_EQ(hub.siteBook, QStringList{QStringLiteral("dvr 6 T\u00fcr under 2")});
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("adddvr;1;6;2;;;;;;;;;")); }));
    const QJsonObject body = sim.Requests(QStringLiteral("/dvr")).at(0).value("body").toObject();
    EXPECT_EQ(body.value("dvr_permission_live").toString(), QStringLiteral("65535"));
    EXPECT_EQ(body.value("dvr_permission_config").toString(), QStringLiteral("1"));
}

TEST_F(Session, AnAddedGroupKeepsNoUserIdAndGoesToTheSiteBook)
{
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    auto group = std::make_unique<ValidationAccount>();
    group->type = QStringLiteral("group");
    group->parent_id = 1;
    group->name = QStringLiteral("West");
    session.AddAccount(session.RootIndex(), std::move(group));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    const QModelIndex added = session.Tree().FindAccount(6);
    ASSERT_TRUE(added.isValid());
    EXPECT_EQ(session.Tree().Record(added)->user_id, QString());
    EXPECT_EQ(Name(added), QStringLiteral("West"));
    EXPECT_EQ(hub.siteBook, QStringList{"group 6 West under 1"});
    EXPECT_EQ(sim.Requests(QStringLiteral("/account")).at(0).value("body").toObject().value("type").toString(),
              QStringLiteral("group"));
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("addaccount;1;6;;;;;;;;;;;")); }));
}

struct BrokenAdd
{
    const char* mode;
    const char* warning;
};

class SessionBrokenAdd : public Session, public ::testing::WithParamInterface<BrokenAdd>
{};

TEST_P(SessionBrokenAdd, InsertsNothingAndSendsNothing)
{
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/dvr"), QString::fromLatin1(GetParam().mode)));
    const int rows = session.Model().rowCount(session.Tree().FindAccount(2));
    session.AddDvr(session.Tree().FindAccount(2), NewDvr("Broken"));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    EXPECT_EQ(session.Model().rowCount(session.Tree().FindAccount(2)), rows);
    EXPECT_EQ(hub.warnings, QStringList{QString::fromLatin1(GetParam().warning)});
    EXPECT_TRUE(hub.siteBook.isEmpty());
    EXPECT_EQ(hub.localChange, 0);
    // The line carries the keep-alive only.
    for (const QString& line : sim.Lines())
        EXPECT_TRUE(line.startsWith(QLatin1String("aliveVMS"))) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Modes, SessionBrokenAdd,
                         ::testing::Values(BrokenAdd{"fail", "Warring|DVR registration error"},
                                           BrokenAdd{"noid", "Warring|DVR registration error"},
                                           BrokenAdd{"empty", "Warring|DVR registration error"},
                                           BrokenAdd{"notjson", "Warring|DVR registration error"},
                                           BrokenAdd{"status500", "Warring|DVR registration error"}));

TEST_F(Session, DeleteWaitsForTheServerAndARefusalKeepsTheNode)
{
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    EXPECT_FALSE(session.CanDelete(session.RootIndex()));

    ASSERT_TRUE(sim.SetFail(QStringLiteral("/dvr/delete"), QStringLiteral("fail")));
    session.Delete(session.Tree().FindDvr(3));
    EXPECT_TRUE(session.Tree().FindDvr(3).isValid());
    ASSERT_TRUE(WaitFor([&] { return !hub.warnings.isEmpty(); }));
    EXPECT_EQ(hub.warnings[0], QStringLiteral("Warring|Refused: PUT /dvr/delete"));
    EXPECT_TRUE(session.Tree().FindDvr(3).isValid());
    EXPECT_TRUE(hub.siteBook.isEmpty());

    ASSERT_TRUE(sim.SetFail(QStringLiteral("/dvr/delete"), QString()));
    session.Delete(session.Tree().FindDvr(3));
    ASSERT_TRUE(WaitFor([&] { return !session.Tree().FindDvr(3).isValid(); }));
    EXPECT_EQ(hub.siteBook, QStringList{"delete dvr 3"});
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("deletedvr;1;3;;;;;;;;;")); }));
    EXPECT_EQ(hub.localChange, 0);
}

TEST_F(Session, AnotherConsolesAddArrivesThroughTheServer)
{
    LogIn(session);
    FakeValidationHub otherHub;
    ValidationSession other(otherHub);
    LogIn(other, QStringLiteral("operator"), QStringLiteral("op"));
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected && otherHub.validationConnected; }));
    // The operator's own recorder list gets one under its account.
    auto dvr = NewDvr("Dock");
    dvr->parent_id = 4;
    other.AddDvr(other.RootIndex(), std::move(dvr));
    ASSERT_TRUE(WaitFor([&] { return session.Tree().FindDvr(6).isValid(); }));
    EXPECT_EQ(session.Tree().FindDvr(6).parent(), session.Tree().FindAccount(4));
    EXPECT_TRUE(hub.siteBook.contains(QStringLiteral("dvr 6 Dock under 4")));
}

TEST_F(Session, LinesOfTheServer)
{
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected; }));
    QSignalSpy events(&session, &ValidationSession::EventLog);
    QSignalSpy rows(&session, &ValidationSession::MonitoringRow);
    QSignalSpy messages(&session, &ValidationSession::ServerMessagePending);
    ASSERT_TRUE(sim.Push(QStringLiteral("aliveVMS;4;1;")));
    ASSERT_TRUE(WaitFor([&] { return events.count() == 1; }));
    EXPECT_EQ(events.at(0).at(0).toString(), QStringLiteral("operator"));
    EXPECT_EQ(events.at(0).at(1).toString(), QStringLiteral("login"));
    EXPECT_EQ(session.Tree().FindAccount(4).siblingAtColumn(2).data().toString(), QStringLiteral("O"));

    ASSERT_TRUE(sim.Push(QStringLiteral("healthcheck;3;1105;")));
    ASSERT_TRUE(WaitFor([&] { return session.Model().rowCount(session.Tree().FindDvr(3)) == 4; }));

    // Event reports: an account id beyond the monitoring list's table, and a field missing,
    // are dropped; a whole one becomes a row.
    ASSERT_TRUE(sim.Push(QStringLiteral("event;x;10000;a;h;1;2;3;4;5;6;7;")));
    ASSERT_TRUE(sim.Push(QStringLiteral("event;x;4;a;h;1;;3;4;5;6;7;")));
    ASSERT_TRUE(sim.Push(QStringLiteral("event;x;4;operator;h;1;2;3;4;5;6;7;")));
    ASSERT_TRUE(WaitFor([&] { return rows.count() == 1; }));
    EXPECT_EQ(rows.at(0).at(0).toStringList().at(1), QStringLiteral("operator"));

    // Two messages in a row both wait to be shown; the receipt goes back once.
    ASSERT_TRUE(sim.Push(QStringLiteral("message;admin;0;first;")));
    ASSERT_TRUE(sim.Push(QStringLiteral("message;admin;1;second;")));
    ASSERT_TRUE(sim.Push(QStringLiteral("message;someone;0;not ours;")));
    ASSERT_TRUE(WaitFor([&] { return messages.count() == 2; }));
    EXPECT_EQ(session.TakeServerMessage(), QStringLiteral("first"));
    EXPECT_EQ(session.TakeServerMessage(), QStringLiteral("second"));
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("message;1;0;checked;;;;;;;;;")); }));

    ASSERT_TRUE(sim.Push(QStringLiteral("deletedvr;3;")));
    ASSERT_TRUE(WaitFor([&] { return !session.Tree().FindDvr(3).isValid(); }));
    EXPECT_TRUE(hub.siteBook.contains(QStringLiteral("delete dvr 3")));
}
} // namespace

namespace {
// A change the server took reaches the site book as well as the tree, whether this console made
// it or another one did.
TEST_F(Session, ModifiedRecordersAndGroupsReachTheSiteBook)
{
    LogIn(session);
    FakeValidationHub otherHub;
    ValidationSession other(otherHub);
    LogIn(other, QStringLiteral("operator"), QStringLiteral("op"));
    ASSERT_TRUE(WaitFor([&] { return hub.validationConnected && otherHub.validationConnected; }));

    const auto modifyDvr = [&](int id, const char* name, const char* host) {
        auto dvr = std::make_unique<ValidationAccount>(*session.Tree().Record(session.Tree().FindDvr(id)));
        dvr->name = QString::fromUtf8(name);
        dvr->dvr_host = QString::fromUtf8(host);
        dvr->dvr_port = QStringLiteral("9100");
        session.ModifyDvr(session.Tree().FindDvr(id), std::move(dvr));
        return WaitFor([&] { return !session.HasPending(); });
    };
    ASSERT_TRUE(modifyDvr(3, "Gate North", "10.0.0.9"));
    EXPECT_EQ(hub.siteBook, QStringList{"modify dvr 3 Gate North at 10.0.0.9:9100"});

    // Lobby is the operator's too: that console hears "modifydvr" and asks the server for the
    // record.
    ASSERT_TRUE(modifyDvr(5, "Lobby West", "10.0.0.10"));
    EXPECT_EQ(hub.siteBook.value(1), QStringLiteral("modify dvr 5 Lobby West at 10.0.0.10:9100"));
    ASSERT_TRUE(WaitFor([&] { return !otherHub.siteBook.isEmpty(); }));
    EXPECT_EQ(otherHub.siteBook, QStringList{"modify dvr 5 Lobby West at 10.0.0.10:9100"});

    auto east = std::make_unique<ValidationAccount>(*session.Tree().Record(session.Tree().FindAccount(2)));
    east->name = QStringLiteral("Eastside");
    session.ModifyAccount(session.Tree().FindAccount(2), std::move(east));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    EXPECT_EQ(hub.siteBook.value(2), QStringLiteral("modify group 2 Eastside"));

    // An account's change is no site book matter.
    auto op = std::make_unique<ValidationAccount>(*session.Tree().Record(session.Tree().FindAccount(4)));
    op->description = QStringLiteral("night shift");
    session.ModifyAccount(session.Tree().FindAccount(4), std::move(op));
    ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
    EXPECT_EQ(hub.siteBook.size(), 3);
}
} // namespace

namespace {
struct BrokenReply
{
    const char* mode;
    const char* why;
};

// The simulator's ways of failing a request, and what the operator is told of each.
const BrokenReply kBrokenReplies[] = {
    {"silence", "The database server did not answer."},
    {"status500", "The database server answered with an error (HTTP 500)."},
    {"cut", "The database server's answer broke off."},
    {"empty", "The database server sent an empty answer."},
    {"notjson", "The database server's answer could not be read."},
};

class BrokenLogin : public Session, public ::testing::WithParamInterface<BrokenReply>
{};

TEST_P(BrokenLogin, SaysWhatWentWrongAndLogsNoOneIn)
{
    session.Http().SetTransferLimitMs(300);
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/login"), QString::fromLatin1(GetParam().mode)));
    QSignalSpy loggedIn(&session, &ValidationSession::LoggedIn);
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return !hub.messages.isEmpty(); }));
    EXPECT_EQ(hub.messages, QStringList{QStringLiteral("Warning|") + GetParam().why});
    EXPECT_EQ(loggedIn.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, BrokenLogin, ::testing::ValuesIn(kBrokenReplies));

class BrokenSiteBook : public Session, public ::testing::WithParamInterface<BrokenReply>
{};

TEST_P(BrokenSiteBook, IsSaidAndTheSiteBookIsKept)
{
    session.Http().SetTransferLimitMs(300);
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/sitebook"), QString::fromLatin1(GetParam().mode)));
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return !hub.messages.isEmpty(); }));
    EXPECT_EQ(hub.messages, QStringList{QStringLiteral("Validation|The central server's site book could not be "
                                                       "loaded.\n%1\nThe site book is kept as it was.")
                                            .arg(QLatin1String(GetParam().why))});
    EXPECT_TRUE(hub.serverSiteBooks.isEmpty());
    // The console itself logged in.
    EXPECT_EQ(session.RootId(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, BrokenSiteBook, ::testing::ValuesIn(kBrokenReplies));

TEST_F(Session, ARefusedSiteBookShowsTheServersWords)
{
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/sitebook"), QStringLiteral("fail")));
    LogIn(session);
    ASSERT_TRUE(WaitFor([&] { return !hub.messages.isEmpty(); }));
    EXPECT_EQ(hub.messages, QStringList{"Validation|The central server's site book could not be loaded.\n"
                                        "Refused: PUT /sitebook\nThe site book is kept as it was."});
    EXPECT_TRUE(hub.serverSiteBooks.isEmpty());
}

TEST_F(Session, ASilentProbeIsGivenUpAndSaidSo)
{
    session.Http().SetTransferLimitMs(300);
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/about"), QStringLiteral("silence")));
    QSignalSpy probe(&session, &ValidationSession::ProbeAnswered);
    session.ConnectDatabaseServer(QStringLiteral("127.0.0.1"), QString::number(sim.HttpPort()));
    ASSERT_TRUE(WaitFor([&] { return probe.count() == 1; }));
    EXPECT_FALSE(probe.at(0).at(0).toBool());
    EXPECT_EQ(hub.messages, QStringList{"Warning|The database server did not answer."});
}

// The box waits for the operator like the real one: events run while it is up.
class WaitingHub : public FakeValidationHub
{
public:
    void ShowMessage(const QString& title, const QString& text) override
    {
        FakeValidationHub::ShowMessage(title, text);
        if (whileOpen)
            WaitFor(whileOpen);
    }
    std::function<bool()> whileOpen;
};

TEST(DroppedLine, OneBoxAtATimeWhileTheLineKeepsDropping)
{
    // Every connection is closed as soon as it is accepted.
    CentralSimProcess sim({QStringLiteral("--line-fail"), QStringLiteral("close")});
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    WaitingHub hub;
    ValidationSession session(hub);
    session.Line().SetReconnectMs(100);
    QSignalSpy lost(&session.Line(), &ValidationClient::ConnectionLost);
    // The box stays up until the line has come and gone three more times.
    hub.whileOpen = [&] { return lost.count() >= 4; };
    QSignalSpy probe(&session, &ValidationSession::ProbeAnswered);
    session.ConnectDatabaseServer(QStringLiteral("127.0.0.1"), QString::number(sim.HttpPort()));
    ASSERT_TRUE(WaitFor([&] { return probe.count() == 1; }));
    session.Login(QStringLiteral("admin"), QStringLiteral("1234"), QStringLiteral("127.0.0.1"),
                  sim.ValidationPort());
    ASSERT_TRUE(WaitFor([&] { return lost.count() >= 4; }));
    const QString dropped = QStringLiteral("Validation|Validation server has been disconnected.");
    EXPECT_EQ(hub.messages.count(dropped), 1) << hub.messages.join('\n').toStdString();
}
} // namespace
