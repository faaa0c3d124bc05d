#pragma once
// The player's settings: "ClientSetup.ini" in the program folder (only read, and read again
// when its last-write time changes), the backup folder the player records and exports into,
// and the disk-space rules that keep that folder from filling its disk (oldest own recordings
// deleted first, or a full disk reported). Used from the user-interface thread and from the
// live recorder's thread, so every access holds the object's lock.
#include "playback/volumespace.h"

#include <QMutex>
#include <QString>
#include <QtGlobal>

class CClientSetup
{
public:
    // The bytes the live recorder asks for before it starts a new recording folder.
    static constexpr quint64 kRecordingReserve = 20971520;
    // With overwriting on, this much must stay free.
    static constexpr quint64 kOverwriteReserve = 2000000000;

    // volume may be null: the real volume is then asked.
    explicit CClientSetup(const VolumeSpace* volume = nullptr);

    // programFolder with or without its trailing "/"; creates "Backup/" beside it.
    void Init(const QString& programFolder);
    void LoadBackupSetup();
    void LoadDisplaySettings();
    QString GetBackupFolder();
    bool IsDiskFull(quint64 neededBytes);
    // 0, or -1 when overwriting is off, the disk is full and the warning is on.
    int RecycleDiskSpace(quint64 neededBytes);

    QString SettingsPath() const;
    int DiskOverwrite() const;
    int DiskUse() const;
    int DiskFullWarning() const;
    // One of the display keys ("Camera Name", "Color", …), or -1 for an unknown key.
    int DisplayValue(const QString& key) const;

private:
    void LoadBackupSetupLocked();
    bool IsDiskFullLocked(quint64 neededBytes) const;
    bool DeleteOneOldestRecording();

    mutable QMutex m_lock;
    StorageVolumeSpace m_storage;
    const VolumeSpace* m_volume;
    QString m_programFolder;
    QString m_settingsPath;
    QString m_displaySection;
    QString m_backupFolder;
    int m_diskOverwrite = 1;
    int m_diskFullWarning = 1;
    int m_diskUse = 90;
    int m_display[9] = {1, 1, 1, 1, 1, 16777215, 1, 1, 0};
    qint64 m_settingsWriteTime = 0;
};
