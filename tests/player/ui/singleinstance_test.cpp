// One running player: the first instance takes the lock and listens; a second one is refused
// and hands its path over, each record answered before the next is sent.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

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

// The lock and the socket live only in a folder that is this user's alone; in any other the
// player runs on its own, so a lock and socket placed there first by somebody else get nothing.
TEST(PlayerSingleInstance, OnlyAPrivateFolderHoldsTheLockAndTheSocket)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        const char* what;
        std::function<QString(const QString&)> make; // makes the folder under the given root
        bool handsOver;
    };
    const auto folderWithMode = [](mode_t mode) {
        return [mode](const QString& root) {
            const QString f = root + "/f";
            QDir().mkpath(f);
            chmod(QFile::encodeName(f).constData(), mode);
            return f;
        };
    };
    const Case cases[] = {
        {"this user's, 0700", folderWithMode(0700), true},
        {"open to all, 0777", folderWithMode(0777), false},
        {"readable by the group, 0750", folderWithMode(0750), false},
        {"a link to a private folder",
         [](const QString& root) {
             QDir().mkpath(root + "/real");
             chmod(QFile::encodeName(root + "/real").constData(), 0700);
             QFile::link(root + "/real", root + "/f");
             return root + "/f";
         },
         false},
        {"owned by another user",
         [&](const QString& root) {
             const QString f = folderWithMode(0700)(root);
             if (chown(QFile::encodeName(f).constData(), 65534, 65534) != 0)
                 return QString();
             return f;
         },
         false},
        {"not there yet (made private)", [](const QString& root) { return root + "/new/f"; }, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString root = dir.filePath(QString::number(n++));
        QDir().mkpath(root);
        const QString folder = c.make(root);
        if (folder.isEmpty()) {
            ADD_FAILURE() << c.what << ": cannot be made here";
            continue;
        }
        // Somebody placed a lock there first (a live process holds it).
        QLockFile foreign(QDir(folder).filePath("orvane.lock"));
        if (!c.handsOver)
            ASSERT_TRUE(foreign.tryLock(0)) << c.what;
        SingleInstance first(folder);
        EXPECT_TRUE(first.TryBecomeRunning()) << c.what;
        SingleInstance second(folder);
        EXPECT_EQ(second.TryBecomeRunning(), !c.handsOver) << c.what;
        EXPECT_EQ(SingleInstance::IsPrivateFolder(folder), c.handsOver) << c.what;
    }
}

// A socket whose listener runs as another user is never given a path.
TEST(PlayerSingleInstance, APathGoesOnlyToASocketOfThisUser)
{
    if (geteuid() != 0 || !QFile::exists("/usr/bin/setpriv"))
        GTEST_SKIP() << "needs root to run a listener as another user";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    chmod(QFile::encodeName(dir.path()).constData(), 0777);
    const QString socketPath = dir.filePath("orvane.socket");
    QProcess listener;
    listener.start("/usr/bin/setpriv",
                   {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                    "import socket,sys\n"
                    "s=socket.socket(socket.AF_UNIX)\ns.bind(sys.argv[1])\ns.listen(1)\n"
                    "print('LISTENING',flush=True)\nc,_=s.accept()\nc.settimeout(5)\nn=0\n"
                    "try:\n while True:\n  b=c.recv(100)\n  if not b: break\n  n+=len(b)\n"
                    "except OSError: pass\nprint('GOT',n,flush=True)\n",
                    socketPath});
    ASSERT_TRUE(WaitFor([&] {
        listener.waitForReadyRead(0);
        return listener.peek(64).contains("LISTENING") || listener.state() == QProcess::NotRunning;
    }));
    ASSERT_TRUE(listener.readLine().startsWith("LISTENING")) << listener.readAllStandardError().toStdString();
    HandOverClient client;
    int result = -1;
    QObject::connect(&client, &HandOverClient::finished, [&](bool ok) { result = ok ? 1 : 0; });
    client.Start(socketPath, QByteArray("/bak/h080510.003"));
    ASSERT_TRUE(WaitFor([&] { return result >= 0; }));
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(WaitFor([&] {
        listener.waitForReadyRead(0);
        return listener.state() == QProcess::NotRunning;
    }));
    EXPECT_EQ(listener.readAll().trimmed(), QByteArray("GOT 0"));
}
