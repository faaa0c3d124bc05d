// Reply records fed straight into the dispatcher, from bytes laid out by hand after the record
// tables: model information, login, status, disk information, live video and audio, playback,
// lists and index, frame header/data, playback days, console data, media state and malformed
// messages. No socket: requests made on the way go nowhere.
#include "net/hubservices.h"
#include "net/nettypemirel.h"
#include "net/support/engine_testutil.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

#include <vector>

using namespace enginetest;

namespace {

// --- fixtures ----------------------------------------------------------------------------------

struct ModelFields
{
    quint8 code = 0x11;
    quint8 channels = 4;
    quint8 major = 3;
    quint8 minor = 29;
    quint32 features = 0;
    quint8 byte99 = 0;
    qint32 subModel = 0; // 28..31
    quint8 letter = 0;   // 26
    quint8 class72 = 0;
    quint8 code73 = 0;
};

// Model information 0x1D, 100 bytes (body offsets are message offsets - 12).
QByteArray ModelReply(const ModelFields& f)
{
    QByteArray b(88, '\0');
    Put8(b, 12 - 12, f.code);
    Put8(b, 14 - 12, f.channels);
    Put8(b, 15 - 12, 2);
    Put8(b, 16 - 12, 1);
    Put8(b, 17 - 12, 2);
    Put8(b, 18 - 12, 3);
    Put8(b, 26 - 12, f.letter);
    Put32(b, 28 - 12, quint32(f.subModel));
    Put8(b, 41 - 12, f.major);
    Put8(b, 42 - 12, f.minor);
    Put8(b, 43 - 12, 4);
    Put32(b, 44 - 12, f.features);
    Put8(b, 71 - 12, 4);
    Put8(b, 72 - 12, f.class72);
    Put8(b, 73 - 12, f.code73);
    const quint8 mac[6] = {0x00, 0x1C, 0x84, 0xAB, 0x0C, 0xFF};
    for (int i = 0; i < 6; ++i)
        Put8(b, 92 - 12 + i, mac[i]);
    Put8(b, 99 - 12, f.byte99);
    return Message(0x1D, b);
}

// Status 0x23 of `total` bytes (34 or 56 and more).
QByteArray StatusReply(quint16 event, quint16 motion, quint16 sensor, quint16 relay, quint16 present,
                       quint16 video, quint16 maskA, quint16 maskB, const QByteArray& disks = {}, int total = 56)
{
    QByteArray b(total - 12, '\0');
    Put16(b, 0, event);
    Put16(b, 2, motion);
    Put16(b, 4, sensor);
    Put16(b, 10, relay);
    Put16(b, 12, present);
    Put16(b, 14, video);
    Put16(b, 16, maskA);
    Put16(b, 20, maskB);
    for (int i = 0; i < disks.size() && 32 + i < b.size(); ++i)
        b[32 + i] = disks[i];
    return Message(0x23, b);
}

// One piece of a 0x29 frame message: 40-byte prefix, then the payload.
QByteArray FramePiece(int channel, int frameId, int type, int size, int offset, const QByteArray& payload,
                      bool playback = false, int sequence = 0, quint8 flags39 = 0, quint8 flags12 = 0)
{
    QByteArray b(28, '\0');
    Put8(b, 0, flags12);
    Put8(b, 1, quint8(frameId));
    Put8(b, 2, quint8(channel));
    Put8(b, 3, quint8(type));
    Put32(b, 4, quint32(size));
    Put32(b, 8, quint32(offset));
    Put32(b, 12, 0x0B0B0B0B); // value B (24)
    Put32(b, 16, 0x0A0A0A0A); // value A (28)
    Put32(b, 20, 0x0C0C0C0C); // value C (32)
    Put8(b, 24, playback ? 1 : 0);
    Put8(b, 25, 7); // playback value (37)
    Put8(b, 26, quint8(sequence));
    Put8(b, 27, flags39);
    return Message(0x29, b + payload);
}

QByteArray Pattern(int n, char seed)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char(seed + i * 7);
    return p;
}

void Feed(CNetTypeMirel& engine, QByteArray message)
{
    engine.OnRecvData(message.data(), message.size());
}

class Records : public ::testing::Test
{
protected:
    void Login(const ModelFields& f = ModelFields())
    {
        Feed(engine, ModelReply(f));
        Feed(engine, Hex("00 00 00 08 00 A1 74 01 00 0C 00 00")); // identity map
        // Every channel present and with video.
        Feed(engine, StatusReply(0, 0, 0, 0, 0xFFFF, 0xFFFF, 0, 0));
    }

    CNetTypeMirel engine{nullptr, false};
};

// --- model information -------------------------------------------------------------------------

struct ModelCase
{
    quint8 code;
    quint8 class72;
    quint8 code73;
    bool accepted;
    int modelClass;
    int modelCode;
};

class ModelClass : public ::testing::TestWithParam<ModelCase>
{};

TEST_P(ModelClass, DerivedFromTheCodeByte)
{
    const ModelCase& c = GetParam();
    CNetTypeMirel engine(nullptr, false);
    ModelFields f;
    f.code = c.code;
    f.class72 = c.class72;
    f.code73 = c.code73;
    Feed(engine, ModelReply(f));
    if (c.accepted) {
        EXPECT_EQ(engine.GetModelClass(), c.modelClass);
        EXPECT_EQ(engine.GetModelCode(), c.modelCode);
        EXPECT_EQ(engine.GetChannelCount(), 4);
    } else {
        // Refused: nothing of the model is kept (a connected engine disconnects).
        EXPECT_EQ(engine.GetModelClass(), -1);
        EXPECT_EQ(engine.GetModelCode(), -1);
        EXPECT_EQ(engine.GetChannelCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, ModelClass,
                         ::testing::Values(ModelCase{0x10, 0, 0, true, 1, 0}, ModelCase{0x11, 0, 0, true, 1, 1},
                                           ModelCase{0x1F, 0, 0, true, 1, 15}, ModelCase{0x20, 0, 0, false, 0, 0},
                                           ModelCase{0x3A, 0, 0, false, 0, 0}, ModelCase{0x5F, 0, 0, false, 0, 0},
                                           ModelCase{0x60, 0, 0, true, 6, 0}, ModelCase{0x6D, 0, 0, true, 6, 13},
                                           ModelCase{0x70, 0, 0, true, 7, 0}, ModelCase{0x7F, 0, 0, true, 7, 15},
                                           ModelCase{0x80, 0, 0, false, 0, 0}, ModelCase{0x9F, 0, 0, false, 0, 0},
                                           ModelCase{0xA0, 0, 0, true, 10, 0}, ModelCase{0xAF, 0, 0, true, 10, 15},
                                           ModelCase{0xB0, 0, 0, false, 0, 0}, ModelCase{0xFE, 0, 0, false, 0, 0},
                                           ModelCase{0xFF, 7, 16, true, 7, 16},
                                           ModelCase{0xFF, 2, 1, false, 0, 0}));

TEST_F(Records, ModelTextsCountsAndCapabilities)
{
    ModelFields f;
    f.channels = 20;
    f.major = 3;
    f.minor = 42;
    f.features = 1u << 20 | 1u << 16;
    Feed(engine, ModelReply(f));
    EXPECT_EQ(engine.GetChannelCount(), 16);
    EXPECT_EQ(engine.GetVersionText().toStdString(), "1.02.03.04");
    EXPECT_EQ(engine.GetMacText().toStdString(), "00:1C:84:AB:0C:FF");
    EXPECT_EQ(engine.GetRelayOutputCount(), 4);
    EXPECT_EQ(engine.GetFirmwareMajor(), 3);
    EXPECT_EQ(engine.GetFirmwareMinor(), 42);
    EXPECT_TRUE(engine.IsExtendedKeepAlive());
    EXPECT_TRUE(engine.IsDualStream());
    EXPECT_EQ(engine.GetSecondStream(), 1);
    EXPECT_TRUE(engine.IsDirectRate());
    EXPECT_TRUE(engine.IsEventListCapable());
    EXPECT_TRUE(engine.IsFeatureBit16());
    EXPECT_EQ(engine.GetStreamKind(), 1); // feature bit 20 on a plain model
}

struct FirmwareCase
{
    quint8 major, minor;
    bool extendedKeepAlive, dualStream, directRate;
};

class Firmware : public ::testing::TestWithParam<FirmwareCase>
{};

TEST_P(Firmware, CapabilitiesByVersion)
{
    CNetTypeMirel engine(nullptr, false);
    ModelFields f;
    f.major = GetParam().major;
    f.minor = GetParam().minor;
    Feed(engine, ModelReply(f));
    EXPECT_EQ(engine.IsExtendedKeepAlive(), GetParam().extendedKeepAlive);
    EXPECT_EQ(engine.IsDualStream(), GetParam().dualStream);
    EXPECT_EQ(engine.IsDirectRate(), GetParam().directRate);
    EXPECT_FALSE(engine.IsEventListCapable()); // no feature bit 20
    engine.SetSecondStream(1);
    EXPECT_EQ(engine.GetSecondStream(), GetParam().dualStream ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, Firmware,
                         ::testing::Values(FirmwareCase{3, 29, false, false, false},
                                           FirmwareCase{3, 30, true, false, false},
                                           FirmwareCase{3, 31, true, true, false},
                                           FirmwareCase{3, 41, true, true, true},
                                           FirmwareCase{2, 99, false, false, false}));

struct TypeCase
{
    const char* name;
    quint8 code; // raw byte, class 1
    qint32 subModel;
    quint8 letter;
    quint32 features;
    quint8 byte99;
    int typeIndex;
    int streamKind;
    bool extendedAudio;
};

class ModelType : public ::testing::TestWithParam<TypeCase>
{};

TEST_P(ModelType, TypeIndexStreamKindAndAudio)
{
    const TypeCase& c = GetParam();
    CNetTypeMirel engine(nullptr, false);
    ModelFields f;
    f.code = c.code;
    f.subModel = c.subModel;
    f.letter = c.letter;
    f.features = c.features;
    f.byte99 = c.byte99;
    Feed(engine, ModelReply(f));
    EXPECT_EQ(engine.GetModelTypeIndex(), c.typeIndex) << c.name;
    EXPECT_EQ(engine.GetStreamKind(), c.streamKind) << c.name;
    EXPECT_EQ(engine.IsExtendedAudio(), c.extendedAudio) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Codes, ModelType,
                         ::testing::Values(TypeCase{"code 6", 0x16, 0, 0, 0, 0, 0, 0, true},
                                           TypeCase{"code 7", 0x17, 0, 0, 0, 0, 1, 0, true},
                                           TypeCase{"code 8 plain", 0x18, 999, 0, 0, 0, 5, 0, false},
                                           TypeCase{"code 8 sub 1641", 0x18, 1641, 0, 0, 0, 4, 0, false},
                                           TypeCase{"code 8 sub 822", 0x18, 822, 0, 0, 0, 2, 0, false},
                                           TypeCase{"code 8 bit 20 and 7", 0x18, 0, 0, 1u << 20 | 0x80, 0, 5, 3,
                                                    false},
                                           TypeCase{"code 9", 0x19, 0, 0, 0, 0, 1, 0, false},
                                           TypeCase{"code 11 space", 0x1B, 0, ' ', 0, 0, 2, 0, true},
                                           TypeCase{"code 11 letter", 0x1B, 0, 'A', 0, 0, 1, 0, true},
                                           TypeCase{"code 13", 0x1D, 0, 0, 0, 0, 6, 1, false},
                                           TypeCase{"code 15", 0x1F, 0, 0, 0, 0, 6, 2, false},
                                           TypeCase{"code 1 byte 99", 0x11, 0, 0, 0, 3, 0, 0, true}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST_F(Records, Codes16And17SetTheSecondFlagUntilTheKindsSayOtherwise)
{
    ModelFields f;
    f.code = 0xFF; // class and code from bytes 72 and 73: class 6, code 16
    f.class72 = 6;
    f.code73 = 16;
    Feed(engine, ModelReply(f));
    EXPECT_EQ(engine.GetStreamKind(), 3);
    EXPECT_TRUE(engine.IsSecondFlag(0));
    EXPECT_TRUE(engine.IsSecondFlag(15));
    // Camera kinds: count 2, channel 0 kind 6 keeps its flag, channel 1 kind 1 loses it.
    Feed(engine, Hex("00 00 00 10 00 A1 99 00 00 14 00 00 02 00 00 00 06 01 00 00"));
    EXPECT_EQ(engine.GetCameraKind(0), 6);
    EXPECT_EQ(engine.GetCameraKind(1), 1);
    EXPECT_TRUE(engine.IsSecondFlag(0));
    EXPECT_FALSE(engine.IsSecondFlag(1));
    EXPECT_TRUE(engine.IsSecondFlag(2));
}

// --- login chain records -----------------------------------------------------------------------

TEST_F(Records, LoginReplyLevelOptionAndMasks)
{
    // flags 0x0C: option and level in byte 21 (= 3); masks 0x000F, 0x0003, 0xFFFF, 0x0000.
    Feed(engine, Hex("00 00 00 1C 00 A1 02 00 00 20 00 00  00 00 00 00 00 00 00 00"
                     "0C 03 0F 00 03 00 FF FF 00 00 00 00"));
    EXPECT_TRUE(engine.GetLoginDone());
    EXPECT_TRUE(engine.GetLoginOption());
    EXPECT_EQ(engine.GetLoginLevel(), 3);
    EXPECT_TRUE(engine.GetLoginMaskBit(0, 3));
    EXPECT_FALSE(engine.GetLoginMaskBit(0, 4));
    EXPECT_TRUE(engine.GetLoginMaskBit(1, 1));
    EXPECT_FALSE(engine.GetLoginMaskBit(1, 2));
    EXPECT_EQ(engine.GetLoginMask(2), -1);
    // Without flag bit 3 the flag byte itself is the (signed) level.
    Feed(engine, Hex("00 00 00 1C 00 A1 02 00 00 20 00 00  00 00 00 00 00 00 00 00"
                     "F2 03 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(engine.GetLoginLevel(), -14);
    EXPECT_FALSE(engine.GetLoginOption());
}

TEST_F(Records, PtzTextNoneLeavesTheBitClear)
{
    Feed(engine, ModelReply(ModelFields()));
    Feed(engine, Hex("00 00 00 0E 00 A1 07 00 00 12 00 00 00 04 4E 4F 4E 45"));          // ch 0 "NONE"
    Feed(engine, Hex("00 00 00 11 00 A1 07 00 00 15 00 00 02 07 50 45 4C 43 4F 2D 44")); // ch 2 "PELCO-D"
    // A negative length is taken as 0: an empty text, which is not "NONE".
    Feed(engine, Hex("00 00 00 0E 00 A1 07 00 00 12 00 00 03 FF 4E 4F 4E 45"));
    EXPECT_FALSE(engine.IsPtzChannel(0));
    EXPECT_FALSE(engine.IsPtzChannel(1));
    EXPECT_TRUE(engine.IsPtzChannel(2));
    EXPECT_TRUE(engine.IsPtzChannel(3));
}

TEST_F(Records, CameraTitlesAndMap)
{
    ModelFields f;
    f.channels = 2;
    Feed(engine, ModelReply(f));
    // Two 16-byte records; the second fills all 16 bytes, of which only 15 count.
    Feed(engine, Hex("00 00 00 28 00 A1 2F 00 00 2C 00 00"
                     "44 6F 6F 72 00 00 00 00 00 00 00 00 00 00 00 00"
                     "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50"));
    EXPECT_EQ(engine.GetCameraTitle(0).toStdString(), "Door");
    EXPECT_EQ(engine.GetCameraTitle(1).toStdString(), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(engine.GetCameraTitle(99).toStdString(), "");
    // Map status 0: entries from byte 12; status 1: identity.
    Feed(engine, Hex("00 00 00 18 00 A1 74 00 00 1C 00 00 01 00 FF 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
    EXPECT_EQ(engine.GetCameraMap(0), 1);
    EXPECT_EQ(engine.GetCameraMap(1), 0);
    EXPECT_EQ(engine.GetCameraMap(2), -1);
    Feed(engine, Hex("00 00 00 18 00 A1 74 05 00 1C 00 00 01 00 FF 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(engine.GetCameraMap(n), n);
}

TEST_F(Records, ExtendedStatusAndRecorderValues)
{
    Feed(engine, Hex("00 00 00 1C 00 A1 AF 00 00 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                     "05 FE 00 00 34 12 00 00"));
    EXPECT_EQ(engine.GetExtendedStatus(0), 5);
    EXPECT_EQ(engine.GetExtendedStatus(1), -2);
    EXPECT_EQ(engine.GetExtendedStatus(2), 0x1234);
    Feed(engine, Hex("00 00 00 1C 00 A1 BD 00 00 20 00 00 01 02 03 04 10 11 12 13 14 15 16 17"
                     "18 19 1A 1B 1C 1D 1E 1F"));
    EXPECT_EQ(engine.GetRecorderValues(), Hex("01 02 03 04 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F"));
}

// --- status ------------------------------------------------------------------------------------

TEST_F(Records, StatusFlagsDiskCodesAndStates)
{
    Feed(engine, ModelReply(ModelFields()));
    Feed(engine, Hex("00 00 00 08 00 A1 74 01 00 0C 00 00"));
    QSignalSpy states(&engine, &CNetTypeMirel::OnNetState);
    // motion ch0, sensor ch1, relay 2, present 0,1,3, video ch0 only, A ch1, B ch3, disks 1 2 3 0.
    Feed(engine, StatusReply(0, 0x0001, 0x0002, 0x0004, 0x000B, 0x0001, 0x0002, 0x0008,
                             Hex("01 02 03 00 00 00 00 00 00 00")));
    ASSERT_EQ(states.count(), 1);
    EXPECT_EQ(states.at(0).at(0).toInt(), 2);
    EXPECT_EQ(engine.GetNetState(), 2);
    EXPECT_TRUE(engine.IsMotion(0));
    EXPECT_FALSE(engine.IsMotion(1));
    EXPECT_TRUE(engine.IsSensor(1));
    EXPECT_TRUE(engine.IsRelayOn(2));
    EXPECT_FALSE(engine.IsRelayOn(0));
    EXPECT_TRUE(engine.IsPresent(0));
    EXPECT_FALSE(engine.IsPresent(2));
    EXPECT_FALSE(engine.IsVideoLoss(0));
    EXPECT_TRUE(engine.IsVideoLoss(1));
    EXPECT_FALSE(engine.IsVideoLoss(2)); // absent: every flag cleared
    EXPECT_TRUE(engine.IsMaskA(1));
    EXPECT_TRUE(engine.IsMaskB(3));
    EXPECT_TRUE(engine.IsChannelActive(3));
    EXPECT_FALSE(engine.IsChannelActive(1));
    EXPECT_EQ(engine.GetStorageState(0), 3);
    EXPECT_EQ(engine.GetStorageState(1), 1);
    EXPECT_EQ(engine.GetStorageState(2), 2);
    EXPECT_EQ(engine.GetStorageState(3), 0);

    // A later status: event word set, so motion and sensor stay; the state is signalled as 3.
    Feed(engine, StatusReply(1, 0, 0, 0, 0x000F, 0x000F, 0, 0, Hex("00 00 00 00"), 34));
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states.at(1).at(0).toInt(), 3);
    EXPECT_EQ(engine.GetNetState(), 2);
    EXPECT_TRUE(engine.IsMotion(0));
    EXPECT_TRUE(engine.IsSensor(1));
    EXPECT_FALSE(engine.IsVideoLoss(1));
    EXPECT_EQ(engine.GetStorageState(0), 3); // a 34-byte status carries no disk codes
    EXPECT_EQ(engine.KeepAliveInterval(), 10000);
}

TEST_F(Records, ShortFirstStatusStillLogsIn)
{
    Feed(engine, ModelReply(ModelFields()));
    Feed(engine, StatusReply(0, 0, 0, 0, 0x0003, 0x0003, 0, 0, Hex("01 01 01 01"), 34));
    EXPECT_EQ(engine.GetNetState(), 2);
    EXPECT_TRUE(engine.IsPresent(1));
    EXPECT_EQ(engine.GetStorageState(0), 0);
}

TEST_F(Records, AbsentChannelLosesItsLiveRequest)
{
    Login();
    std::vector<char> buffer(CNetTypeMirel::kLiveFrameBufferSize);
    engine.SendLiveStart(1, 30, 1, buffer.data(), false);
    EXPECT_TRUE(engine.IsLiveRequested(1));
    Feed(engine, StatusReply(0, 0, 0, 0, 0x0001, 0x0001, 0, 0));
    EXPECT_FALSE(engine.IsLiveRequested(1));
    // A live start for an absent channel does nothing.
    engine.SendLiveStart(1, 30, 1, buffer.data(), false);
    EXPECT_FALSE(engine.IsLiveRequested(1));
}

// --- disk information --------------------------------------------------------------------------

QByteArray DiskReply(quint32 capacity, quint32 used, int disks, quint8 mode = 0, quint8 limit = 0,
                     quint8 arrayType = 0, quint8 arrayState = 0,
                     const std::vector<std::pair<quint16, quint8>>& records = {})
{
    QByteArray b(16 + 12 * disks, '\0'); // message of 28 + 12 n bytes
    Put32(b, 0, capacity);
    Put32(b, 4, used);
    Put8(b, 8, mode);
    Put8(b, 9, limit);
    Put8(b, 11, arrayType);
    Put8(b, 12, arrayState);
    for (int i = 0; i < disks; ++i) {
        const auto r = i < int(records.size()) ? records[size_t(i)] : std::make_pair(quint16(1), quint8(0));
        Put16(b, 16 + 12 * i, r.first);
        Put8(b, 16 + 12 * i + 8, r.second);
    }
    return Message(0x52, b);
}

struct DiskCase
{
    quint32 capacity, used;
    const char* text;
};

class DiskText : public ::testing::TestWithParam<DiskCase>
{};

TEST_P(DiskText, CapacityAndPercentage)
{
    CNetTypeMirel engine(nullptr, false);
    QSignalSpy states(&engine, &CNetTypeMirel::OnNetState);
    Feed(engine, DiskReply(GetParam().capacity, GetParam().used, 1));
    EXPECT_EQ(engine.GetDiskText().toStdString(), GetParam().text);
    ASSERT_EQ(states.count(), 1);
    EXPECT_EQ(states.at(0).at(0).toInt(), 3);
}

INSTANTIATE_TEST_SUITE_P(Texts, DiskText,
                         ::testing::Values(DiskCase{2000, 500, "500.00 GB (25%)"}, DiskCase{3, 1, "1.00 GB (33%)"},
                                           DiskCase{3, 2, "2.00 GB (67%)"}, DiskCase{2000, 1500, "1.50 TB (75%)"},
                                           DiskCase{4000, 1000, "1.00 TB (25%)"},
                                           DiskCase{2000, 2000, "2.00 TB (100%)"},
                                           DiskCase{1000, 1200, "1.20 TB (100%)"},
                                           DiskCase{2000, 0, "0.00 GB (0%)"}, DiskCase{0, 999, "999.00 GB (0%)"},
                                           // far more used than capacity: the share is not
                                           // converted to an integer before it is capped
                                           DiskCase{4, 0x7E000000u, "2113929.22 TB (100%)"},
                                           DiskCase{1, 0xFFFFFFFFu, "4294967.29 TB (100%)"}));

TEST(DiskInfo, TwentySevenBytesIsARecognitionError)
{
    CNetTypeMirel engine(nullptr, false);
    Feed(engine, Hex("00 00 00 17 00 A1 52 00 00 1B 00 00 D0 07 00 00 F4 01 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(engine.GetDiskText().toStdString(), "HDD recognition error");
    Feed(engine, Hex("00 00 00 08 00 A1 47 00 00 0C 00 00"));
    EXPECT_EQ(engine.GetDiskText().toStdString(), "Unknown");
}

TEST(DiskInfo, DiskStatesFromRecordsAndLimit)
{
    CNetTypeMirel engine(nullptr, false);
    Feed(engine, DiskReply(100, 10, 4, 0, 0, 0, 0, {{1, 0}, {1, 1}, {0, 0}, {1, 2}}));
    EXPECT_EQ(engine.GetStorageState(0), 2);
    EXPECT_EQ(engine.GetStorageState(1), 1);
    EXPECT_EQ(engine.GetStorageState(2), 0);
    EXPECT_EQ(engine.GetStorageState(3), 3);
    EXPECT_EQ(engine.GetStorageState(4), 0);
    // Byte 21 limits the count to 1.
    Feed(engine, DiskReply(100, 10, 4, 0, 1, 0, 0, {{1, 0}, {1, 1}, {0, 0}, {1, 2}}));
    EXPECT_EQ(engine.GetStorageState(0), 2);
    EXPECT_EQ(engine.GetStorageState(1), 0);
}

TEST(DiskInfo, ArrayModeKeepsTheTypeAndIgnoresLaterStatusCodes)
{
    CNetTypeMirel engine(nullptr, false);
    Feed(engine, DiskReply(100, 10, 2, 0x7F, 0, 1, 4));
    EXPECT_TRUE(engine.GetDiskInfoFlag());
    EXPECT_EQ(engine.GetArrayType(), 1);
    EXPECT_EQ(engine.GetStorageState(0), 2);
    EXPECT_EQ(engine.GetStorageState(1), 0);
    Feed(engine, DiskReply(100, 10, 2, 0x7F, 0, 5, 1));
    EXPECT_EQ(engine.GetStorageState(0), 1);
    Feed(engine, DiskReply(100, 10, 2, 0x7F, 0, 0, 9));
    EXPECT_EQ(engine.GetStorageState(0), 3);
    // With the flag set a status reply leaves the disk states alone.
    Feed(engine, ModelReply(ModelFields()));
    Feed(engine, StatusReply(0, 0, 0, 0, 1, 1, 0, 0, Hex("01 01 01")));
    EXPECT_EQ(engine.GetStorageState(0), 3);
}

// --- live video --------------------------------------------------------------------------------

class LiveVideo : public Records
{
protected:
    void SetUp() override
    {
        Login();
        QObject::connect(
            &engine, &CNetTypeMirel::OnNetLiveVideo,
            [this](int ch, int size, int streamKind, int a, int b, int type, bool decodeOnly, int c, int seq) {
                frames.push_back(
                    {ch, size, streamKind, a, b, type, decodeOnly, c, seq, QByteArray(buffer.data(), size)});
            });
        for (int ch = 0; ch < 4; ++ch)
            engine.SendLiveStart(ch, 30, 1, buffer.data(), false);
    }

    struct Frame
    {
        int ch, size, streamKind, a, b, type;
        bool decodeOnly;
        int c, seq;
        QByteArray data;
    };
    // One caller buffer for every channel, as the session hands in.
    std::vector<char> buffer = std::vector<char>(CNetTypeMirel::kLiveFrameBufferSize);
    std::vector<Frame> frames;
};

TEST_F(LiveVideo, SplitKeyFrameIsEmittedOnceWhole)
{
    const QByteArray payload = Pattern(3000, 1);
    const qint64 before = engine.GetRecvBytes();
    Feed(engine, FramePiece(0, 5, 1, 3000, 0, payload.left(1000)));
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(engine.GetRecvBytes(), before); // an unfinished frame counts nothing
    Feed(engine, FramePiece(0, 5, 1, 3000, 1000, payload.mid(1000)));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].ch, 0);
    EXPECT_EQ(frames[0].size, 3000);
    EXPECT_EQ(frames[0].type, 1);
    EXPECT_EQ(frames[0].a, 0x0A0A0A0A);
    EXPECT_EQ(frames[0].b, 0x0B0B0B0B);
    EXPECT_EQ(frames[0].c, 0x0C0C0C0C);
    EXPECT_EQ(frames[0].data, payload);
    EXPECT_EQ(engine.GetRecvBytes(), before + 3000);
}

TEST_F(LiveVideo, TwoChannelsInterleavedKeepTheirOwnFrames)
{
    const QByteArray a = Pattern(2000, 3);
    const QByteArray b = Pattern(1600, 90);
    Feed(engine, FramePiece(0, 1, 1, 2000, 0, a.left(700)));
    Feed(engine, FramePiece(1, 1, 1, 1600, 0, b.left(900)));
    Feed(engine, FramePiece(0, 1, 1, 2000, 700, a.mid(700)));
    Feed(engine, FramePiece(1, 1, 1, 1600, 900, b.mid(900)));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].ch, 0);
    EXPECT_EQ(frames[0].data, a);
    EXPECT_EQ(frames[1].ch, 1);
    EXPECT_EQ(frames[1].data, b);
}

TEST_F(LiveVideo, BadOffsetResetsAndTheNextKeyFrameStartsCleanly)
{
    const QByteArray payload = Pattern(1200, 5);
    Feed(engine, FramePiece(0, 1, 1, 1200, 0, payload.left(600)));
    Feed(engine, FramePiece(0, 1, 1, 1200, 700, payload.mid(600, 500))); // gap
    Feed(engine, FramePiece(0, 1, 1, 1200, 600, payload.mid(600)));      // too late: reset
    EXPECT_TRUE(frames.empty());
    Feed(engine, FramePiece(0, 2, 1, 1200, 0, payload));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, payload);
}

TEST_F(LiveVideo, MalformedPiecesAreDropped)
{
    Feed(engine, FramePiece(0, 1, 1, 100, 0, Pattern(200, 1))); // piece beyond the frame
    Feed(engine, FramePiece(0, 1, 1, -5, 0, Pattern(10, 1)));   // negative size
    Feed(engine, FramePiece(7, 1, 1, 10, 0, Pattern(10, 1)));   // channel above the count
    Feed(engine, FramePiece(-1, 1, 1, 10, 0, Pattern(10, 1)));  // negative channel
    EXPECT_TRUE(frames.empty());
}

TEST_F(LiveVideo, FrameLargerThanTheBufferIsNeverEmitted)
{
    const int size = CNetTypeMirel::kLiveFrameBufferSize + 40000;
    const int piece = 40000;
    for (int offset = 0; offset < size; offset += piece)
        Feed(engine, FramePiece(2, 1, 1, size, offset, Pattern(std::min(piece, size - offset), 9)));
    EXPECT_TRUE(frames.empty());
    // The channel goes on with the next frame.
    Feed(engine, FramePiece(2, 2, 1, 10, 0, Pattern(10, 4)));
    EXPECT_EQ(frames.size(), 1u);
}

TEST_F(LiveVideo, FrameIdRulesForOtherFrames)
{
    Feed(engine, FramePiece(0, 9, 1, 10, 0, Pattern(10, 1)));
    Feed(engine, FramePiece(0, 9, 0, 10, 0, Pattern(10, 2))); // same group
    Feed(engine, FramePiece(0, 8, 0, 10, 0, Pattern(10, 3))); // other group: dropped
    Feed(engine, FramePiece(0, 9, 0, 10, 0, Pattern(10, 4))); // group lost until the next key
    Feed(engine, FramePiece(0, 9, 2, 10, 0, Pattern(10, 5))); // unknown type
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].type, 0);
    Feed(engine, FramePiece(0, 3, 1, 10, 0, Pattern(10, 6)));
    EXPECT_EQ(frames.size(), 3u);
}

TEST_F(LiveVideo, NotRequestedOrStoppedChannelsEmitNothing)
{
    engine.SendLiveStop(0);
    Feed(engine, FramePiece(0, 1, 1, 10, 0, Pattern(10, 1)));
    EXPECT_TRUE(frames.empty());
    // Restarted: the first complete frame is emitted again.
    engine.SendLiveStart(0, 30, 1, buffer.data(), false);
    Feed(engine, FramePiece(0, 1, 1, 10, 0, Pattern(10, 1), false, 0, 0x01));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].decodeOnly);
}

TEST_F(LiveVideo, CameraTitlesResetTheFirstFrameState)
{
    // After the title reply every channel waits for a new live start.
    Feed(engine, Message(0x2F, QByteArray(64, '\0')));
    EXPECT_FALSE(engine.IsLiveRequested(0));
    Feed(engine, FramePiece(0, 1, 1, 10, 0, Pattern(10, 1)));
    EXPECT_TRUE(frames.empty());
}

TEST(LiveVideoSequence, StreamKindsTwoAndThreeCheckTheSequence)
{
    CNetTypeMirel engine(nullptr, false);
    ModelFields f;
    f.code = 0x1F; // code 15: stream kind 2
    Feed(engine, ModelReply(f));
    Feed(engine, StatusReply(0, 0, 0, 0, 0xFFFF, 0xFFFF, 0, 0));
    std::vector<char> buffer(CNetTypeMirel::kLiveFrameBufferSize);
    std::vector<int> sequences;
    QObject::connect(&engine, &CNetTypeMirel::OnNetLiveVideo,
                     [&](int, int, int streamKind, int, int, int, bool, int, int seq) {
                         EXPECT_EQ(streamKind, 2);
                         sequences.push_back(seq);
                     });
    engine.SendLiveStart(0, 30, 1, buffer.data(), false);
    Feed(engine, FramePiece(0, 1, 1, 4, 0, Pattern(4, 1), false, 5));
    Feed(engine, FramePiece(0, 1, 0, 4, 0, Pattern(4, 1), false, 6));
    Feed(engine, FramePiece(0, 1, 0, 4, 0, Pattern(4, 1), false, 8)); // gap: dropped, group lost
    Feed(engine, FramePiece(0, 1, 0, 4, 0, Pattern(4, 1), false, 9));
    Feed(engine, FramePiece(0, 2, 1, 4, 0, Pattern(4, 1), false, 0));
    Feed(engine, FramePiece(0, 2, 0, 4, 0, Pattern(4, 1), false, 0)); // 0 restarts the count
    Feed(engine, FramePiece(0, 2, 0, 4, 0, Pattern(4, 1), false, 1));
    EXPECT_EQ(sequences, (std::vector<int>{5, 6, 0, 0, 1}));
}

// --- live audio --------------------------------------------------------------------------------

struct AudioEvent
{
    int entry, length, codec, a, b, c;
    QByteArray data;
};

class LiveAudio : public Records
{
protected:
    void Start(const ModelFields& f = ModelFields())
    {
        Login(f);
        QObject::connect(&engine, &CNetTypeMirel::OnNetLiveAudio,
                         [this](int entry, int length, int codec, int a, int b, int c) {
                             events.push_back({entry, length, codec, a, b, c, QByteArray(audio.data(), length)});
                         });
        engine.SendLiveAudioStart(1, audio.data());
    }
    // An audio 0x29 message: flags 0x50 at 12, channel at 14, frame size at 16, then `tail` from 40.
    static QByteArray AudioMessage(int channel, int frameSize, const QByteArray& tail)
    {
        return FramePiece(channel, 0, 0, frameSize, 0, tail, false, 0, 0, 0x50);
    }

    std::vector<char> audio = std::vector<char>(CNetTypeMirel::kLiveAudioBufferSize);
    std::vector<AudioEvent> events;
};

TEST_F(LiveAudio, TaggedMuLaw)
{
    Start();
    // 40: 00 01 A0 00; 44: tag 'ulaw' as a four-character constant (bytes 77 61 6C 75);
    // payload frame size - 24 = 8 bytes from 64.
    const QByteArray tail = Hex("00 01 A0 00 77 61 6C 75") + QByteArray(16, '\0') + Hex("01 02 03 04 05 06 07 08");
    Feed(engine, AudioMessage(1, 32, tail));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].entry, 1);
    EXPECT_EQ(events[0].length, 8);
    EXPECT_EQ(events[0].codec, 1);
    EXPECT_EQ(events[0].a, 0x0A0A0A0A);
    EXPECT_EQ(events[0].b, 0x0B0B0B0B);
    EXPECT_EQ(events[0].c, 0x0C0C0C0C);
    EXPECT_EQ(events[0].data, Hex("01 02 03 04 05 06 07 08")); // model type 0: no swap
}

TEST_F(LiveAudio, TaggedLinearIsSwappedForModelType1)
{
    ModelFields f;
    f.code = 0x19; // code 9: model type 1
    Start(f);
    const QByteArray tail = Hex("00 01 A0 00 6D 63 70 6C") + QByteArray(16, '\0') + Hex("01 02 03 04 05 06 07 08");
    Feed(engine, AudioMessage(1, 32, tail));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].codec, 0);
    EXPECT_EQ(events[0].data, Hex("04 03 02 01 08 07 06 05"));
}

TEST_F(LiveAudio, UntaggedForms)
{
    Start();
    // 344: 320 bytes from 64, codec 2.
    Feed(engine, AudioMessage(1, 344, QByteArray(24, '\0') + Pattern(320, 1)));
    // Above 1024: 1024 bytes from 68, codec 1 without extended audio.
    Feed(engine, AudioMessage(1, 1100, QByteArray(28, '\0') + Pattern(1024, 2)));
    // Otherwise: 512 bytes from 56, codec 0.
    Feed(engine, AudioMessage(1, 600, QByteArray(16, '\0') + Pattern(512, 3)));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].codec, 2);
    EXPECT_EQ(events[0].data, Pattern(320, 1));
    EXPECT_EQ(events[1].codec, 1);
    EXPECT_EQ(events[1].data, Pattern(1024, 2));
    EXPECT_EQ(events[2].codec, 0);
    EXPECT_EQ(events[2].data, Pattern(512, 3));
}

TEST_F(LiveAudio, ExtendedAudioMakesLongBlocksLinear)
{
    ModelFields f;
    f.byte99 = 3;
    Start(f);
    Feed(engine, AudioMessage(1, 1100, QByteArray(28, '\0') + Pattern(1024, 2)));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].codec, 0);
}

TEST_F(LiveAudio, BadBlocksAreDropped)
{
    Start();
    Feed(engine, AudioMessage(2, 600, QByteArray(16, '\0') + Pattern(512, 3)));               // other channel
    Feed(engine, AudioMessage(1, 600, QByteArray(16, '\0') + Pattern(100, 3)));               // message too short
    Feed(engine, AudioMessage(1, 32, Hex("00 01 A0 00 78 78 78 78") + QByteArray(24, '\0'))); // unknown tag
    // Tagged block larger than the 2,000-byte audio buffer.
    Feed(engine, AudioMessage(1, 2100, Hex("00 01 A0 00 77 61 6C 75") + QByteArray(2100, '\0')));
    EXPECT_TRUE(events.empty());
    engine.SendLiveAudioStop();
    EXPECT_EQ(engine.GetCurrentAudioChannel(), -1);
    Feed(engine, AudioMessage(1, 600, QByteArray(16, '\0') + Pattern(512, 3)));
    EXPECT_TRUE(events.empty());
}

// --- playback ----------------------------------------------------------------------------------

TEST_F(Records, PlaybackFramesAudioAndEndMarker)
{
    Login();
    std::vector<char> buffer(CNetTypeMirel::kPlaybackBufferSize);
    struct Video
    {
        int ch, size, pv;
        bool decodeOnly;
        char type, seq;
        QByteArray data;
    };
    std::vector<Video> videos;
    std::vector<int> audios;
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackVideo,
                     [&](int ch, int size, int, int a, int b, int pv, bool decodeOnly, char type, char seq) {
                         EXPECT_EQ(a, 0x0A0A0A0A);
                         EXPECT_EQ(b, 0x0B0B0B0B);
                         videos.push_back({ch, size, pv, decodeOnly, type, seq,
                                           size == 4 ? QByteArray() : QByteArray(buffer.data(), size)});
                     });
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackAudio,
                     [&](int size, int, int, int, int) { audios.push_back(size); });
    engine.SendPlaybackCtrlExt(1, 2, 3, 4, 5, 6, 7, 8, 9, buffer.data(), 0);

    const QByteArray payload = Pattern(5000, 2);
    Feed(engine, FramePiece(2, 4, 1, 5000, 0, payload.left(2500), true, 3));
    Feed(engine, FramePiece(2, 4, 1, 5000, 2500, payload.mid(2500), true, 3));
    Feed(engine, FramePiece(2, 4, 0, 10, 0, Pattern(10, 1), true, 4, 0x01));
    Feed(engine, FramePiece(2, 5, 0, 10, 0, Pattern(10, 1), true, 5)); // other group: dropped
    Feed(engine, FramePiece(4, 0, 0, 64, 0, Pattern(64, 1), true));    // channel = count: audio
    Feed(engine, FramePiece(5, 0, 1, 64, 0, Pattern(64, 1), true));    // beyond: dropped
    Feed(engine, FramePiece(1, 0, 0, 4, 0, QByteArray(), true));       // end marker
    ASSERT_EQ(videos.size(), 3u);
    EXPECT_EQ(videos[0].ch, 2);
    EXPECT_EQ(videos[0].size, 5000);
    EXPECT_EQ(videos[0].pv, 7);
    EXPECT_EQ(videos[0].type, 1);
    EXPECT_EQ(videos[0].seq, 3);
    EXPECT_EQ(videos[0].data, payload);
    EXPECT_TRUE(videos[1].decodeOnly);
    EXPECT_EQ(videos[2].ch, 1);
    EXPECT_EQ(videos[2].size, 4);
    EXPECT_FALSE(videos[2].decodeOnly);
    EXPECT_EQ(videos[2].type, 0);
    EXPECT_EQ(audios, std::vector<int>{64});
}

// --- lists and index ---------------------------------------------------------------------------

QByteArray ListPiece(quint8 command, int channel, quint8 kind, int size, int offset, const QByteArray& data,
                     quint8 status = 0, quint8 sub = 0)
{
    QByteArray b(16, '\0');
    Put32(b, 0, quint32(channel));
    Put8(b, 4, kind);
    Put32(b, 8, quint32(size));
    Put32(b, 12, quint32(offset));
    return Message(command, b + data, status, sub);
}

struct ListCase
{
    const char* name;
    quint8 kind;
    int which; // 0 time, 1 event, 2 audio
};

class Lists : public ::testing::TestWithParam<ListCase>
{};

TEST_P(Lists, PiecesEmptyRepliesAndErrors)
{
    CNetTypeMirel engine(nullptr, false);
    std::vector<std::pair<int, int>> results[3];
    QObject::connect(&engine, &CNetTypeMirel::OnNetTimeRecList, [&](int i, int s) {
        results[0].push_back({i, s});
    });
    QObject::connect(&engine, &CNetTypeMirel::OnNetEventRecList, [&](int i, int s) {
        results[1].push_back({i, s});
    });
    QObject::connect(&engine, &CNetTypeMirel::OnNetAudioRecList, [&](int i, int s) {
        results[2].push_back({i, s});
    });
    auto& mine = results[GetParam().which];

    // Without a list buffer nothing is signalled.
    Feed(engine, ListPiece(0x21, 3, GetParam().kind, 4, 0, Pattern(4, 1)));
    EXPECT_TRUE(mine.empty());

    std::vector<char> list(CNetTypeMirel::kListBufferSize);
    engine.SendTimeRecList(20261209, 3, list.data());
    const QByteArray data = Pattern(3000, 8);
    Feed(engine, ListPiece(0x21, 3, GetParam().kind, 3000, 0, data.left(1000)));
    EXPECT_TRUE(mine.empty());
    Feed(engine, ListPiece(0x21, 3, GetParam().kind, 3000, 1000, data.mid(1000)));
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0], std::make_pair(3, 3000));
    EXPECT_EQ(QByteArray(list.data(), 3000), data);

    Feed(engine, ListPiece(0x20, 4, GetParam().kind, 0, 0, {}));                 // no data
    Feed(engine, ListPiece(0x21, 5, GetParam().kind, 10, 0, Pattern(10, 1), 2)); // error status
    Feed(engine, ListPiece(0x21, 6, GetParam().kind, 10, 5, Pattern(10, 1)));    // beyond the size
    Feed(engine, ListPiece(0x21, 6, GetParam().kind, 10, -4, Pattern(4, 1)));    // negative offset
    ASSERT_EQ(mine.size(), 3u);
    EXPECT_EQ(mine[1], std::make_pair(4, 0));
    EXPECT_EQ(mine[2], std::make_pair(5, 0));

    // A list larger than the list buffer is never reported as received.
    const int big = CNetTypeMirel::kListBufferSize + 100;
    Feed(engine, ListPiece(0x21, 7, GetParam().kind, big, big - 100, Pattern(100, 1)));
    ASSERT_EQ(mine.size(), 4u);
    EXPECT_EQ(mine[3], std::make_pair(7, 0));

    // A failed piece for the lowest channel number: its debug line must not overflow (the
    // sanitized build aborts on that), and the list is reported empty.
    Feed(engine, ListPiece(0x21, std::numeric_limits<int>::min(), GetParam().kind, 10, 0, Pattern(10, 1), 2));
    ASSERT_EQ(mine.size(), 5u);
    EXPECT_EQ(mine[4], std::make_pair(std::numeric_limits<int>::min(), 0));
    for (int i = 0; i < 3; ++i) {
        if (i != GetParam().which) {
            EXPECT_TRUE(results[i].empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Lists,
                         ::testing::Values(ListCase{"time", 0x15, 0}, ListCase{"event", 0x0B, 1},
                                           ListCase{"audio", 0x16, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Records, IndexAndIndexHeaderPerSlot)
{
    Login();
    std::vector<char> index(CNetTypeMirel::kIndexBufferSize);
    std::vector<std::vector<int>> indexes, headers;
    QObject::connect(&engine, &CNetTypeMirel::OnNetIntraIndex, [&](int ch, int slot, int size, int stream) {
        indexes.push_back({ch, slot, size, stream});
    });
    QObject::connect(&engine, &CNetTypeMirel::OnNetIntraHeader,
                     [&](int ch, int slot, int zero, int size, int stream) {
                         headers.push_back({ch, slot, zero, size, stream});
                     });
    engine.SendIntraIndexRequest(20261209, 2, 1, index.data(), 0, 0);
    // Sub-code 102: stream 1, slot 2. Channel 1: index piece.
    const QByteArray data = Pattern(400, 3);
    Feed(engine, ListPiece(0x21, 1, 0x12, 400, 0, data.left(200), 0, 102));
    Feed(engine, ListPiece(0x21, 1, 0x12, 400, 200, data.mid(200), 0, 102));
    ASSERT_EQ(indexes.size(), 1u);
    EXPECT_EQ(indexes[0], (std::vector<int>{1, 2, 400, 1}));
    EXPECT_EQ(QByteArray(index.data(), 400), data);
    // Longer than 512: reported as 512.
    Feed(engine, ListPiece(0x21, 1, 0x12, 700, 0, Pattern(700, 3), 0, 2));
    ASSERT_EQ(indexes.size(), 2u);
    EXPECT_EQ(indexes[1], (std::vector<int>{1, 2, 512, 0}));
    // Channel 11: header of channel 1; sub-code 222: stream 6 slot 2; sub-code 7 with four
    // channels: slot 7 - 5 = 2.
    Feed(engine, ListPiece(0x21, 11, 0x12, 900, 0, Pattern(900, 1), 0, 222));
    Feed(engine, ListPiece(0x21, 11, 0x12, 1000, 0, Pattern(1000, 1), 0, 7));
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0], (std::vector<int>{1, 2, 0, 900, 6}));
    EXPECT_EQ(headers[1], (std::vector<int>{1, 2, 0, 960, 0}));
    // Empty reply and error reply: size 0.
    Feed(engine, ListPiece(0x20, 11, 0x12, 0, 0, {}, 0, 202));
    Feed(engine, ListPiece(0x21, 1, 0x12, 10, 0, Pattern(10, 1), 1, 2));
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[2], (std::vector<int>{1, 2, 0, 0, 2}));
    ASSERT_EQ(indexes.size(), 3u);
    EXPECT_EQ(indexes[2], (std::vector<int>{1, 2, 0, 0}));
    // A slot whose buffer was never set, or outside the table, is dropped.
    Feed(engine, ListPiece(0x21, 1, 0x12, 10, 0, Pattern(10, 1), 0, 3));
    Feed(engine, ListPiece(0x21, 1, 0x12, 10, 0, Pattern(10, 1), 0, 99));
    EXPECT_EQ(indexes.size(), 3u);
}

TEST_F(Records, IndexOfTheSecondStreamWithoutDualStreamAnswersAtOnce)
{
    Login();
    std::vector<int> result;
    QObject::connect(&engine, &CNetTypeMirel::OnNetIntraIndex, [&](int ch, int slot, int size, int stream) {
        result = {ch, slot, size, stream};
    });
    std::vector<char> index(CNetTypeMirel::kIndexBufferSize);
    engine.SendIntraIndexRequest(20261209, 3, 2, index.data(), 6, 1);
    EXPECT_EQ(result, (std::vector<int>{2, 3, 0, 6}));
}

// --- frame header and data (0x67) --------------------------------------------------------------

QByteArray FrameReply(int code, int offset, int size, const QByteArray& data, quint8 status = 0, quint8 sub = 200)
{
    QByteArray b(24, '\0');
    Put32(b, 0, quint32(code));
    Put32(b, 16, quint32(offset));
    Put32(b, 20, quint32(size));
    return Message(0x67, b + data, status, sub);
}

TEST_F(Records, FrameHeaderAndDataPerSlot)
{
    Login();
    std::vector<char> header(CNetTypeMirel::kFrameHeaderBufferSize), data(CNetTypeMirel::kFrameDataBufferSize);
    std::vector<char> header2(CNetTypeMirel::kFrameHeaderBufferSize), data2(CNetTypeMirel::kFrameDataBufferSize);
    engine.SetFrameBuffers(1, header.data(), data.data(), header2.data(), data2.data());
    std::vector<std::vector<int>> headers, datas;
    QObject::connect(&engine, &CNetTypeMirel::OnNetFrameHeader, [&](int slot, int size, int sk, int kind) {
        headers.push_back({slot, size, sk, kind});
    });
    QObject::connect(&engine, &CNetTypeMirel::OnNetFrameData, [&](int slot, int size, int sk, int kind) {
        datas.push_back({slot, size, sk, kind});
    });

    const QByteArray h = Pattern(300, 1);
    Feed(engine, FrameReply(1, 0, 300, h.left(100)));
    Feed(engine, FrameReply(1, 100, 300, h.mid(100)));
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0], (std::vector<int>{1, 300, 0, 0}));
    EXPECT_EQ(QByteArray(header.data(), 300), h);

    // Header of kind 6 (6001): the piece goes to the second header buffer at once.
    Feed(engine, FrameReply(6001, 0, 80, Pattern(50, 4)));
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[1], (std::vector<int>{1, 50, 0, 6}));
    EXPECT_EQ(QByteArray(header2.data(), 50), Pattern(50, 4));

    // Data of kind 2 (2101) and kind 7 (8101, 7101).
    const QByteArray d = Pattern(5000, 6);
    Feed(engine, FrameReply(2101, 0, 5000, d.left(3000)));
    Feed(engine, FrameReply(2101, 3000, 5000, d.mid(3000)));
    Feed(engine, FrameReply(8101, 0, 20, Pattern(20, 1)));
    Feed(engine, FrameReply(7101, 0, 30, Pattern(30, 2)));
    ASSERT_EQ(datas.size(), 3u);
    EXPECT_EQ(datas[0], (std::vector<int>{1, 5000, 0, 2}));
    EXPECT_EQ(QByteArray(data.data(), 5000), d);
    EXPECT_EQ(datas[1], (std::vector<int>{1, 20, 0, 7}));
    EXPECT_EQ(datas[2], (std::vector<int>{1, 30, 0, 7}));
    EXPECT_EQ(QByteArray(data2.data(), 30), Pattern(30, 2));

    // Incomplete data (a piece at 0 missing) and an incomplete header: reported as 0 only.
    Feed(engine, FrameReply(101, 100, 200, Pattern(100, 1)));
    Feed(engine, FrameReply(1, 100, 200, Pattern(100, 1)));
    ASSERT_EQ(datas.size(), 4u);
    EXPECT_EQ(datas[3][1], 0);
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[2][1], 0);

    // Pieces that overlap or skip add up to the size without filling the frame: reported as 0,
    // and the next frame that starts at 0 is whole again.
    // Bytes 100..149 are never written here, yet 100 + 50 + 50 pieces end at the size 200.
    for (const int code : {101, 1}) {
        Feed(engine, FrameReply(code, 0, 200, Pattern(100, 1)));
        Feed(engine, FrameReply(code, 50, 200, Pattern(50, 2)));
        Feed(engine, FrameReply(code, 150, 200, Pattern(50, 3)));
    }
    ASSERT_EQ(datas.size(), 5u);
    EXPECT_EQ(datas[4][1], 0);
    ASSERT_EQ(headers.size(), 4u);
    EXPECT_EQ(headers[3][1], 0);
    Feed(engine, FrameReply(101, 0, 200, d.left(120)));
    Feed(engine, FrameReply(101, 120, 200, d.mid(120, 80)));
    ASSERT_EQ(datas.size(), 6u);
    EXPECT_EQ(datas[5], (std::vector<int>{1, 200, 0, 0}));
    EXPECT_EQ(QByteArray(data.data(), 200), d.left(200));

    // Size 0 header; error status with sub-code 200 or more; other sub-codes ignored.
    Feed(engine, FrameReply(1, 0, 0, {}));
    Feed(engine, FrameReply(101, 0, 0, {}, 3, 200));
    Feed(engine, FrameReply(101, 0, 0, {}, 3, 10));
    Feed(engine, FrameReply(101, 0, 10, Pattern(10, 1), 0, 100));
    ASSERT_EQ(headers.size(), 5u);
    EXPECT_EQ(headers[4], (std::vector<int>{1, 0, 0, 0}));
    ASSERT_EQ(datas.size(), 7u);
    EXPECT_EQ(datas[6], (std::vector<int>{1, 0, 0, 0}));

    // Slots beyond the channel count, pieces beyond the size, slots without buffers: dropped.
    Feed(engine, FrameReply(150, 0, 10, Pattern(10, 1)));
    Feed(engine, FrameReply(101, 5, 10, Pattern(10, 1)));
    Feed(engine, FrameReply(102, 0, 10, Pattern(10, 1)));
    Feed(engine, FrameReply(-3, 0, 10, Pattern(10, 1)));
    EXPECT_EQ(datas.size(), 7u);
    EXPECT_EQ(headers.size(), 5u);
}

// --- playback days, console data, media state, small replies ---------------------------------

TEST(PlaybackInfo, DaysPaddingAndCodes)
{
    CNetTypeMirel engine(nullptr, false);
    std::vector<int> args;
    std::vector<int> days;
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackDataInfo,
                     [&](int a, int b, int c, int d, int count, int* list) {
                         args = {a, b, c, d, count};
                         days.assign(list, list + CNetTypeMirel::kPlaybackInfoMaxDays);
                     });
    // Values 1..4 at 12..24, three days from 32.
    Feed(engine, Hex("00 00 00 28 00 A1 97 00 00 2C 00 00 01 00 00 00 02 00 00 00 03 00 00 00"
                     "04 00 00 00 00 00 00 00 59 29 35 01 5A 29 35 01 5B 29 35 01"));
    EXPECT_EQ(args, (std::vector<int>{1, 2, 3, 4, 3}));
    ASSERT_EQ(days.size(), 1825u);
    EXPECT_EQ(days[0], 20261209);
    EXPECT_EQ(days[2], 20261211);
    EXPECT_EQ(days[3], -1);
    EXPECT_EQ(days[1824], -1);
    Feed(engine, Hex("00 00 00 1C 00 A1 97 00 02 20 00 00 01 00 00 00 02 00 00 00 03 00 00 00"
                     "04 00 00 00 00 00 00 00"));
    EXPECT_EQ(args[4], -888);
    Feed(engine, Hex("00 00 00 1C 00 A1 97 00 01 20 00 00 01 00 00 00 02 00 00 00 03 00 00 00"
                     "04 00 00 00 00 00 00 00"));
    EXPECT_EQ(args[4], -999);
    // More days than five years hold: at most 1825 are taken.
    QByteArray body(20, '\0');
    for (int i = 0; i < 2000; ++i) {
        QByteArray v(4, '\0');
        Put32(v, 0, quint32(20000000 + i));
        body += v;
    }
    Feed(engine, Message(0x97, body));
    EXPECT_EQ(args[4], 1825);
    EXPECT_EQ(days[1824], 20000000 + 1824);
}

TEST(ConsoleData, PiecesUpToTheTotalSize)
{
    CNetTypeMirel engine(nullptr, false);
    std::vector<char> console(CNetTypeMirel::kConsoleBufferSize);
    std::vector<int> result;
    QObject::connect(
        &engine, &CNetTypeMirel::OnNetGuiData,
        [&](int size, int a, int b, int c, int d, int e, int f) { result = {size, a, b, c, d, e, f}; });
    auto piece = [](int whole, int offset, const QByteArray& data) {
        QByteArray b(28, '\0');
        Put32(b, 0, quint32(whole));
        Put32(b, 4, quint32(offset));
        Put16(b, 8, 640);
        Put16(b, 10, 480);
        Put16(b, 12, 3);
        Put16(b, 14, 4);
        Put16(b, 20, 5);
        Put16(b, 22, 6);
        return Message(0xA9, b + data);
    };
    Feed(engine, piece(100, 0, Pattern(100, 1))); // no buffer yet: dropped
    EXPECT_TRUE(result.empty());
    engine.SendConsoleDataRequest(0, console.data());
    const QByteArray data = Pattern(6000, 2);
    Feed(engine, piece(6000, 0, data.left(4000)));
    EXPECT_TRUE(result.empty());
    Feed(engine, piece(6000, 4000, data.mid(4000)));
    EXPECT_EQ(result, (std::vector<int>{6000, 640, 480, 3, 4, 5, 6}));
    EXPECT_EQ(QByteArray(console.data(), 6000), data);
    result.clear();
    // Beyond the console buffer, or beyond the announced size: dropped.
    Feed(engine, piece(CNetTypeMirel::kConsoleBufferSize + 10, CNetTypeMirel::kConsoleBufferSize, Pattern(10, 1)));
    Feed(engine, piece(100, 95, Pattern(10, 1)));
    EXPECT_TRUE(result.empty());
}

TEST(MediaState, SixteenBytesPassUnchangedOthersAreMapped)
{
    CNetTypeMirel engine(nullptr, false);
    std::vector<std::pair<int, int>> states;
    QObject::connect(&engine, &CNetTypeMirel::OnNetCDMedia, [&](short a, short b) { states.push_back({a, b}); });
    Feed(engine, Hex("00 00 00 0C 00 A1 36 00 00 10 00 00 00 00 05 00"));
    Feed(engine, Hex("00 00 00 10 00 A1 36 00 00 14 00 00 00 00 05 00 00 00 00 00"));
    Feed(engine, Hex("00 00 00 10 00 A1 36 00 00 14 00 00 01 00 05 00 00 00 00 00"));
    Feed(engine, Hex("00 00 00 10 00 A1 36 00 00 14 00 00 03 00 05 00 00 00 00 00"));
    EXPECT_EQ(states, (std::vector<std::pair<int, int>>{{0, 5}, {-1, 0}, {1, 0}, {32, 3}}));
}

TEST(SmallReplies, SignalsOfBurnEraseConsoleAndEvents)
{
    CNetTypeMirel engine(nullptr, false);
    QSignalSpy burn(&engine, &CNetTypeMirel::OnNetBurningResult);
    QSignalSpy erase(&engine, &CNetTypeMirel::OnNetEraseResult);
    QSignalSpy lock(&engine, &CNetTypeMirel::OnNetConsoleLockCanceled);
    QSignalSpy async(&engine, &CNetTypeMirel::OnNetAsyncEvent);
    int capaTotal = 0;
    quint16 capaMask = 0;
    QObject::connect(&engine, &CNetTypeMirel::OnNetBackupCapa, [&](_SEND_BACKUP_CAPA* capa) {
        capaTotal = capa->header.Total();
        capaMask = capa->channelMask;
    });
    Feed(engine, Hex("00 00 00 0C 00 A1 38 00 00 10 00 00 01 02 03 04"));
    Feed(engine, Hex("00 00 00 08 00 A1 65 07 00 0C 00 00"));
    Feed(engine, Hex("00 00 00 08 00 A1 A7 00 00 0C 00 00"));
    Feed(engine, Hex("00 00 00 08 00 A1 2D 00 00 0C 00 00"));
    Feed(engine, Hex("00 00 00 14 00 A1 4A 00 00 18 00 00 05 00 00 00 64 00 00 00 C8 00 00 00"));
    ASSERT_EQ(burn.count(), 1);
    EXPECT_EQ(burn.at(0).at(3).value<char>(), 4);
    ASSERT_EQ(erase.count(), 1);
    EXPECT_EQ(erase.at(0).at(0).value<char>(), 7);
    EXPECT_EQ(lock.count(), 1);
    EXPECT_EQ(async.count(), 1);
    EXPECT_EQ(capaTotal, 24);
    EXPECT_EQ(capaMask, 5);
}

class EngineFakeHub : public HubServices
{
public:
    EngineFakeHub()
        : m_previous(HubServices::Instance())
    {
        HubServices::Install(this);
    }
    ~EngineFakeHub() override { HubServices::Install(m_previous); }
    QString ProgramDirectory() const override { return QString(); }
    QString FirmwarePath() const override { return QString(); }
    void SetFirmwareState(int, int code) override { firmware.push_back(code); }
    void SetAccountManagerState(int, int) override {}
    void SetFirmwareProgress(int, qint64, qint64) override {}
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxes.push_back((title + "|" + text + "|" + option).toStdString());
    }
    bool TrustChangedCertificate(const QString&, const QString&, const QString&) override { return false; }
    std::vector<int> firmware;
    std::vector<std::string> boxes;

private:
    HubServices* m_previous;
};

TEST(HubReplies, NotSupportBoxAndUpgradeState)
{
    EngineFakeHub hub;
    CNetTypeMirel engine(nullptr, false);
    Feed(engine, Hex("00 00 00 08 00 A1 A8 00 00 0C 00 00"));
    EXPECT_EQ(hub.boxes, (std::vector<std::string>{"|Not Support|", "||stop"}));
    Feed(engine, Hex("00 00 00 08 00 A1 0F 00 00 0C 00 00"));
    EXPECT_EQ(hub.firmware, std::vector<int>{-999});
}

// --- byte accounting ---------------------------------------------------------------------------

TEST(ByteAccounting, ReceivedBytesByKindOfMessage)
{
    CNetTypeMirel engine(nullptr, false);
    Feed(engine, Hex("00 00 00 08 00 A1 2D 00 00 0C 00 00"));
    EXPECT_EQ(engine.GetRecvBytes(), 12);
    // A 0x29 that is neither live (byte 36 = 0) nor playback (1) counts nothing.
    QByteArray other = FramePiece(0, 1, 1, 4, 0, Pattern(4, 1));
    other[36] = 2;
    Feed(engine, other);
    EXPECT_EQ(engine.GetRecvBytes(), 12);
    // Live audio counts its whole message, taken or not; so does playback.
    Feed(engine, FramePiece(3, 0, 0, 600, 0, QByteArray(16, '\0') + Pattern(512, 3), false, 0, 0, 0x50));
    EXPECT_EQ(engine.GetRecvBytes(), 12 + 40 + 528);
    Feed(engine, FramePiece(0, 1, 1, 100, 0, Pattern(10, 1), true));
    EXPECT_EQ(engine.GetRecvBytes(), 12 + 40 + 528 + 50);
    // Live video of a channel not asked for counts nothing.
    Feed(engine, FramePiece(0, 1, 1, 10, 0, Pattern(10, 1)));
    EXPECT_EQ(engine.GetRecvBytes(), 12 + 40 + 528 + 50);
}

// --- malformed messages ------------------------------------------------------------------------

TEST(Malformed, EveryCommandWithShortBodiesIsHarmless)
{
    CNetTypeMirel engine(nullptr, false);
    int emitted = 0;
    QObject::connect(&engine, &CNetTypeMirel::OnNetLiveVideo, [&] { ++emitted; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackVideo, [&] { ++emitted; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetGuiData, [&] { ++emitted; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetFrameData, [&] { ++emitted; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetTimeRecList, [&] { ++emitted; });
    for (int command = 0; command < 256; ++command) {
        for (int bodyLength : {0, 1, 4, 9, 17, 23, 27, 35}) {
            QByteArray m = Message(quint8(command), QByteArray(bodyLength, '\xFF'));
            engine.OnRecvData(m.data(), m.size());
        }
    }
    // Lengths outside a message's own bytes never get through.
    QByteArray tiny = Hex("00 00 00 04 00 A1 23 00");
    engine.OnRecvData(tiny.data(), tiny.size());
    EXPECT_EQ(emitted, 0);
    EXPECT_EQ(engine.GetChannelCount(), 0);
}

} // namespace
