#include "ui/cbackuptree.h"

#include "ui/uilog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>

namespace {

QIcon IconFor(BackupItemImage image)
{
    QStyle* style = QApplication::style();
    switch (image) {
    case BackupItemImage::RemovableDrive: return style->standardIcon(QStyle::SP_DriveFDIcon);
    case BackupItemImage::FixedDrive: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case BackupItemImage::CdDrive: return style->standardIcon(QStyle::SP_DriveCDIcon);
    case BackupItemImage::NetworkDrive: return style->standardIcon(QStyle::SP_DriveNetIcon);
    case BackupItemImage::Folder:
    case BackupItemImage::OpenFolder: return style->standardIcon(QStyle::SP_DirIcon);
    case BackupItemImage::Openable: return style->standardIcon(QStyle::SP_FileIcon);
    case BackupItemImage::Root: return style->standardIcon(QStyle::SP_ComputerIcon);
    }
    return QIcon();
}

BackupItemImage DriveImage(DriveType type)
{
    switch (type) {
    case DriveType::Removable: return BackupItemImage::RemovableDrive;
    case DriveType::Cdrom: return BackupItemImage::CdDrive;
    case DriveType::Network: return BackupItemImage::NetworkDrive;
    default: return BackupItemImage::FixedDrive;
    }
}

} // namespace

CBackupTree::CBackupTree(BackupTreeHost& host, BackupDropTarget& drop, const BackupDrives& drives,
                         const BackupPathContext& context, const QString& cdDataFolder, QWidget* parent)
    : CMultiTree(parent)
    , m_host(host)
    , m_drop(drop)
    , m_drives(drives)
    , m_context(context)
    , m_opener(host, drives, cdDataFolder)
{
    connect(this, &QTreeWidget::itemExpanded, this, &CBackupTree::OnItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &CBackupTree::OnItemCollapsed);
    setExpandsOnDoubleClick(true);
}

QTreeWidgetItem* CBackupTree::AddItem(QTreeWidgetItem* parent, const QString& text, BackupItemKind kind,
                                      BackupItemImage image, bool expandable)
{
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKindRole, int(kind));
    item->setData(0, kImageRole, int(image));
    item->setIcon(0, IconFor(image));
    if (expandable)
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void CBackupTree::FillRootItems()
{
    clear();
    for (const QString& folder : BackupTreeRules::BackupRootFolders(m_context.workingFolder))
        AddItem(nullptr, folder, BackupItemKind::Folder, BackupItemImage::Folder, true);
    AddItem(nullptr, QStringLiteral("ZENT_Backup"), BackupItemKind::Folder, BackupItemImage::Root, true);
    m_myPc = AddItem(nullptr, QStringLiteral("My PC"), BackupItemKind::Folder, BackupItemImage::Root, false);
    AddDrives();
}

int CBackupTree::AddDrives()
{
    int added = 0;
    for (const DriveInfo& drive : m_drives.Drives()) {
        if (drive.type == DriveType::Unknown)
            continue;
        AddDrive(drive);
        ++added;
    }
    return added;
}

void CBackupTree::AddDrive(const DriveInfo& drive)
{
    AddItem(m_myPc, drive.root, BackupItemKind::Folder, DriveImage(drive.type), true);
}

QString CBackupTree::GetItemPath(QTreeWidgetItem* item) const
{
    QStringList texts;
    for (; item; item = item->parent())
        texts.prepend(item->text(0));
    return BackupTreeRules::JoinItemTexts(texts);
}

bool CBackupTree::FillChildren(QTreeWidgetItem* item, const QString& folder, BackupListKind kind)
{
    bool listed = false;
    const QVector<BackupEntry> entries = BackupTreeRules::ListFolder(folder, kind, &listed);
    if (!listed)
        return false;
    for (const BackupEntry& e : entries)
        AddItem(item, e.name, e.kind, e.image, e.expandable);
    return true;
}

void CBackupTree::DeleteChildren(QTreeWidgetItem* item)
{
    qDeleteAll(item->takeChildren());
}

void CBackupTree::OnItemExpanded(QTreeWidgetItem* item)
{
    if (item == m_myPc)
        return;
    const QString path = GetItemPath(item);
    BackupListKind kind;
    if (!BackupTreeRules::ListKindForItemPath(path, kind))
        return;
    DeleteChildren(item);
    if (!FillChildren(item, BackupTreeRules::FolderForItemPath(path, m_context, false), kind)) {
        qCDebug(lcPlayerUi) << "cannot list" << path;
        const QSignalBlocker blocker(this);
        item->setExpanded(false);
    }
}

void CBackupTree::OnItemCollapsed(QTreeWidgetItem* item)
{
    if (item == m_myPc)
        return;
    DeleteChildren(item);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void CBackupTree::OpenItem(QTreeWidgetItem* item, int tile)
{
    if (!item)
        return;
    const auto kind = BackupItemKind(item->data(0, kKindRole).toInt());
    if (kind == BackupItemKind::File) {
        const QString folder = BackupTreeRules::FolderForItemPath(GetItemPath(item->parent()), m_context, false);
        m_opener.OpenFile(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'), item->text(0),
                          tile);
    } else if (kind == BackupItemKind::DayFolder) {
        m_opener.OpenDayFolder(BackupTreeRules::FolderForItemPath(GetItemPath(item), m_context, true)
                               + QLatin1Char('/'));
    }
}

void CBackupTree::OpenSelectionFrom(int firstTile)
{
    QList<QTreeWidgetItem*> items;
    GetSelectedList(items);
    int tile = firstTile;
    for (QTreeWidgetItem* item : items) {
        if (tile >= BackupOpener::kTiles)
            break;
        OpenItem(item, tile++);
    }
}

void CBackupTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->pos());
    if (item && BackupItemImage(item->data(0, kImageRole).toInt()) == BackupItemImage::Openable) {
        setCurrentItem(item);
        const int tile = m_host.SelectedTile();
        if (tile >= 0)
            OpenItem(item, tile);
        event->accept();
        return;
    }
    CMultiTree::mouseDoubleClickEvent(event);
}

void CBackupTree::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging && PressPending() && (event->buttons() & Qt::LeftButton)
        && (event->pos() - PressPoint()).manhattanLength() >= QApplication::startDragDistance()) {
        // The pressed item joins the selection and the drag begins.
        PressItem()->setSelected(true);
        m_dragging = true;
        // The viewport receives the tree's mouse events; a grab on the tree itself would take
        // the release away from this handler and keep the pointer for good.
        viewport()->grabMouse();
    }
    if (!m_dragging && PressPending() && (event->buttons() & Qt::LeftButton)) {
        event->accept(); // below the drag distance the selection stays as it is
        return;
    }
    if (m_dragging) {
        const bool onGrid = m_drop.TileAtGlobal(event->globalPos()) >= 0;
        viewport()->setCursor(onGrid ? Qt::ArrowCursor : Qt::ForbiddenCursor);
        event->accept();
        return;
    }
    CMultiTree::mouseMoveEvent(event);
}

void CBackupTree::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        CMultiTree::mouseReleaseEvent(event);
        return;
    }
    EndDrag();
    const int tile = m_drop.TileAtGlobal(event->globalPos());
    if (tile >= 0)
        OpenSelectionFrom(tile);
    event->accept();
}

void CBackupTree::EndDrag()
{
    m_dragging = false;
    ClearPress();
    viewport()->releaseMouse();
    viewport()->unsetCursor();
}
