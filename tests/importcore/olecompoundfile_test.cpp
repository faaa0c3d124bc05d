// The compound file reader against files laid out by hand and read back by olefile: streams in
// the mini stream and in the FAT, storages and paths, the DIFAT chain, and a table of broken files
// that must each fail with a reason instead of running on or reading outside the file.
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include "importcore/olecompoundfile.h"
#include "importcore/support/cfbbuilder.h"
#include "importcore/support/xlsreference.h"

namespace {

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7 + i / 251) & 0xFF);
    return bytes;
}

class OleCompoundFileTest : public ::testing::Test
{
protected:
    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("file.cfb"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(OleCompoundFileTest, StreamsMatchWhatOlefileReads)
{
    CfbBuilder builder;
    // Several small streams first, so that later ones sit beyond the first 512 bytes of the
    // mini stream; an unused entry in between must not shift the entry numbers after it.
    builder.AddStream(QStringLiteral("One"), Pattern(1, 1));
    builder.AddStream(QStringLiteral("Small"), Pattern(700, 2));
    builder.AddUnusedEntry();
    builder.AddStream(QStringLiteral("Below"), Pattern(4095, 3));
    builder.AddStream(QStringLiteral("Workbook"), Pattern(4096, 4));
    builder.AddStream(QStringLiteral("Large"), Pattern(20000, 5));
    builder.AddStream(QStringLiteral("Empty"), QByteArray());
    const int storage = builder.AddStorage(QStringLiteral("Inner"));
    builder.AddStream(QStringLiteral("Deep"), Pattern(100, 6), storage);
    const QString path = Write(builder.Build());

    const QJsonArray streams =
        xlsreference::RunJson({QStringLiteral("streams"), path})[QStringLiteral("streams")].toArray();
    ASSERT_EQ(streams.size(), 7);

    OleCompoundFile file;
    ASSERT_TRUE(file.open(path, OleBlockFile::Mode::Read)) << file.errorString().toStdString();
    for (const QJsonValue& value : streams) {
        const QJsonObject stream = value.toObject();
        const QString streamPath = stream[QStringLiteral("path")].toString();
        quint32 size = 0;
        ASSERT_EQ(file.entrySize(streamPath, &size), OleResult::Ok) << streamPath.toStdString();
        EXPECT_EQ(size, quint32(stream[QStringLiteral("size")].toInt())) << streamPath.toStdString();
        QByteArray bytes;
        ASSERT_EQ(file.readEntry(streamPath, &bytes), OleResult::Ok) << streamPath.toStdString();
        EXPECT_EQ(bytes.toHex(), stream[QStringLiteral("hex")].toString().toLatin1()) << streamPath.toStdString();
    }
}

TEST_F(OleCompoundFileTest, NamesAndPaths)
{
    CfbBuilder builder;
    builder.AddStream(QStringLiteral("Workbook"), Pattern(300, 1));
    const int storage = builder.AddStorage(QStringLiteral("Inner"));
    builder.AddStream(QStringLiteral("Deep"), Pattern(50, 2), storage);
    OleCompoundFile file;
    ASSERT_TRUE(file.open(Write(builder.Build()), OleBlockFile::Mode::Read));

    const struct
    {
        const char* path;
        OleResult found;
        int size;
    } cases[] = {
        {"Workbook", OleResult::Ok, 300},
        {"\\Workbook", OleResult::Ok, 300},
        {"workbook", OleResult::EntryNotFound, 0},
        {"WORKBOOK", OleResult::EntryNotFound, 0},
        {"Inner\\Deep", OleResult::Ok, 50},
        {"\\Inner\\.\\Deep", OleResult::Ok, 50},
        {"Inner\\..\\Workbook", OleResult::Ok, 300},
        {"Deep", OleResult::EntryNotFound, 0},
        {"Missing\\Deep", OleResult::EntryNotFound, 0},
    };
    for (const auto& c : cases) {
        QByteArray bytes;
        EXPECT_EQ(file.readEntry(QString::fromLatin1(c.path), &bytes), c.found) << c.path;
        EXPECT_EQ(bytes.size(), c.size) << c.path;
    }

    QByteArray bytes;
    EXPECT_EQ(file.readStream("Workbook", &bytes), OleResult::Ok);
    EXPECT_EQ(bytes, Pattern(300, 1));

    // The current storage decides where a relative path starts; a missing storage leaves it.
    EXPECT_EQ(file.changeDirectory(QStringLiteral("Inner")), OleResult::Ok);
    EXPECT_EQ(file.readEntry(QStringLiteral("Deep"), &bytes), OleResult::Ok);
    EXPECT_EQ(file.readEntry(QStringLiteral("\\Workbook"), &bytes), OleResult::Ok);
    EXPECT_EQ(file.changeDirectory(QStringLiteral("Nowhere")), OleResult::StorageNotFound);
    EXPECT_EQ(file.CurrentStorage()->Entry().Name(), QStringLiteral("Inner"));
    EXPECT_EQ(file.changeDirectory(QStringLiteral("..")), OleResult::Ok);
    EXPECT_EQ(file.CurrentStorage(), file.Root());
    EXPECT_EQ(file.changeDirectory(QStringLiteral("..")), OleResult::Ok);
    EXPECT_EQ(file.CurrentStorage(), file.Root());

    // The root's own stream is the mini stream container.
    quint32 rootSize = 0;
    EXPECT_EQ(file.entrySize(QStringLiteral("\\"), &rootSize), OleResult::Ok);
    EXPECT_EQ(rootSize, 5u * 64u + 64u);
}

TEST_F(OleCompoundFileTest, MoreThan109FatSectorsGoThroughTheDifatChain)
{
    CfbBuilder builder;
    const QByteArray large = Pattern(8 * 1024 * 1024, 9);
    builder.AddStream(QStringLiteral("Workbook"), large);
    const QString path = Write(builder.Build());
    ASSERT_GT(builder.fatSectors, 109u);
    ASSERT_GE(builder.difatSectors, 1u);

    OleCompoundFile file;
    ASSERT_TRUE(file.open(path, OleBlockFile::Mode::Read)) << file.errorString().toStdString();
    QByteArray bytes;
    ASSERT_EQ(file.readStream("Workbook", &bytes), OleResult::Ok) << file.errorString().toStdString();
    EXPECT_TRUE(bytes == large);
    const QJsonArray streams =
        xlsreference::RunJson({QStringLiteral("streams"), path})[QStringLiteral("streams")].toArray();
    ASSERT_EQ(streams.size(), 1);
    EXPECT_EQ(streams[0].toObject()[QStringLiteral("size")].toInt(), large.size());

    // The same file with its DIFAT chain cut, and with it looping back on itself.
    QByteArray cut = builder.Build();
    CfbBuilder::PutU32(&cut, 68, CfbBuilder::kEnd);
    ASSERT_FALSE(file.open(Write(cut, QStringLiteral("cut.cfb")), OleBlockFile::Mode::Read));
    EXPECT_TRUE(file.errorString().contains(QLatin1String("DIFAT chain ends after 109 of")))
        << file.errorString().toStdString();
    QByteArray looping = builder.Build();
    CfbBuilder::PutU32(&looping, 44, 109 + 127 + 1);
    CfbBuilder::PutU32(&looping, CfbBuilder::SectorOffset(builder.firstDifatSector) + 508,
                       builder.firstDifatSector);
    ASSERT_FALSE(file.open(Write(looping, QStringLiteral("loop.cfb")), OleBlockFile::Mode::Read));
    EXPECT_TRUE(file.errorString().contains(QLatin1String("DIFAT chain loops")))
        << file.errorString().toStdString();
}

TEST_F(OleCompoundFileTest, ReservedBytesAfterTheMiniSectorShiftAreNotPartOfIt)
{
    CfbBuilder builder;
    builder.AddStream(QStringLiteral("Workbook"), Pattern(100, 1));
    QByteArray bytes = builder.Build();
    CfbBuilder::PutU16(&bytes, 34, 0x0001);
    OleCompoundFile file;
    ASSERT_TRUE(file.open(Write(bytes), OleBlockFile::Mode::Read)) << file.errorString().toStdString();
    EXPECT_EQ(file.Header().miniSectorShift, 6);
    QByteArray stream;
    EXPECT_EQ(file.readStream("Workbook", &stream), OleResult::Ok);
}

TEST_F(OleCompoundFileTest, AReadOnlyFileOpensForReading)
{
    CfbBuilder builder;
    builder.AddStream(QStringLiteral("Workbook"), Pattern(100, 1));
    const QString path = Write(builder.Build());
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    OleCompoundFile file;
    EXPECT_TRUE(file.open(path, OleBlockFile::Mode::Read)) << file.errorString().toStdString();
    file.close();
    EXPECT_FALSE(file.isOpen());
}

// How one good file is broken, and where it must fail: at open, or when the stream is read.
struct Breakage
{
    const char* what;
    std::function<void(QByteArray*, const CfbBuilder&)> breakIt;
    bool opens;
    const char* reason;
};

TEST_F(OleCompoundFileTest, BrokenFilesFailWithAReason)
{
    using B = CfbBuilder;
    const int kLarge = 1, kSmall = 2;
    const std::vector<Breakage> cases = {
        {"empty file", [](QByteArray* f, const B&) { f->clear(); }, false, "shorter than"},
        {"header cut short", [](QByteArray* f, const B&) { f->truncate(300); }, false, "shorter than"},
        {"wrong signature", [](QByteArray* f, const B&) { (*f)[0] = 'X'; }, false, "signature"},
        {"4096-byte sectors", [](QByteArray* f, const B&) { B::PutU16(f, 30, 12); }, false, "sector shift 12"},
        {"mini sector shift 7", [](QByteArray* f, const B&) { B::PutU16(f, 32, 7); }, false,
         "mini sector shift 7"},
        {"huge FAT sector count", [](QByteArray* f, const B&) { B::PutU32(f, 44, 0xFFFFFFFF); }, false,
         "FAT sectors"},
        {"FAT sector beyond the file", [](QByteArray* f, const B&) { B::PutU32(f, 76, 5000); }, false,
         "beyond the end"},
        {"directory chain loops",
         [](QByteArray* f, const B& b) {
             B::PutU32(f, b.FatEntryOffset(b.firstDirectorySector), b.firstDirectorySector);
         },
         false, "loops"},
        {"directory chain leaves the FAT",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.FatEntryOffset(b.firstDirectorySector), 0x00FFFFFF); },
         false, "outside its table"},
        {"mini FAT chain loops",
         [](QByteArray* f, const B& b) {
             B::PutU32(f, b.FatEntryOffset(b.firstMiniFatSector), b.firstMiniFatSector);
             B::PutU32(f, 64, 1000);
         },
         false, "loops"},
        {"no root entry", [](QByteArray* f, const B& b) { B::PutU16(f, b.EntryOffset(0), 0); }, false,
         "root entry"},
        {"child link back to the root",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.EntryOffset(kLarge) + 76, 0); }, false, "loops"},
        {"sibling link to itself",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.EntryOffset(kSmall) + 72, kSmall); }, false, "loops"},
        {"entry beyond the directory",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.EntryOffset(kSmall) + 68, 4000); }, false,
         "beyond the directory"},
        {"stream chain loops",
         [](QByteArray* f, const B& b) {
             B::PutU32(f, b.FatEntryOffset(b.startOf[kLarge] + 2), b.startOf[kLarge]);
         },
         true, "loops"},
        {"stream chain ends early",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.FatEntryOffset(b.startOf[kLarge] + 2), B::kEnd); }, true,
         "holds 3 of its 20 sectors"},
        {"stream size larger than the file",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.EntryOffset(kLarge) + 120, 0x7FFFFFFF); }, true,
         "larger than the file"},
        {"file cut inside the stream",
         [](QByteArray* f, const B& b) { f->truncate(int(B::SectorOffset(b.startOf[kLarge] + 18))); }, true,
         "beyond the end of the file"},
        {"mini stream chain loops",
         [](QByteArray* f, const B& b) {
             B::PutU32(f, B::SectorOffset(b.firstMiniFatSector) + 4 * (b.startOf[kSmall] + 1), b.startOf[kSmall]);
         },
         true, "loops"},
        {"mini sector beyond the mini stream",
         [](QByteArray* f, const B& b) { B::PutU32(f, b.EntryOffset(0) + 120, 64); }, true,
         "beyond the mini stream"},
    };
    for (const Breakage& c : cases) {
        CfbBuilder builder;
        builder.AddStream(QStringLiteral("Large"), Pattern(10000, 1));
        builder.AddStream(QStringLiteral("Small"), Pattern(1000, 2));
        QByteArray bytes = builder.Build();
        c.breakIt(&bytes, builder);
        OleCompoundFile file;
        const bool opened = file.open(Write(bytes), OleBlockFile::Mode::Read);
        EXPECT_EQ(opened, c.opens) << c.what << ": " << file.errorString().toStdString();
        if (opened) {
            QByteArray large, small;
            const OleResult largeRead = file.readStream("Large", &large);
            const OleResult smallRead = file.readStream("Small", &small);
            EXPECT_TRUE(largeRead == OleResult::BrokenChain || smallRead == OleResult::BrokenChain) << c.what;
        }
        EXPECT_TRUE(file.errorString().contains(QLatin1String(c.reason)))
            << c.what << ": " << file.errorString().toStdString();
    }
}

TEST_F(OleCompoundFileTest, AMissingFileFails)
{
    OleCompoundFile file;
    EXPECT_FALSE(file.open(dir.filePath(QStringLiteral("absent.xls")), OleBlockFile::Mode::Read));
    EXPECT_TRUE(file.errorString().contains(QLatin1String("cannot open")));
    QByteArray bytes;
    EXPECT_EQ(file.readStream("Workbook", &bytes), OleResult::EntryNotFound);
}

} // namespace
