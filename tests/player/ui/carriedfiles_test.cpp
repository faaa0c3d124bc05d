// The carried files at the end of the program file: written out only when their slot holds a
// file, from the offsets and sizes of their slots.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/carriedfiles.h"

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(PlayerCarriedFiles, WritesTheLibraryOfAProgramThatCarriesIt)
{
    EXPECT_EQ(CarriedFiles::kTrailerSize, 1159813);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray library = QByteArray("\x7f"
                                          "ELF",
                                          4)
                               + QByteArray(1000, 'L');
    const QByteArray trailer = CarriedFiles::MakeTrailer(library, QByteArray());
    EXPECT_EQ(trailer.mid(CarriedFiles::kLibrarySize), QByteArray(CarriedFiles::kInstallerSize, '\0'));
    ASSERT_EQ(trailer.size(), CarriedFiles::kTrailerSize);
    Write(dir.filePath("orvane"), QByteArray(5000, 'P') + trailer);

    const QString lib = dir.filePath("c/Player/KRO_SDK_H264_Dec.dll");
    const QString installer = dir.filePath("c/Player/XviD_Codec.exe");
    const QString cd = dir.filePath("c/Player/CD_DATA");
    const CarriedFiles::Result result = CarriedFiles::WriteOut(dir.filePath("orvane"), lib, installer, cd);
    EXPECT_TRUE(result.libraryWritten);
    EXPECT_FALSE(result.installerWritten); // the empty slot carries no installer
    const QByteArray written = ReadAll(lib);
    ASSERT_EQ(written.size(), CarriedFiles::kLibrarySize);
    EXPECT_TRUE(written.startsWith(library));
    EXPECT_FALSE(QFile::exists(installer));
    EXPECT_TRUE(QDir(cd).exists());

    QDir().mkpath(cd + "/copy");
    CarriedFiles::Remove(lib, installer, cd);
    EXPECT_FALSE(QFile::exists(lib));
    EXPECT_FALSE(QDir(cd).exists());
    EXPECT_TRUE(QDir(dir.filePath("c/Player")).exists());
}

TEST(PlayerCarriedFiles, AProgramWithoutCarriedFilesWritesNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString lib = dir.filePath("c/Player/KRO_SDK_H264_Dec.dll");
    Write(dir.filePath("big"), QByteArray(2000000, 'x'));
    Write(dir.filePath("small"), QByteArray(100, 'x'));
    for (const char* program : {"big", "small", "missing"}) {
        const CarriedFiles::Result r = CarriedFiles::WriteOut(dir.filePath(program), lib, dir.filePath("i.exe"),
                                                              dir.filePath("c/Player/CD_DATA"));
        EXPECT_FALSE(r.libraryWritten) << program;
        EXPECT_FALSE(r.installerWritten) << program;
        EXPECT_FALSE(QFile::exists(lib)) << program;
    }
    EXPECT_TRUE(CarriedFiles::MakeTrailer(QByteArray(CarriedFiles::kLibrarySize + 1, 'x'), {}).isEmpty());
}
