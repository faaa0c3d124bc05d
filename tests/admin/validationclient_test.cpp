// The validation connection against a QTcpServer peer that writes its lines by hand.
#include "fakeadminhub.h"
#include "waitfor.h"

#include "core/validationclient.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

namespace {
class ValidationPeer : public ::testing::Test
{
protected:
    ValidationPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] { received += peer->readAll(); });
        });
        client.SetRootIdSource([this] { return rootId; });
        QObject::connect(&client, &ValidationClient::LineReceived,
                         [this](const ValidationLine& line) { lines.append(line); });
    }

    void ConnectUp()
    {
        client.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        ASSERT_TRUE(WaitFor([&] { return client.IsConnected() && peer; }));
        ASSERT_TRUE(WaitFor([&] { return received.contains("\n"); }));
    }

    FakeAdminHub hub;
    QTcpServer server;
    QPointer<QTcpSocket> peer;
    QByteArray received;
    int rootId = 7;
    ValidationClient client{hub};
    QList<ValidationLine> lines;
};

TEST_F(ValidationPeer, AnnouncesItselfAndKeepsAliveEveryTick)
{
    QSignalSpy reconnected(&client, &ValidationClient::Reconnected);
    ConnectUp();
    EXPECT_EQ(received, QByteArray("aliveVMS;7;0;;;;;\n"));
    EXPECT_TRUE(hub.validationConnected);
    EXPECT_EQ(reconnected.count(), 0);

    rootId = 12; // read at the moment of sending
    client.StartTimer();
    ASSERT_TRUE(WaitFor([&] { return received.contains("aliveVMS;12;1;;;;;\n"); }));
    // Asked to connect while connected: announces again without a new connection.
    EXPECT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), server.serverPort()));
    ASSERT_TRUE(WaitFor([&] { return received.endsWith("aliveVMS;12;0;;;;;\n"); }));
}

TEST_F(ValidationPeer, HandsOnLinesWrittenInPieces)
{
    ConnectUp();
    peer->write("aliveVMS;5;1;;;;;\ndisconn");
    peer->flush();
    ASSERT_TRUE(WaitFor([&] { return lines.size() == 1; }));
    peer->write("ect;5;\r\nevent;" + QByteArray(";x").repeated(120) + "\nnotice;\n");
    ASSERT_TRUE(WaitFor([&] { return lines.size() == 3; }));
    EXPECT_EQ(lines[0].Command(), ValidationCommand::AliveVMS);
    EXPECT_EQ(lines[0].IntField(0), 5);
    EXPECT_EQ(lines[0].IntField(1), 1);
    EXPECT_EQ(lines[1].Command(), ValidationCommand::Disconnect);
    EXPECT_EQ(lines[1].IntField(0), 5);
    EXPECT_EQ(lines[2].Command(), ValidationCommand::Notice);
}

TEST_F(ValidationPeer, AnOverlongLineIsSkippedAndTheNextOneRead)
{
    ConnectUp();
    peer->write("healthcheck;3;" + QByteArray(200000, 'z'));
    peer->write("\nconnectdvr;3;0;\n");
    ASSERT_TRUE(WaitFor([&] { return lines.size() == 1; }));
    EXPECT_EQ(lines[0].Command(), ValidationCommand::ConnectDvr);
    EXPECT_EQ(lines[0].IntField(0), 3);
}

TEST_F(ValidationPeer, RefusedLinesAreNotSent)
{
    ConnectUp();
    received.clear();
    EXPECT_FALSE(client.SendLine(ValidationLine::AddAccount(7, 1, QStringLiteral("a;b"), QStringLiteral("p"))));
    EXPECT_TRUE(client.SendLine(ValidationLine::DeleteDvr(7, 4)));
    ASSERT_TRUE(WaitFor([&] { return received.contains("\n"); }));
    EXPECT_EQ(received, QByteArray("deletedvr;7;4;;;;;;;;;\n"));
}

TEST_F(ValidationPeer, ALostConnectionIsReportedOnceAndReconnectedByTheTimer)
{
    QSignalSpy lost(&client, &ValidationClient::ConnectionLost);
    QSignalSpy reconnected(&client, &ValidationClient::Reconnected);
    ConnectUp();
    client.StartTimer();
    received.clear();
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    EXPECT_FALSE(hub.validationConnected);
    EXPECT_FALSE(client.IsConnected());
    ASSERT_TRUE(WaitFor([&] { return reconnected.count() == 1 && client.IsConnected(); }));
    EXPECT_TRUE(hub.validationConnected);
    ASSERT_TRUE(WaitFor([&] { return received.contains("aliveVMS;7;0;;;;;\n"); }));
    EXPECT_EQ(lost.count(), 1);
}

TEST_F(ValidationPeer, ARefusedFirstAttemptIsReported)
{
    const quint16 port = server.serverPort();
    server.close();
    QSignalSpy failed(&client, &ValidationClient::ConnectionFailed);
    EXPECT_FALSE(client.Connect(QStringLiteral("127.0.0.1"), port));
    ASSERT_TRUE(WaitFor([&] { return failed.count() == 1; }));
    EXPECT_FALSE(hub.validationConnected);
    EXPECT_FALSE(client.SendLine(ValidationLine::Alive(7, true)));
}
} // namespace

namespace {

// A hub that counts its calls and is gone before the client it served.
class CountingHub : public FakeAdminHub
{
public:
    void SetValidationConnected(bool connected) override
    {
        ++calls;
        FakeAdminHub::SetValidationConnected(connected);
    }
    int calls = 0;
};

// Destroying a connected client closes its socket, which announces a disconnect: the hub, which
// its owner may already be tearing down, hears nothing of it.
TEST(ValidationClientTeardown, DestroyingAConnectedClientTellsTheHubNothing)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    CountingHub hub;
    auto client = std::make_unique<ValidationClient>(hub);
    client->Connect(QStringLiteral("127.0.0.1"), server.serverPort());
    ASSERT_TRUE(WaitFor([&] { return client->IsConnected(); }));
    const int before = hub.calls;
    EXPECT_TRUE(hub.validationConnected);
    client.reset();
    EXPECT_EQ(hub.calls, before);
    EXPECT_TRUE(hub.validationConnected) << "the hub was told of a disconnect while the client was destroyed";
}

} // namespace
