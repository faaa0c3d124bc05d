// The chain of record lists against the simulator: time, event and audio lists over storage slots
// 0 to 8, then the key-frame index scan of every channel, fill the 17 minute maps of the day; the
// backup capacity answer reaches the backup pages' signals.
//
// The expected maps are worked out here from the simulator's options: every channel of the
// recorder holds the same recording from --record-start to --record-end, in storage slot 0 only,
// with a motion event (first event class, flag 2) on every tenth minute of it; the audio list
// equals the time list.
#include <QJsonObject>
#include <QSignalSpy>

#include <cstring>
#include <vector>

#include "session/moduledevice.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/requests2_support.h"
#include "session/support/session_fixture.h"

namespace {

constexpr int kDay = 20240115;
constexpr int kChannels = 4;

struct ListCase
{
    const char* name;
    QStringList simOptions; // besides the channels and the recorded day
    quint32 searchPermission;
    int firstMinute; // first recorded minute of the day, 0..1439
    int lastMinute;
    bool indexScan; // dual-stream recorder: the kind-6 scan goes to the recorder
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.name;
}

// What the maps must hold after the chain, from the case's recording.
std::vector<std::vector<quint8>> ExpectedMaps(const ListCase& c)
{
    std::vector<std::vector<quint8>> maps(17, std::vector<quint8>(1440, 0));
    for (int minute = c.firstMinute; minute <= c.lastMinute; ++minute) {
        for (int ch = 0; ch < kChannels; ++ch) {
            if (!(c.searchPermission & (1u << ch)))
                continue;
            maps[ch][minute] = 1;
            if (minute % 10 == 0)
                maps[ch][minute] |= 2;
        }
        maps[16][minute] = 1;
    }
    return maps;
}

bool MapsEqual(const CModuleDevice* device, const std::vector<std::vector<quint8>>& expected)
{
    for (int slot = 0; slot < 17; ++slot) {
        const quint8* table = device->GetMinuteTable(slot);
        if (!table)
            return false;
        for (int m = 0; m < 1440; ++m) {
            if (table[m] != expected[slot][m])
                return false;
        }
    }
    return true;
}

QString FirstDifference(const CModuleDevice* device, const std::vector<std::vector<quint8>>& expected)
{
    for (int slot = 0; slot < 17; ++slot) {
        const quint8* table = device->GetMinuteTable(slot);
        if (!table)
            return QStringLiteral("no table %1").arg(slot);
        for (int m = 0; m < 1440; ++m) {
            if (table[m] != expected[slot][m])
                return QStringLiteral("map %1 minute %2: %3, expected %4")
                    .arg(slot)
                    .arg(m)
                    .arg(table[m])
                    .arg(expected[slot][m]);
        }
    }
    return QString();
}

class ListChainTest : public SessionTest, public ::testing::WithParamInterface<ListCase>
{};

TEST_P(ListChainTest, MinuteMapsOfTheRecordedDay)
{
    const ListCase& c = GetParam();
    QStringList options{"--channels", QString::number(kChannels), "--record-date", QString::number(kDay)};
    options << c.simOptions;
    SessionDvrSim* sim = StartSim(options);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("lists", sim->Port());
    RecordOf(device)->permissionSearch = qint32(c.searchPermission);
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    device->SendTimeRecList(kDay, 0);
    const auto expected = ExpectedMaps(c);
    EXPECT_TRUE(WaitFor([&] { return MapsEqual(device, expected); }))
        << FirstDifference(device, expected).toStdString();
    EXPECT_EQ(CModuleDeviceTestAccess::GetListDay(*device), kDay);

    // The scan: one index request per channel slot (0 to the channel count), storage slot 0 only.
    const int hhmm = (c.firstMinute / 60) * 100 + c.firstMinute % 60;
    if (c.indexScan) {
        ASSERT_TRUE(
            WaitFor([&] { return CModuleDeviceTestAccess::GetFirstScanMinute(*device, kChannels) == hhmm; }));
        for (int ch = 0; ch < 16; ++ch)
            EXPECT_EQ(CModuleDeviceTestAccess::GetFirstScanMinute(*device, ch), ch <= kChannels ? hhmm : 9999)
                << "channel " << ch;
    } else {
        ASSERT_TRUE(FenceLive(sim, device));
        for (int ch = 0; ch < 16; ++ch)
            EXPECT_EQ(CModuleDeviceTestAccess::GetFirstScanMinute(*device, ch), 9999) << "channel " << ch;
    }
    ASSERT_TRUE(FenceLive(sim, device));

    // Only storage slot 0 holds data: the recorder is asked each list once, for slot 0 and the day.
    QList<QByteArray> lists = ReceivedMessages(sim, 0x20);
    QList<int> kinds;
    QList<QByteArray> index;
    for (const QByteArray& m : lists) {
        ASSERT_GE(m.size(), 36);
        EXPECT_EQ(Word32(m, 12), 0) << "storage slot";
        EXPECT_EQ(Word32(m, 20), kDay);
        const int kind = quint8(m[16]);
        if (kind == 0x12)
            index.append(m);
        else
            kinds.append(kind);
    }
    const int eventKind = c.simOptions.contains("0x100000") ? 0x17 : 0x0B;
    EXPECT_EQ(kinds, (QList<int>{0x15, eventKind, 0x16}));
    if (c.indexScan) {
        ASSERT_EQ(index.size(), kChannels + 1);
        // Byte 19 carries the channel slot of a second-stream request: slot + 1 + channel count.
        for (int ch = 0; ch <= kChannels; ++ch)
            EXPECT_EQ(quint8(index[ch][19]), ch + 1 + kChannels) << "channel " << ch;
    } else {
        EXPECT_TRUE(index.isEmpty());
    }
}

const ListCase kListCases[] = {
    {"ShortEventRecords",
     {"--firmware", "3.31", "--index-subcode-add", "220", "--record-start", "013015", "--record-end", "024559"},
     0xF,
     90,
     165,
     true},
    {"LongEventRecordsThreeMasks",
     {"--firmware", "3.42", "--features", "0x100000", "--index-subcode-add", "220", "--record-start", "000000",
      "--record-end", "003000"},
     0xF,
     0,
     30,
     true},
    {"ChannelOutsideSearchPermission",
     {"--firmware", "3.31", "--index-subcode-add", "220", "--record-start", "230000", "--record-end", "235959"},
     0xB,
     1380,
     1439,
     true},
    {"SingleStreamRecorderSkipsTheScan",
     {"--record-start", "120000", "--record-end", "121000"},
     0xF,
     720,
     730,
     false},
};

INSTANTIATE_TEST_SUITE_P(Requests2, ListChainTest, ::testing::ValuesIn(kListCases),
                         [](const ::testing::TestParamInfo<ListCase>& info) {
                             return std::string(info.param.name);
                         });

class ListRestartTest : public SessionTest
{};

TEST_F(ListRestartTest, NewDayClearsTheMaps)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--record-date", QString::number(kDay), "--record-start",
                                   "100000", "--record-end", "101000"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("restart", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    device->SendTimeRecList(kDay, 0);
    ASSERT_TRUE(
        WaitFor([&] { return device->GetMinuteTable(0)[600] == 3 && device->GetMinuteTable(16)[610] == 1; }));

    // A day the recorder did not record: every list is empty, so every map is cleared.
    device->SendTimeRecList(kDay - 1, 0);
    EXPECT_EQ(CModuleDeviceTestAccess::GetListDay(*device), kDay - 1);
    const ListCase none{"none", {}, 0, 1, 0, false};
    const auto empty = ExpectedMaps(none);
    EXPECT_TRUE(MapsEqual(device, empty)) << FirstDifference(device, empty).toStdString();
    // The chain still runs through to the audio list of the new day.
    EXPECT_TRUE(WaitFor([&] {
        const QList<QByteArray> lists = ReceivedMessages(sim, 0x20);
        return !lists.isEmpty() && quint8(lists.last()[16]) == 0x16 && Word32(lists.last(), 20) == kDay - 1;
    }));
    EXPECT_TRUE(MapsEqual(device, empty)) << FirstDifference(device, empty).toStdString();
}

TEST_F(ListRestartTest, RepliesOutsideTheTablesAreDropped)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--record-date", QString::number(kDay)});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("bad", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(FenceLive(sim, device));
    const int listsBefore = sim->Messages(0x20).size();

    // Storage slots outside 0..8 and channel slots outside 0..16 never reach a table or a request.
    device->OnRecvTimeRecList(9, 2880);
    device->OnRecvTimeRecList(-1, 2880);
    device->OnRecvEventRecList(9, 200);
    device->OnRecvAudioRecList(1000, 2880);
    device->OnRecvIntraIndex(9, 0, 512, 6);
    device->OnRecvIntraIndex(0, 17, 512, 6);
    device->OnRecvIntraIndex(0, -1, 512, 0);
    ASSERT_TRUE(FenceLive(sim, device));
    EXPECT_EQ(sim->Messages(0x20).size(), listsBefore);

    // Sizes beyond the list buffer are read no further than the buffer.
    device->OnRecvEventRecList(8, 0x7FFFFFFF);
    device->OnRecvIntraIndex(8, 4, 0x7FFFFFFF, 6);
    const ListCase none{"none", {}, 0, 1, 0, false};
    EXPECT_TRUE(MapsEqual(device, ExpectedMaps(none)));
}

// ---------------------------------------------------------------------------------------------
// Backup capacity

class BackupCapaTest : public SessionTest
{};

TEST_F(BackupCapaTest, SizesPerChosenChannelThenAudio)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--record-date", QString::number(kDay), "--record-start",
                                   "100000", "--record-end", "110000"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("capa", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    QSignalSpy each(device, &CModuleDevice::OnAddBackupCapa);
    QSignalSpy all(device, &CModuleDevice::OnAddBackupCapaAll);

    // Channels 0 and 2 of the recorded hour.
    device->SendBackupCapaRequest(kDay, 100000, kDay, 110000, 0x5);
    ASSERT_TRUE(WaitFor([&] { return all.count() == 1; }));
    ASSERT_EQ(each.count(), 3);
    const int size = each.at(0).at(2).toInt();
    EXPECT_GT(size, 0);
    EXPECT_EQ(each.at(0), (QList<QVariant>{0, 4, size}));
    EXPECT_EQ(each.at(1), (QList<QVariant>{2, 4, size}));
    EXPECT_EQ(each.at(2), (QList<QVariant>{4, 4, 1})) << "the audio entry comes last, for channel = count";
    EXPECT_EQ(all.at(0), (QList<QVariant>{0x5, 4, 2 * size + 1}));
    for (const BoxCall& call : hub->boxCalls)
        EXPECT_NE(call.text, QStringLiteral("Not a data"));
}

TEST_F(BackupCapaTest, NothingRecordedShowsNotAData)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--record-date", QString::number(kDay)});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("capa0", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    QSignalSpy each(device, &CModuleDevice::OnAddBackupCapa);
    QSignalSpy all(device, &CModuleDevice::OnAddBackupCapaAll);
    hub->boxCalls.clear();

    device->SendBackupCapaRequest(kDay - 5, 0, kDay - 5, 235959, 0x2);
    ASSERT_TRUE(WaitFor([&] { return all.count() == 1; }));
    ASSERT_EQ(each.count(), 2);
    EXPECT_EQ(each.at(0), (QList<QVariant>{1, 4, 0}));
    EXPECT_EQ(each.at(1), (QList<QVariant>{4, 4, 0}));
    EXPECT_EQ(all.at(0), (QList<QVariant>{0x2, 4, 0}));
    const BoxCall box{QStringLiteral("Remote CD Backup"), QStringLiteral("Not a data"), QStringLiteral("stop")};
    EXPECT_NE(std::find(hub->boxCalls.begin(), hub->boxCalls.end(), box), hub->boxCalls.end());
}

// A reply whose last size entry is cut off by the end of the message: only whole entries
// inside the message count, whatever the receive buffer holds after it (here the bytes of an
// earlier, longer message). Without a connection the channel count is 0, so the first entry is
// the audio entry of "channel" 0.
struct CutReply
{
    const char* name;
    int total;
    QList<QList<QVariant>> each; // OnAddBackupCapa(channel, count, size) calls
    int sum;
};

void PrintTo(const CutReply& c, std::ostream* os)
{
    *os << c.name;
}

class BackupCapaCutTest : public SessionTest, public ::testing::WithParamInterface<CutReply>
{};

TEST_P(BackupCapaCutTest, OnlyWholeEntriesInsideTheMessageCount)
{
    const CutReply& c = GetParam();
    CModuleDevice* device = AddRecorder("capa-cut", ClosedPort());
    QSignalSpy each(device, &CModuleDevice::OnAddBackupCapa);
    QSignalSpy all(device, &CModuleDevice::OnAddBackupCapaAll);

    std::vector<char> receiveBuffer(40960, '\x11');
    // Header: length (total - 4, big-endian), 00 A1, 0x4A, status 0, sub-code 0, total (24-bit
    // little-endian); body: channel mask 0, 2 bytes 0, then 32-bit sizes of 100.
    const quint8 header[12] = {0, 0, 0, quint8(c.total - 4), 0x00, 0xA1, 0x4A, 0, 0, quint8(c.total), 0, 0};
    std::memcpy(receiveBuffer.data(), header, sizeof header);
    std::memset(receiveBuffer.data() + 12, 0, 4);
    for (int at = 16; at < c.total; ++at)
        receiveBuffer[size_t(at)] = (at - 16) % 4 == 0 ? char(100) : char(0);
    device->OnRecvBackupCapa(reinterpret_cast<_SEND_BACKUP_CAPA*>(receiveBuffer.data()));

    ASSERT_EQ(all.count(), 1);
    EXPECT_EQ(all.at(0), (QList<QVariant>{0, 0, c.sum}));
    ASSERT_EQ(each.count(), c.each.size());
    for (int i = 0; i < each.count(); ++i)
        EXPECT_EQ(each.at(i), c.each.at(i)) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BackupCapaCutTest,
    ::testing::Values(CutReply{"no_entry", 16, {}, 0}, CutReply{"half_an_entry", 18, {}, 0},
                      CutReply{"three_quarters_of_an_entry", 19, {}, 0},
                      CutReply{"one_whole_entry", 20, {{0, 0, 100}}, 100},
                      CutReply{"one_whole_entry_and_half_of_the_next", 22, {{0, 0, 100}}, 100}),
    [](const ::testing::TestParamInfo<CutReply>& info) { return std::string(info.param.name); });

} // namespace
