// Every request of the recorder protocol against its bytes, written out by hand.
#include "net/requestbuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text)); // spaces are skipped
}

std::string Spaced(const QByteArray& bytes)
{
    return bytes.toHex(' ').toUpper().toStdString();
}

struct Case
{
    const char* name;
    std::function<QByteArray()> build;
    const char* hex;
};

// Dates and times used below: 20261209 = 59 29 35 01, 20261201 = 51 29 35 01,
// 80000 = 80 38 01 00, 235959 = B7 99 03 00, 123456 = 40 E2 01 00.
const Case kCases[] = {
    // --- login chain and keep-alive ---
    {"login admin/1234", [] { return RequestBuilder::Login("admin", "1234", false); },
     "00 00 00 00 00 A1 01 00 00 18 00 00 00 05 04 61 64 6D 69 6E 31 32 33 34"},
    {"login admin, empty password", [] { return RequestBuilder::Login("admin", "", false); },
     "00 00 00 00 00 A1 01 00 00 14 00 00 00 05 00 61 64 6D 69 6E"},
    {"login silent", [] { return RequestBuilder::Login("admin", "1234", true); },
     "00 00 00 00 00 A1 01 00 00 25 00 00 00 05 04 61 64 6D 69 6E 31 32 33 34"
     " 00 65 76 5F 73 69 6C 65 6E 74 3D 31 00"},
    {"login counts UTF-8 bytes",
     [] {
         return RequestBuilder::Login(QString::fromUtf8("j\xC3\xBCrgen"), QString::fromUtf8("p\xC3\xA4"), false);
     },
     "00 00 00 00 00 A1 01 00 00 19 00 00 00 07 03 6A C3 BC 72 67 65 6E 70 C3 A4"},
    {"model information", [] { return RequestBuilder::ModelInfoRequest(); },
     "00 00 00 00 00 A1 1C 00 00 10 00 00 00 00 03 23"},
    {"camera titles", [] { return RequestBuilder::CameraTitleRequest(); }, "00 00 00 00 00 A1 2E 00 00 0C 00 00"},
    {"ptz information", [] { return RequestBuilder::PtzInfoRequest(3); },
     "00 00 00 00 00 A1 06 00 00 0D 00 00 03"},
    {"ptz list end", [] { return RequestBuilder::PtzListEnd(); }, "00 00 00 00 00 A1 73 00 00 0C 00 00"},
    {"camera kinds", [] { return RequestBuilder::CameraKindRequest(); }, "00 00 00 00 00 A1 99 00 00 0C 00 00"},
    {"extended status poll", [] { return RequestBuilder::ExtendedStatusPoll(); },
     "00 00 00 00 00 A1 AE 00 00 0C 00 00"},
    {"status poll", [] { return RequestBuilder::StatusPoll(); }, "00 00 00 00 00 A1 22 00 00 0C 00 00"},
    {"disk information", [] { return RequestBuilder::DiskInfoRequest(); },
     "00 00 00 00 00 A1 47 00 00 0E 00 00 01 00"},

    // --- live start: direct rate sends rate and mode unchanged ---
    {"live start direct", [] { return RequestBuilder::LiveStart(2, 7, 1, false, true, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 04 00 07 00 01 01 00 00 00 00 00 00"},
    {"live start direct ignores stream kind", [] { return RequestBuilder::LiveStart(0, 30, 6, true, true, 3); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 1E 00 06 00 00 00 00 00 00 00"},
    // presets without the direct-rate capability
    {"live start preset 4", [] { return RequestBuilder::LiveStart(9, 10, 4, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 00 02 01 00 03 00 00 00 00 00 00 00"},
    {"live start preset 5", [] { return RequestBuilder::LiveStart(0, 10, 5, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 0F 00 03 00 00 00 00 00 00 00"},
    {"live start preset 6", [] { return RequestBuilder::LiveStart(0, 10, 6, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 1E 00 03 00 00 00 00 00 00 00"},
    {"live start preset 7", [] { return RequestBuilder::LiveStart(0, 10, 7, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 01 00 01 00 00 00 00 00 00 00"},
    {"live start preset 8", [] { return RequestBuilder::LiveStart(0, 10, 8, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 02 00 01 00 00 00 00 00 00 00"},
    {"live start preset 9", [] { return RequestBuilder::LiveStart(0, 10, 9, true, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 1E 00 01 00 00 00 00 00 00 00"},
    {"live start other mode keeps rate", [] { return RequestBuilder::LiveStart(15, 12, 2, false, false, 0); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 00 80 0C 00 02 01 00 00 00 00 00 00"},
    // stream kinds 2 and 3: mode 3 sends rate 1, other modes 1 below rate 2, else 30
    {"live start kind 2 mode 3", [] { return RequestBuilder::LiveStart(0, 10, 6, true, false, 2); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 01 00 03 00 00 00 00 00 00 00"},
    {"live start kind 3 rate 2", [] { return RequestBuilder::LiveStart(0, 10, 8, true, false, 3); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 1E 00 01 00 00 00 00 00 00 00"},
    {"live start kind 2 rate 1", [] { return RequestBuilder::LiveStart(0, 1, 2, true, false, 2); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 01 00 02 00 00 00 00 00 00 00"},
    {"live start kind 3 rate 12", [] { return RequestBuilder::LiveStart(0, 12, 2, true, false, 3); },
     "00 00 00 00 00 A1 87 00 00 18 00 00 01 00 1E 00 02 00 00 00 00 00 00 00"},

    {"live stop", [] { return RequestBuilder::LiveStop(15); }, "00 00 00 00 00 A1 04 00 00 10 00 00 00 80 00 00"},
    {"live audio start", [] { return RequestBuilder::LiveAudioStart(5); },
     "00 00 00 00 00 A1 3D 00 00 10 00 00 05 00 00 00"},
    {"live audio stop", [] { return RequestBuilder::LiveAudioStop(3); },
     "00 00 00 00 00 A1 3E 00 00 0E 00 00 03 00"},
    {"live output", [] { return RequestBuilder::LiveOutput(); },
     "00 00 00 00 00 A1 BC 00 00 10 00 00 FF FF FF FF"},
    {"live output channel", [] { return RequestBuilder::LiveOutputChannel(7); },
     "00 00 00 00 00 A1 BE 00 00 10 00 00 07 00 00 00"},

    // --- camera, relay, talk-back ---
    {"ptz control", [] { return RequestBuilder::PtzControl(1, 2, 3, 0x1234); },
     "00 00 00 00 00 A1 08 00 00 12 00 00 01 02 03 34 34 34"},
    {"relay control", [] { return RequestBuilder::RelayControl(2, 1); },
     "00 00 00 00 00 A1 27 00 00 0E 00 00 02 01"},
    {"talk start", [] { return RequestBuilder::TalkStart(); }, "00 00 00 00 00 A1 3F 00 00 0C 00 00"},
    {"talk stop", [] { return RequestBuilder::TalkStop(); }, "00 00 00 00 00 A1 40 00 00 0C 00 00"},
    {"talk audio", [] { return RequestBuilder::TalkAudio("\x01\x02\x03\x04", 4); },
     "00 00 00 00 00 A1 29 00 00 2C 00 00 50 00 00 00 04 00 00 00 00 00 00 00"
     " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 02 03 04"},
    {"camera title", [] { return RequestBuilder::CameraTitle(4, "Gate"); },
     "00 00 00 00 00 A1 9C 00 00 14 00 00 04 04 01 00 47 61 74 65"},
    {"camera title UTF-8", [] { return RequestBuilder::CameraTitle(0, QString::fromUtf8("T\xC3\xBCr")); },
     "00 00 00 00 00 A1 9C 00 00 14 00 00 00 04 01 00 54 C3 BC 72"},

    // --- record lists and index ---
    {"time list", [] { return RequestBuilder::TimeRecList(20261209, 3); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 03 00 00 00 15 03 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"time list index low byte", [] { return RequestBuilder::TimeRecList(20261209, 0x103); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 03 01 00 00 15 03 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"event list with capability", [] { return RequestBuilder::EventRecList(20261209, 5, true); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 17 05 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"event list without capability", [] { return RequestBuilder::EventRecList(20261209, 5, false); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 0B 05 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"audio list", [] { return RequestBuilder::AudioRecList(20261209, 8); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 08 00 00 00 16 08 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"intra index second stream", [] { return RequestBuilder::IntraIndexRequest(20261209, 2, 5, 1, true, 1, 8); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 12 05 00 0B 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 02 00 00"},
    {"intra index second stream not selected",
     [] { return RequestBuilder::IntraIndexRequest(20261209, 2, 5, 1, true, 0, 8); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 12 05 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 02 00 00"},
    {"intra index without dual stream",
     [] { return RequestBuilder::IntraIndexRequest(20261209, 2, 5, 1, false, 1, 8); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 12 05 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 02 00 00"},
    {"intra index main stream", [] { return RequestBuilder::IntraIndexRequest(20261209, 2, 5, 0, true, 1, 8); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 05 00 00 00 12 05 00 00 59 29 35 01"
     " 00 00 00 00 00 00 00 00 00 02 00 00"},
    {"intra header",
     [] { return RequestBuilder::IntraHeaderRequest(20261209, 1, 3, 0x11223344, 0x55, 1, true, 1, 16); },
     "00 00 00 00 00 A1 20 00 00 24 00 00 0D 00 00 00 12 03 00 12 59 29 35 01"
     " 44 33 22 11 44 33 22 11 55 00 00 00"},

    // --- playback ---
    {"playback rate", [] { return RequestBuilder::PlaybackRate(64); },
     "00 00 00 00 00 A1 8D 00 00 14 00 00 40 00 00 00 00 00 00 00"},
    {"playback control long form",
     [] { return RequestBuilder::PlaybackCtrlExt(2, 7, 16, 0, 1, 0x00FF, 20261209, 123456, 1, true); },
     "00 00 00 00 00 A1 95 00 00 24 00 00 02 07 10 00 00 01 FF 00 59 29 35 01"
     " 40 E2 01 00 01 02 00 00 00 00 FF 00"},
    {"playback control short form",
     [] { return RequestBuilder::PlaybackCtrlExt(0, 0, 2, 0, 0, 0xFFFF, 0, 0, 0, false); },
     "00 00 00 00 00 A1 95 00 00 20 00 00 00 00 02 00 00 00 FF FF 00 00 00 00"
     " 00 00 00 00 00 02 00 00"},

    // --- remote console ---
    {"console lock 1", [] { return RequestBuilder::ConsoleLock(1); },
     "00 00 00 00 00 A1 96 00 01 10 00 00 00 00 00 00"},
    {"console lock 2", [] { return RequestBuilder::ConsoleLock(2); },
     "00 00 00 00 00 A1 96 00 02 10 00 00 00 00 00 00"},
    {"console lock 3", [] { return RequestBuilder::ConsoleLock(3); },
     "00 00 00 00 00 A1 96 00 00 10 00 00 00 00 00 00"},
    {"mouse position", [] { return RequestBuilder::MousePos(300, 200, 1, 0); },
     "00 00 00 00 00 A1 9A 00 00 14 00 00 01 00 01 00 2C 01 C8 00"},
    {"mouse leaves console", [] { return RequestBuilder::MousePos(10, 20, -1, 0); },
     "00 00 00 00 00 A1 9A 00 00 14 00 00 00 A4 FF 00 0A 00 14 00"},
    {"console mode", [] { return RequestBuilder::ConsoleMode(2); },
     "00 00 00 00 00 A1 A6 00 00 10 00 00 02 00 00 00"},
    {"console data", [] { return RequestBuilder::ConsoleDataRequest(); },
     "00 00 00 00 00 A1 A8 00 00 10 00 00 00 00 00 00"},

    // --- recorder-side media backup ---
    {"media check", [] { return RequestBuilder::CDMediaCheck(2); }, "00 00 00 00 00 A1 35 00 00 0D 00 00 02"},
    {"backup prepare", [] { return RequestBuilder::CDBackupPrepare(1, 2); },
     "00 00 00 00 00 A1 37 00 00 0E 00 00 01 02"},
    {"backup stop", [] { return RequestBuilder::CDBackupStop(0); }, "00 00 00 00 00 A1 39 00 00 0D 00 00 00"},
    {"backup close", [] { return RequestBuilder::CDBackupClose(); }, "00 00 00 00 00 A1 3A 00 00 0C 00 00"},
    {"backup capacity",
     [] { return RequestBuilder::BackupCapaRequest(20261201, 80000, 20261209, 235959, 0x0003, 0xFFFF); },
     "00 00 00 00 00 A1 49 00 00 20 00 00 51 29 35 01 80 38 01 00 59 29 35 01"
     " B7 99 03 00 03 00 FF FF"},
    {"backup start",
     [] { return RequestBuilder::CDBackupStart(20261201, 80000, 20261209, 235959, 0x0003, 0xFFFF, 2); },
     "00 00 00 00 00 A1 4B 00 00 21 00 00 51 29 35 01 80 38 01 00 59 29 35 01"
     " B7 99 03 00 03 00 FF FF 02"},
    {"media erase", [] { return RequestBuilder::CDMediaErase(0); }, "00 00 00 00 00 A1 64 00 00 0D 00 00 00"},
    {"list backup two ranges",
     [] {
         return RequestBuilder::CDListBackupStart({{20261201, 80000, 20261209, 235959, 0x0003, 0xFFFF},
                                                   {20261209, 123456, 20261209, 235959, 0x8000, 0xFFFF}},
                                                  2);
     },
     "00 00 00 00 00 A1 C0 00 00 3C 00 00 02 00 00 00 02 00 00 00"
     " 51 29 35 01 80 38 01 00 59 29 35 01 B7 99 03 00 03 00 FF FF"
     " 59 29 35 01 40 E2 01 00 59 29 35 01 B7 99 03 00 00 80 FF FF"},
    {"list backup empty", [] { return RequestBuilder::CDListBackupStart({}, 2); },
     "00 00 00 00 00 A1 C0 00 00 14 00 00 02 00 00 00 00 00 00 00"},

    // --- file transfer ---
    {"file begin", [] { return RequestBuilder::FileBegin(0, "conf/setup.ini", 0); },
     "00 00 00 00 00 A1 0F 00 00 24 00 00 00 00 00 00 00 00 00 00 0E"
     " 63 6F 6E 66 2F 73 65 74 75 70 2E 69 6E 69 00"},
    {"file begin upload", [] { return RequestBuilder::FileBegin(2, "dvr_upgrade_auto.zip", 70000); },
     "00 00 00 00 00 A1 0F 00 00 2A 00 00 02 00 00 00 70 11 01 00 14"
     " 64 76 72 5F 75 70 67 72 61 64 65 5F 61 75 74 6F 2E 7A 69 70 00"},
    {"file end", [] { return RequestBuilder::FileEnd(99); }, "00 00 00 00 00 A1 10 00 00 11 00 00 63 00 00 00 01"},
    {"file stat", [] { return RequestBuilder::FileStat(1, 0x1EE4, 5); },
     "00 00 00 00 00 A1 11 00 00 16 00 00 01 00 00 00 05 00 00 00 E4 1E"},
    {"block request", [] { return RequestBuilder::ReqFileData(99, 32768, 1); },
     "00 00 00 00 00 A1 12 00 00 18 00 00 63 00 00 00 00 80 00 00 01 00 00 00"},
    {"data block", [] { return RequestBuilder::FileData(2, 0, "ab", 2); },
     "00 00 00 00 00 A1 13 00 00 16 00 00 02 00 00 00 00 00 00 00 61 62"},
    {"configuration action", [] { return RequestBuilder::ConfigAction(); },
     "00 00 00 00 00 A1 1A 00 00 10 00 00 03 01 01 00"},
};

} // namespace

TEST(RequestBuilderTest, EveryRequestMatchesItsBytes)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const QByteArray expected = Hex(c.hex);
        const QByteArray built = c.build();
        EXPECT_EQ(Spaced(built), Spaced(expected));
        // The header's total always agrees with the message length.
        ASSERT_GE(built.size(), 12);
        const int total = quint8(built[9]) | quint8(built[10]) << 8 | quint8(built[11]) << 16;
        EXPECT_EQ(total, built.size());
    }
}

TEST(RequestBuilderTest, FrameRequestCutsPiecesOf32768)
{
    // slot 3, kind 2, offset 0x1_0000_0010, 40000 bytes: two pieces, 32768 then 7232.
    const QList<QByteArray> two = RequestBuilder::FrameRequest(3, 2, 0x100000010LL, 40000);
    ASSERT_EQ(two.size(), 1);
    EXPECT_EQ(Spaced(two[0]),
              Spaced(Hex("00 00 00 00 00 A1 66 00 67 3C 00 00"
                         " 03 00 00 00 02 00 80 00 10 00 00 00 01 00 00 00 00 00 00 00 40 9C 00 00"
                         " 03 00 00 00 02 40 1C 00 10 80 00 00 01 00 00 00 00 80 00 00 40 9C 00 00")));

    struct SizeCase
    {
        int size;
        int pieces;
        const char* lastPiece;
    };
    const SizeCase sizes[] = {
        {0, 1, "00 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {1, 1, "00 00 00 00 01 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00"},
        {32768, 1, "00 00 00 00 01 00 80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 80 00 00"},
        {32769, 2, "00 00 00 00 01 01 00 00 00 80 00 00 00 00 00 00 00 80 00 00 01 80 00 00"},
    };
    for (const SizeCase& s : sizes) {
        SCOPED_TRACE(s.size);
        const QList<QByteArray> m = RequestBuilder::FrameRequest(0, 1, 0, s.size);
        ASSERT_EQ(m.size(), 1);
        ASSERT_EQ(m[0].size(), 12 + 24 * s.pieces);
        EXPECT_EQ(quint8(m[0][8]), 100);
        EXPECT_EQ(Spaced(m[0].right(24)), Spaced(Hex(s.lastPiece)));
    }
}

TEST(RequestBuilderTest, FrameRequestOver999PiecesIsSplit)
{
    // 1000 pieces of 32768: one message of 999 pieces, then one of the last piece.
    const QList<QByteArray> m = RequestBuilder::FrameRequest(3, 2, 0, 1000 * 32768);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].size(), 12 + 24 * 999);
    EXPECT_EQ(Spaced(m[0].left(12)), Spaced(Hex("00 00 00 00 00 A1 66 00 67 B4 5D 00"))); // 23988
    EXPECT_EQ(Spaced(m[1]),
              Spaced(Hex("00 00 00 00 00 A1 66 00 67 24 00 00"
                         " 03 00 00 00 02 00 80 00 00 80 F3 01 00 00 00 00 00 80 F3 01 00 00 F4 01")));
}

TEST(RequestBuilderTest, FrameListCarriesTheCallersEntries)
{
    QByteArray entries = Hex("01 00 00 00 02 00 10 00 00 00 01 00 00 00 00 00 00 00 00 00 00 10 00 00"
                             "02 00 00 00 06 10 00 00 00 20 00 00 00 00 00 00 00 00 00 00 10 00 00 00");
    const QList<QByteArray> m = RequestBuilder::FrameListRequest(entries.constData(), 2);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(Spaced(m[0]), Spaced(Hex("00 00 00 00 00 A1 66 00 C8 3C 00 00") + entries));

    QByteArray many(24 * 1000, '\x5A');
    const QList<QByteArray> split = RequestBuilder::FrameListRequest(many.constData(), 1000);
    ASSERT_EQ(split.size(), 2);
    EXPECT_EQ(split[0].size(), 12 + 24 * 999);
    EXPECT_EQ(split[1].size(), 12 + 24);
    EXPECT_EQ(quint8(split[1][8]), 200);
}

TEST(RequestBuilderTest, RequestsThatDoNotFitAreRefused)
{
    // The login area is 50 bytes: user + password up to 50, with the option up to 37.
    const QString u25(25, 'u');
    EXPECT_EQ(RequestBuilder::Login(u25, QString(25, 'p'), false).size(), 65);
    EXPECT_TRUE(RequestBuilder::Login(u25, QString(26, 'p'), false).isEmpty());
    EXPECT_EQ(RequestBuilder::Login(u25, QString(12, 'p'), true).size(), 65);
    EXPECT_TRUE(RequestBuilder::Login(u25, QString(13, 'p'), true).isEmpty());
    // 25 two-byte characters are 50 bytes; 26 are too many even though they are 26 characters.
    EXPECT_EQ(RequestBuilder::Login(QString(25, QChar(0xE4)), "", false).size(), 65);
    EXPECT_TRUE(RequestBuilder::Login(QString(13, QChar(0xE4)), QString(13, QChar(0xE4)), false).isEmpty());

    EXPECT_EQ(RequestBuilder::CameraTitle(0, QString(50, 'x')).size(), 66);
    EXPECT_TRUE(RequestBuilder::CameraTitle(0, QString(51, 'x')).isEmpty());
    EXPECT_TRUE(RequestBuilder::CameraTitle(0, QString(26, QChar(0xFC))).isEmpty());

    const QVector<RequestBuilder::ListBackupEntry> entries63(63);
    EXPECT_EQ(RequestBuilder::CDListBackupStart(entries63, 0).size(), 20 * 64);
    const QVector<RequestBuilder::ListBackupEntry> entries64(64);
    EXPECT_TRUE(RequestBuilder::CDListBackupStart(entries64, 0).isEmpty());

    EXPECT_TRUE(RequestBuilder::LiveStart(16, 1, 1, false, true, 0).isEmpty());
    EXPECT_TRUE(RequestBuilder::LiveStart(-1, 1, 1, false, true, 0).isEmpty());
    EXPECT_TRUE(RequestBuilder::LiveStop(16).isEmpty());
    EXPECT_TRUE(RequestBuilder::FrameRequest(0, 1, 0, -1).isEmpty());
    EXPECT_TRUE(RequestBuilder::FrameRequest(0, 1, -1, 10).isEmpty());
    EXPECT_TRUE(RequestBuilder::FrameRequest(156, 1, 0, 10).isEmpty());
    EXPECT_TRUE(RequestBuilder::FrameListRequest(nullptr, 3).isEmpty());
    EXPECT_TRUE(RequestBuilder::TalkAudio("x", -1).isEmpty());
    EXPECT_TRUE(RequestBuilder::FileData(1, 0, "x", -1).isEmpty());
    EXPECT_TRUE(RequestBuilder::FileBegin(1, QByteArray(256, 'n'), 0).isEmpty());
}
