// The account tree's batch and move commands against the central server simulator: paste and
// list import send one add after another, a move changes the tree only once the server agreed,
// and refusals or a server that stops answering leave the tree as it was and are told once.
#include "centralsessiontest.h"

#include "core/treemodel.h"
#include "sitebook/recorderlistfile.h"
#include "validation/validationsession.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
class TreeCommands : public CentralSessionTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CentralSessionTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(LogIn(session));
        ASSERT_TRUE(WaitFor([&] { return hub.validationConnected && hub.serverSiteBooks.size() == 1; }));
    }

    // The whole tree as "name" lines indented by depth.
    QStringList Describe(const QModelIndex& parent = QModelIndex(), int depth = 0)
    {
        QStringList lines;
        for (int row = 0; row < session.Model().rowCount(parent); ++row) {
            const QModelIndex child = session.Model().index(row, 0, parent);
            lines << QString(depth * 2, QLatin1Char(' ')) + child.data().toString();
            lines << Describe(child, depth + 1);
        }
        return lines;
    }
    QJsonObject Body(const QString& path, int at) const
    {
        return sim.Requests(path).at(at).value("body").toObject();
    }
    bool WaitIdle()
    {
        return WaitFor([&] { return !session.HasPending(); });
    }
};

TEST_F(TreeCommands, PasteAddsACopyOfEachCopiedRecorderOneAfterAnother)
{
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    const QModelIndex operatorNode = session.Tree().FindAccount(4);
    // The group among the copied rows is not a recorder and is left out.
    const int queued = session.PasteDvrs(operatorNode, {QPersistentModelIndex(session.Tree().FindDvr(3)),
                                                        QPersistentModelIndex(session.Tree().FindAccount(2)),
                                                        QPersistentModelIndex(session.Tree().FindDvr(5))});
    EXPECT_EQ(queued, 2);
    EXPECT_GT(hub.localChange, 0);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 2);
    EXPECT_EQ(hub.localChange, 0);
    EXPECT_TRUE(hub.warnings.isEmpty());

    EXPECT_EQ(Names(session.Tree().FindAccount(4)), (QStringList{"Gate", "Lobby", "Lobby"}));
    ASSERT_EQ(sim.Requests("/dvr").size(), 2);
    // In selection order, each under the target, with the copied recorder's fields.
    EXPECT_EQ(Body("/dvr", 0).value("dvr_name").toString(), QStringLiteral("Gate"));
    EXPECT_EQ(Body("/dvr", 0).value("parent_id").toString(), QStringLiteral("4"));
    EXPECT_EQ(Body("/dvr", 0).value("dvr_host").toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Body("/dvr", 0).value("dvr_port").toString(), QStringLiteral("9000"));
    EXPECT_EQ(Body("/dvr", 1).value("dvr_name").toString(), QStringLiteral("Lobby"));
    EXPECT_EQ(hub.siteBook, (QStringList{"dvr 6 Gate under 4", "dvr 7 Lobby under 4"}));
    ASSERT_TRUE(WaitFor([&] {
        return sim.Lines().contains(QStringLiteral("adddvr;1;6;4;;;;;;;;;"))
               && sim.Lines().contains(QStringLiteral("adddvr;1;7;4;;;;;;;;;"));
    }));
    // The originals stay where they were.
    EXPECT_EQ(Names(session.Tree().FindAccount(2)), QStringList{"Gate"});
}

struct BatchFailure
{
    const char* mode;
    int requestsSent;
    const char* report;
};

class PasteFailure : public TreeCommands, public ::testing::WithParamInterface<BatchFailure>
{};

TEST_P(PasteFailure, ChangesNothingAndIsToldOnce)
{
    const QStringList before = Describe();
    ASSERT_TRUE(sim.SetFail("/dvr", GetParam().mode));
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    session.PasteDvrs(session.Tree().FindAccount(4), {QPersistentModelIndex(session.Tree().FindDvr(3)),
                                                      QPersistentModelIndex(session.Tree().FindDvr(5))});
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(hub.warnings, QStringList{QString::fromUtf8(GetParam().report)});
    EXPECT_EQ(sim.Requests("/dvr").size(), GetParam().requestsSent);
    EXPECT_TRUE(hub.siteBook.isEmpty());
    EXPECT_EQ(hub.localChange, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Modes, PasteFailure, ::testing::Values(
    // A refusal of each: both are tried, both named.
    BatchFailure{"fail", 2, "Warring|DVR registration error\nNot added: Gate, Lobby"},
    // A reply that is not whole: the server is taken as gone and the second is not sent.
    BatchFailure{"empty", 1, "Warring|DVR registration error\nNot added: Gate\n"
                             "The central server did not answer; 1 more not sent."},
    BatchFailure{"notjson", 1, "Warring|DVR registration error\nNot added: Gate\n"
                               "The central server did not answer; 1 more not sent."}));
// clang-format on

TEST_F(TreeCommands, AStepLeftUnansweredStopsTheRest)
{
    session.SetReplyLimitMs(300);
    ASSERT_TRUE(sim.SetFail("/dvr", "silence"));
    const QStringList before = Describe();
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    session.PasteDvrs(session.Tree().FindAccount(4), {QPersistentModelIndex(session.Tree().FindDvr(3)),
                                                      QPersistentModelIndex(session.Tree().FindDvr(5))});
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_FALSE(session.HasPending());
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(sim.Requests("/dvr").size(), 1);
    EXPECT_EQ(hub.warnings, QStringList{"Warring|DVR registration error\nNot added: Gate\n"
                                        "The central server did not answer; 1 more not sent."});
    EXPECT_EQ(hub.localChange, 0);
}

TEST_F(TreeCommands, ImportFindsOrMakesEachRowsGroupAndAddsTheRecorderInIt)
{
    std::vector<RecorderListEntry> rows = {
        {"East", true, "Dock", "10.0.0.7", "9000", "admin", "pw", 2},
        {"North", true, "Mill", "10.0.0.8", "9001", "user", "x", 3},
        {"North", true, "Barn", "10.0.0.9", "9002", "user", "y", 4},
    };
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    session.ImportDvrs(session.RootIndex(), rows);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(hub.warnings.isEmpty());

    // East was there; North is made once, under the node the import ran on.
    ASSERT_EQ(sim.Requests("/account").size(), 1);
    const QJsonObject group = Body("/account", 0);
    EXPECT_EQ(group.value("type").toString(), QStringLiteral("group"));
    EXPECT_EQ(group.value("name").toString(), QStringLiteral("North"));
    EXPECT_EQ(group.value("parent_id").toString(), QStringLiteral("1"));
    EXPECT_EQ(group.value("description").toString(), QStringLiteral("Import DVR List"));
    EXPECT_EQ(group.value("user_id").toString(), QString());

    ASSERT_EQ(sim.Requests("/dvr").size(), 3);
    EXPECT_EQ(Body("/dvr", 0).value("parent_id").toString(), QStringLiteral("2"));
    EXPECT_EQ(Body("/dvr", 1).value("parent_id").toString(), QStringLiteral("7"));
    EXPECT_EQ(Body("/dvr", 2).value("parent_id").toString(), QStringLiteral("7"));
    for (const char* key :
         {"dvr_permission_live", "dvr_permission_search", "dvr_permission_ptz", "dvr_permission_backup"})
        EXPECT_EQ(Body("/dvr", 1).value(key).toString(), QStringLiteral("65535")) << key;
    EXPECT_EQ(Body("/dvr", 1).value("dvr_login_id").toString(), QStringLiteral("user"));
    EXPECT_EQ(Body("/dvr", 1).value("dvr_port").toString(), QStringLiteral("9001"));

    EXPECT_EQ(Describe(), (QStringList{"admin", "  operator", "    Lobby", "  East", "    Dock", "    Gate",
                                       "  North", "    Barn", "    Mill"}));
    EXPECT_EQ(hub.siteBook, (QStringList{"dvr 6 Dock under 2", "group 7 North under 1", "dvr 8 Mill under 7",
                                         "dvr 9 Barn under 7"}));
    EXPECT_EQ(hub.localChange, 0);
}

TEST_F(TreeCommands, AnImportRowWhoseGroupCannotBeMadeAddsNoRecorder)
{
    ASSERT_TRUE(sim.SetFail("/account", "fail"));
    const QStringList before = Describe();
    session.ImportDvrs(session.RootIndex(), {{"North", true, "Mill", "10.0.0.8", "9001", "user", "x", 2}});
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(sim.Requests("/dvr").isEmpty());
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(hub.warnings, QStringList{"Warring|DVR registration error\nNot added: Mill"});
}

// A list row that the recorder rules refuse (no folder or recorder name, an address that is no
// host, a port out of range) is not sent; the rows around it are, and the one report at the end
// names each refused row and why. The same name twice stays, as the tree holds it after a paste.
TEST_F(TreeCommands, ImportSendsNoRowTheRecorderRulesRefuseAndNamesEach)
{
    const std::vector<RecorderListEntry> rows{
        {"North", true, "Mill", "10.0.0.8", "9001", "user", "x", 2},
        {"North", true, "Pier", "10.0.0.9", "99999", "user", "x", 3},
        {"North", true, "  ", "10.0.0.10", "9000", "user", "x", 4},
        {" ", true, "Shed", "10.0.0.11", "9000", "user", "x", 5},
        {"North", true, "Barn", "not a host", "9000", "user", "x", 6},
        {"North", true, "Mill", "10.0.0.12", " 9003 ", "user", "x", 7},
    };
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    session.ImportDvrs(session.RootIndex(), rows);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 2);
    ASSERT_EQ(sim.Requests("/dvr").size(), 2);
    EXPECT_EQ(Body("/dvr", 0).value("dvr_port").toString(), QStringLiteral("9001"));
    EXPECT_EQ(Body("/dvr", 1).value("dvr_name").toString(), QStringLiteral("Mill"));
    EXPECT_EQ(Body("/dvr", 1).value("dvr_port").toString(), QStringLiteral("9003"));
    EXPECT_EQ(hub.warnings,
              QStringList{"Warring|DVR registration error\n"
                          "Row 3: the port is not a number from 1 to 65535\n"
                          "Row 4: the recorder has no name\n"
                          "Row 5: the folder has no name\n"
                          "Row 6: the address is not a host name, an IPv4 address or an IPv6 address"});
    EXPECT_EQ(hub.localChange, 0);
}

// A list of refused rows only sends nothing, and still ends the batch with its report.
TEST_F(TreeCommands, ImportOfRefusedRowsOnlySendsNothingAndReports)
{
    QSignalSpy finished(&session, &ValidationSession::BatchFinished);
    const QStringList before = Describe();
    session.ImportDvrs(session.RootIndex(), {{"North", true, "Mill", "10.0.0.8", "port", "user", "x", 2}});
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
    EXPECT_TRUE(sim.Requests("/account").isEmpty());
    EXPECT_TRUE(sim.Requests("/dvr").isEmpty());
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(hub.warnings,
              QStringList{"Warring|DVR registration error\nRow 2: the port is not a number from 1 to 65535"});
    EXPECT_EQ(hub.localChange, 0);
}

struct MoveCase
{
    const char* name;
    bool dvr;
    int node;
    int target;
    const char* path;
    const char* type;
    const char* line;
    QStringList tree;
};

class Move : public TreeCommands, public ::testing::WithParamInterface<MoveCase>
{};

TEST_P(Move, TheTreeFollowsTheServersAgreement)
{
    const MoveCase& c = GetParam();
    const QModelIndex node = c.dvr ? session.Tree().FindDvr(c.node) : session.Tree().FindAccount(c.node);
    ASSERT_TRUE(session.Move(node, session.Tree().FindAccount(c.target)));
    EXPECT_EQ(hub.localChange, c.dvr ? 2 : 1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(hub.localChange, 0);
    EXPECT_TRUE(hub.warnings.isEmpty());
    EXPECT_EQ(Describe(), c.tree);
    const QModelIndex moved = c.dvr ? session.Tree().FindDvr(c.node) : session.Tree().FindAccount(c.node);
    ASSERT_TRUE(moved.isValid());
    EXPECT_EQ(session.Tree().Record(moved)->parent_id, c.target);

    ASSERT_EQ(sim.Requests(c.path).size(), 1);
    const QJsonObject body = Body(c.path, 0);
    EXPECT_EQ(body.value("id").toString(), QString::number(c.node));
    EXPECT_EQ(body.value("parent_id").toString(), QString::number(c.target));
    if (!c.dvr) {
        EXPECT_EQ(body.value("type").toString(), QString::fromLatin1(c.type));
    }
    ASSERT_TRUE(WaitFor([&] {
        for (const QString& line : sim.Lines())
            if (line.startsWith(QString::fromLatin1(c.line)))
                return true;
        return false;
    }));
    if (c.dvr) {
        EXPECT_EQ(hub.siteBook,
                  QStringList{QStringLiteral("move dvr %1 Gate under %2").arg(c.node).arg(c.target)});
    } else {
        // The site book is fetched again with the logged-in account.
        ASSERT_TRUE(WaitFor([&] { return hub.serverSiteBooks.size() == 2; }));
        EXPECT_EQ(Body("/sitebook", 1).value("user_id").toString(), QStringLiteral("admin"));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, Move, ::testing::Values(
    MoveCase{"Recorder", true, 3, 4, "/dvr", "dvr", "movedvr;1;3;4;",
             {"admin", "  operator", "    Gate", "    Lobby", "  East"}},
    MoveCase{"GroupWithItsRecorder", false, 2, 4, "/account", "group", "moveaccount;1;2;4;",
             {"admin", "  operator", "    East", "      Gate", "    Lobby"}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });
// clang-format on

struct RefusedMove
{
    const char* name;
    const char* path;
    const char* mode;
    bool dvr;
    int node;
    const char* warning;
};

class MoveRefused : public TreeCommands, public ::testing::WithParamInterface<RefusedMove>
{};

TEST_P(MoveRefused, LeavesTheTreeAsItWas)
{
    const RefusedMove& c = GetParam();
    const QStringList before = Describe();
    ASSERT_TRUE(sim.SetFail(c.path, c.mode));
    const QModelIndex node = c.dvr ? session.Tree().FindDvr(c.node) : session.Tree().FindAccount(c.node);
    ASSERT_TRUE(session.Move(node, session.Tree().FindAccount(4)));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Describe(), before);
    EXPECT_EQ(hub.warnings, QStringList{QString::fromLatin1(c.warning)});
    EXPECT_TRUE(hub.siteBook.isEmpty());
    EXPECT_EQ(hub.serverSiteBooks.size(), 1);
    for (const QString& line : sim.Lines())
        EXPECT_FALSE(line.startsWith(QStringLiteral("move"))) << line.toStdString();
    EXPECT_EQ(hub.localChange, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Replies, MoveRefused, ::testing::Values(
    RefusedMove{"RecorderRefused", "/dvr", "fail", true, 3, "Warring|DVR move error"},
    RefusedMove{"RecorderReplyBroken", "/dvr", "empty", true, 3, "Warring|DVR move error"},
    RefusedMove{"GroupRefused", "/account", "fail", false, 2, "Warring|Group move error"},
    RefusedMove{"GroupReplyNotJson", "/account", "notjson", false, 2, "Warring|Group move error"}),
    [](const ::testing::TestParamInfo<RefusedMove>& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(TreeCommands, AMoveTheTreeForbidsSendsNothing)
{
    ValidationTreeOps& tree = session.Tree();
    // clang-format off
    const struct { const char* name; QModelIndex node; QModelIndex target; } cases[] = {
        {"onto a recorder", tree.FindAccount(2), tree.FindDvr(5)},
        {"onto itself", tree.FindAccount(2), tree.FindAccount(2)},
        {"onto its own descendant", session.RootIndex(), tree.FindAccount(2)},
        {"without a target", tree.FindDvr(3), QModelIndex()},
    };
    // clang-format on
    const QStringList before = Describe();
    for (const auto& c : cases)
        EXPECT_FALSE(session.Move(c.node, c.target)) << c.name;
    EXPECT_FALSE(session.HasPending());
    EXPECT_EQ(Describe(), before);
    EXPECT_TRUE(sim.Requests("/dvr").isEmpty());
    EXPECT_TRUE(sim.Requests("/account").isEmpty());
}

TEST_F(TreeCommands, NoMoveWhileAnotherCommandWaits)
{
    session.PasteDvrs(session.Tree().FindAccount(4), {QPersistentModelIndex(session.Tree().FindDvr(3))});
    EXPECT_FALSE(session.Move(session.Tree().FindDvr(5), session.Tree().FindAccount(2)));
    ASSERT_TRUE(WaitIdle());
    // A move waiting for its answer is not replaced by a second one.
    ASSERT_TRUE(session.Move(session.Tree().FindDvr(5), session.Tree().FindAccount(2)));
    EXPECT_FALSE(session.Move(session.Tree().FindDvr(3), session.Tree().FindAccount(2)));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(sim.Requests("/dvr").size(), 2);
    EXPECT_EQ(Names(session.Tree().FindAccount(2)), (QStringList{"Gate", "Lobby"}));
    EXPECT_EQ(Names(session.Tree().FindAccount(4)), QStringList{"Gate"});
}
} // namespace
