// The player's recording writer: index bytes written out by hand from the layout, the limits,
// and a writer → reader round trip.
#include "playback/video_info.h"
#include "playback/videoinfoindex.h"
#include "support/emptyrunindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A frame of the given length whose word at bytes 2..3 is `word` (big-endian).
QByteArray Frame(int length, quint16 word, char fill = 'v')
{
    QByteArray f(length, fill);
    f[0] = 0;
    f[1] = 0;
    f[2] = char(word >> 8);
    f[3] = char(word & 0xFF);
    return f;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const QString kName = QStringLiteral("20240131081510x");

class VideoInfoTest : public ::testing::Test
{
protected:
    QString Folder() const { return dir.path() + QLatin1Char('/'); }
    int Write(const QByteArray& frame, int code = 5)
    {
        return writer.WriteFrame(Folder(), kName, "Cam 2", frame.constData(), frame.size(), code, 7, 0);
    }
    QTemporaryDir dir;
    Video_Info writer;
};

TEST(VideoInfoNames, ChannelGroupAndFileNames)
{
    const QByteArray f = Frame(8, 0x8A00);
    EXPECT_EQ(Video_Info::FrameChannel(f.constData()), 2);
    EXPECT_TRUE(Video_Info::StartsGroup(f.constData()));
    EXPECT_FALSE(Video_Info::StartsGroup(Frame(8, 0x8800).constData()));
    EXPECT_EQ(Video_Info::DataFileName(kName, 2), QStringLiteral("x081510.002"));
    EXPECT_EQ(Video_Info::IndexFileName(kName, 12), QStringLiteral("ix081510.012"));
    EXPECT_TRUE(Video_Info::DataFileName(QStringLiteral("2024013108151x"), 2).isEmpty());
}

TEST_F(VideoInfoTest, FirstAndSecondFrameIndexBytes)
{
    ASSERT_EQ(Write(Frame(100, 0x8A00)), 0);
    const QString index = Folder() + QStringLiteral("ix081510.002");
    // Frame record: 50, 50 (24 bits), code 5.
    // File record: FFFFFFFF, 0, total 100, size 32, 1 frame, last code 5, 0, 1 key entry,
    //   key entry frame 0 offset 0, 0, 0.
    // Header: FFFFFFFF, 2024, 1, 31, 8, 15, 10, x → 0, 401, 240, channel index 1, "Cam 2",
    //   0, frames 1, 1, flag 0, value 7, 0, 0, 1 entry, 0 0 0 record offset 6, 84.
    const QByteArray first = Hex("3200 320000 05"
                                 "ffffffff 00000000 64000000 2000 0100 05 00 0100"
                                 "0000 0000 00000000 00000000"
                                 "ffffffff e807 01 1f 08 0f 0a 00 9101 f000 01000000"
                                 "43616d2032000000000000000000000000000000"
                                 "00000000 01000000 01000000 00 07 0000 00000000 01000000"
                                 "00000000 00000000 00000000 06000000 54000000");
    ASSERT_EQ(first.size(), 122);
    EXPECT_EQ(ReadAll(index), first);

    // A second frame that starts no group; odd length 51 is padded to 52.
    ASSERT_EQ(Write(Frame(51, 0x8800), 3), 0);
    const QByteArray second = ReadAll(index);
    ASSERT_EQ(second.size(), 128);
    EXPECT_EQ(second.left(12), Hex("3200 320000 05 1a00 1a0000 03"));
    EXPECT_EQ(second.mid(12, 20), Hex("ffffffff 00000000 98000000 2000 0200 03 00 0100"));
    EXPECT_EQ(second.mid(44 + 44, 8), Hex("02000000 02000000"));
    EXPECT_EQ(second.right(8), Hex("0c000000 54000000"));
    EXPECT_EQ(ReadAll(Folder() + QStringLiteral("x081510.002")).size(), 152);
}

TEST_F(VideoInfoTest, RefusedFramesChangeNothing)
{
    struct Case
    {
        const char* what;
        QByteArray frame;
    };
    const Case cases[] = {
        {"65,535 bytes cannot be stored halved below 0x8000", Frame(65535, 0x8A00)},
        {"65,536 bytes", Frame(65536, 0x8A00)},
        {"channel 0", Frame(100, 0x7A00)},
        {"channel bits 0", Frame(100, 0x0200)},
        {"too short for its word", QByteArray(3, '\0')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Write(c.frame), -1) << c.what;
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << c.what;
    }
    EXPECT_EQ(
        writer.WriteFrame(Folder(), QStringLiteral("2024013108x"), "", Frame(10, 0x8A00).constData(), 10, 1, 0, 0),
        -1);
    EXPECT_EQ(Write(Frame(65534, 0x8A00)), 0);
    EXPECT_EQ(writer.WriteFrame(Folder() + QStringLiteral("missing/"), kName, "", Frame(10, 0x8A00).constData(),
                                10, 1, 0, 0),
              -1);
}

TEST_F(VideoInfoTest, ThreeThousandFramesThenFull)
{
    const QByteArray key = Frame(10, 0x8A00);
    const QByteArray plain = Frame(10, 0x8800);
    for (int i = 0; i < Video_Info::kMaxFrames; ++i)
        ASSERT_EQ(Write(i % 30 == 0 ? key : plain), 0) << i;
    const QByteArray index = ReadAll(writer.IndexPath());
    const qint64 dataSize = QFileInfo(writer.DataPath()).size();
    EXPECT_EQ(Write(key), -1);
    EXPECT_EQ(ReadAll(writer.IndexPath()), index);
    EXPECT_EQ(QFileInfo(writer.DataPath()).size(), dataSize); // checked before appending
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    ASSERT_TRUE(VideoInfoIndex::Parse(index, header, files));
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].frameCount, 3000);
    EXPECT_EQ(files[0].keys.size(), 100);
    EXPECT_EQ(files[0].keys.last().frame, 2970);
    EXPECT_EQ(files[0].keys.last().recordOffset, (2970 * 6) & 0xFFFF);
}

TEST_F(VideoInfoTest, WriterToReaderRoundTrip)
{
    QVector<QByteArray> frames;
    for (int i = 0; i < 40; ++i) {
        QByteArray f = Frame(1000 + 37 * i, i % 10 == 0 ? 0x8A00 : 0x8800, char('a' + i % 26));
        frames.append(f);
        ASSERT_EQ(Write(f, i == 5 ? 200 : i % 7), 0);
    }
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    ASSERT_TRUE(VideoInfoIndex::Parse(ReadAll(writer.IndexPath()), header, files));
    EXPECT_EQ(header.year, 2024);
    EXPECT_EQ(header.second, 10);
    EXPECT_EQ(header.channelIndex, 1);
    EXPECT_EQ(header.text, QByteArray("Cam 2"));
    EXPECT_EQ(header.frames, 40u);
    EXPECT_EQ(header.value53, 7);
    ASSERT_EQ(files.size(), 1);
    ASSERT_EQ(files[0].frames.size(), 40);
    const QByteArray data = ReadAll(writer.DataPath());
    for (int i = 0; i < 40; ++i) {
        const VideoInfoFrame& f = files[0].frames[i];
        EXPECT_EQ(data.mid(int(f.offset), frames[i].size()), frames[i]) << i;
        EXPECT_EQ(f.length, frames[i].size() + (frames[i].size() & 1)) << i;
        EXPECT_EQ(f.key, i % 10 == 0) << i;
        EXPECT_EQ(f.code, i == 5 ? Video_Info::kMaxFrameCode : i % 7) << i;
    }
    EXPECT_EQ(files[0].dataLength, quint32(data.size()));
}

TEST(VideoInfoIndexReader, DamagedIndexesAreRefused)
{
    QTemporaryDir dir;
    Video_Info writer;
    const QByteArray f = Frame(20, 0x8A00);
    ASSERT_EQ(writer.WriteFrame(dir.path() + QLatin1Char('/'), kName, "", f.constData(), f.size(), 1, 0, 0), 0);
    const QByteArray good = ReadAll(writer.IndexPath());
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    ASSERT_TRUE(VideoInfoIndex::Parse(good, header, files));
    for (int cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(VideoInfoIndex::Parse(good.left(cut), header, files)) << cut;
    QByteArray zeroYear = good;
    zeroYear[good.size() - 84 + 4] = 0;
    zeroYear[good.size() - 84 + 5] = 0;
    EXPECT_FALSE(VideoInfoIndex::Parse(zeroYear, header, files));
    QByteArray farOffset = good;
    farOffset[good.size() - 6] = char(0x7F);
    EXPECT_FALSE(VideoInfoIndex::Parse(farOffset, header, files));
    // A foreign index beside the data is not written over.
    QFile foreign(writer.IndexPath());
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray(200, 'z'));
    foreign.close();
    EXPECT_EQ(writer.WriteFrame(dir.path() + QLatin1Char('/'), kName, "", f.constData(), f.size(), 1, 0, 0), -1);
    EXPECT_EQ(ReadAll(writer.IndexPath()), QByteArray(200, 'z'));
}

TEST(VideoInfoIndexReader, FramesWithoutDataAreBoundedByTheIndexNotByTheirRuns)
{
    // Runs cost two bytes in the file and an entry each in memory: as many as one recording
    // holds are read, more in a file is refused instead of allocated.
    struct Case
    {
        const char* what;
        int files;
        int framesPerFile;
        bool read;
    };
    const Case cases[] = {
        {"one run of three", 1, 3, true},
        {"a hundred files of 3,000", 100, 3000, true},
        {"one file of 3,001", 1, 3001, false},
        {"one file of 65,535", 1, 65535, false},
        {"a hundred files of 65,535", 100, 65535, false},
    };
    for (const Case& c : cases) {
        VideoInfoHeader header;
        QVector<VideoInfoFile> files;
        const QByteArray index = EmptyRunIndex(c.files, c.framesPerFile);
        ASSERT_LT(index.size(), 9 * 1024) << c.what;
        EXPECT_EQ(VideoInfoIndex::Parse(index, header, files), c.read) << c.what;
        if (c.read) {
            ASSERT_EQ(files.size(), c.files) << c.what;
            EXPECT_EQ(files.last().frames.size(), c.framesPerFile) << c.what;
            EXPECT_EQ(files.last().frames.last().length, 0) << c.what;
        }
    }
}

} // namespace
