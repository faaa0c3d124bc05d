// The receive thread's connect when the thread has been started but has not had its first turn
// yet, as happens on a busy machine right after an engine is made.
#include "net/netrecvthread.h"
#include "net/nettypemirel.h"

#include <QHostAddress>
#include <QSemaphore>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// A receive thread whose start is held back until the gate opens.
class LateThread : public NetRecvThread
{
public:
    using NetRecvThread::NetRecvThread;
    QSemaphore gate;

protected:
    void run() override
    {
        gate.acquire();
        NetRecvThread::run();
    }
};

TEST(NetRecvThread, ConnectRightAfterTheStartWaitsForTheThread)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    CNetTypeMirel engine(nullptr, false);
    LateThread thread(&engine, false);
    thread.SetHost(QStringLiteral("127.0.0.1"), server.serverPort());
    thread.start();
    ASSERT_FALSE(thread.IsRunningFlag());
    // The thread gets its turn only after the connect has been asked for.
    std::thread late([&thread] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        thread.gate.release();
    });
    EXPECT_TRUE(thread.Connect());
    late.join();
    EXPECT_TRUE(thread.IsRunningFlag());
    thread.quit();
    thread.wait();
}

TEST(NetRecvThread, ConnectOfAThreadNeverStartedFails)
{
    CNetTypeMirel engine(nullptr, false);
    NetRecvThread thread(&engine, false);
    thread.SetHost(QStringLiteral("127.0.0.1"), 1);
    EXPECT_FALSE(thread.Connect());
}

} // namespace
