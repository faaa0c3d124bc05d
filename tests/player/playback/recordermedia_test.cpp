// A tile over recorder backup media written byte by byte from the layout tables: the day list,
// the 512-byte index with packed file numbers, frame blocks of 56-byte headers pointing at
// payloads stored in reversed 32-bit words, the owner marker, and the 224-byte index with its
// chain of 104-byte frame records (queued with the video engine), chains that loop included.
#include "playback/searchview.h"
#include "support/mediabytes.h"
#include "support/playbackfakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kSecond = 8 * 3600 + 5 * 60 + 10; // 08:05:10

// A recorder frame payload as stored: 00 00 01 06, a marker byte, then the frame's number;
// every 32-bit word written with its bytes reversed.
QByteArray StoredPayload(int number, int size)
{
    QByteArray p(size, '\0');
    p[0] = 0x06; // 00 00 01 06 reversed
    p[1] = 0x01;
    p[2] = 0x00;
    p[3] = 0x00;
    for (int i = 4; i < size; ++i)
        p[i] = char(number * 7 + i);
    return p;
}

QByteArray Header56(quint32 length, bool key, quint32 data, quint32 keyOffset, quint32 keyLength, int second)
{
    QByteArray h(56, '\0');
    U32(h, 0, 511);
    U32(h, 4, length << 9);
    U32(h, 16, 0x50u | (key ? 2u : 0u));
    U32(h, 20, data);
    U32(h, 28, keyOffset);
    U32(h, 36, keyLength);
    U32(h, 44, (quint32(second) << 10) | (10u << 27));
    U32(h, 48, (2026u << 4) | 12u);
    return h;
}

// A stream file holding one block per second: headers first, the payloads after them.
struct StreamFile
{
    QByteArray bytes;
    QList<QByteArray> payloads; // in play order

    // Appends the block of one second with `frames` frames (the first a key frame); returns
    // its offset.
    quint32 AddSecond(int second, int frames, int firstNumber, bool allKeys = false)
    {
        const quint32 blockAt = quint32(bytes.size());
        const int headersSize = 56 * (frames + 1); // one header of zeros ends the block
        quint32 at = blockAt + quint32(headersSize);
        QByteArray headers;
        QByteArray data;
        quint32 keyAt = at;
        for (int f = 0; f < frames; ++f) {
            const QByteArray p = StoredPayload(firstNumber + f, 40 + 4 * f);
            headers += Header56(quint32(p.size()), f == 0 || allKeys, at, allKeys ? at : keyAt, 40, second);
            data += p;
            payloads.append(p);
            at += quint32(p.size());
        }
        bytes += headers + QByteArray(56, '\0') + data;
        return blockAt;
    }
};

QByteArray Index512(const QList<QPair<int, QByteArray>>& entries, int lastSecond, quint32 flags = 0)
{
    QByteArray idx(512 + 16 * (lastSecond + 1), '\0');
    U32(idx, 0, flags); // not 1: the 512-byte layout
    U32(idx, 8, (entries.first().first + 32) * 16);
    for (const auto& e : entries) {
        const int hour = e.first / 3600, minute = e.first / 60 % 60;
        const quint64 mask = qFromLittleEndian<quint64>(idx.constData() + 24 + 8 * hour);
        U64(idx, 24 + 8 * hour, mask | (quint64(1) << minute));
        idx.replace((e.first + 32) * 16, 16, e.second);
    }
    return idx;
}

QByteArray MediaEntry(quint32 offset, quint32 packedFile)
{
    QByteArray e(16, '\0');
    U32(e, 0, 0x12345);
    U32(e, 4, 0x1);
    U32(e, 8, offset);
    U32(e, 12, packedFile);
    return e;
}

class MediaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clock = std::make_unique<FakeClock>();
        view = std::make_unique<CSearchView>(1, sink, host, audio, *clock);
    }
    // Three seconds of channel 2: two in stream_000.<ext>, the third in file number 33.
    void WriteMedia(const QString& streamExt)
    {
        Write(root.filePath("day.lst"), "20261210");
        StreamFile first;
        const quint32 a = first.AddSecond(kSecond, 3, 0);
        const quint32 b = first.AddSecond(kSecond + 1, 2, 10);
        StreamFile numbered;
        const quint32 c = numbered.AddSecond(kSecond + 2, 2, 20);
        Write(root.filePath("stream/stream_000" + streamExt), first.bytes);
        Write(root.filePath("stream/stream_033" + streamExt), numbered.bytes);
        payloads = first.payloads + numbered.payloads;
        Write(root.filePath("20261210/intra_idx.002"), Index512({{kSecond, MediaEntry(a, 0)},
                                                                 {kSecond + 1, MediaEntry(b, 0)},
                                                                 {kSecond + 2, MediaEntry(c, 0x01000100u)}},
                                                                kSecond + 2));
    }
    void WaitIdle()
    {
        ASSERT_TRUE(WaitUntil([&] { return !view->IsRunning(); }));
        view->Join();
    }

    QTemporaryDir root;
    QList<QByteArray> payloads;
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<CSearchView> view;
};

} // namespace

TEST_F(MediaTest, StreamFilePlaysEveryFrameAcrossNumberedFiles)
{
    WriteMedia(".002");
    ASSERT_TRUE(view->OpenFile({"stream_000.002", root.filePath("stream") + "/", 1, 0}))
        << view->LastError().toStdString();
    EXPECT_EQ(view->IndexPath(), root.filePath("20261210/intra_idx.002"));
    EXPECT_EQ(view->Channel(), 1);
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080510"));
    EXPECT_EQ(view->GetCurrentDateString(), QString("20261210"));
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), payloads.size());
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], payloads[i]) << i;
    // Stored words are handed on as stored: the first word reads 0x106 little-endian.
    EXPECT_EQ(qFromLittleEndian<quint32>(shown.first().constData()), 0x106u);
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080512"));
}

TEST_F(MediaTest, OwnerMarkerReadsTheFirstChannelsStreams)
{
    WriteMedia(".001");
    Write(root.filePath(".owner"), "");
    ASSERT_TRUE(view->OpenFile({"intra_idx.002", root.filePath("20261210"), 1, 0}));
    EXPECT_TRUE(view->OwnerMarker());
    EXPECT_EQ(view->DataPath(), root.filePath("stream/stream_000.001"));
    view->GoLast();
    EXPECT_EQ(sink.Shown().last(), payloads[5]); // the last second's key frame, from stream_033.001
}

TEST_F(MediaTest, MissingNumberedStreamEndsPlay)
{
    WriteMedia(".002");
    QFile::remove(root.filePath("stream/stream_033.002"));
    ASSERT_TRUE(view->OpenFile({"intra_idx.002", root.filePath("20261210"), 1, 0}));
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(sink.Shown().size(), 5);
    EXPECT_FALSE(view->IsRunning());
}

namespace {

// A 104-byte frame record with its payload.
QByteArray Record104(int second, qint64 previous, qint64 next, qint64 nextKey, int fps, const QByteArray& payload)
{
    QByteArray r(104, '\0');
    U32(r, 20, quint32(payload.size()));
    U32(r, 28, (quint32(fps) << 2) | 1u);
    U64(r, 44, 0);
    U64(r, 52, quint64(previous));
    U64(r, 60, quint64(nextKey));
    U64(r, 76, quint64(next));
    U64(r, 92, quint64(second) * 4096);
    U32(r, 100, 20261210);
    return r + payload;
}

QByteArray Index224(int firstSecond, const QList<QPair<int, qint64>>& entries, int lastSecond)
{
    QByteArray idx(224 + 36 * (lastSecond + 1), '\0');
    U32(idx, 0, 1);
    U32(idx, 8, 224 + 36 * firstSecond);
    for (const auto& e : entries) {
        const int hour = e.first / 3600, minute = e.first / 60 % 60;
        const quint64 mask = qFromLittleEndian<quint64>(idx.constData() + 16 + 8 * hour);
        U64(idx, 16 + 8 * hour, mask | (quint64(1) << minute));
        idx[224 + 36 * e.first] = 1;
        U64(idx, 224 + 36 * e.first + 20, quint64(e.second));
    }
    return idx;
}

} // namespace

TEST_F(MediaTest, FrameRecordsAreQueuedAlongTheirChain)
{
    Write(root.filePath("day.lst"), "20261210");
    const QByteArray p0(20, 'a'), p1(24, 'b'), p2(28, 'c');
    const qint64 r1 = 104 + 20, r2 = r1 + 104 + 24;
    const QByteArray data = Record104(kSecond, -1, r1, r2, 25, p0) + Record104(kSecond, 0, r2, r2, 25, p1)
                            + Record104(kSecond + 1, r1, -1, -1, 25, p2);
    Write(root.filePath("stream/stream_000.003"), data);
    Write(root.filePath("20261210/intra_idx.003"),
          Index224(kSecond, {{kSecond, 0}, {kSecond + 1, r2}}, kSecond + 1));
    ASSERT_TRUE(view->OpenFile({"intra_idx.003", root.filePath("20261210"), 1, 0}));
    EXPECT_FALSE(view->Layout512());
    EXPECT_EQ(view->GetAudioKind(), AudioKind::ChannelFiles);
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> queued = sink.Queued();
    ASSERT_EQ(queued.size(), 3);
    EXPECT_EQ(queued[0], data.left(124));
    EXPECT_EQ(queued[1], data.mid(r1, 128));
    EXPECT_EQ(queued[2], data.mid(r2, 132));
    EXPECT_EQ(sink.queuedTimes.last(), 80511);
    for (int p : clock->Pauses())
        EXPECT_EQ(p, 40); // 25 frames a second
    // Backwards along the previous-record offsets, one second per record.
    clock->pauses.clear();
    view->PlayBackward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::Start);
    EXPECT_EQ(sink.Queued().size(), 5);
    EXPECT_EQ(sink.Queued().last(), data.left(124));
    // "240000" reads the index's last entry; "080510" the first second again.
    view->GoToTime("240000");
    EXPECT_EQ(sink.Queued().last(), data.mid(r2, 132));
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080511"));
    view->GoToTime("080510");
    EXPECT_EQ(sink.Queued().last(), data.left(124));
    EXPECT_EQ(view->State(), PlayState::Paused);
}

// In the 224-byte layout a time without data seeks the next later minute that has some, and
// only when none follows the nearest earlier one (also one earlier in the same hour).
TEST_F(MediaTest, FrameRecordSeekTakesTheNextMinuteWithDataFirst)
{
    Write(root.filePath("day.lst"), "20261210");
    const int first = 10 * 3600 + 27 * 60, second = 10 * 3600 + 33 * 60;
    const qint64 r1 = 104 + 20;
    const QByteArray data = Record104(first, -1, r1, r1, 25, QByteArray(20, 'a'))
                            + Record104(second, 0, -1, -1, 25, QByteArray(24, 'b'));
    Write(root.filePath("stream/stream_000.003"), data);
    Write(root.filePath("20261210/intra_idx.003"), Index224(first, {{first, 0}, {second, r1}}, second));
    ASSERT_TRUE(view->OpenFile({"intra_idx.003", root.filePath("20261210"), 1, 0}));
    const struct
    {
        const char* seek;
        const char* shown;
    } cases[] = {
        {"103015", "103300"},                       // three minutes either way: the later one
        {"102800", "103300"}, {"103500", "103300"}, // nothing later: the earlier minute of the hour
        {"120000", "103300"}, {"000000", "102700"}, {"102700", "102700"},
        {"103300", "103300"}, {"240000", "103300"},
    };
    for (const auto& c : cases) {
        view->GoToTime(c.seek);
        EXPECT_EQ(view->GetCurrentTimeString(), QString(c.shown)) << c.seek;
        ASSERT_FALSE(sink.Queued().isEmpty()) << c.seek;
        EXPECT_EQ(sink.Queued().last(), QString(c.shown) == "102700" ? data.left(124) : data.mid(r1, 128))
            << c.seek;
    }
}

TEST_F(MediaTest, RecordChainThatLoopsEnds)
{
    Write(root.filePath("day.lst"), "20261210");
    const qint64 r1 = 124;
    // The second record points back at the first, and the first's previous at the second.
    const QByteArray data = Record104(kSecond, r1, r1, r1, 0, QByteArray(20, 'a'))
                            + Record104(kSecond, 0, 0, 0, 0, QByteArray(8, 'b'));
    Write(root.filePath("stream/stream_000.004"), data);
    Write(root.filePath("20261210/intra_idx.004"), Index224(kSecond, {{kSecond, 0}}, kSecond));
    ASSERT_TRUE(view->OpenFile({"intra_idx.004", root.filePath("20261210"), 1, 0}));
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    EXPECT_EQ(sink.Queued().size(), 2);
    view->FastBackward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::Start);
    EXPECT_EQ(sink.Queued().size(), 3);
}

TEST_F(MediaTest, RecordPayloadPastTheFileIsNotHandedOn)
{
    Write(root.filePath("day.lst"), "20261210");
    QByteArray data = Record104(kSecond, -1, -1, -1, 0, QByteArray(20, 'a'));
    U32(data, 20, 0xFFFFF); // a payload far longer than the file
    Write(root.filePath("stream/stream_000.005"), data);
    Write(root.filePath("20261210/intra_idx.005"), Index224(kSecond, {{kSecond, 0}}, kSecond));
    EXPECT_TRUE(view->OpenFile({"intra_idx.005", root.filePath("20261210"), 1, 0}));
    EXPECT_TRUE(sink.Queued().isEmpty());
}

namespace {

// One second of recorder media audio: `blocks` headers of 56 bytes (a header of zeros ends
// them), each pointing at an 8212-byte block of 16 channels of 512 bytes behind a 16-byte head
// whose first word marks reversed words.
quint32 AddAudioSecond(QByteArray& stream, int second, int blocks, QByteArray& channel1)
{
    const quint32 at = quint32(stream.size());
    QByteArray headers;
    QByteArray data;
    quint32 blockAt = at + quint32(56 * (blocks + 1));
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(8212, '\0');
        block[0] = 0x06;
        block[1] = 0x01;
        for (int c = 0; c < 16; ++c) {
            for (int i = 0; i < 512; ++i)
                block[16 + 512 * c + i] = char(c * 16 + b + i % 11);
        }
        channel1 += block.mid(16 + 512, 512);
        headers += Header56(8212, true, blockAt, blockAt, 0, second);
        data += block;
        blockAt += 8212;
    }
    stream += headers + QByteArray(56, '\0') + data;
    return at;
}

} // namespace

TEST_F(MediaTest, MediaAudioPlaysTheChannelsPartOfEveryBlock)
{
    WriteMedia(".002");
    QByteArray stream, channel1;
    const quint32 a = AddAudioSecond(stream, kSecond, 8, channel1);
    const quint32 b = AddAudioSecond(stream, kSecond + 1, 8, channel1);
    const quint32 c = AddAudioSecond(stream, kSecond + 2, 8, channel1);
    Write(root.filePath("stream/stream_000.000"), stream);
    // The entry of the last second is the index's last: it ends the audio.
    Write(root.filePath("20261210/intra_idx.000"),
          Index512({{kSecond, MediaEntry(a, 0)}, {kSecond + 1, MediaEntry(b, 0)}, {kSecond + 2, MediaEntry(c, 0)}},
                   kSecond + 2));

    FakeClock hold(true);
    CSearchView tile(1, sink, host, audio, hold);
    ASSERT_TRUE(tile.OpenFile({"intra_idx.002", root.filePath("20261210"), 1, 0}));
    EXPECT_EQ(tile.GetAudioKind(), AudioKind::MediaStream);
    ASSERT_TRUE(tile.StartAudio());
    tile.PlayForward();
    ASSERT_TRUE(WaitUntil([&] { return audio.Count() == 2; }));
    tile.StopPlayback(); // waits for the audio reader, which ended at the index's last entry
    // Two seconds of 8 blocks give 8192 bytes: one 8000-byte second, made signed and reversed.
    ASSERT_EQ(audio.blocks.size(), 2);
    const QByteArray want = SignedReversedWords(channel1.left(8000));
    EXPECT_EQ(audio.blocks[0], want.left(4000));
    EXPECT_EQ(audio.blocks[1], want.mid(4000));
    EXPECT_EQ(audio.codecs[0], 6);
}

TEST_F(MediaTest, FrameRecordAudioOfASecondInTimeOrder)
{
    Write(root.filePath("day.lst"), "20261210");
    // Three records of 08:05:10 with audio behind their 20-byte payloads, written out of time
    // order; a record of the next second ends the second.
    QByteArray data;
    QByteArray slot1[3];
    const int subSeconds[3] = {3000, 1000, 2000};
    for (int r = 0; r < 4; ++r) {
        const qint64 at = data.size();
        const qint64 size = 104 + 20 + (r < 3 ? 4 * 512 : 0);
        QByteArray rec = Record104(r < 3 ? kSecond : kSecond + 1, at - 1, at + size, -1, 25, QByteArray(20, 'v'));
        U64(rec, 92, quint64(r < 3 ? kSecond : kSecond + 1) * 4096 + (r < 3 ? subSeconds[r] : 0));
        if (r < 3) {
            U32(rec, 20, 0x100000u | 20u);
            QByteArray audio;
            for (int slot = 0; slot < 4; ++slot)
                audio += QByteArray(512, char('A' + r * 4 + slot));
            slot1[r] = audio.mid(512, 512); // audio channel 2 sits at (3 - 2) x 512
            rec += audio;
        } else {
            U64(rec, 76, quint64(-1));
        }
        data += rec;
    }
    Write(root.filePath("stream/stream_000.003"), data);
    Write(root.filePath("20261210/intra_idx.003"), Index224(kSecond, {{kSecond, 0}}, kSecond + 1));
    ASSERT_TRUE(view->OpenFile({"intra_idx.003", root.filePath("20261210"), 1, 0}));
    EXPECT_EQ(view->GetAudioKind(), AudioKind::ChannelFiles);
    ASSERT_TRUE(view->StartAudio());
    view->PlayAudioSecond("080510");
    ASSERT_TRUE(WaitUntil([&] { return audio.Count() == 1; }));
    view->StopPlayback();
    EXPECT_EQ(audio.blocks[0], slot1[1] + slot1[2] + slot1[0]);
    EXPECT_EQ(audio.codecs[0], 5);
}

TEST_F(MediaTest, ManyTilesSkipFromKeyFrameToKeyFrameByTheFrameBudget)
{
    // Seconds of ten key frames in an index whose flags mark large blocks: with four tiles the
    // budget is 8 / 4 = 2 frames a second, so play shows every fifth frame, 500 ms apart.
    Write(root.filePath("day.lst"), "20261210");
    StreamFile stream;
    const quint32 a = stream.AddSecond(kSecond, 10, 0, true);
    const quint32 b = stream.AddSecond(kSecond + 1, 10, 10, true);
    Write(root.filePath("stream/stream_000.002"), stream.bytes);
    Write(root.filePath("20261210/intra_idx.002"),
          Index512({{kSecond, MediaEntry(a, 0)}, {kSecond + 1, MediaEntry(b, 0)}}, kSecond + 1, 0x30000000u));
    host.split = 4;
    ASSERT_TRUE(view->OpenFile({"intra_idx.002", root.filePath("20261210"), 1, 0}));
    view->PlayForward();
    WaitIdle();
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), 4);
    const int frames[] = {0, 5, 10, 15};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(shown[i], stream.payloads[frames[i]]) << i;
    ASSERT_FALSE(clock->Pauses().isEmpty());
    EXPECT_EQ(clock->Pauses().first(), 500);
    EXPECT_EQ(sink.Decodes().first().mode, 0); // not a one-tile layout
}
