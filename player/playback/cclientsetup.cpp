#include "playback/cclientsetup.h"

#include "playback/oldestrecording.h"
#include "playback/playbacklog.h"
#include "playback/profileini.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

const char* const kBackupSection = "Backup Setup";
const char* const kDisplayKeys[9] = {"Camera Name", "DVR Name",     "Date",        "Time",    "Event",
                                     "Color",       "Cameo Number", "Base Number", "Seq Time"};
const int kDisplayInitial[9] = {1, 1, 1, 1, 1, 16777215, 1, 1, 0};
// Windows keeps profile texts to MAX_PATH characters.
constexpr int kMaxPathText = 260;

QString WithSlash(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

// The held value stays when the key is missing or not a number.
int ReadInt(const ProfileIni& ini, const QString& section, const char* key, int held)
{
    bool ok = false;
    const int value = ini.Value(section, QLatin1String(key)).toInt(&ok);
    return ok ? value : held;
}

bool RemoveFile(const QString& path)
{
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    return file.remove();
}

} // namespace

CClientSetup::CClientSetup(const VolumeSpace* volume)
    : m_volume(volume ? volume : &m_storage)
{}

void CClientSetup::Init(const QString& programFolder)
{
    {
        QMutexLocker locker(&m_lock);
        m_programFolder = WithSlash(programFolder);
        m_settingsPath = m_programFolder + QStringLiteral("ClientSetup.ini");
        // Not created here: whatever writes into it makes its own folder, so a player that only
        // plays leaves no empty folder beside itself.
        m_backupFolder = m_programFolder + QStringLiteral("Backup/");
        m_diskOverwrite = 1;
        m_diskFullWarning = 1;
        m_diskUse = 90;
        std::copy(std::begin(kDisplayInitial), std::end(kDisplayInitial), std::begin(m_display));
        m_settingsWriteTime = 0;
    }
    LoadBackupSetup();
    LoadDisplaySettings();
}

void CClientSetup::LoadBackupSetup()
{
    QMutexLocker locker(&m_lock);
    LoadBackupSetupLocked();
}

void CClientSetup::LoadBackupSetupLocked()
{
    const QFileInfo info(m_settingsPath);
    const qint64 written = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
    if (written == m_settingsWriteTime)
        return;
    m_settingsWriteTime = written;
    ProfileIni ini;
    if (!ini.Load(m_settingsPath))
        return;
    const QString section = QLatin1String(kBackupSection);
    const QString path = ini.Value(section, QStringLiteral("Backup Path")).left(kMaxPathText);
    if (!path.isEmpty())
        m_backupFolder = WithSlash(path);
    m_diskOverwrite = ReadInt(ini, section, "Disk Overwrite", m_diskOverwrite);
    m_diskUse = ReadInt(ini, section, "Disk Use", m_diskUse);
    m_diskFullWarning = ReadInt(ini, section, "Disk Full Warning", m_diskFullWarning);
    qCDebug(lcPlayerPlayback) << "settings read; backup folder" << m_backupFolder;
}

void CClientSetup::LoadDisplaySettings()
{
    QMutexLocker locker(&m_lock);
    ProfileIni ini;
    if (!ini.Load(m_settingsPath))
        return;
    for (int i = 0; i < 9; ++i)
        m_display[i] = ReadInt(ini, m_displaySection, kDisplayKeys[i], m_display[i]);
}

QString CClientSetup::GetBackupFolder()
{
    QMutexLocker locker(&m_lock);
    LoadBackupSetupLocked();
    return m_backupFolder;
}

bool CClientSetup::IsDiskFull(quint64 neededBytes)
{
    QMutexLocker locker(&m_lock);
    return IsDiskFullLocked(neededBytes);
}

bool CClientSetup::IsDiskFullLocked(quint64 neededBytes) const
{
    quint64 total = 0;
    quint64 freeBytes = 0;
    if (!m_volume->Query(m_backupFolder, total, freeBytes) || total == 0)
        return false; // an unknown volume is not reported as full
    if (m_diskOverwrite != 0)
        return freeBytes < neededBytes || freeBytes - neededBytes <= kOverwriteReserve;
    // Used share after the write, in a width that cannot overflow, never below zero.
    const quint64 left = freeBytes > neededBytes ? freeBytes - neededBytes : 0;
    const quint64 used = total - qMin(left, total);
    const unsigned __int128 percent = static_cast<unsigned __int128>(used) * 100u / total;
    return percent >= static_cast<unsigned __int128>(qMax(0, m_diskUse));
}

bool CClientSetup::DeleteOneOldestRecording()
{
    OldestRecording oldest;
    OldestRecordingFinder::FindOldestRecording(m_backupFolder, oldest);
    if (!oldest.Found())
        return false;
    if (!RemoveFile(oldest.folder + oldest.name)) {
        qCWarning(lcPlayerPlayback) << "cannot delete" << oldest.folder + oldest.name;
        return false;
    }
    // A missing index does not end the recycling; one that exists but cannot be deleted does.
    const QString index = oldest.folder + QLatin1Char('i') + oldest.name;
    const QFileInfo indexInfo(index);
    if (indexInfo.exists() && !indexInfo.isSymLink() && !RemoveFile(index)) {
        qCWarning(lcPlayerPlayback) << "cannot delete" << index;
        return false;
    }
    qCDebug(lcPlayerPlayback) << "recycled" << oldest.folder + oldest.name;
    return true;
}

int CClientSetup::RecycleDiskSpace(quint64 neededBytes)
{
    LoadDisplaySettings();
    QMutexLocker locker(&m_lock);
    LoadBackupSetupLocked();
    if (m_diskOverwrite != 0) {
        while (IsDiskFullLocked(neededBytes)) {
            if (!DeleteOneOldestRecording())
                break;
        }
        return 0;
    }
    if (IsDiskFullLocked(neededBytes))
        return m_diskFullWarning != 0 ? -1 : 0;
    return 0;
}

QString CClientSetup::SettingsPath() const
{
    QMutexLocker locker(&m_lock);
    return m_settingsPath;
}

int CClientSetup::DiskOverwrite() const
{
    QMutexLocker locker(&m_lock);
    return m_diskOverwrite;
}

int CClientSetup::DiskUse() const
{
    QMutexLocker locker(&m_lock);
    return m_diskUse;
}

int CClientSetup::DiskFullWarning() const
{
    QMutexLocker locker(&m_lock);
    return m_diskFullWarning;
}

int CClientSetup::DisplayValue(const QString& key) const
{
    QMutexLocker locker(&m_lock);
    for (int i = 0; i < 9; ++i) {
        if (key == QLatin1String(kDisplayKeys[i]))
            return m_display[i];
    }
    return -1;
}
