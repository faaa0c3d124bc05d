// Items leave the site book tree by dragging (onto grids and windows), folders and recorders move
// between folders inside it, and a double click opens what an item stands for.
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "platform/process.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/csnapshow.h"
#include "sitebook/sitebookdragrules.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

bool OffersRecord(const QMimeData* data)
{
    return data && data->hasFormat(QLatin1String(SiteBook::MimeType));
}

// A favorite's layout code; -1 when the text is not a number.
int LayoutCode(const QString& cameomode)
{
    bool ok = false;
    const int code = cameomode.trimmed().toInt(&ok);
    return ok ? code : -1;
}

} // namespace

QMimeData* SiteBookTreeWidget::DragData(QTreeWidgetItem* item) const
{
    SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return nullptr;
    // The receiver finds the recorder by its slot in the hub's table.
    if (const RecorderSession* device = SiteBookSessions::SessionOf(item);
        device && ItemKindOf(item) == ItemKind::Recorder)
        record->index = device->GetDeviceIndex();
    auto* data = new QMimeData;
    data->setData(QLatin1String(SiteBook::MimeType), record->ToDragData());
    return data;
}

void SiteBookTreeWidget::startDrag(Qt::DropActions /*supportedActions*/)
{
    qCDebug(lcSiteBook) << "start drag ";
    QTreeWidgetItem* item = currentItem();
    QMimeData* data = DragData(item);
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const RecorderSession* device = SiteBookSessions::SessionOf(item);
    const QString picture = SiteBookDragRules::DragPicture(ItemKindOf(item), device && device->IsLoggedIn());
    if (!picture.isEmpty()) {
        const QPixmap pixmap(picture);
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
    }
    m_draggedItem = QPersistentModelIndex(indexFromItem(item));
    drag->exec(Qt::MoveAction);
    // A drop of another view's drag must not move an item this tree dragged earlier.
    m_draggedItem = QPersistentModelIndex();
}

void SiteBookTreeWidget::dragEnterEvent(QDragEnterEvent* event)
{
    qCDebug(lcSiteBook) << "tree drag enter event";
    if (OffersRecord(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void SiteBookTreeWidget::dragMoveEvent(QDragMoveEvent* event)
{
    qCDebug(lcSiteBook) << "tree drag move event";
    if (!OffersRecord(event->mimeData())) {
        event->ignore();
        return;
    }
    // The view places its drop indicator; the tree decides on the drop itself.
    QTreeWidget::dragMoveEvent(event);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void SiteBookTreeWidget::dropEvent(QDropEvent* event)
{
    qCDebug(lcSiteBook) << "tree drop event";
    // Where the view's drop indicator showed: onto the item, or on its upper or lower edge.
    const DropIndicatorPosition indicator = dropIndicatorPosition();
    const DropPlace where = indicator == AboveItem   ? DropPlace::Above
                            : indicator == BelowItem ? DropPlace::Below
                                                     : DropPlace::Onto;
    setState(NoState);
    viewport()->update();
    QTreeWidgetItem* dragged = nullptr;
    if (event->source() == this && m_draggedItem.isValid())
        dragged = itemFromIndex(m_draggedItem);
    const QModelIndex at = indexAt(event->pos());
    if (!dragged || !at.isValid() || !MoveDraggedItem(dragged, itemFromIndex(at), where)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

bool SiteBookTreeWidget::MoveDraggedItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target, DropPlace where)
{
    const SiteBook* record = SiteBook::FromItem(dragged);
    if (!record || !target)
        return false;
    const ItemKind kind = ItemKindOf(dragged);
    if (!SiteBookDragRules::MayMove(kind, record->name, true, ItemKindOf(target))
        || SiteBookDragRules::IsSelfOrBelow(target, dragged))
        return false;

    QTreeWidgetItem* parent = target;
    int row = target->childCount();
    if (where != DropPlace::Onto) {
        parent = target->parent();
        // Beside the site book root would put the entry among the roots.
        if (!parent || SiteBookDragRules::IsSelfOrBelow(parent, dragged))
            return false;
        row = parent->indexOfChild(target) + (where == DropPlace::Below ? 1 : 0);
    }
    QTreeWidgetItem* from = dragged->parent();
    if (!from)
        return false;
    const int fromRow = from->indexOfChild(dragged);
    if (from == parent && fromRow < row)
        --row;
    from->takeChild(fromRow);
    parent->insertChild(row, dragged);
    // The folder keeps its order: folders first, then recorders, each by name.
    insertSorted(dragged, record->name, kind == ItemKind::Recorder ? EntryMode::Recorder : EntryMode::Folder);
    setCurrentItem(dragged);
    return true;
}

void SiteBookTreeWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The tree's own expanding and collapsing does not run: a double click opens the item.
    m_menuPoint = event->pos();
    if (QTreeWidgetItem* item = itemAt(event->pos()))
        OpenItem(item);
}

void SiteBookTreeWidget::OpenItem(QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return;
    switch (ItemKindOf(item)) {
    case ItemKind::Recorder: OpenDeviceLive(SiteBookSessions::SessionOf(item)); break;
    case ItemKind::ArchiveData: {
        const SessionHub* hub = SessionHub::Instance();
        const QString programDirectory = hub ? hub->ProgramDirectory() : QString();
        m_pendingPlayerCommand = SiteBookDragRules::PlayerCommandLine(programDirectory, record->path);
        m_pendingPlayerFile = record->path;
        QTimer::singleShot(kPlayerDelayMs, this, &SiteBookTreeWidget::timerOnPlayer);
        break;
    }
    case ItemKind::ArchiveSnapshot: {
        CSnapShow viewer(this, record->path);
        viewer.exec();
        break;
    }
    case ItemKind::RecorderEmapList:
        if (const RecorderSession* device = SiteBookSessions::SessionOf(item->parent()))
            openEmap(device->GetDeviceIndex(), -1);
        break;
    case ItemKind::Favorite: {
        const int layout = LayoutCode(record->cameomode);
        if (layout >= 0)
            openFavorite(layout, record->favoritesdevice, record->favoriteschannel);
        break;
    }
    case ItemKind::SearchFavorite:
        OnFavoriteSearchStart(LayoutCode(record->cameomode), record->favoritesdevice, record->favoriteschannel);
        break;
    case ItemKind::EmapEntry:
        openEmapItem(record->name, record->emapPath, record->emapPos, record->favoritesdevice,
                     record->favoriteschannel, record->index);
        break;
    default: break;
    }
}

void SiteBookTreeWidget::timerOnPlayer()
{
    if (m_pendingPlayerCommand.isEmpty())
        return;
    qCDebug(lcSiteBook) << "player:" << m_pendingPlayerCommand;
    const SessionHub* hub = SessionHub::Instance();
    const QString programDirectory = hub ? hub->ProgramDirectory() : QString();
    // The recording is one argument, blanks and all.
    if (!platform::Process::StartDetached(QStringLiteral("Orvane.exe"), {m_pendingPlayerFile}, programDirectory))
        qCWarning(lcSiteBook) << "the backup player did not start:" << m_pendingPlayerCommand;
    m_pendingPlayerCommand.clear();
    m_pendingPlayerFile.clear();
}
