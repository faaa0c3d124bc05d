#pragma once
// Opens what the backup folder tree offers: a recording file in one tile, or a recorder backup
// day folder across the tiles (its "hd_idx" and then "intra_idx" files, one tile each, the split
// set by how many opened). Requests are queued and done in order. A folder on a CD is first
// copied, on a worker thread, into a work folder of its own under the CD data folder, so that
// tiles still reading an earlier copy are never pulled from under; the user-interface thread
// never waits, the queue goes on when the copy has ended.
#include "playback/backupdrives.h"
#include "playback/backuptreehost.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

class BackupOpener : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTiles = 16;

    // cdDataFolder is the player's "CD_DATA" folder; work folders left there by an earlier run
    // are removed (no tile reads them yet).
    BackupOpener(BackupTreeHost& host, const BackupDrives& drives, const QString& cdDataFolder,
                 QObject* parent = nullptr);
    ~BackupOpener() override;

    // folder ends in "/".
    void OpenFile(const QString& folder, const QString& name, int tile);
    void OpenDayFolder(const QString& dayFolder);
    bool CopyRunning() const { return m_copyThread != nullptr; }

signals:
    // Every queued request has been done.
    void Idle();

private:
    struct Request
    {
        bool day = false;
        QString folder;
        QString name;
        int tile = 0;
    };

    void Next();
    // The local folder to open the request from; starts a copy and returns false when one is
    // needed first.
    bool Localise(Request& request);
    void StartCopy(const QString& source);
    void CopyFinished();
    void Open(const Request& request);

    BackupTreeHost& m_host;
    const BackupDrives& m_drives;
    QString m_cdData;
    QQueue<Request> m_queue;
    QHash<QString, QString> m_copies; // copied CD folder → its copy
    QThread* m_copyThread = nullptr;
    QString m_copySource;
    QString m_copyTarget;
    std::shared_ptr<std::atomic<bool>> m_stop;
    int m_workFolders = 0;
};
