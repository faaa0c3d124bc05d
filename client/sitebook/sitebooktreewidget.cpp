#include "sitebook/sitebooktreewidget.h"

#include <QAbstractItemView>
#include <QDataStream>
#include <QDebug>
#include <QDrag>
#include <QMimeData>
#include <QPixmap>
#include <QStringList>

#include "session/moduledevice.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooklog.h"

namespace {

// The name a sibling is sorted by: its record's name, or the shown text when it has none.
QString SortNameOf(const QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    return record ? record->name : item->text(0);
}

// A plain item with a record of its own under a parent item or at the top of the tree.
template <typename Parent>
QTreeWidgetItem* NewPlainItem(Parent* parent, ItemKind kind, const QString& name, const QIcon& icon, bool expanded)
{
    auto* record = new SiteBook;
    record->kind = ItemKindText(kind);
    record->name = name;
    auto* item = new SiteBookItem(parent, record);
    item->setText(0, name);
    item->setIcon(0, icon);
    item->setExpanded(expanded);
    return item;
}

// Among siblings, a recorder is a session object that holds a slot of the hub's table.
bool IsRecorderItem(const QTreeWidgetItem* item)
{
    const auto* device = dynamic_cast<const CModuleDevice*>(item);
    return device && device->GetDeviceIndex() != -1;
}

} // namespace

// The icons are compiled into the client library; a static library needs them registered by
// hand (at global scope, where the registration function is declared).
static void InitSiteBookResources()
{
    Q_INIT_RESOURCE(res);
}

SiteBookTreeWidget::SiteBookTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
    , m_emapSlots(kEmapSlots, 0)
{
    InitSiteBookResources();
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));

    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    setSelectionMode(QAbstractItemView::SingleSelection);

    m_favoriteIcon = QIcon(QStringLiteral(":/res/Resource/favorite.png"));
    m_favoriteItemIcon = QIcon(QStringLiteral(":/res/Resource/favoritesitem.png"));
    m_folderIcon = QIcon(QStringLiteral(":/res/Resource/folder.png"));
    m_dvrDisableIcon = QIcon(QStringLiteral(":/res/Resource/DVRDisable.png"));
    m_archiveIcon = QIcon(QStringLiteral(":/res/Resource/4.png"));
    m_emapIcon = QIcon(QStringLiteral(":/res/Resource/5.png"));

    CreateActions();

    m_pSiteBookRoot = AddRoot(ItemKind::SiteBookRoot, QStringLiteral("SiteBook"),
                              QIcon(QStringLiteral(":/res/Resource/root.png")), true);
    m_pEmapRoot = AddRoot(ItemKind::EmapRoot, QStringLiteral("Emap"),
                          QIcon(QStringLiteral(":/res/Resource/5_Select.png")), false);
    m_pFavoritesRoot = AddRoot(ItemKind::FavoritesRoot, QStringLiteral("Favorites"), m_favoriteIcon, false);
}

SiteBookTreeWidget::~SiteBookTreeWidget()
{
    // A running import stops (its reading thread ends) before the book goes.
    m_import.reset();
    // Delete the items (and with them the recorders' sessions) while the tree is still whole.
    clear();
}

QTreeWidgetItem* SiteBookTreeWidget::AddRoot(ItemKind kind, const QString& name, const QIcon& icon, bool expanded)
{
    return NewPlainItem(this, kind, name, icon, expanded);
}

// ---------------------------------------------------------------------------------------------
// Creating and placing folder and recorder items

CModuleDevice* SiteBookTreeWidget::createTreeItem(QTreeWidgetItem* parent, SiteBook* record, EntryMode mode)
{
    if (!parent)
        parent = m_pSiteBookRoot;
    auto* device = new CModuleDevice(parent, SessionKindOf(mode));
    insertSorted(device, record ? record->name : QString(), mode);
    SiteBookItem::GiveRecordTo(device, record);
    return device;
}

QTreeWidgetItem* SiteBookTreeWidget::ItemOf(RecorderSession* session)
{
    return dynamic_cast<CModuleDevice*>(session);
}

void SiteBookTreeWidget::insertSorted(QTreeWidgetItem* item, const QString& name, EntryMode mode)
{
    if (!item)
        return;
    QTreeWidgetItem* parent = item->parent();
    if (!parent)
        return;
    const int at = parent->indexOfChild(item);
    if (at < 0)
        return;
    parent->takeChild(at);

    // Siblings are kept in order (folders by name, then recorders by name), so the first sibling
    // the new entry goes before is found by halving: a book of thousands of recorders is read in
    // an instant instead of in time growing with the square of its size.
    const auto goesBefore = [&](int i) {
        const QTreeWidgetItem* sibling = parent->child(i);
        const bool recorder = IsRecorderItem(sibling);
        const bool greater = SortNameOf(sibling) > name;
        return mode == EntryMode::Folder ? (recorder || greater) : (recorder && greater);
    };
    int low = 0;
    int high = parent->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (goesBefore(middle))
            high = middle;
        else
            low = middle + 1;
    }
    parent->insertChild(low, item);
}

void SiteBookTreeWidget::AddRecorderChildren(CModuleDevice* device)
{
    if (!device)
        return;
    QTreeWidgetItem* recorder = device;
    QTreeWidgetItem* archive = NewPlainItem(recorder, ItemKind::Archive, QStringLiteral("Archive"), m_archiveIcon,
                                            false);
    device->UpdateArchiveItems(archive, 0);
    QTreeWidgetItem* emap = NewPlainItem(recorder, ItemKind::RecorderEmapList, QStringLiteral("Emap"), m_emapIcon,
                                         false);
    // The session keeps the item and writes its slot and map picture into the item's record.
    device->UpdateSiteBookItem(emap);
}

void SiteBookTreeWidget::clearSiteBook()
{
    if (!m_pSiteBookRoot)
        return;
    m_findScope = nullptr;
    while (m_pSiteBookRoot->childCount() > 0)
        delete m_pSiteBookRoot->takeChild(0);
}

void SiteBookTreeWidget::clearFavorites()
{
    if (!m_pFavoritesRoot)
        return;
    while (m_pFavoritesRoot->childCount() > 0)
        CModuleDevice::DeleteItemTree(m_pFavoritesRoot->takeChild(0));
}

void SiteBookTreeWidget::clearEmap()
{
    if (!m_pEmapRoot)
        return;
    while (m_pEmapRoot->childCount() > 0) {
        QTreeWidgetItem* item = m_pEmapRoot->takeChild(0);
        if (const SiteBook* record = SiteBook::FromItem(item))
            SetEmapIndex(record->index, false);
        CModuleDevice::DeleteItemTree(item);
    }
}

// ---------------------------------------------------------------------------------------------
// Lookups

CModuleDevice* SiteBookTreeWidget::FindChildByName(ItemKind kind, const QString& name,
                                                   QTreeWidgetItem* parent) const
{
    if (!parent)
        parent = m_pSiteBookRoot;
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const SiteBook* record = SiteBook::FromItem(child);
        if (!record || ItemKindFromText(record->kind) != kind || record->name != name)
            continue;
        if (auto* device = dynamic_cast<CModuleDevice*>(child))
            return device;
    }
    return nullptr;
}

CModuleDevice* SiteBookTreeWidget::FindDeviceByName(const QString& name, QTreeWidgetItem* parent) const
{
    return FindChildByName(ItemKind::Recorder, name, parent);
}

CModuleDevice* SiteBookTreeWidget::FindFolderByName(const QString& name, QTreeWidgetItem* parent) const
{
    return FindChildByName(ItemKind::Folder, name, parent);
}

CModuleDevice* SiteBookTreeWidget::FindDeviceById(int serverId, QTreeWidgetItem* parent) const
{
    if (!parent)
        parent = m_pSiteBookRoot;
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        auto* device = dynamic_cast<CModuleDevice*>(child);
        if (!device)
            continue;
        const ItemKind kind = ItemKindOf(child);
        if (kind == ItemKind::Recorder) {
            if (device->GetServerId() == serverId)
                return device;
        } else if (kind == ItemKind::Folder) {
            if (CModuleDevice* found = FindDeviceById(serverId, child))
                return found;
        }
    }
    return nullptr;
}

QTreeWidgetItem* SiteBookTreeWidget::FindFolderById(int serverId, QTreeWidgetItem* parent) const
{
    // The validation console's own account id stands for the site book root.
    if (!parent && serverId == m_rootServerId && serverId >= 0)
        return m_pSiteBookRoot;
    if (!parent)
        parent = m_pSiteBookRoot;
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        auto* folder = dynamic_cast<CModuleDevice*>(child);
        if (!folder || ItemKindOf(child) != ItemKind::Folder)
            continue;
        if (folder->GetServerId() == serverId)
            return folder;
        if (QTreeWidgetItem* found = FindFolderById(serverId, child))
            return found;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// E-map slots

int SiteBookTreeWidget::GetFreeEmapIndex() const
{
    for (int i = 0; i < kEmapSlots; ++i) {
        if (!m_emapSlots[i])
            return i;
    }
    return -1;
}

void SiteBookTreeWidget::SetEmapIndex(int index, bool used)
{
    if (index < 0 || index >= kEmapSlots)
        return;
    m_emapSlots[index] = used ? 1 : 0;
}

bool SiteBookTreeWidget::IsEmapIndexUsed(int index) const
{
    return index >= 0 && index < kEmapSlots && m_emapSlots[index];
}

// ---------------------------------------------------------------------------------------------
// The item under the menu point

QTreeWidgetItem* SiteBookTreeWidget::menuItem() const
{
    return itemAt(m_menuPoint);
}

CModuleDevice* SiteBookTreeWidget::menuDevice() const
{
    return dynamic_cast<CModuleDevice*>(menuItem());
}

// ---------------------------------------------------------------------------------------------

void SiteBookTreeWidget::ConvertLoadText(const char* src, char* dst, std::size_t dstSize)
{
    if (!dst || dstSize == 0)
        return;
    std::size_t n = 0;
    if (src) {
        for (; n + 1 < dstSize && src[n] != '\0'; ++n)
            dst[n] = src[n] == '_' ? ' ' : src[n];
    }
    dst[n] = '\0';
}

// ---------------------------------------------------------------------------------------------
// Openers

void SiteBookTreeWidget::OpenDeviceLive(CModuleDevice* device)
{
    if (!device || device->GetDeviceIndex() < 0)
        return;
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->OpenDeviceInLiveView(device->GetDeviceIndex());
}

void SiteBookTreeWidget::openFavorite(int cameoMode, const QString& devices, const QString& channels)
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->OpenFavoriteInLiveView(cameoMode, devices, channels);
}

void SiteBookTreeWidget::openEmap(int deviceIndex, int channel)
{
    // Of the hub's two e-map windows, one that shows this recorder and channel takes the focus,
    // else an empty one (or the active one, or a new one) opens it.
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->OpenEmapView(deviceIndex, channel);
}

void SiteBookTreeWidget::openEmapItem(const QString& name, const QString& emapPath, const QString& emapPos,
                                      const QString& devices, const QString& channels, int emapIndex)
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->OpenEmapEntry(name, emapPath, emapPos, devices, channels, emapIndex);
}

void SiteBookTreeWidget::OnFavoriteSearchStart(int mode, const QString& name, const QString& text)
{
    Q_UNUSED(mode);
    qCDebug(lcSiteBook) << "OnFavoriteSearchStart ------------------------------------>";
    const SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    const int deviceIndex = hub->FindDeviceByName(name);
    if (deviceIndex < 0)
        return;
    const QStringList parts = text.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    // A missing or unreadable number stays unset (-1).
    const auto number = [&parts](int at) {
        bool ok = false;
        const int value = at < parts.size() ? parts.at(at).toInt(&ok) : 0;
        return ok ? value : -1;
    };
    startSearch(deviceIndex, number(0), number(1));
}
