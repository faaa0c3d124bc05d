#include "ui/carriedfiles.h"
#include "ui/uilog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QByteArray ReadSlot(QFile& file, qint64 offset, qint64 size)
{
    if (!file.seek(offset))
        return {};
    const QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

bool WriteWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcPlayerUi) << "cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool CarriedFiles::IsLibrarySlot(const QByteArray& slot)
{
    return slot.size() == kLibrarySize
           && slot.startsWith("\x7f"
                              "ELF");
}

bool CarriedFiles::IsInstallerSlot(const QByteArray& slot)
{
    // An installer is a program: a Windows program, an ELF file or a script.
    return slot.size() == kInstallerSize
           && (slot.startsWith("MZ")
               || slot.startsWith("\x7f"
                                  "ELF")
               || slot.startsWith("#!"));
}

QByteArray CarriedFiles::MakeTrailer(const QByteArray& library, const QByteArray& installer)
{
    if (library.size() > kLibrarySize || installer.size() > kInstallerSize)
        return {};
    QByteArray trailer = library;
    trailer.append(QByteArray(kLibrarySize - library.size(), '\0'));
    trailer.append(installer);
    trailer.append(QByteArray(kInstallerSize - installer.size(), '\0'));
    return trailer;
}

CarriedFiles::Result CarriedFiles::WriteOut(const QString& programPath, const QString& libraryPath,
                                            const QString& installerPath, const QString& cdDataFolder)
{
    Result result;
    QFile program(programPath);
    if (program.open(QIODevice::ReadOnly) && program.size() >= kTrailerSize) {
        const qint64 start = program.size() - kTrailerSize;
        const QByteArray installer = ReadSlot(program, start + kLibrarySize, kInstallerSize);
        if (IsInstallerSlot(installer))
            result.installerWritten = WriteWhole(installerPath, installer);
        const QByteArray library = ReadSlot(program, start, kLibrarySize);
        if (IsLibrarySlot(library))
            result.libraryWritten = WriteWhole(libraryPath, library);
    }
    QDir().mkpath(cdDataFolder);
    return result;
}

void CarriedFiles::Remove(const QString& libraryPath, const QString& installerPath, const QString& cdDataFolder)
{
    for (const QString& path : {installerPath, libraryPath}) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path);
    }
    QDir(cdDataFolder).removeRecursively();
}
