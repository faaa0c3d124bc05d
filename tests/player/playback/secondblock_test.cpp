// The walk from an index entry to its frame block, on index and data bytes laid out by hand.
#include "playback/secondblock.h"

#include "support/mediabytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A client recording index: 32 header entries, then one 16-byte entry per second.
QByteArray Index(const QVector<quint64>& blockOffsets)
{
    QByteArray bytes(IndexLayout::kEntry512 * (32 + blockOffsets.size()), '\0');
    for (int s = 0; s < blockOffsets.size(); ++s) {
        const int at = (32 + s) * IndexLayout::kEntry512;
        if (blockOffsets[s] == 0)
            continue; // an empty second: all zero
        U64(bytes, at, 1);
        U64(bytes, at + 8, blockOffsets[s]);
    }
    return bytes;
}

// One 56-byte client frame header: mark 511, length 40 (bits 9.. of word 4), a key frame,
// data at dataAt, 10:00:05 on 2026-12-10; the next word ends the block.
QByteArray Block(quint64 dataAt)
{
    QByteArray h(FrameBlock::kShortStride + 4, '\0');
    U32(h, 0, 511);
    U32(h, 4, 40u << 9);
    U32(h, 16, 2);
    U64(h, 20, dataAt);
    U64(h, 28, dataAt);
    U32(h, 44, (10u << 27) | (36005u << 10));
    U32(h, 48, (2026u << 4) | 12u);
    return h;
}

TEST(SecondBlock, ReadAtTakesOnlyWhatTheFileHoldsWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f");
    Write(path, QByteArray("0123456789"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const struct
    {
        qint64 pos, size;
        QByteArray expected;
    } cases[] = {{0, 10, "0123456789"}, {6, 4, "6789"}, {7, 4, ""},  {-1, 2, ""}, {3, 0, ""},
                 {3, -5, ""},           {11, 1, ""},    {4, 2, "45"}};
    for (const auto& c : cases)
        EXPECT_EQ(SecondBlock::ReadAt(file, c.pos, c.size), c.expected) << c.pos << " " << c.size;
}

TEST(SecondBlock, EntriesGiveTheirBlockOrSayWhyNot)
{
    QTemporaryDir dir;
    RecordingPaths paths;
    paths.kind = RecordingKind::ClientFile;
    paths.dataPath = dir.filePath("h100000.003");
    paths.indexPath = dir.filePath("ih100000.003");
    // Second 0 at data offset 100, second 1 empty, second 2 past the data's end.
    Write(paths.indexPath, Index({100, 0, 5000}));
    Write(paths.dataPath, QByteArray(100, 'x') + Block(300) + QByteArray(300, 'y'));
    QFile index(paths.indexPath);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    auto at = [](int second) { return qint64(32 + second) * IndexLayout::kEntry512; };

    SecondBlock walk;
    QFile data;
    ASSERT_EQ(walk.Read(paths, index, at(0), data), SecondBlock::Outcome::Read);
    EXPECT_EQ(walk.Entry().offset, 100);
    ASSERT_EQ(walk.Block().Count(), 1);
    EXPECT_EQ(walk.Block().Header(0).dataOffset, 300);
    EXPECT_EQ(walk.Block().Header(0).dataLength, 40);
    EXPECT_EQ(walk.Block().Header(0).time, 100005);
    EXPECT_EQ(walk.Block().Header(0).date, 20261210);
    EXPECT_TRUE(data.isOpen());
    EXPECT_EQ(data.fileName(), paths.dataPath);

    const struct
    {
        qint64 pos;
        SecondBlock::Outcome outcome;
    } cases[] = {{at(1), SecondBlock::Outcome::NoData},
                 {at(3), SecondBlock::Outcome::NoData},
                 {-16, SecondBlock::Outcome::NoData},
                 {at(2), SecondBlock::Outcome::Unreadable}};
    for (const auto& c : cases) {
        EXPECT_EQ(walk.Read(paths, index, c.pos, data), c.outcome) << c.pos;
        EXPECT_EQ(walk.Block().Count(), 0) << c.pos;
    }

    RecordingPaths missing = paths;
    missing.dataPath = dir.filePath("h999999.003");
    EXPECT_EQ(walk.Read(missing, index, at(0), data), SecondBlock::Outcome::Unreadable);
}

} // namespace
