#include "session/sessiontreeitems.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTreeWidgetItem>

#include "common/media/modulerecord.h"
#include "session/moduledevice.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"

namespace {
// One icon per picture for every session: a QIcon made per item decodes and caches its picture
// again for each of thousands of recorders.
QIcon SharedIcon(const QString& path)
{
    static QHash<QString, QIcon> icons;
    auto it = icons.find(path);
    if (it == icons.end())
        it = icons.insert(path, QIcon(path));
    return it.value();
}

// The six archive kinds, in the order of the kind items.
const char* const kArchiveKindNames[SessionTreeItems::kArchiveKinds] = {
    "BackupData", "EventData", "ScheduleData", "Record_Live", "Record_Search", "SnapShot"};

// The kind names by the kind numbers the archive refresh is asked with (1 to 6; 0 is all).
const char* const kArchiveKindByNumber[SessionTreeItems::kArchiveKinds + 1] = {
    nullptr, "BackupData", "Record_Live", "Record_Search", "SnapShot", "EventData", "ScheduleData"};

int ArchiveKindIndex(const QString& kind)
{
    for (int i = 0; i < SessionTreeItems::kArchiveKinds; ++i) {
        if (kind == QLatin1String(kArchiveKindNames[i]))
            return i;
    }
    return -1;
}

bool IsSnapshotKind(const QString& kind)
{
    return kind == QLatin1String("SnapShot");
}

// The recorder's video files of the client recording layout; index and audio files, and what
// the converter made of them, are not listed.
bool IsListedRecording(const QString& fileName)
{
    return fileName.startsWith(QLatin1Char('h')) && !fileName.endsWith(QLatin1String(".mp4"))
           && !fileName.endsWith(QLatin1String(".avi"));
}

} // namespace

SessionTreeItems::SessionTreeItems(FolderOf recordingFolder)
    : m_recordingFolder(std::move(recordingFolder))
    , m_iconCamera(SharedIcon(QStringLiteral(":/res/Resource/Camera.png")))
    , m_iconCameraOff(SharedIcon(QStringLiteral(":/res/Resource/Camera_off.png")))
    , m_iconCameraLoss(SharedIcon(QStringLiteral(":/res/Resource/Camera_loss.png")))
    , m_iconCameraEvent(SharedIcon(QStringLiteral(":/res/Resource/Camera_event.png")))
    , m_iconDvrDisable(SharedIcon(QStringLiteral(":/res/Resource/DVRDisable.png")))
    , m_iconDvr(SharedIcon(QStringLiteral(":/res/Resource/DVR.png")))
{}

QTreeWidgetItem* SessionTreeItems::NewRecordItem(QTreeWidgetItem* parent, const QString& kind, const QString& name,
                                                 const QString& path, const QString& icon)
{
    auto* record = new SiteBook();
    record->kind = kind;
    record->name = name;
    record->path = path;
    auto* item = new QTreeWidgetItem(parent, QTreeWidgetItem::Type);
    SiteBook::SetOnItem(item, record);
    item->setText(0, name);
    if (!icon.isEmpty())
        item->setIcon(0, SharedIcon(icon));
    return item;
}

// =============================================================================================
// Recorder and channel items

void SessionTreeItems::SetRecorderIcon(QTreeWidgetItem* recorderItem, bool online) const
{
    if (recorderItem)
        recorderItem->setIcon(0, online ? m_iconDvr : m_iconDvrDisable);
}

const QIcon& SessionTreeItems::CameraIcon(const ChannelStatus& status, bool showMotion) const
{
    if (status.videoLoss)
        return m_iconCameraLoss;
    if (showMotion && status.active && status.motion)
        return m_iconCameraEvent;
    return status.active ? m_iconCamera : m_iconCameraOff;
}

QTreeWidgetItem* SessionTreeItems::NewCameraItem(QTreeWidgetItem* parent, const QString& kind,
                                                 const QString& title, const QString& icon, int recorderIndex,
                                                 int channel) const
{
    QTreeWidgetItem* item = NewRecordItem(parent, kind, title, QString(), icon);
    SiteBook* record = SiteBook::FromItem(item);
    record->index = recorderIndex;
    record->channel = channel;
    return item;
}

void SessionTreeItems::BuildChannelItems(QTreeWidgetItem* recorderItem, int recorderIndex, int channelCount,
                                         quint32 liveMask, const TitleOf& titleOf, const StatusOf& statusOf)
{
    for (int ch = 0; ch < std::min(channelCount, int(kChannels)); ++ch) {
        if (!((liveMask >> ch) & 1u))
            continue;
        const QString title = titleOf(ch);
        QTreeWidgetItem*& camera = m_cameraItems[size_t(ch)];
        if (!camera)
            camera = NewCameraItem(recorderItem, QStringLiteral("camera"), title, QString(), recorderIndex, ch);
        QTreeWidgetItem*& twin = m_emapCameraItems[size_t(ch)];
        if (m_emapItem && !twin)
            twin = NewCameraItem(m_emapItem, QStringLiteral("cameraEmap"), title,
                                 QStringLiteral(":/res/Resource/5.png"), recorderIndex, ch);
        camera->setIcon(0, CameraIcon(statusOf(ch), false));
    }
}

void SessionTreeItems::UpdateChannelIcons(int channelCount, quint32 liveMask, const StatusOf& statusOf)
{
    for (int ch = 0; ch < std::min(channelCount, int(kChannels)); ++ch) {
        QTreeWidgetItem* item = m_cameraItems[size_t(ch)];
        if (!((liveMask >> ch) & 1u) || !item)
            continue;
        item->setIcon(0, CameraIcon(statusOf(ch), true));
    }
}

void SessionTreeItems::DeleteChannelItems()
{
    for (int ch = 0; ch < kChannels; ++ch) {
        CModuleDevice::DeleteItemTree(m_cameraItems[size_t(ch)]);
        CModuleDevice::DeleteItemTree(m_emapCameraItems[size_t(ch)]);
    }
    ForgetChannelItems();
}

void SessionTreeItems::ForgetChannelItems()
{
    m_cameraItems.fill(nullptr);
    m_emapCameraItems.fill(nullptr);
}

QTreeWidgetItem* SessionTreeItems::CameraItem(int channel) const
{
    return ValidChannel(channel) ? m_cameraItems[size_t(channel)] : nullptr;
}

// =============================================================================================
// Archive

QTreeWidgetItem* SessionTreeItems::ArchiveKindItem(const QString& kind) const
{
    const int i = ArchiveKindIndex(kind);
    return i < 0 ? nullptr : m_archiveKindItems[size_t(i)];
}

void SessionTreeItems::ForgetArchive()
{
    m_archiveParent = nullptr;
    m_archiveKindItems.fill(nullptr);
}

void SessionTreeItems::UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind)
{
    if (archiveParent && archiveParent != m_archiveParent) {
        // Kind items hang under the archive parent they were made for.
        m_archiveParent = archiveParent;
        m_archiveKindItems.fill(nullptr);
        for (int i = 0; i < archiveParent->childCount(); ++i) {
            QTreeWidgetItem* child = archiveParent->child(i);
            const SiteBook* record = SiteBook::FromItem(child);
            const int k = ArchiveKindIndex(child->text(0));
            if (record && record->kind == QLatin1String("archiveBackup") && k >= 0)
                m_archiveKindItems[size_t(k)] = child;
        }
    }
    QTreeWidgetItem* parent = m_archiveParent;
    if (!parent)
        return;
    if (kind == 0) {
        for (const char* name : kArchiveKindNames)
            UpdateArchiveFolder(QLatin1String(name), parent);
    } else if (kind >= 1 && kind <= kArchiveKinds) {
        UpdateArchiveFolder(QLatin1String(kArchiveKindByNumber[kind]), parent);
    }
}

void SessionTreeItems::UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent)
{
    const int k = ArchiveKindIndex(kind);
    if (k < 0 || !archiveParent)
        return;
    QTreeWidgetItem*& kindItem = m_archiveKindItems[size_t(k)];
    if (!kindItem) {
        kindItem = NewRecordItem(archiveParent, QStringLiteral("archiveBackup"), kind, QString(),
                                 QStringLiteral(":/res/Resource/4_Normal.png"));
    } else {
        if (SiteBook* record = SiteBook::FromItem(kindItem)) {
            record->kind = QStringLiteral("archiveBackup");
            record->name = kind;
        }
        kindItem->setIcon(0, SharedIcon(QStringLiteral(":/res/Resource/4_Normal.png")));
        kindItem->setText(0, kind);
    }
    for (int i = kindItem->childCount() - 1; i >= 0; --i)
        CModuleDevice::DeleteItemTree(kindItem->child(i));

    const QString listed = m_recordingFolder(kind);
    const QString folderKind = IsSnapshotKind(kind) ? QStringLiteral("archiveFolder_SnapShot")
                                                    : QStringLiteral("archiveFolder");
    const QFileInfoList entries = QDir(listed).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                             QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        QTreeWidgetItem* folderItem = NewRecordItem(kindItem, folderKind, name, listed + QLatin1Char('/') + name,
                                                    QStringLiteral(":/res/Resource/seldate.png"));
        AddArchiveFiles(kind, name, folderItem);
    }
}

void SessionTreeItems::AddArchiveFiles(const QString& kind, const QString& folderName, QTreeWidgetItem* folderItem)
{
    if (!folderItem)
        return;
    const QString day = ModuleRecord::SafePathComponent(folderName);
    if (day != folderName) {
        qCDebug(lcSession) << "AddArchiveFiles: not a folder name" << folderName;
        return;
    }
    const QString folder = m_recordingFolder(kind) + QLatin1Char('/') + day + QLatin1Char('/');
    const bool snapshot = IsSnapshotKind(kind);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (snapshot)
            NewRecordItem(folderItem, QStringLiteral("archiveSnapshot"), name, folder + name,
                          QStringLiteral(":/res/Resource/snap.png"));
        else if (IsListedRecording(name))
            NewRecordItem(folderItem, QStringLiteral("archiveData"), name, folder + name,
                          QStringLiteral(":/res/Resource/archive.png"));
    }
}
