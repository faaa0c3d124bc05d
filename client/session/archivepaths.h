#pragma once
// Where the client keeps what it records and photographs: one "backup" folder in the program
// directory, with a folder per archive kind ("BackupData", "Record_Live", "SnapShot", ...) and
// in each a folder per recorder. The recording writers, the snapshot writers and the archive
// lister of the site book all build their paths here, so they cannot drift apart (on a file
// system that tells "Backup" from "backup" they would be two folders).
#include <QString>

class ArchivePaths
{
public:
    static constexpr const char* kBackupFolder = "backup";
    static constexpr const char* kSnapshotKind = "SnapShot";

    // program directory + "/backup"
    static QString BackupRoot(const QString& programDirectory);
    // program directory + "/backup/" + kind
    static QString KindFolder(const QString& programDirectory, const QString& kind);
    // program directory + "/backup/" + kind + "/" + the recorder name as one safe path component
    static QString RecorderFolder(const QString& programDirectory, const QString& kind,
                                  const QString& recorderName);
};
