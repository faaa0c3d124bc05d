// Live start and stop on the wire: the frame rate and stream code chosen from the number of shown
// cells and the stream quality, the live stop, and live audio.
#include <QJsonObject>

#include "session/support/session_fixture.h"

namespace {

QList<QByteArray> Payloads(const QList<QJsonObject>& messages, int from)
{
    QList<QByteArray> out;
    for (int i = from; i < messages.size(); ++i)
        out.append(QByteArray::fromHex(messages.at(i).value("hex").toString().toLatin1()));
    return out;
}

} // namespace

struct RateRow
{
    int shown;               // channels bound to a live cell
    int quality;             // the entry record's stream quality
    const char* rateAndCode; // the two bytes at 14 and 16 of the request, written out below
};

TEST_F(SessionTest, LiveStartRateTableOnTheWire)
{
    // Firmware 3.41 and later takes rate and stream code as the session chose them.
    SessionDvrSim* sim = StartSim({"--channels", "16", "--firmware", "3.41"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("rates", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x87).size() >= 16; }));

    // The login start: one frame per second, stream code 4, no audio.
    {
        const QList<QByteArray> login = Payloads(sim->Messages(0x87), 0);
        ASSERT_EQ(login.size(), 16);
        EXPECT_EQ(Hex(login.at(0)), Hex(FromHex("00000014 00a18700 00 180000 0100 01 00 04 01 000000000000")));
        EXPECT_EQ(Hex(login.at(5)), Hex(FromHex("00000014 00a18700 00 180000 2000 01 00 04 01 000000000000")));
        EXPECT_EQ(Hex(login.at(15)), Hex(FromHex("00000014 00a18700 00 180000 0080 01 00 04 01 000000000000")));
    }

    // rate at byte 14, stream code at byte 16
    const RateRow rows[] = {
        {0, 1, "1e 00 09"},                                         // no cell shown: 30 fps, code 9
        {1, 2, "1e 00 06"},                                         // one shown, quality 2: 30, 6
        {1, 1, "1e 00 09"}, {3, 1, "0f 00 08"},                     // three shown, quality 1: 15, 8
        {4, 2, "0f 00 05"}, {5, 1, "05 00 05"}, {9, 2, "05 00 04"}, // nine shown, quality 2: 5, 4
    };
    for (const RateRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "shown " << row.shown << " quality " << row.quality);
        RecordOf(device)->quality = row.quality;
        for (int ch = 0; ch < 16; ++ch) {
            CameoRoute* route = device->GetCameoRoute(ch);
            route->liveGrid = ch < row.shown ? 0 : -1;
            route->liveCell = ch < row.shown ? ch : -1;
        }
        const int before = sim->Messages(0x87).size();
        ASSERT_TRUE(device->OnLiveStart(0));
        ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x87).size() >= before + 16; }));
        const QList<QByteArray> sent = Payloads(sim->Messages(0x87), before);
        ASSERT_EQ(sent.size(), 16) << "shown or not, every wanted channel starts";
        for (int ch = 0; ch < 16; ++ch) {
            const quint16 mask = quint16(1u << ch);
            const QByteArray expected = FromHex("00000014 00a18700 00 180000") + QByteArray(1, char(mask & 0xFF))
                                        + QByteArray(1, char(mask >> 8)) + FromHex(row.rateAndCode)
                                        + FromHex("00 000000000000");
            EXPECT_EQ(Hex(sent.at(ch)), Hex(expected)) << "channel " << ch;
            EXPECT_EQ(device->IsLiveShown(ch), ch < row.shown);
            EXPECT_EQ(device->GetLiveCounter(ch), 0);
        }
        EXPECT_EQ(device->GetChannelFps(0), quint8(FromHex(row.rateAndCode).at(0)));
    }
}

TEST_F(SessionTest, LiveStartIsRefusedBeforeLoginAndSkipsChannelsWithoutRight)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--firmware", "3.41"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("rights", sim->Port());
    EXPECT_FALSE(device->OnLiveStart(0));
    EXPECT_FALSE(device->OnLiveStop(0));
    RecordOf(device)->permissionLive = 0x5; // channels 0 and 2
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x87).size() >= 2; }));
    WaitFor([] { return false; }, 300);
    const QList<QByteArray> sent = Payloads(sim->Messages(0x87), 0);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(Hex(sent.at(0).mid(12, 2)), "0100");
    EXPECT_EQ(Hex(sent.at(1).mid(12, 2)), "0400");
    EXPECT_EQ(device->childCount(), 2) << "channel items only for permitted channels";

    device->SetLiveWanted(1, true); // a grid asks for a channel without the right
    ASSERT_TRUE(device->OnLiveStart(0));
    EXPECT_FALSE(device->IsLiveWanted(1));
}

TEST_F(SessionTest, LiveStopAndLiveAudioOnTheWire)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("stop", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    EXPECT_FALSE(device->OnLiveStop(4)) << "channel count is out of range";
    EXPECT_FALSE(device->OnLiveStop(-1));
    ASSERT_TRUE(device->OnLiveStop(2));
    EXPECT_FALSE(device->IsLiveWanted(2));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x04).size() >= 1; }));
    WaitFor([] { return false; }, 200);
    const QList<QByteArray> stops = Payloads(sim->Messages(0x04), 0);
    ASSERT_EQ(stops.size(), 1);
    EXPECT_EQ(Hex(stops.at(0)), Hex(FromHex("0000000c 00a10400 00 100000 0400 0000")));

    ASSERT_TRUE(device->StartLiveAudio(1));
    EXPECT_EQ(device->GetLiveAudioChannel(), 1);
    ASSERT_TRUE(device->StopLiveAudio());
    EXPECT_EQ(device->GetLiveAudioChannel(), -1);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x3E).size() >= 1; }));
    const QList<QByteArray> audioStarts = Payloads(sim->Messages(0x3D), 0);
    ASSERT_EQ(audioStarts.size(), 1) << "no stop goes out while no audio channel plays";
    EXPECT_EQ(Hex(audioStarts.at(0)), Hex(FromHex("0000000c 00a13d00 00 100000 01000000")));
    const QList<QByteArray> audioStops = Payloads(sim->Messages(0x3E), 0);
    ASSERT_EQ(audioStops.size(), 1);
    EXPECT_EQ(Hex(audioStops.at(0)), Hex(FromHex("0000000a 00a13e00 00 0e0000 0100")));
}

TEST_F(SessionTest, TalkAudioGoesOutInBlocksOf320)
{
    SessionDvrSim* sim = StartSim({"--channels", "1"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("talk", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    // 350 samples of 1000: one block of 320 goes, 30 are dropped. 1000 doubled is 2000; with the
    // bias 2132, exponent 4, mantissa 0, G.711 gives ~0x40 = 0xBF.
    QByteArray pcm;
    for (int i = 0; i < 350; ++i)
        pcm += FromHex("e803");
    device->SendTalkAudio(pcm.constData(), pcm.size());
    // 200 samples of -1000: one block of 200 (-2000 gives ~0xC0 = 0x3F).
    QByteArray negative;
    for (int i = 0; i < 200; ++i)
        negative += FromHex("18fc");
    device->SendTalkAudio(negative.constData(), negative.size());

    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x29).size() >= 2; }));
    const QList<QByteArray> blocks = Payloads(sim->Messages(0x29), 0);
    ASSERT_EQ(blocks.size(), 2);
    ASSERT_EQ(blocks.at(0).size(), 40 + 320);
    EXPECT_EQ(Hex(blocks.at(0).left(24)),
              Hex(FromHex("00000164 00a12900 00 680100 50 00 0000 40010000 00000000")));
    EXPECT_EQ(blocks.at(0).mid(40), QByteArray(320, char(0xBF)));
    ASSERT_EQ(blocks.at(1).size(), 40 + 200);
    EXPECT_EQ(blocks.at(1).mid(40), QByteArray(200, char(0x3F)));
}
