// Recording writer: the bytes of the index and video files, day roll-over, refused input,
// the per-second frame limit and 16 channels at once. Files are checked byte by byte against
// literals written from the layout tables, and through a separate reader of the layout.
#include "common/media/modulerecord.h"
#include "common/support/fulldisk.h"
#include "common/support/record_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <malloc.h>

#include <memory>
#include <vector>

using recordtest::FrameHeader;
using recordtest::IndexEntry;
using recordtest::RecordReader;

namespace {

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

QByteArray Payload(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((seed * 31 + i * 7) & 0xFF);
    return b;
}

int Sec(int h, int m, int s)
{
    return h * 3600 + m * 60 + s;
}

class ModuleRecordTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_folder = m_tmp.path() + "/backup/Record_Live/Front door/";
    }

    QString Day(int date) const
    {
        return m_tmp.path() + "/backup/Record_Live/Front door/" + QString::number(date);
    }
    QString IndexPath(int date, const QString& name) const { return Day(date) + "/i" + name; }
    QString VideoPath(int date, const QString& name) const { return Day(date) + "/" + name; }

    bool Read(RecordReader& r, int date, const QString& name) const
    {
        return r.Open(IndexPath(date, name), VideoPath(date, name));
    }

    qint64 Write(ModuleRecord& w, int ch, int date, int time, int type, int kind, const QByteArray& data,
                 int marker = 1)
    {
        return w.OnRecordData(ch, date, time, type, kind, data.constData(), data.size(), quint8(marker), 0);
    }

    QTemporaryDir m_tmp;
    QString m_folder;
};

// Three frames over two seconds on channel 3 (index 2), then the writer is destroyed: every byte
// of both files, written out from the layout tables.
TEST_F(ModuleRecordTest, BytesOfTwoSecondsAsLaidOut)
{
    const QByteArray f1 = Payload(10, 1), f2 = Payload(6, 2), f3 = Payload(4, 3);
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(2, 20261209, 123456, m_folder, 7, ModuleRecord::RecordLive));
        EXPECT_EQ(Write(w, 2, 20261209, 123456, 1, 2, f1, 0), 10);
        EXPECT_EQ(Write(w, 2, 20261209, 123456, 2, 2, f2, 5), 16);
        // New second: the first second's two slots go after its frames, then frame 3.
        EXPECT_EQ(Write(w, 2, 20261209, 123457, 2, 2, f3, 0), 16 + 2 * 336 + 4);
    } // the last second is written when the writer goes away

    QFile idx(IndexPath(20261209, "h123456.003"));
    ASSERT_TRUE(idx.open(QIODevice::ReadOnly));
    const QByteArray index = idx.readAll();
    QFile vid(VideoPath(20261209, "h123456.003"));
    ASSERT_TRUE(vid.open(QIODevice::ReadOnly));
    const QByteArray video = vid.readAll();

    // 12:34:56 is second 45296; its entry lies at (45296 + 32) x 16 = 725248 = 0xB1100.
    QByteArray wantIndex(725280, '\0');
    wantIndex.replace(0, 4, Bytes({0x03, 0x02, 0x00, 0x23}));              // 0x3000003 + 2 << 28 + 0x200
    wantIndex.replace(8, 4, Bytes({0x00, 0x11, 0x0B, 0x00}));              // first entry position
    wantIndex.replace(16, 4, Bytes({0x00, 0x10, 0x00, 0x00}));             // hour 12
    wantIndex.replace(24 + 12 * 8, 8, Bytes({0, 0, 0, 0, 0x04, 0, 0, 0})); // minute 34
    // The second before the first recorded one points at the empty block at the video file's
    // start: offset 0 with the top flag.
    wantIndex.replace(725232, 16, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}));
    wantIndex.replace(725248, 16, Bytes({0x10, 0, 0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0x80}));
    wantIndex.replace(725264, 16, Bytes({0xB4, 0x02, 0, 0, 0, 0, 0, 0, 0xB4, 0x02, 0, 0, 0, 0, 0, 0x80}));
    ASSERT_EQ(index.size(), wantIndex.size());
    EXPECT_TRUE(index == wantIndex);

    auto slot = [](std::initializer_list<int> head) {
        QByteArray s = Bytes(head);
        s.append(QByteArray(336 - s.size(), '\0'));
        return s;
    };
    const QByteArray slot1 = slot({0xFF, 0x01, 0x00, 0x00, 0x02, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0,
                                   0,    0,    0x52, 0x00, 0x00, 0x00, 0,    0,    0,    0,    0,    0,    0, 0,
                                   0,    0,    0,    0,    0,    0,    0,    0,    0x0A, 0x00, 0x00, 0x02, 0, 0,
                                   0,    0,    0x00, 0xC0, 0xC3, 0x4A, 0xAC, 0x7E, 0x00, 0x00, 0,    0,    0, 0});
    const QByteArray slot2 = slot({0xFF, 0x01, 0x00, 0x00, 0x02, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0,
                                   0,    0,    0x54, 0x00, 0x00, 0x00, 0x0A, 0,    0,    0,    0,    0,    0, 0,
                                   0,    0,    0,    0,    0,    0,    0,    0,    0x0A, 0x00, 0x00, 0x00, 0, 0,
                                   0,    0,    0x00, 0xC0, 0xC3, 0x4A, 0xAC, 0x7E, 0x00, 0x00, 0,    0,    0, 0});
    const QByteArray slot3 = slot({0xFF, 0x01, 0x00, 0x00, 0x02, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0,
                                   0,    0,    0x54, 0x00, 0x00, 0x00, 0xB0, 0x02, 0,    0,    0,    0,    0, 0,
                                   0,    0,    0,    0,    0,    0,    0,    0,    0x0A, 0x00, 0x00, 0x02, 0, 0,
                                   0,    0,    0x00, 0xC4, 0xC3, 0x4A, 0xAC, 0x7E, 0x00, 0x00, 0,    0,    0, 0});
    const QByteArray wantVideo = f1 + f2 + slot1 + slot2 + f3 + slot3;
    ASSERT_EQ(video.size(), wantVideo.size());
    EXPECT_TRUE(video == wantVideo);
}

TEST_F(ModuleRecordTest, FormatWordByStreamKind)
{
    struct Case
    {
        int kind;
        quint32 word;
    };
    const Case cases[] = {
        {0, 0x23000003}, {1, 0x43000003}, {2, 0x23000203}, {3, 0x23000403},
        {4, 0x23000403}, {5, 0x43000003}, {6, 0x23000003},
    };
    for (const Case& c : cases) {
        ModuleRecord w;
        const int ch = c.kind;
        ASSERT_TRUE(w.StartRecord(ch, 20260101, 80000, m_folder, 0, 2));
        ASSERT_GT(Write(w, ch, 20260101, 80000, 1, c.kind, Payload(8, c.kind)), 0);
        RecordReader r;
        ASSERT_TRUE(Read(r, 20260101, QString::asprintf("h080000.%03d", ch + 1)));
        EXPECT_EQ(r.Header().format, c.word) << "kind " << c.kind;
    }
}

TEST_F(ModuleRecordTest, StreamKindBitAndKeyFrameFields)
{
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(0, 20260315, 101010, m_folder, 0, 2));
        ASSERT_GT(Write(w, 0, 20260315, 101010, 1, 5, Payload(100, 1)), 0); // key, kind 5
        ASSERT_GT(Write(w, 0, 20260315, 101010, 0, 4, Payload(50, 2)), 0);  // kind 4
        ASSERT_GT(Write(w, 0, 20260315, 101011, 1, 3, Payload(80, 3)), 0);  // second key, kind 3
        ASSERT_GT(Write(w, 0, 20260315, 101011, 2, 3, Payload(30, 4), 0), 0);
    }
    RecordReader r;
    ASSERT_TRUE(Read(r, 20260315, "h101010.001"));
    const IndexEntry e0 = r.Entry(Sec(10, 10, 10));
    ASSERT_FALSE(e0.empty);
    const QVector<FrameHeader> b0 = r.Block(e0.offset);
    ASSERT_EQ(b0.size(), 2);
    EXPECT_TRUE(b0[0].notKey);
    EXPECT_TRUE(b0[1].notKey);
    EXPECT_EQ(b0[0].frameType, 1);
    EXPECT_EQ(b0[1].frameType, 0);
    EXPECT_EQ(b0[1].lastKeyOffset, 0);
    EXPECT_EQ(b0[1].lastKeySize, 100u);

    const QVector<FrameHeader> b1 = r.Block(r.Entry(Sec(10, 10, 11)).offset);
    ASSERT_EQ(b1.size(), 2);
    EXPECT_FALSE(b1[0].notKey);
    // The second key frame follows the first block: 100 + 50 + 2 x 336.
    EXPECT_EQ(b1[0].dataOffset, 100u + 50u + 672u);
    EXPECT_EQ(qint64(b1[0].lastKeyOffset), qint64(b1[0].dataOffset));
    EXPECT_EQ(b1[1].lastKeyOffset, qint64(b1[0].dataOffset));
    EXPECT_EQ(b1[1].lastKeySize, 80u);
    EXPECT_FALSE(b1[0].markerZero);
    EXPECT_TRUE(b1[1].markerZero);
    EXPECT_EQ(r.FrameData(b1[1]), Payload(30, 4));
    EXPECT_EQ(r.FrameData(b0[1]), Payload(50, 2));
}

TEST_F(ModuleRecordTest, RecordingFromMidnightWritesNoLeadingEntries)
{
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(0, 20260101, 0, m_folder, 0, 2));
        ASSERT_GT(Write(w, 0, 20260101, 0, 1, 2, Payload(20, 1)), 0);
        QFile idx(IndexPath(20260101, "h000000.001"));
        EXPECT_EQ(idx.size(), 512); // header only; the first entry comes with the next second
        ASSERT_GT(Write(w, 0, 20260101, 1, 2, 2, Payload(20, 2)), 0);
        EXPECT_EQ(idx.size(), 512 + 16);
    }
    RecordReader r;
    ASSERT_TRUE(Read(r, 20260101, "h000000.001"));
    const auto h = r.Header();
    EXPECT_EQ(h.firstEntryPos, 512u);
    EXPECT_EQ(h.hourMask, 1u);
    EXPECT_EQ(h.minuteMask[0], 1u);
    EXPECT_TRUE(h.reservedZero);
    EXPECT_FALSE(r.Entry(0).empty);
    EXPECT_FALSE(r.Entry(1).empty);
    EXPECT_EQ(r.IndexSize(), 512 + 2 * 16);
}

// The first frame of a recording that starts at second s (above 0) writes the entry at
// (s + 31) x 16: 12 zero bytes, then 00 00 00 80. Zero entries fill the space from the header
// up to it; a reader takes it as empty (its first 8 bytes are 0).
TEST_F(ModuleRecordTest, FirstEntryIsOffsetZeroWithTheTopFlag)
{
    const struct
    {
        int time;   // hhmmss
        int second; // of the day
    } cases[] = {{1, 1}, {2, 2}, {140, 100}, {235959, 86399}};
    const QByteArray flagged = Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x80});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        const int date = 20260101;
        const QString name = QString::asprintf("h%06d.001", c.time);
        {
            ModuleRecord w;
            ASSERT_TRUE(w.StartRecord(0, date, c.time, m_folder, 0, 2));
            ASSERT_GT(Write(w, 0, date, c.time, 1, 2, Payload(20, 1)), 0);
        }
        QFile idx(IndexPath(date, name));
        ASSERT_TRUE(idx.open(QIODevice::ReadOnly));
        const QByteArray index = idx.readAll();
        const int at = (c.second + 31) * 16;
        // The first entry, then the recorded second's own entry written when the writer closed.
        ASSERT_EQ(index.size(), at + 32);
        EXPECT_EQ(index.mid(at, 16).toHex(), flagged.toHex());
        EXPECT_EQ(index.mid(512, at - 512), QByteArray(at - 512, '\0'));
        RecordReader r;
        ASSERT_TRUE(Read(r, date, name));
        EXPECT_TRUE(r.Entry(c.second - 1).empty);
        EXPECT_FALSE(r.Entry(c.second).empty);
    }
}

TEST_F(ModuleRecordTest, SecondWithoutFramesLeavesItsOwnEntryEmpty)
{
    const int date = 20260704;
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(1, date, 95958, m_folder, 0, 2));
        ASSERT_GT(Write(w, 1, date, 95958, 1, 2, Payload(40, 1)), 0);
        ASSERT_GT(Write(w, 1, date, 100001, 2, 2, Payload(40, 2)), 0); // 9:59:59, 10:00:00 empty
        ASSERT_GT(Write(w, 1, date, 100105, 2, 2, Payload(40, 3)), 0); // next minute, gap
    }
    RecordReader r;
    ASSERT_TRUE(Read(r, date, "h095958.002"));
    const int s0 = Sec(9, 59, 58), s1 = Sec(10, 0, 1), s2 = Sec(10, 1, 5);
    const auto h = r.Header();
    EXPECT_EQ(h.firstEntryPos, quint32((s0 + 32) * 16));
    EXPECT_EQ(h.hourMask, (1u << 9) | (1u << 10));
    EXPECT_EQ(h.minuteMask[9], quint64(1) << 59);
    EXPECT_EQ(h.minuteMask[10], quint64(3));
    for (int s = 0; s < s0; ++s)
        ASSERT_TRUE(r.Entry(s).present && r.Entry(s).empty) << s;

    const int recorded[] = {s0, s1, s2};
    int payload = 1;
    for (int s : recorded) {
        const IndexEntry e = r.Entry(s);
        ASSERT_FALSE(e.empty) << s;
        EXPECT_EQ(e.offset64, e.offset);
        EXPECT_EQ(e.low, quint32(e.offset));
        EXPECT_EQ(e.high, 0x80000000u);
        const auto block = r.Block(e.offset);
        ASSERT_EQ(block.size(), 1) << s;
        EXPECT_EQ(block[0].second, s);
        EXPECT_EQ(block[0].channel, 1);
        EXPECT_EQ(r.FrameData(block[0]), Payload(40, payload++));
    }
    for (int s = s0 + 1; s < s2; ++s) {
        if (s == s1)
            continue;
        const IndexEntry e = r.Entry(s);
        ASSERT_TRUE(e.present) << s;
        EXPECT_TRUE(e.empty && e.low == 0 && e.high == 0) << s;
    }
    EXPECT_EQ(r.IndexSize(), (s2 + 33) * 16);
}

// A recorder clock that steps back inside a recording: the frame joins the block of the second
// being written, keeps its own time stamp, and no index position before it is touched.
TEST_F(ModuleRecordTest, EarlierTimeJoinsTheCurrentSecond)
{
    const int date = 20260101;
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(0, date, 100000, m_folder, 0, 2));
        ASSERT_GT(Write(w, 0, date, 100005, 1, 2, Payload(10, 1)), 0);
        ASSERT_GT(Write(w, 0, date, 100003, 2, 2, Payload(10, 2)), 0);
    }
    RecordReader r;
    ASSERT_TRUE(Read(r, date, "h100000.001"));
    EXPECT_TRUE(r.Entry(Sec(10, 0, 3)).empty);
    const auto block = r.Block(r.Entry(Sec(10, 0, 5)).offset);
    ASSERT_EQ(block.size(), 2);
    EXPECT_EQ(block[0].second, Sec(10, 0, 5));
    EXPECT_EQ(block[1].second, Sec(10, 0, 3));
    EXPECT_EQ(r.IndexSize(), (Sec(10, 0, 5) + 33) * 16);
}

TEST_F(ModuleRecordTest, FramesBeforeFirstKeyFrameAreNotWritten)
{
    ModuleRecord w;
    EXPECT_EQ(Write(w, 0, 20260101, 120000, 1, 2, Payload(10, 1)), 0); // not armed
    ASSERT_TRUE(w.StartRecord(0, 20260101, 120000, m_folder, 0, 2));
    EXPECT_EQ(w.State(0), 1);
    EXPECT_EQ(Write(w, 0, 20260101, 120000, 2, 2, Payload(10, 1)), 0);
    EXPECT_EQ(Write(w, 0, 20260101, 120000, 0, 2, Payload(10, 1)), 0);
    EXPECT_FALSE(QFile::exists(VideoPath(20260101, "h120000.001")));
    EXPECT_EQ(Write(w, 0, 20260101, 120001, 1, 2, Payload(10, 2)), 10);
    EXPECT_EQ(w.State(0), 2);
}

TEST_F(ModuleRecordTest, StartDeletesFilesOfTheSameNames)
{
    ASSERT_TRUE(QDir().mkpath(Day(20260101)));
    const QStringList names = {"h120000.001", "ih120000.001", "a0120000.001", "a3120000.001", "h120000.002"};
    for (const QString& n : names) {
        QFile f(Day(20260101) + "/" + n);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    ModuleRecord w;
    ASSERT_TRUE(w.StartRecord(0, 20260101, 120000, m_folder, 0, 2));
    EXPECT_EQ(Write(w, 0, 20260101, 120000, 1, 2, Payload(10, 1)), 10);
    EXPECT_FALSE(QFile::exists(Day(20260101) + "/a0120000.001"));
    EXPECT_FALSE(QFile::exists(Day(20260101) + "/a3120000.001"));
    EXPECT_EQ(QFileInfo(Day(20260101) + "/h120000.001").size(), 10);
    EXPECT_EQ(QFileInfo(Day(20260101) + "/ih120000.001").size(), (Sec(12, 0, 0) + 32) * 16);
    EXPECT_EQ(QFileInfo(Day(20260101) + "/h120000.002").size(), 5000); // another channel
}

TEST_F(ModuleRecordTest, MidnightRollOverStartsNewDayFiles)
{
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(0, 20261231, 235958, m_folder, 0, 2));
        ASSERT_GT(Write(w, 0, 20261231, 235958, 1, 2, Payload(30, 1)), 0);
        ASSERT_GT(Write(w, 0, 20261231, 235959, 2, 2, Payload(30, 2)), 0);
        // The new day waits for a key frame, in a new day folder with the same file names.
        EXPECT_EQ(Write(w, 0, 20270101, 0, 2, 2, Payload(30, 3)), 0);
        EXPECT_EQ(w.State(0), 1);
        EXPECT_EQ(Write(w, 0, 20270101, 0, 1, 2, Payload(30, 4)), 30);
        ASSERT_GT(Write(w, 0, 20270101, 1, 2, 2, Payload(30, 5)), 0);
    }
    RecordReader old;
    ASSERT_TRUE(Read(old, 20261231, "h235958.001"));
    EXPECT_EQ(old.Header().hourMask, 1u << 23);
    EXPECT_EQ(old.Header().minuteMask[23], quint64(1) << 59);
    // Both last seconds of the old day have their entries, the last one included.
    const IndexEntry e58 = old.Entry(86398), e59 = old.Entry(86399);
    ASSERT_FALSE(e58.empty);
    ASSERT_FALSE(e59.empty);
    EXPECT_EQ(old.IndexSize(), (86399 + 33) * 16);
    const auto b59 = old.Block(e59.offset);
    ASSERT_EQ(b59.size(), 1);
    EXPECT_EQ(b59[0].second, 86399);
    EXPECT_EQ(b59[0].day, 31);
    EXPECT_EQ(b59[0].month, 12);
    EXPECT_EQ(b59[0].year, 2026);
    EXPECT_EQ(old.FrameData(b59[0]), Payload(30, 2));

    RecordReader next;
    ASSERT_TRUE(Read(next, 20270101, "h235958.001"));
    EXPECT_EQ(next.Header().firstEntryPos, 512u);
    EXPECT_EQ(next.Header().hourMask, 1u);
    EXPECT_EQ(next.Header().minuteMask[0], 1u);
    const auto b0 = next.Block(next.Entry(0).offset);
    ASSERT_EQ(b0.size(), 1);
    EXPECT_EQ(b0[0].dataOffset, 0u);
    EXPECT_EQ(b0[0].frameType, 1);
    EXPECT_EQ(b0[0].day, 1);
    EXPECT_EQ(b0[0].month, 1);
    EXPECT_EQ(b0[0].year, 2027);
    EXPECT_EQ(next.FrameData(b0[0]), Payload(30, 4));
    const auto b1 = next.Block(next.Entry(1).offset);
    ASSERT_EQ(b1.size(), 1);
    EXPECT_EQ(b1[0].second, 1);
}

TEST_F(ModuleRecordTest, InvalidDateOrTimeIsNotWritten)
{
    struct Case
    {
        int date;
        int time;
    };
    const Case cases[] = {
        {20260230, 120000},  {20261301, 120000},  {20261200, 120000}, {0, 120000},
        {-20260101, 120000}, {100000000, 120000}, {20260101, 240000}, {20260101, 126000},
        {20260101, 120060},  {20260101, -1},      {20260101, 999999},
    };
    ModuleRecord w;
    ASSERT_TRUE(w.StartRecord(0, 20260101, 120000, m_folder, 0, 2));
    for (const Case& c : cases)
        EXPECT_EQ(Write(w, 0, c.date, c.time, 1, 2, Payload(10, 1)), 0) << c.date << " " << c.time;
    EXPECT_EQ(w.State(0), 1);
    EXPECT_EQ(QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);

    // While recording, a bad date neither writes nor starts a new day.
    ASSERT_EQ(Write(w, 0, 20260101, 120000, 1, 2, Payload(10, 1)), 10);
    EXPECT_EQ(Write(w, 0, 20260231, 120001, 1, 2, Payload(10, 2)), 0);
    EXPECT_EQ(w.State(0), 2);
    EXPECT_EQ(Write(w, 0, 20260101, 120000, 2, 2, Payload(10, 3)), 20);
    // A leap day is a real date.
    ModuleRecord leap;
    ASSERT_TRUE(leap.StartRecord(0, 20280229, 10203, m_folder, 0, 2));
    EXPECT_EQ(Write(leap, 0, 20280229, 235959, 1, 2, Payload(10, 1)), 10);
}

TEST_F(ModuleRecordTest, RefusedChannelsSizesAndStarts)
{
    ModuleRecord w;
    EXPECT_FALSE(w.StartRecord(-1, 20260101, 120000, m_folder, 0, 2));
    EXPECT_FALSE(w.StartRecord(16, 20260101, 120000, m_folder, 0, 2));
    EXPECT_FALSE(w.StartRecord(0, 20260101, 250000, m_folder, 0, 2));
    EXPECT_FALSE(w.StartRecord(0, 20260101, 120000, m_tmp.path() + "/backup/../../x/", 0, 2));
    EXPECT_FALSE(w.StartRecord(0, 20260101, 120000, QString(), 0, 2));
    EXPECT_EQ(w.State(0), 0);
    EXPECT_EQ(w.State(16), -1);
    EXPECT_EQ(Write(w, -1, 20260101, 120000, 1, 2, Payload(10, 1)), 0);
    EXPECT_EQ(Write(w, 16, 20260101, 120000, 1, 2, Payload(10, 1)), 0);

    ASSERT_TRUE(w.StartRecord(0, 20260101, 120000, m_folder, 0, 2));
    const QByteArray d = Payload(16, 1);
    EXPECT_EQ(w.OnRecordData(0, 20260101, 120000, 1, 2, d.constData(), 0, 0, 0), 0);
    EXPECT_EQ(w.OnRecordData(0, 20260101, 120000, 1, 2, d.constData(), -5, 0, 0), 0);
    EXPECT_EQ(w.OnRecordData(0, 20260101, 120000, 1, 2, nullptr, 16, 0, 0), 0);
    const QByteArray big(ModuleRecord::kMaxFrameSize + 1, 'b');
    EXPECT_EQ(w.OnRecordData(0, 20260101, 120000, 1, 2, big.constData(), big.size(), 0, 0), 0);
    EXPECT_EQ(w.State(0), 1);
    EXPECT_EQ(w.OnRecordData(0, 20260101, 120000, 1, 2, d.constData(), 16, 0, 0), 16);
}

TEST_F(ModuleRecordTest, MoreThanFortyFramesInOneSecondAreDropped)
{
    const int date = 20260505;
    qint64 videoAfter40 = 0;
    {
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(4, date, 60000, m_folder, 0, 2));
        for (int i = 0; i < 45; ++i) {
            const qint64 r = Write(w, 4, date, 60000, i == 0 ? 1 : 2, 2, Payload(100, i));
            if (i < 40)
                EXPECT_EQ(r, 100 * (i + 1)) << i;
            else
                EXPECT_EQ(r, 0) << i;
        }
        videoAfter40 = QFileInfo(VideoPath(date, "h060000.005")).size();
        // The next second is written again, after the full block.
        EXPECT_EQ(Write(w, 4, date, 60001, 1, 2, Payload(100, 99)), 4000 + 40 * 336 + 100);
    }
    EXPECT_EQ(videoAfter40, 4000);
    RecordReader r;
    ASSERT_TRUE(Read(r, date, "h060000.005"));
    const auto block = r.Block(r.Entry(Sec(6, 0, 0)).offset);
    ASSERT_EQ(block.size(), 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(block[i].dataOffset, quint64(100 * i));
        EXPECT_EQ(r.FrameData(block[i]), Payload(100, i));
    }
    const auto next = r.Block(r.Entry(Sec(6, 0, 1)).offset);
    ASSERT_EQ(next.size(), 1);
    EXPECT_EQ(r.FrameData(next[0]), Payload(100, 99));
}

TEST_F(ModuleRecordTest, SixteenChannelsAtOnce)
{
    const int date = 20261209;
    {
        ModuleRecord w;
        for (int c = 0; c < 16; ++c)
            ASSERT_TRUE(w.StartRecord(c, date, 200000, m_folder, 0, 2));
        for (int s = 0; s < 3; ++s)
            for (int f = 0; f < 5; ++f)
                for (int c = 0; c < 16; ++c)
                    ASSERT_GT(Write(w, c, date, 200000 + s, f == 0 ? 1 : 2, 2,
                                    Payload(50 + c * 10 + f, c * 100 + s * 10 + f)),
                              0);
    }
    for (int c = 0; c < 16; ++c) {
        RecordReader r;
        ASSERT_TRUE(Read(r, date, QString::asprintf("h200000.%03d", c + 1))) << c;
        for (int s = 0; s < 3; ++s) {
            const IndexEntry e = r.Entry(Sec(20, 0, s));
            ASSERT_FALSE(e.empty) << c << " " << s;
            const auto block = r.Block(e.offset);
            ASSERT_EQ(block.size(), 5);
            for (int f = 0; f < 5; ++f) {
                EXPECT_EQ(block[f].channel, c);
                EXPECT_EQ(block[f].second, Sec(20, 0, s));
                EXPECT_EQ(block[f].frameType, f == 0 ? 1 : 2);
                EXPECT_EQ(r.FrameData(block[f]), Payload(50 + c * 10 + f, c * 100 + s * 10 + f));
            }
        }
    }
}

TEST_F(ModuleRecordTest, RestartClosesTheRunningRecordingFirst)
{
    const int date = 20260101;
    ModuleRecord w;
    ASSERT_TRUE(w.StartRecord(0, date, 100000, m_folder, 0, 2));
    ASSERT_GT(Write(w, 0, date, 100000, 1, 2, Payload(10, 1)), 0);
    ASSERT_TRUE(w.StartRecord(0, date, 100500, m_folder, 0, 2));
    RecordReader r;
    ASSERT_TRUE(Read(r, date, "h100000.001"));
    const auto block = r.Block(r.Entry(Sec(10, 0, 0)).offset);
    ASSERT_EQ(block.size(), 1);
    EXPECT_EQ(r.FrameData(block[0]), Payload(10, 1));
}

TEST_F(ModuleRecordTest, ArchiveRefreshOncePerStartedRecording)
{
    std::vector<std::pair<int, int>> calls;
    ModuleRecord w;
    w.SetArchiveRefresh([&](int rec, int kind) { calls.emplace_back(rec, kind); });
    ASSERT_TRUE(w.StartRecord(0, 20260101, 100000, m_folder, 9, ModuleRecord::EventData));
    ASSERT_GT(Write(w, 0, 20260101, 100000, 1, 2, Payload(10, 1)), 0);
    ASSERT_GT(Write(w, 0, 20260101, 100001, 1, 2, Payload(10, 2)), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(9, int(ModuleRecord::EventData)));

    ASSERT_TRUE(w.StartRecord(1, 20260101, 100000, m_folder, 9, ModuleRecord::BackupData));
    w.SetNoRefresh(true);
    ASSERT_GT(Write(w, 1, 20260101, 100000, 1, 2, Payload(10, 1)), 0);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(ModuleRecordTest, MissingFilesMidRecordingAreReportedNotCreated)
{
    const int date = 20260101;
    ModuleRecord w;
    ASSERT_TRUE(w.StartRecord(0, date, 100000, m_folder, 0, 2));
    ASSERT_GT(Write(w, 0, date, 100000, 1, 2, Payload(10, 1)), 0);
    ASSERT_TRUE(QFile::remove(IndexPath(date, "h100000.001")));
    EXPECT_EQ(Write(w, 0, date, 100001, 2, 2, Payload(10, 2)), 0);
    EXPECT_FALSE(QFile::exists(IndexPath(date, "h100000.001")));
}

// The first failed write ends the recording: nothing more is written, and the failure names
// the file and says whether the disk is full.
TEST_F(ModuleRecordTest, FirstFailedWriteStopsTheChannelAndNamesTheFile)
{
    const int date = 20260101;
    const struct Case
    {
        const char* name;
        bool videoFull; // the video file lies on a full disk; otherwise the index file is gone
        bool diskFull;
    } cases[] = {{"video on a full disk", true, true}, {"index file removed", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModuleRecord w;
        ASSERT_TRUE(w.StartRecord(0, date, 100000, m_folder, 0, 2));
        ASSERT_GT(Write(w, 0, date, 100000, 1, 2, Payload(10, 1)), 0);
        EXPECT_FALSE(w.Failed(0));
        const QString broken = c.videoFull ? VideoPath(date, "h100000.001") : IndexPath(date, "h100000.001");
        if (c.videoFull)
            ASSERT_TRUE(recordtest::MakeDiskFull(broken));
        else
            ASSERT_TRUE(QFile::remove(broken));
        EXPECT_EQ(Write(w, 0, date, 100000, 2, 2, Payload(10, 2)), 0);
        ASSERT_TRUE(w.Failed(0));
        EXPECT_EQ(w.Failure(0).file, broken);
        EXPECT_EQ(w.Failure(0).diskFull, c.diskFull);
        EXPECT_FALSE(w.Failed(1));
        // Later frames are not written, not even when the file is back.
        QFile::remove(broken);
        QFile back(broken);
        ASSERT_TRUE(back.open(QIODevice::WriteOnly));
        back.close();
        EXPECT_EQ(Write(w, 0, date, 100001, 1, 2, Payload(10, 3)), 0);
        EXPECT_EQ(QFileInfo(broken).size(), 0);
        EXPECT_FALSE(w.StopRecord(0));
        const QString text = ModuleRecord::FailureText(QStringLiteral("Recording of gate"), w.Failure(0));
        EXPECT_TRUE(text.startsWith(QStringLiteral("Recording of gate stopped: "))) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(broken))) << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("the disk is full")), c.diskFull) << text.toStdString();
        // A new recording starts clean.
        ASSERT_TRUE(w.StartRecord(0, date, 110000, m_folder, 0, 2));
        EXPECT_FALSE(w.Failed(0));
        EXPECT_GT(Write(w, 0, date, 110000, 1, 2, Payload(10, 4)), 0);
        EXPECT_TRUE(w.StopRecord(0));
    }
}

// A full disk when the recording's files are made (the index file cannot take its header).
TEST_F(ModuleRecordTest, FullDiskAtTheFirstFrameIsAFailure)
{
    const int date = 20260101;
    ModuleRecord w;
    ASSERT_TRUE(w.StartRecord(0, date, 100000, m_folder, 0, 2));
    ASSERT_TRUE(QDir().mkpath(Day(date)));
    // The writer removes the old files of its names first: the whole day folder is the full disk.
    ASSERT_TRUE(QDir(Day(date)).removeRecursively());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), Day(date)));
    EXPECT_EQ(Write(w, 0, date, 100000, 1, 2, Payload(10, 1)), 0);
    EXPECT_TRUE(w.Failed(0));
    EXPECT_EQ(w.State(0), 1);
}

TEST_F(ModuleRecordTest, PackedTimeStamp)
{
    // 2026-12-09 12:34:56: second 45296 << 10 | 9 << 27 | 12 << 32 | 2026 << 36.
    EXPECT_EQ(ModuleRecord::PackTime(20261209, 123456), 0x00007EAC4AC3C000ull);
    // 9999-12-31 23:59:59
    EXPECT_EQ(ModuleRecord::PackTime(99991231, 235959), 0x000270FCFD45FC00ull);
}

// Every recorder of the site book owns three writers from the start; a writer that never records
// must cost next to nothing (its frame-header buffers come with the first recording).
TEST(ModuleRecordFootprint, IdleWritersHoldNoFrameHeaderBuffers)
{
    constexpr int kWriters = 200;
    const size_t before = mallinfo2().uordblks;
    std::vector<std::unique_ptr<ModuleRecord>> writers;
    writers.reserve(kWriters);
    for (int i = 0; i < kWriters; ++i)
        writers.push_back(std::make_unique<ModuleRecord>());
    const size_t idle = (mallinfo2().uordblks - before) / kWriters;
    // One channel's buffers alone are 40 slots of 336 bytes.
    EXPECT_LT(idle, size_t(ModuleRecord::kSlotsPerSecond * ModuleRecord::kSlotSize));
}

TEST_F(ModuleRecordTest, FirstRecordingMakesTheBuffersItNeeds)
{
    ModuleRecord w;
    const int date = 20261209;
    ASSERT_TRUE(w.StartRecord(3, date, 80000, m_folder, 0, 2));
    ASSERT_GT(Write(w, 3, date, 80000, 1, 2, Payload(100, 7)), 0);
    ASSERT_GT(Write(w, 3, date, 80001, 2, 2, Payload(50, 8)), 0);
    // The first second's frame header went out with the second one: its slot says 511 and the
    // channel with the size.
    QFile video(VideoPath(date, "h080000.004"));
    ASSERT_TRUE(video.open(QIODevice::ReadOnly));
    const QByteArray bytes = video.readAll();
    ASSERT_GE(bytes.size(), 100 + ModuleRecord::kSlotSize);
    EXPECT_EQ(quint8(bytes[100]), 0xFF);
    EXPECT_EQ(quint8(bytes[101]), 0x01);
    EXPECT_EQ(quint32(quint8(bytes[104])) | quint32(quint8(bytes[105])) << 8 | quint32(quint8(bytes[106])) << 16,
              (100u << 9) | 3u);
}

TEST(ModuleRecordNames, SafePathComponent)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Front door", "Front door"},
        {"../../etc", ".._.._etc"},
        {"..", "_"},
        {".", "_"},
        {"", "_"},
        {"a/b\\c", "a_b_c"},
        {"cam:1*?", "cam_1__"},
        {"  x  ", "x"},
        {"tab\there", "tab_here"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleRecord::SafePathComponent(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

// Names longer than a file name may be (255 bytes) are cut at a whole character and marked with a
// digest of the whole name; names that fit stay as they are.
TEST(ModuleRecordNames, SafePathComponentFitsAFileName)
{
    const QString cjk200(200, QChar(0x76E3));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\xB7"); // one character, two UTF-16 units
    struct Case
    {
        const char* what;
        QString in;
        int maxBytes;
        int keptPrefix; // UTF-16 units of the input kept in front of the mark; -1: unchanged
    };
    const Case cases[] = {
        {"ascii that fits", QString(255, 'n'), 255, -1},
        {"cjk that fits", QString(85, QChar(0x76E3)), 255, -1}, // 255 bytes
        {"ascii one byte over", QString(256, 'n'), 255, 246},
        {"cjk 600 bytes", cjk200, 255, 82},      // 246 bytes hold 82 of them
        {"room left for .jpg", cjk200, 251, 80}, // 242 bytes: 80
        {"a pair is never split", QString(245, 'n') + emoji + QString(20, 'n'), 255, 245},
        {"a pair that fits whole", QString(242, 'n') + emoji + QString(20, 'n'), 255, 244},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString out = ModuleRecord::SafePathComponent(c.in, c.maxBytes);
        EXPECT_LE(out.toUtf8().size(), c.maxBytes);
        if (c.keptPrefix < 0) {
            EXPECT_EQ(out, c.in);
            continue;
        }
        EXPECT_EQ(out.size(), c.keptPrefix + 9);
        EXPECT_EQ(out.left(c.keptPrefix), c.in.left(c.keptPrefix));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("~[0-9a-f]{8}$")).match(out).hasMatch())
            << out.toStdString();
    }
    // Names that differ only past the cut stay apart; the same name gives the same component.
    EXPECT_NE(ModuleRecord::SafePathComponent(cjk200 + QChar(0x8996)),
              ModuleRecord::SafePathComponent(cjk200 + QChar(0x9332)));
    EXPECT_EQ(ModuleRecord::SafePathComponent(cjk200), ModuleRecord::SafePathComponent(cjk200));
    EXPECT_EQ(ModuleRecord::SafePathComponent(QString(300, 'n')).left(246), QString(246, 'n'));
}

} // namespace
