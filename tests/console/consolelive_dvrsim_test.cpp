// The console's own live connection against the recorder simulator: the requests it sends, byte
// for byte on the simulator's log (login, model information, live start, VDA, keep-alive), the
// decoded pictures of the channel and the VDA grid it hands to the window.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "console/consolelivelink.h"
#include "console/decodingtask.h"
#include "console/mirelnetservice.h"
#include "console/support/consolestream.h"
#include "harness/dvrsimprocess.h"

namespace {

constexpr int kLimitMs = 30000;

QList<QJsonObject> OnConnection(const QList<QJsonObject>& lines, int conn)
{
    QList<QJsonObject> out;
    for (const QJsonObject& o : lines)
        if (o.value(QStringLiteral("conn")).toInt() == conn)
            out << o;
    return out;
}

QString HexOf(const DvrSimProcess& sim, int cmd)
{
    const QList<QJsonObject> m = sim.Messages(cmd);
    return m.isEmpty() ? QString() : m.first().value(QStringLiteral("hex")).toString();
}

TEST(ConsoleLive, RequestsPicturesAndGridFromTheRecorder)
{
    QString made;
    const QString video = consolestream::CameraStream(352, 240, &made);
    ASSERT_FALSE(video.isEmpty()) << made.toStdString();
    DvrSimProcess sim({QStringLiteral("--channels"), QStringLiteral("4"), QStringLiteral("--video"), video,
                       QStringLiteral("--fps"), QStringLiteral("15"), QStringLiteral("--console"),
                       QStringLiteral("config"), QStringLiteral("--console-vda"), QStringLiteral("2,1,5,3")});
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();

    ConsoleLiveLink link;
    QSignalSpy pictures(&link, &ConsoleLiveLink::pictureDecoded);
    QSignalSpy grids(&link, &ConsoleLiveLink::vdaGrid);
    link.SetRecorder(QStringLiteral("127.0.0.1"), sim.Port(), QStringLiteral("admin"), QStringLiteral("1234"));
    link.checkAndStartStopLive(1);
    ASSERT_NE(link.client(), nullptr);
    ASSERT_NE(link.task(), nullptr);
    QSignalSpy frames(link.client(), &MirelNetService::didReceiveAVFrame);

    // The camera's plain stream, put by the recorder into the console's form: the frames between
    // key frames decode too (one frame in ten is a key frame), so most frames become pictures.
    EXPECT_TRUE(QTest::qWaitFor([&] { return pictures.size() >= 25 && !grids.isEmpty(); }, kLimitMs))
        << pictures.size() << " pictures, " << grids.size() << " grids";
    EXPECT_GT(pictures.size() * 2, frames.size())
        << pictures.size() << " pictures of " << frames.size() << " frames";
    ASSERT_FALSE(pictures.isEmpty());
    const QImage picture = pictures.first().first().value<QImage>();
    EXPECT_EQ(picture.size(), QSize(352, 240));

    // Grid 22 x 15 in 4-byte rows; rows 1 and 2 have columns 2 to 4 set.
    ASSERT_FALSE(grids.isEmpty());
    EXPECT_EQ(grids.first().at(0).toInt(), 22);
    EXPECT_EQ(grids.first().at(1).toInt(), 15);
    EXPECT_EQ(grids.first().at(2).toInt(), 4);
    const QByteArray mask = grids.first().at(3).toByteArray();
    ASSERT_EQ(mask.size(), 60);
    EXPECT_EQ(mask.mid(0, 12).toHex(), QByteArray("000000001c0000001c000000"));

    // login "admin"/"1234", model information, live start of channel 1 (sequence 1, rate 30,
    // stream form 3), VDA of channel 1.
    EXPECT_EQ(HexOf(sim, 0x01), QStringLiteral("0000001400a10100001800000005046164"
                                               "6d696e31323334"));
    EXPECT_EQ(HexOf(sim, 0x1C), QStringLiteral("0000000c00a11c00001000000000"
                                               "0000"));
    EXPECT_EQ(HexOf(sim, 0x87), QStringLiteral("0000001000a18700011400000200"
                                               "1e00030000"
                                               "00"));
    EXPECT_EQ(HexOf(sim, 0xB6), QStringLiteral("0000001000a1b600011400000100"
                                               "000000000000"));

    // The keep-alive every 5 seconds; the recorder's alive notice is not a message.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sim.Messages(0x2A).isEmpty(); }, kLimitMs));
    EXPECT_EQ(HexOf(sim, 0x2A), QStringLiteral("0000000800a12a00010c0000"));
    const int conn = sim.Messages(0x01).first().value(QStringLiteral("conn")).toInt();
    for (const QJsonObject& m : OnConnection(sim.Messages(), conn))
        EXPECT_NE(m.value(QStringLiteral("cmd")).toInt(), 0x22) << "the light connection polls no status";

    // Stopping ends the thread and the connection.
    QPointer<DecodingTask> task = link.task();
    link.checkAndStartStopLive(-1);
    EXPECT_EQ(link.client(), nullptr);
    EXPECT_EQ(link.task(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return task.isNull(); }, kLimitMs)) << "the thread is deleted once it ended";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sim.Events(QStringLiteral("disconnect")).isEmpty(); }, kLimitMs));
}

TEST(ConsoleLive, ClosedConnectionEndsTheThreadAndKeepsTheClient)
{
    DvrSimProcess sim({QStringLiteral("--fail"), QStringLiteral("close-after-model"), QStringLiteral("--console"),
                       QStringLiteral("config")});
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    ConsoleLiveLink link;
    link.SetRecorder(QStringLiteral("127.0.0.1"), sim.Port(), QStringLiteral("admin"), QStringLiteral("1"));
    link.checkAndStartStopLive(0);
    MirelNetService* client = link.client();
    EXPECT_TRUE(QTest::qWaitFor([&] { return link.task() == nullptr; }, kLimitMs));
    EXPECT_EQ(link.client(), client) << "no reconnection: the client stays until the live picture is stopped";
    EXPECT_FALSE(client->isConnected());
}

TEST(ConsoleLive, LoginTooLongIsRefusedWithAMessage)
{
    DvrSimProcess sim({QStringLiteral("--console"), QStringLiteral("config")});
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    ConsoleLiveLink link;
    QSignalSpy refused(&link, &ConsoleLiveLink::loginRefused);
    link.SetRecorder(QStringLiteral("127.0.0.1"), sim.Port(), QString(40, QLatin1Char('u')),
                     QString(10, QLatin1Char('p')));
    link.checkAndStartStopLive(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !refused.isEmpty(); }, kLimitMs));
    EXPECT_TRUE(sim.Messages(0x01).isEmpty());
}

} // namespace
