// One running player: the first instance takes the lock and listens; a second one is refused
// and hands its path over, each record answered before the next is sent.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/handoverclient.h"
#include "ui/singleinstance.h"

namespace {
template <typename Done>
bool WaitFor(Done done, int limitMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}
} // namespace

TEST(PlayerSingleInstance, SecondInstanceHandsItsPathOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.TryBecomeRunning());
    SingleInstance second(dir.path());
    EXPECT_FALSE(second.TryBecomeRunning());

    QStringList opened;
    int raises = 0;
    QObject::connect(&first, &SingleInstance::openRequested, [&](const QString& p) { opened << p; });
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raises; });

    const QString path = QStringLiteral("/home/op/Überwachung/h080510.003");
    HandOverClient client;
    int result = -1;
    QObject::connect(&client, &HandOverClient::finished, [&](bool ok) { result = ok ? 1 : 0; });
    client.Start(first.SocketPath(), path.toUtf8());
    ASSERT_TRUE(WaitFor([&] { return result >= 0; }));
    EXPECT_EQ(result, 1);
    // The path was opened before the second start was told it is done.
    EXPECT_EQ(opened, QStringList({path}));
    EXPECT_EQ(raises, 1);

    // Without a path the running window is only raised.
    HandOverClient bare;
    int bareResult = -1;
    QObject::connect(&bare, &HandOverClient::finished, [&](bool ok) { bareResult = ok ? 1 : 0; });
    bare.Start(first.SocketPath(), QByteArray());
    ASSERT_TRUE(WaitFor([&] { return bareResult >= 0 && raises == 2; }));
    EXPECT_EQ(bareResult, 1);
    EXPECT_EQ(opened.size(), 1);
}

TEST(PlayerSingleInstance, NoRunningWindowEndsWithoutHandOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    HandOverClient client;
    int result = -1;
    QObject::connect(&client, &HandOverClient::finished, [&](bool ok) { result = ok ? 1 : 0; });
    client.Start(dir.filePath("orvane.socket"), QByteArray("/x/h1.001"));
    ASSERT_TRUE(WaitFor([&] { return result >= 0; }));
    EXPECT_EQ(result, 0);
}

TEST(PlayerSingleInstance, LockIsFreeAgainAfterTheRunningInstanceEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.TryBecomeRunning());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.TryBecomeRunning());
}

// A connection that writes part of a record and leaves takes its bytes with it: the next second
// start's records are read from their own first byte.
TEST(PlayerSingleInstance, AStrayPartialRecordDoesNotShiftLaterHandOvers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.TryBecomeRunning());
    QStringList opened;
    QObject::connect(&first, &SingleInstance::openRequested, [&](const QString& p) { opened << p; });

    // Each stray begins with a whole Clear record, whose answer shows the bytes were read.
    struct Stray
    {
        const char* what;
        QByteArray tail;
    };
    const Stray strays[] = {
        {"three bytes", QByteArray::fromHex("640400")},
        {"seven bytes", QByteArray::fromHex("64040000 410000")},
        {"one byte", QByteArray::fromHex("01")},
    };
    for (const Stray& stray : strays) {
        QLocalSocket socket;
        socket.connectToServer(first.SocketPath());
        ASSERT_TRUE(WaitFor([&] { return socket.state() == QLocalSocket::ConnectedState; })) << stray.what;
        socket.write(QByteArray::fromHex("63040000 00000000") + stray.tail);
        socket.flush();
        ASSERT_TRUE(WaitFor([&] { return socket.bytesAvailable() > 0 || socket.waitForReadyRead(0); }))
            << stray.what;
        socket.disconnectFromServer();

        const QString path = QStringLiteral("/bak/h080510.003");
        HandOverClient client;
        int result = -1;
        QObject::connect(&client, &HandOverClient::finished, [&](bool ok) { result = ok ? 1 : 0; });
        opened.clear();
        client.Start(first.SocketPath(), path.toUtf8());
        ASSERT_TRUE(WaitFor([&] { return result >= 0; })) << stray.what;
        EXPECT_EQ(result, 1) << stray.what;
        EXPECT_EQ(opened, QStringList({path})) << stray.what;
    }
}
