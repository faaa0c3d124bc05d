// The central server's HTTP transport against a real HTTP peer on the loopback.
#include "fakeadminhub.h"
#include "httptestpeer.h"
#include "waitfor.h"

#include "core/cnetwork_http.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {
struct Result
{
    int id;
    QString text;
    int tag;
};

class HttpTransport : public ::testing::Test
{
protected:
    HttpTransport()
    {
        QObject::connect(&client, &CNetwork_http::OnResult, [this](int id, const QString& text, int tag) {
            results.append({id, text, tag});
        });
    }

    void Connect(HttpTestPeer& server)
    {
        client.SetServer(QStringLiteral("127.0.0.1"), server.PortText());
        client.CheckServer();
    }

    FakeAdminHub hub;
    HttpTestPeer peer;
    CNetwork_http client{hub};
    QList<Result> results;
};

TEST_F(HttpTransport, RequestsWaitForTheProbeThenGoInOrderWithTheirIdsAndTags)
{
    peer.SetAnswer("/about", {200, "{}", true, -1});
    peer.SetAnswer("/a", {200, R"({"n":1})", false, -1});
    peer.SetAnswer("/b", {200, R"({"n":2})", false, -1});
    Connect(peer);
    client.QueuePost(11, QStringLiteral("/a"), 5, R"({"k":"v"})");
    client.QueuePut(12, QStringLiteral("/b"), 6, "{}");
    ASSERT_TRUE(WaitFor([&] { return peer.HeldCount() == 1; }));
    QTest::qWait(50);
    // Nothing goes out before the probe has answered.
    EXPECT_EQ(peer.Requests().size(), 1);
    EXPECT_EQ(client.QueuedCount(), 2);

    peer.ReleaseHeld();
    ASSERT_TRUE(WaitFor([&] { return results.size() == 2; }));
    EXPECT_EQ(hub.probes, QList<bool>{true});
    ASSERT_EQ(peer.Requests().size(), 3);
    EXPECT_EQ(peer.Requests()[0].path, QByteArray("/about"));
    EXPECT_EQ(peer.Requests()[1].method, QByteArray("POST"));
    EXPECT_EQ(peer.Requests()[1].path, QByteArray("/a"));
    EXPECT_EQ(peer.Requests()[1].body, QByteArray(R"({"k":"v"})"));
    EXPECT_EQ(peer.Requests()[1].contentType, QByteArray("application/json"));
    EXPECT_EQ(peer.Requests()[2].method, QByteArray("PUT"));
    EXPECT_EQ(peer.Requests()[2].path, QByteArray("/b"));
    for (const Result& result : results) {
        if (result.id == 11) {
            EXPECT_EQ(result.tag, 5);
            EXPECT_EQ(result.text, QStringLiteral(R"({"n":1})"));
        } else {
            EXPECT_EQ(result.id, 12);
            EXPECT_EQ(result.tag, 6);
            EXPECT_EQ(result.text, QStringLiteral(R"({"n":2})"));
        }
    }
    ASSERT_TRUE(WaitFor([&] { return client.BusySenders() == 0; }));
}

TEST_F(HttpTransport, ErrorStatusGivesAnEmptyTextAndFreesTheSender)
{
    peer.SetAnswer("/missing", {404, R"({"error":"no"})", false, -1});
    Connect(peer);
    client.QueuePost(3, QStringLiteral("/missing"), 9, "{}");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].id, 3);
    EXPECT_EQ(results[0].tag, 9);
    EXPECT_TRUE(results[0].text.isEmpty());
    ASSERT_TRUE(WaitFor([&] { return client.BusySenders() == 0; }));
    // The freed sender serves the next request.
    client.QueuePost(4, QStringLiteral("/missing"), 1, "{}");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 2; }));
    EXPECT_EQ(client.SenderCount(), 1);
}

TEST_F(HttpTransport, AFailedProbeStillOpensTheQueue)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    client.SetServer(QStringLiteral("127.0.0.1"), QString::number(closedPort));
    client.CheckServer();
    client.QueuePost(21, QStringLiteral("/x"), 2, "{}");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(hub.probes, QList<bool>{false});
    EXPECT_TRUE(client.IsReady());
    EXPECT_EQ(results[0].id, 21);
    EXPECT_TRUE(results[0].text.isEmpty());
}

TEST_F(HttpTransport, ACharacterSplitBetweenChunksArrivesWhole)
{
    const QString name = QStringLiteral("{\"name\":\"Kamera \u00e4\u20ac\u6771\"}");
    const QByteArray bytes = name.toUtf8();
    // Cut inside the three bytes of the euro sign.
    const int cut = bytes.indexOf("\xe2\x82\xac") + 1;
    peer.SetAnswer("/utf8", {200, bytes, false, cut});
    Connect(peer);
    client.QueuePost(7, QStringLiteral("/utf8"), 0, "{}");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].text, name);
    EXPECT_FALSE(results[0].text.contains(QChar::ReplacementCharacter));
}

TEST_F(HttpTransport, ALateReplyOfTheOldServerIsNeverDeliveredUnderANewId)
{
    HttpTestPeer second;
    peer.SetAnswer("/slow", {200, R"({"from":"old"})", true, -1});
    second.SetAnswer("/fast", {200, R"({"from":"new"})", false, -1});
    Connect(peer);
    client.QueuePost(1, QStringLiteral("/slow"), 10, "{}");
    ASSERT_TRUE(WaitFor([&] { return peer.HeldCount() == 1; }));

    Connect(second);
    client.QueuePost(2, QStringLiteral("/fast"), 20, "{}");
    ASSERT_TRUE(WaitFor([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0].id, 2);
    EXPECT_EQ(results[0].tag, 20);
    EXPECT_EQ(results[0].text, QStringLiteral(R"({"from":"new"})"));
    // The old reply's sender was still busy, so the new request took another one.
    EXPECT_EQ(client.SenderCount(), 2);

    peer.ReleaseHeld();
    ASSERT_TRUE(WaitFor([&] { return client.BusySenders() == 0; }));
    QTest::qWait(50);
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0].text, QStringLiteral(R"({"from":"new"})"));
}

TEST_F(HttpTransport, ClosingDropsQueuedRequests)
{
    peer.SetAnswer("/about", {200, "{}", true, -1});
    Connect(peer);
    client.QueuePost(5, QStringLiteral("/a"), 0, "{}");
    ASSERT_TRUE(WaitFor([&] { return peer.HeldCount() == 1; }));
    hub.closing = true;
    peer.ReleaseHeld();
    ASSERT_TRUE(WaitFor([&] { return client.QueuedCount() == 0; }));
    QTest::qWait(50);
    EXPECT_EQ(peer.Requests().size(), 1);
    EXPECT_TRUE(results.isEmpty());
}
} // namespace
