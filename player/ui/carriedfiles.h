#pragma once
// The two files carried at the end of the program file: first the H.264 decoder library in a
// slot of 524,288 bytes, then the codec installer in a slot of 635,525 bytes. This program
// carries our own decoder library (padded with zero bytes to its slot) and no installer (an
// empty slot of zero bytes). A slot is written out only when it holds a file: a library slot
// must begin with the ELF mark, an installer slot with the mark of a program, so a program file
// without carried files never writes the tail of its own code out as a library.
#include <QByteArray>
#include <QString>

class CarriedFiles
{
public:
    static constexpr qint64 kLibrarySize = 524288;
    static constexpr qint64 kInstallerSize = 635525;
    static constexpr qint64 kTrailerSize = kLibrarySize + kInstallerSize; // 1,159,813

    struct Result
    {
        bool libraryWritten = false;
        bool installerWritten = false;
    };

    // Copies the carried files of `programPath` to `libraryPath` and `installerPath` (each
    // written under a temporary name and renamed when whole); creates `cdDataFolder`.
    static Result WriteOut(const QString& programPath, const QString& libraryPath, const QString& installerPath,
                           const QString& cdDataFolder);
    // The slots of a trailer as they are appended to the program file.
    static QByteArray MakeTrailer(const QByteArray& library, const QByteArray& installer);
    // Removes the carried files and the CD copy folder with its contents; the folder that
    // holds them stays.
    static void Remove(const QString& libraryPath, const QString& installerPath, const QString& cdDataFolder);

    static bool IsLibrarySlot(const QByteArray& slot);
    static bool IsInstallerSlot(const QByteArray& slot);
};
