#include "playback/backupopener.h"

#include "playback/backuptreerules.h"
#include "playback/playbacklog.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

namespace {

QString WithSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString LastName(const QString& folder)
{
    QString path = folder;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Copies the folder tree; what was copied stays when a file fails (the tile then reports it).
bool CopyTree(const QString& source, const QString& target, const std::atomic<bool>& stop)
{
    bool ok = QDir().mkpath(target);
    QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext() && !stop.load()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        const QString to = target + QLatin1Char('/') + QDir(source).relativeFilePath(info.filePath());
        if (info.isDir())
            ok = QDir().mkpath(to) && ok;
        else
            ok = QFile::copy(info.filePath(), to) && ok;
    }
    return ok && !stop.load();
}

} // namespace

BackupOpener::BackupOpener(BackupTreeHost& host, const BackupDrives& drives, const QString& cdDataFolder,
                           QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_drives(drives)
    , m_cdData(WithSlash(cdDataFolder))
{
    // Only folders named as this class names its work folders are removed.
    const QRegularExpression workName(QStringLiteral("^\\d{14}-\\d+$"));
    QDirIterator it(m_cdData, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (workName.match(it.fileName()).hasMatch() && !it.fileInfo().isSymLink())
            QDir(it.filePath()).removeRecursively();
    }
}

BackupOpener::~BackupOpener()
{
    if (m_copyThread) {
        m_stop->store(true);
        m_copyThread->wait();
        delete m_copyThread;
    }
}

void BackupOpener::OpenFile(const QString& folder, const QString& name, int tile)
{
    if (tile < 0 || tile >= kTiles)
        return;
    m_queue.enqueue({false, WithSlash(folder), name, tile});
    Next();
}

void BackupOpener::OpenDayFolder(const QString& dayFolder)
{
    m_queue.enqueue({true, WithSlash(dayFolder), QString(), 0});
    Next();
}

void BackupOpener::Next()
{
    while (!m_copyThread && !m_queue.isEmpty()) {
        Request& request = m_queue.head();
        if (!Localise(request))
            return; // goes on when the copy has ended
        const Request ready = m_queue.dequeue();
        Open(ready);
    }
    if (!m_copyThread)
        emit Idle();
}

bool BackupOpener::Localise(Request& request)
{
    if (m_drives.TypeOf(request.folder) != DriveType::Cdrom)
        return true;
    // A day folder is copied from the folder above it; a file's folder the same way when it is
    // a day folder, else the folder itself.
    const QString above = BackupTreeRules::FolderAboveDay(request.folder);
    const QString source = above.isEmpty() ? request.folder : above;
    const QString relative = above.isEmpty() ? QString() : LastName(request.folder) + QLatin1Char('/');
    const QString copy = m_copies.value(source);
    const bool reuse = !request.day && !copy.isEmpty() && QFileInfo::exists(copy + relative + request.name);
    if (!reuse && m_copySource != source) {
        StartCopy(source);
        return false;
    }
    const QString target = reuse ? copy : m_copyTarget;
    m_copySource.clear();
    request.folder = target + relative;
    return true;
}

void BackupOpener::StartCopy(const QString& source)
{
    const QString work = m_cdData
                         + QStringLiteral("%1-%2/")
                               .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")))
                               .arg(++m_workFolders);
    m_copySource = source;
    m_copyTarget = work + LastName(source) + QLatin1Char('/');
    m_stop = std::make_shared<std::atomic<bool>>(false);
    const QString target = m_copyTarget;
    const auto stop = m_stop;
    m_host.ShowBuffering(true);
    qCDebug(lcPlayerPlayback) << "copying CD folder" << source << "to" << target;
    m_copyThread = QThread::create([source, target, stop] {
        if (!CopyTree(source, target, *stop))
            qCWarning(lcPlayerPlayback) << "CD copy incomplete" << source;
    });
    connect(m_copyThread, &QThread::finished, this, &BackupOpener::CopyFinished, Qt::QueuedConnection);
    m_copyThread->start();
}

void BackupOpener::CopyFinished()
{
    if (!m_copyThread)
        return;
    m_copyThread->wait();
    delete m_copyThread;
    m_copyThread = nullptr;
    m_copies.insert(m_copySource, m_copyTarget);
    m_host.ShowBuffering(false);
    Next();
}

void BackupOpener::Open(const Request& request)
{
    if (!request.day) {
        m_host.CloseRemoteTile(request.tile);
        m_host.StopPlayback();
        m_host.OpenInTile(request.folder, request.name, request.tile);
        m_host.RedrawTiles();
        return;
    }
    m_host.StopPlayback();
    m_host.ResetAllTiles();
    int tile = 0;
    for (const QString& name : BackupTreeRules::DayFolderIndexNames()) {
        if (tile >= kTiles)
            break;
        if (m_host.OpenInTile(request.folder, name, tile))
            ++tile;
    }
    const int split = BackupTreeRules::SplitTilesForCount(tile);
    if (split > 0)
        m_host.SetSplitTiles(split);
    m_host.RedrawTiles();
}
