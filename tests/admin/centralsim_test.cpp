// The HTTP transport and the validation connection against the central server simulator: the
// requests and lines it logs, the replies and relayed lines it sends, and its misbehaviour.
#include "fakeadminhub.h"
#include "waitfor.h"

#include "core/cnetwork_http.h"
#include "core/validationclient.h"
#include "harness/centralsimprocess.h"

#include <QJsonObject>
#include <QTcpServer>
#include <gtest/gtest.h>

#include <memory>

namespace {
struct Result
{
    int id;
    QString text;
    int tag;
};

class CentralSim : public ::testing::Test
{
protected:
    void StartSim(const QStringList& options = {})
    {
        sim = std::make_unique<CentralSimProcess>(options);
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
    }

    void ConnectHttp()
    {
        QObject::connect(&http, &CNetwork_http::OnResult, [this](int id, const QString& text, int tag) {
            results.append({id, text, tag});
        });
        http.SetServer(QStringLiteral("127.0.0.1"), QString::number(sim->HttpPort()));
        http.CheckServer();
        ASSERT_TRUE(WaitFor([&] { return !hub.probes.isEmpty(); }));
        ASSERT_EQ(hub.probes, QList<bool>{true});
    }

    FakeAdminHub hub;
    std::unique_ptr<CentralSimProcess> sim;
    CNetwork_http http{hub};
    QList<Result> results;
};

// A recorder add as the console sends it, its name holding characters of two and three bytes.
const QByteArray kDvrAddBody =
    "{\"dvr_host\":\"10.0.0.9\",\"dvr_login_id\":\"admin\",\"dvr_name\":\"T\xc3\xbcr \xe2\x82\xac\","
    "\"dvr_password\":\"1234\",\"dvr_permission_backup\":\"65535\",\"dvr_permission_config\":"
    "\"1\",\"dvr_permission_live\":\"65535\",\"dvr_permission_ptz\":\"65535\","
    "\"dvr_permission_search\":\"65535\",\"dvr_port\":\"9000\",\"parent_id\":\"2\"}";

TEST_F(CentralSim, TheProbeAndARequestAreLoggedWithTheirBodies)
{
    StartSim();
    ConnectHttp();
    http.QueuePost(5, QStringLiteral("/dvr"), 0, kDvrAddBody);
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].id, 5);
    EXPECT_TRUE(results[0].text.contains(QStringLiteral("\"success\"")));
    EXPECT_TRUE(results[0].text.contains(QStringLiteral("T\u00fcr \u20ac")));

    const QList<QJsonObject> requests = sim->Requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].value("method").toString(), QStringLiteral("GET"));
    EXPECT_EQ(requests[0].value("path").toString(), QStringLiteral("/about"));
    EXPECT_EQ(requests[1].value("method").toString(), QStringLiteral("POST"));
    EXPECT_EQ(requests[1].value("content_type").toString(), QStringLiteral("application/json"));
    const QJsonObject body = requests[1].value("body").toObject();
    EXPECT_EQ(body.value("dvr_name").toString(), QStringLiteral("T\u00fcr \u20ac"));
    EXPECT_EQ(body.value("parent_id").toString(), QStringLiteral("2"));
}

struct Misbehaviour
{
    const char* mode;
    // What the reply's text must hold; empty: the text is empty (a transport failure).
    const char* holds;
};

class CentralSimMisbehaves : public CentralSim, public ::testing::WithParamInterface<Misbehaviour>
{};

TEST_P(CentralSimMisbehaves, EveryReplyArrivesOnceWithItsIdAndTag)
{
    StartSim({QStringLiteral("--fail"), QStringLiteral("/dvr=") + GetParam().mode});
    ConnectHttp();
    http.QueuePost(5, QStringLiteral("/dvr"), 3, kDvrAddBody);
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].id, 5);
    EXPECT_EQ(results[0].tag, 3);
    const QString holds = QString::fromUtf8(GetParam().holds);
    if (holds.isEmpty())
        EXPECT_TRUE(results[0].text.isEmpty()) << results[0].text.toStdString();
    else
        EXPECT_TRUE(results[0].text.contains(holds)) << results[0].text.toStdString();
    EXPECT_FALSE(results[0].text.contains(QChar::ReplacementCharacter));
    ASSERT_TRUE(WaitFor([&] { return http.BusySenders() == 0; }));
    // The sender that served the misbehaving reply serves the next request.
    http.QueuePut(8, QStringLiteral("/dvr/information"), 0, R"({"id":"3","parent_id":"2"})");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 2; }));
    EXPECT_TRUE(results[1].text.contains(QStringLiteral("Gate")));
}

INSTANTIATE_TEST_SUITE_P(Modes, CentralSimMisbehaves,
                         ::testing::Values(Misbehaviour{"fail", "\"fail\""}, Misbehaviour{"status500", ""},
                                           Misbehaviour{"cut", ""}, Misbehaviour{"empty", ""},
                                           Misbehaviour{"notjson", "<html>"}, Misbehaviour{"noid", "\"success\""},
                                           Misbehaviour{"split", "T\u00fcr \u20ac"}));

TEST_F(CentralSim, ASilentPathHoldsOnlyItsOwnSender)
{
    StartSim({QStringLiteral("--fail"), QStringLiteral("/dvr=silence")});
    ConnectHttp();
    http.QueuePost(5, QStringLiteral("/dvr"), 0, kDvrAddBody);
    ASSERT_TRUE(WaitFor([&] { return sim->Requests(QStringLiteral("/dvr")).size() == 1; }));
    http.QueuePut(12, QStringLiteral("/notice/list"), 0, R"({"limit":"30","offset":"0"})");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].id, 12);
    EXPECT_TRUE(results[0].text.contains(QStringLiteral("\"total_count\"")));
    EXPECT_EQ(http.BusySenders(), 1);
}

TEST_F(CentralSim, AnUnreachableServerFailsTheProbe)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    http.SetServer(QStringLiteral("127.0.0.1"), QString::number(closedPort));
    http.CheckServer();
    ASSERT_TRUE(WaitFor([&] { return !hub.probes.isEmpty(); }));
    EXPECT_EQ(hub.probes, QList<bool>{false});
}

// Two consoles on the simulated validation server.
class ValidationSim : public CentralSim
{
protected:
    struct Console
    {
        explicit Console(int root)
            : rootId(root)
        {
            client.SetRootIdSource([this] { return rootId; });
            QObject::connect(&client, &ValidationClient::LineReceived,
                             [this](const ValidationLine& line) { lines.append(line); });
        }
        bool Has(ValidationCommand command, const QString& f0 = QString()) const
        {
            for (const ValidationLine& line : lines)
                if (line.Command() == command && (f0.isNull() || line.Field(0) == f0))
                    return true;
            return false;
        }
        int rootId;
        FakeAdminHub hub;
        ValidationClient client{hub};
        QList<ValidationLine> lines;
    };

    void Up(Console& console)
    {
        console.client.Connect(QStringLiteral("127.0.0.1"), quint16(sim->ValidationPort()));
        ASSERT_TRUE(WaitFor([&] { return console.client.IsConnected(); }));
    }
};

TEST_F(ValidationSim, ConsolesSeeEachOtherAndTheirChanges)
{
    StartSim();
    Console first(1);
    Console second(4);
    Up(first);
    ASSERT_TRUE(WaitFor([&] { return sim->Lines().contains(QStringLiteral("aliveVMS;1;0;;;;;")); }));
    Up(second);
    // Each learns of the other: the newcomer without an announcement, the first with one.
    ASSERT_TRUE(WaitFor([&] { return second.Has(ValidationCommand::AliveVMS, QStringLiteral("1")); }));
    ASSERT_TRUE(WaitFor([&] { return first.Has(ValidationCommand::AliveVMS, QStringLiteral("4")); }));
    EXPECT_EQ(first.lines.last().Field(1), QStringLiteral("1"));
    EXPECT_EQ(second.lines.last().Field(1), QStringLiteral("0"));

    ASSERT_TRUE(first.client.SendLine(ValidationLine::AddDvr(1, 7, 2)));
    ASSERT_TRUE(WaitFor([&] { return second.Has(ValidationCommand::AddDvr); }));
    EXPECT_TRUE(sim->Lines(1).contains(QStringLiteral("adddvr;1;7;2;;;;;;;;;")));
    const ValidationLine added = second.lines.last();
    EXPECT_EQ(added.IntField(0), 7);
    EXPECT_EQ(added.IntField(1), 2);

    ASSERT_TRUE(first.client.SendLine(ValidationLine::MoveAccount(
        1, QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("operator"), QStringLiteral("op"))));
    ASSERT_TRUE(WaitFor([&] { return second.Has(ValidationCommand::MoveAccount); }));
    EXPECT_TRUE(sim->Lines(1).contains(QStringLiteral("moveaccount;1;4;2;operator;op;;;;;;;;;")));
    EXPECT_EQ(second.lines.last().Field(2), QStringLiteral("operator"));
    EXPECT_EQ(second.lines.last().Field(3), QStringLiteral("op"));

    // A pushed health report reaches both.
    ASSERT_TRUE(sim->Push(QStringLiteral("healthcheck;3;1102;")));
    ASSERT_TRUE(WaitFor(
        [&] { return first.Has(ValidationCommand::HealthCheck) && second.Has(ValidationCommand::HealthCheck); }));
    EXPECT_EQ(first.lines.last().Field(1), QStringLiteral("1102"));
}

TEST_F(ValidationSim, TheKeepAliveGoesOutOnEveryTick)
{
    StartSim();
    Console console(1);
    Up(console);
    console.client.StartTimer();
    ASSERT_TRUE(WaitFor([&] { return sim->Lines().contains(QStringLiteral("aliveVMS;1;1;;;;;")); }));
    EXPECT_EQ(sim->Lines().first(), QStringLiteral("aliveVMS;1;0;;;;;"));
}

TEST_F(ValidationSim, ALostConsoleIsAnnouncedToTheOthers)
{
    StartSim();
    Console first(1);
    Up(first);
    ASSERT_TRUE(WaitFor([&] { return sim->Lines().size() == 1; }));
    {
        Console second(4);
        Up(second);
        ASSERT_TRUE(WaitFor([&] { return first.Has(ValidationCommand::AliveVMS, QStringLiteral("4")); }));
    }
    ASSERT_TRUE(WaitFor([&] { return first.Has(ValidationCommand::Disconnect, QStringLiteral("4")); }));
}

TEST_F(ValidationSim, AnOverlongLineIsSkippedAndTheNextOneRead)
{
    StartSim({QStringLiteral("--line-fail"), QStringLiteral("overlong")});
    Console console(1);
    Up(console);
    ASSERT_TRUE(WaitFor([&] { return !sim->Lines().isEmpty(); }));
    ASSERT_TRUE(sim->Push(QStringLiteral("notice;")));
    ASSERT_TRUE(WaitFor([&] { return !console.lines.isEmpty(); }));
    ASSERT_EQ(console.lines.size(), 1);
    EXPECT_EQ(console.lines[0].Command(), ValidationCommand::Notice);
}

TEST_F(ValidationSim, AnAccountAlreadyInUseIsToldSo)
{
    StartSim();
    Console first(1);
    Up(first);
    ASSERT_TRUE(WaitFor([&] { return sim->Lines().size() == 1; }));
    Console again(1);
    Up(again);
    ASSERT_TRUE(WaitFor([&] { return again.Has(ValidationCommand::LoginFail); }));
    EXPECT_FALSE(first.Has(ValidationCommand::AliveVMS));
}

TEST_F(ValidationSim, ASilentServerKeepsTheConnectionAndSendsNothing)
{
    StartSim({QStringLiteral("--line-fail"), QStringLiteral("silence")});
    Console first(1);
    Console second(4);
    Up(first);
    Up(second);
    ASSERT_TRUE(first.client.SendLine(ValidationLine::DeleteDvr(1, 3)));
    ASSERT_TRUE(WaitFor([&] { return sim->Lines().contains(QStringLiteral("deletedvr;1;3;;;;;;;;;")); }));
    EXPECT_TRUE(first.client.IsConnected());
    EXPECT_TRUE(second.lines.isEmpty());
}
} // namespace
