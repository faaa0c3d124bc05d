// The site book tree's context menu, its action slots and the services that add and edit folders,
// recorders, favorites and e-map entries. Every action acts on the item at the last menu point;
// every edit is written to its book at once.
#include <QAction>
#include <QContextMenuEvent>
#include <QDebug>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>

#include <algorithm>
#include <vector>

#include "platform/process.h"
#include "session/connectpurpose.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/autoconnect.h"
#include "sitebook/cadddvrdialog.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooksessions.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

const char* const kEmapItemIcon = ":/res/Resource/5.png";
const char* const kSearchFavoriteIcon = ":/res/Resource/3.png";
const char* const kCdBurningProgram = "Kesto.exe";

// A path as the burning program takes it, with backslashes.
QString WindowsPath(const QString& path)
{
    QString windowsPath = path;
    windowsPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return windowsPath;
}

// Adds actions and separators so that the menu never shows a leading, trailing or doubled
// separator.
class MenuBuilder
{
public:
    explicit MenuBuilder(QMenu* menu)
        : m_menu(menu)
    {}
    MenuBuilder& operator<<(QAction* action)
    {
        if (m_separatorDue && !m_menu->actions().isEmpty())
            m_menu->addSeparator();
        m_separatorDue = false;
        m_menu->addAction(action);
        return *this;
    }
    MenuBuilder& Separator()
    {
        m_separatorDue = true;
        return *this;
    }

private:
    QMenu* m_menu;
    bool m_separatorDue = false;
};

} // namespace

// =============================================================================================
// Actions and the context menu

QAction* SiteBookTreeWidget::NewAction(const QString& text, const QString& icon, const QString& tip,
                                       void (SiteBookTreeWidget::*slot)())
{
    auto* action = icon.isEmpty() ? new QAction(text, this) : new QAction(QIcon(icon), text, this);
    if (!tip.isEmpty())
        action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void SiteBookTreeWidget::CreateActions()
{
    m_newDvrAct = NewAction(tr("New DVR"), QStringLiteral(":/res/Resource/add.png"),
                            tr("Create new DVR into the sitebook"), &SiteBookTreeWidget::newDvr);
    m_newFolderAct = NewAction(tr("New Folder"), QStringLiteral(":/res/Resource/add.png"),
                               tr("Create new Folder into the sitebook"), &SiteBookTreeWidget::newFolder);
    m_propertyAct = NewAction(tr("Property"), QStringLiteral(":/res/Resource/edit.png"), tr("property & edit"),
                              &SiteBookTreeWidget::property);
    m_deleteAct = NewAction(tr("Delete"), QStringLiteral(":/res/Resource/delete.png"),
                            tr("Delete this sitebook item"), &SiteBookTreeWidget::delItem);
    m_loadListAct = NewAction(tr("Load SiteBook"), QStringLiteral(":/res/Resource/folder.png"),
                              tr("Load sitebook list file"), &SiteBookTreeWidget::loadList);
    m_saveListAct = NewAction(tr("Save SiteBook"), QStringLiteral(":/res/Resource/save.png"),
                              tr("Save sitebook list file"), &SiteBookTreeWidget::saveList);
    m_connectAct = NewAction(tr("Connect"), QStringLiteral(":/res/Resource/connect.png"), tr("Connect this dvr"),
                             &SiteBookTreeWidget::connectDevice);
    m_disconnectAct = NewAction(tr("Disconnect"), QStringLiteral(":/res/Resource/disconnect.png"),
                                tr("Disconnect this dvr"), &SiteBookTreeWidget::disconnectDevice);
    m_importAct = NewAction(tr("Import DVR list"), QStringLiteral(":/res/Resource/import.png"),
                            tr("Import Excel file"), &SiteBookTreeWidget::loadExcelList);
    m_healthCheckAct = NewAction(tr("Health Check"), QStringLiteral(":/res/Resource/health.png"),
                                 tr("Dvr health check"), &SiteBookTreeWidget::healthCheck);
    m_networkStatusAct = NewAction(tr("Network Status"), QString(), tr("Network usage limits of this dvr"),
                                   &SiteBookTreeWidget::networkStatus);
    m_findAct = NewAction(tr("Find DVR"), QStringLiteral(":/res/Resource/find.png"), tr("DVR Find on Sitebook"),
                          &SiteBookTreeWidget::searchDvr);
    m_accountAct = NewAction(tr("Account Manager"), QStringLiteral(":/res/Resource/account.png"),
                             tr("Account Manager"), &SiteBookTreeWidget::accountManager);
    m_firmwareAct = NewAction(tr("Firmware Manager"), QStringLiteral(":/res/Resource/39.png"),
                              tr("Firmware MaSeasnager"), &SiteBookTreeWidget::firmwareManager);
    m_sendEmailAct = NewAction(tr("Send Email"), QStringLiteral(":/res/Resource/39.png"), tr("Send Email"),
                               &SiteBookTreeWidget::sendEmail);
    m_cdBurningAct = NewAction(tr("CD Burning"), QStringLiteral(":/res/Resource/cd.png"),
                               tr("Burn this recording to CD"), &SiteBookTreeWidget::cdBurning);
    m_eventBackupAct = NewAction(tr("Event Backup"), QStringLiteral(":/res/Resource/43_Off.png"), QString(),
                                 &SiteBookTreeWidget::eventBackup);
    m_scheduleBackupAct = NewAction(tr("Schedule Backup"), QStringLiteral(":/res/Resource/seldate.png"), QString(),
                                    &SiteBookTreeWidget::scheduleBackup);
    m_remoteCdBackupAct = NewAction(tr("Remote CD Backup"), QStringLiteral(":/res/Resource/cd.png"), QString(),
                                    &SiteBookTreeWidget::remoteCDBackup);
    m_liveAct = NewAction(tr("Live"), QStringLiteral(":/res/Resource/2.png"), QString(),
                          &SiteBookTreeWidget::liveStartAct);
    m_searchAct = NewAction(tr("Search"), QStringLiteral(":/res/Resource/3.png"), QString(),
                            &SiteBookTreeWidget::searchStartAct);
    m_emapAct = NewAction(tr("eMap"), QStringLiteral(":/res/Resource/5.png"), QString(),
                          &SiteBookTreeWidget::emapStartAct);
    m_aviConvertAct = NewAction(tr("MP4 Convert"), QStringLiteral(":/res/Resource/25.png"), QString(),
                                &SiteBookTreeWidget::aviConvert);
    m_autoConnectOnAct = NewAction(tr("Auto Connect\tOn"), QString(), QString(),
                                   &SiteBookTreeWidget::autoConnectOn);
    m_autoConnectOffAct = NewAction(tr("Auto Connect\tOff"), QString(), QString(),
                                    &SiteBookTreeWidget::autoConnectOff);
}

std::unique_ptr<QMenu> SiteBookTreeWidget::PrepareContextMenu(const QPoint& point)
{
    const SessionHub* hub = SessionHub::Instance();
    m_loadListAct->setEnabled(!(hub && hub->IsAnyDeviceConnected()));
    m_importAct->setEnabled(!m_import);
    m_menuPoint = point;
    QTreeWidgetItem* item = itemAt(point);
    m_findScope = nullptr;

    // The burning program may be installed or removed while the client runs.
    m_cdBurningAct->setEnabled(CdBurningProgramPresent());

    auto menu = std::make_unique<QMenu>(this);
    MenuBuilder add(menu.get());

    if (!item) {
        m_findScope = m_pSiteBookRoot;
        add << m_newDvrAct << m_newFolderAct;
        add.Separator() << m_loadListAct << m_saveListAct;
        add.Separator() << m_importAct << m_findAct;
        add.Separator() << m_accountAct << m_firmwareAct;
        return menu;
    }

    switch (ItemKindOf(item)) {
    case ItemKind::SiteBookRoot:
        m_findScope = item;
        add << m_newDvrAct << m_newFolderAct;
        add.Separator() << m_loadListAct << m_saveListAct << m_findAct;
        break;
    case ItemKind::Folder:
        m_findScope = item;
        add << m_newDvrAct << m_newFolderAct;
        add.Separator() << m_propertyAct << m_deleteAct;
        add.Separator() << m_loadListAct << m_saveListAct << m_findAct;
        add.Separator() << m_accountAct << m_firmwareAct;
        break;
    case ItemKind::Recorder: {
        const RecorderSession* device = SiteBookSessions::SessionOf(item);
        const bool connected = device && device->IsLoggedIn();
        QMenu* quick = menu->addMenu(tr("Quick Menu"));
        quick->addAction(m_liveAct);
        quick->addAction(m_searchAct);
        quick->addAction(m_emapAct);
        if (connected) {
            add << m_healthCheckAct << m_networkStatusAct;
            add.Separator() << m_disconnectAct;
            add.Separator() << m_eventBackupAct << m_scheduleBackupAct << m_remoteCdBackupAct;
        } else {
            add << m_connectAct;
        }
        add.Separator() << m_propertyAct << m_deleteAct;
        add.Separator() << m_loadListAct << m_saveListAct;
        add.Separator() << m_accountAct << m_firmwareAct;
        break;
    }
    case ItemKind::Camera:
        m_findScope = m_pSiteBookRoot;
        add << m_findAct;
        add.Separator() << m_propertyAct;
        break;
    case ItemKind::FavoritesRoot:
    case ItemKind::EmapRoot: return nullptr;
    case ItemKind::Favorite:
    case ItemKind::SearchFavorite:
    case ItemKind::EmapEntry: add << m_autoConnectOnAct << m_autoConnectOffAct << m_deleteAct; break;
    case ItemKind::ArchiveData: add << m_sendEmailAct << m_cdBurningAct << m_aviConvertAct; break;
    case ItemKind::ArchiveSnapshot: add << m_sendEmailAct; break;
    case ItemKind::ArchiveFolder: add << m_cdBurningAct; break;
    default:
        m_findScope = m_pSiteBookRoot;
        add << m_importAct << m_findAct;
        add.Separator() << m_accountAct << m_firmwareAct;
        break;
    }
    return menu;
}

void SiteBookTreeWidget::contextMenuEvent(QContextMenuEvent* event)
{
    // The event arrives in viewport coordinates, as itemAt expects them.
    std::unique_ptr<QMenu> menu = PrepareContextMenu(event->pos());
    if (menu)
        menu->exec(event->globalPos());
}

// =============================================================================================
// Helpers

QTreeWidgetItem* SiteBookTreeWidget::StillThere(const QPersistentModelIndex& at) const
{
    return at.isValid() ? itemFromIndex(at) : nullptr;
}

QTreeWidgetItem* SiteBookTreeWidget::NewEntryParent(QTreeWidgetItem* item) const
{
    const ItemKind kind = ItemKindOf(item);
    if (kind == ItemKind::Folder && SiteBookSessions::SessionOf(item))
        return item;
    if (kind == ItemKind::Recorder && item->parent())
        return item->parent();
    return m_pSiteBookRoot;
}

bool SiteBookTreeWidget::RecorderNameTaken(const QString& name) const
{
    std::vector<const QTreeWidgetItem*> pending{m_pSiteBookRoot};
    while (!pending.empty()) {
        const QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            const QTreeWidgetItem* child = item->child(i);
            const ItemKind kind = ItemKindOf(child);
            if (kind == ItemKind::Folder)
                pending.push_back(child);
            else if (kind == ItemKind::Recorder) {
                QString taken = SiteBook::FromItem(child)->name;
                if (taken.startsWith(QLatin1Char('@')))
                    taken.remove(0, 1);
                if (taken == name)
                    return true;
            }
        }
    }
    return false;
}

bool SiteBookTreeWidget::ChildNameTaken(const QTreeWidgetItem* parent, std::initializer_list<ItemKind> kinds,
                                        const QString& name)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        const ItemKind kind = ItemKindOf(child);
        if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end() && SiteBook::FromItem(child)->name == name)
            return true;
    }
    return false;
}

RecorderSession* SiteBookTreeWidget::MenuRecorder() const
{
    QTreeWidgetItem* item = menuItem();
    RecorderSession* device = SiteBookSessions::SessionOf(item);
    return device && ItemKindOf(item) == ItemKind::Recorder ? device : nullptr;
}

void SiteBookTreeWidget::SaveSiteBookFile()
{
    const QString path = SiteBookFile::BookPath(QLatin1String(SiteBookFile::kSiteBookFileName));
    TellIfNotSaved(SiteBookFile::SaveSiteBook(this, path), path);
}

void SiteBookTreeWidget::SaveFavoritesFile()
{
    const QString path = SiteBookFile::BookPath(QLatin1String(SiteBookFile::kFavoritesFileName));
    TellIfNotSaved(SiteBookFile::SaveFavorites(this, path), path);
}

void SiteBookTreeWidget::SaveEmapFile()
{
    const QString path = SiteBookFile::BookPath(QLatin1String(SiteBookFile::kEmapFileName));
    TellIfNotSaved(SiteBookFile::SaveEmap(this, path), path);
}

void SiteBookTreeWidget::TellIfNotSaved(SiteBookFile::SaveResult result, const QString& path)
{
    if (result != SiteBookFile::SaveResult::Protected || !FileGuard().FirstRefusal(path))
        return;
    SiteBookHub* hub = SiteBookHub::Instance();
    const QString text = QStringLiteral(
                             "The change was not saved.\n%1 could not be read when it was loaded, so it is "
                             "kept as it is and nothing in it is lost. Changes are not written to it "
                             "until it loads again, or until you save the book under a name of your "
                             "choice.")
                             .arg(QDir::toNativeSeparators(path));
    if (hub)
        hub->ShowModalMessage(QStringLiteral("ZENT"), text);
    else
        qCWarning(lcSiteBook) << text;
}

bool SiteBookTreeWidget::CdBurningProgramPresent()
{
    const SessionHub* hub = SessionHub::Instance();
    const QString directory = hub ? hub->ProgramDirectory() : QString();
    return !platform::Process::FindProgram(QLatin1String(kCdBurningProgram), directory).isEmpty();
}

QString SiteBookTreeWidget::CdBurningCommand(const QString& programDirectory, BurnSource source,
                                             const QString& path)
{
    return programDirectory + QLatin1Char('/') + QLatin1String(kCdBurningProgram) + QLatin1Char(' ')
           + QString::number(static_cast<int>(source)) + QLatin1Char(' ') + WindowsPath(path);
}

// =============================================================================================
// New folder and new recorder

void SiteBookTreeWidget::newFolder()
{
    QPersistentModelIndex at(indexFromItem(menuItem()));
    const bool onEmptySpace = !menuItem();

    CAddFolderDialog dialog(this);
    dialog.setModal(true);
    dialog.SetNameTaken([this, at](const QString& name) {
        QTreeWidgetItem* item = StillThere(at);
        return ChildNameTaken(item ? NewEntryParent(item) : m_pSiteBookRoot, {ItemKind::Folder}, name);
    });
    if (dialog.exec() != 1)
        return;
    QTreeWidgetItem* item = StillThere(at);
    if (!item && !onEmptySpace)
        return; // the menu item went away while the dialog was open

    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::Folder);
    record->name = dialog.name;
    QTreeWidgetItem* folder = CreateEntry(NewEntryParent(item), record, EntryMode::Folder);
    folder->setIcon(0, m_folderIcon);
    folder->setText(0, record->name);
    SaveSiteBookFile();
}

void SiteBookTreeWidget::newDvr()
{
    QPersistentModelIndex at(indexFromItem(menuItem()));
    const bool onEmptySpace = !menuItem();

    CAddDvrDialog dialog(this);
    dialog.setModal(true);
    dialog.SetNameTaken([this](const QString& name) { return RecorderNameTaken(name); });
    if (dialog.exec() != 1)
        return;
    QTreeWidgetItem* item = StillThere(at);
    if (!item && !onEmptySpace)
        return;

    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::Recorder);
    record->name = dialog.name;
    record->addr = dialog.addr;
    record->port = dialog.port;
    record->id = dialog.id;
    record->password = dialog.password;
    record->quality = dialog.quality;
    record->use_ssl = dialog.use_ssl;
    QTreeWidgetItem* device = CreateEntry(NewEntryParent(item), record, EntryMode::Recorder);
    device->setIcon(0, m_dvrDisableIcon);
    device->setText(0, record->name);
    SiteBookSessions::SessionOf(device)->LoadSiteBookInfo();
    AddRecorderChildren(device);
    SaveSiteBookFile();
}

// =============================================================================================
// Properties

void SiteBookTreeWidget::property()
{
    QTreeWidgetItem* item = menuItem();
    if (!item)
        return;
    switch (ItemKindOf(item)) {
    case ItemKind::Folder: PropertyFolder(item); break;
    case ItemKind::Recorder: PropertyDevice(item); break;
    case ItemKind::Camera: PropertyCamera(item); break;
    default: SaveSiteBookFile(); break;
    }
}

QTreeWidgetItem* SiteBookTreeWidget::RenameWithDialog(QTreeWidgetItem* item, bool* renamed)
{
    QPersistentModelIndex at(indexFromItem(item));
    CAddFolderDialog dialog(this);
    dialog.setModal(true);
    const int cameraFlag = ItemKindOf(item) == ItemKind::Camera ? 1 : 0;
    dialog.setText(SiteBook::FromItem(item)->name, cameraFlag);
    if (ItemKindOf(item) == ItemKind::Folder) {
        dialog.SetNameTaken([this, at](const QString& name) {
            QTreeWidgetItem* folder = StillThere(at);
            QTreeWidgetItem* parent = folder && folder->parent() ? folder->parent() : m_pSiteBookRoot;
            return ChildNameTaken(parent, {ItemKind::Folder}, name);
        });
    }
    if (dialog.exec() != 1)
        return nullptr;
    // The dialog is modal: the item may have gone meanwhile (a recorder replaces its camera items
    // when it reconnects).
    item = StillThere(at);
    SiteBook* record = SiteBook::FromItem(item);
    if (!record)
        return nullptr;
    *renamed = record->name != dialog.name;
    record->name = dialog.name;
    item->setText(0, record->name);
    return item;
}

void SiteBookTreeWidget::PropertyFolder(QTreeWidgetItem* item)
{
    bool renamed = false;
    item = RenameWithDialog(item, &renamed);
    if (!item)
        return;
    if (renamed) {
        insertSorted(item, SiteBook::FromItem(item)->name, EntryMode::Folder);
        clearSelection();
        item->setSelected(true);
    }
    SaveSiteBookFile();
}

void SiteBookTreeWidget::PropertyDevice(QTreeWidgetItem* item)
{
    if (!SiteBookSessions::SessionOf(item))
        return;
    QPersistentModelIndex at(indexFromItem(item));
    // The dialog takes the "@" off the record it is given; a copy keeps the lock on the entry
    // itself when the dialog is cancelled.
    SiteBook shown(*SiteBook::FromItem(item));
    CAddDvrDialog dialog(this);
    dialog.setModal(true);
    dialog.setSiteBook(&shown);
    dialog.SetNameTaken([this](const QString& name) { return RecorderNameTaken(name); });
    if (dialog.exec() != 1)
        return;
    item = StillThere(at);
    RecorderSession* device = SiteBookSessions::SessionOf(item);
    SiteBook* record = device ? SiteBook::FromItem(item) : nullptr;
    if (!record)
        return;

    const QString oldName = record->name;
    const bool addressChanged = record->addr != dialog.addr || record->port != dialog.port;
    record->name = dialog.name;
    record->addr = dialog.addr;
    record->port = dialog.port;
    record->id = dialog.id;
    record->password = dialog.password;
    record->use_ssl = dialog.use_ssl;
    if (record->quality != dialog.quality) {
        record->quality = dialog.quality;
        if (device->IsLoggedIn()) {
            device->OnLiveStart(0);
            device->ResendPlaybackCtrl();
        }
    }
    item->setText(0, dialog.locked ? record->name.mid(1) : record->name);
    if (record->name != oldName) {
        insertSorted(item, record->name, EntryMode::Recorder);
        clearSelection();
        item->setSelected(true);
    }
    SaveSiteBookFile();
    if (record->name != oldName)
        RenameRecorderInBooks(PlainName(oldName), PlainName(record->name));
    if (addressChanged && device->IsLoggedIn()) {
        if (SiteBookHub* hub = SiteBookHub::Instance())
            hub->ShowModalMessage(QStringLiteral("SiteBook"),
                                  QStringLiteral("%1 stays connected to its old address; the new address and port "
                                                 "take effect at its next connection.")
                                      .arg(PlainName(record->name)));
    }
}

QString SiteBookTreeWidget::PlainName(const QString& name)
{
    return name.startsWith(QLatin1Char('@')) ? name.mid(1) : name;
}

void SiteBookTreeWidget::RenameRecorderInBooks(const QString& oldName, const QString& newName)
{
    // Favorites and e-map entries find their recorders by name: an entry left with the old name
    // would silently stop finding it.
    const auto renameIn = [&](QTreeWidgetItem* root) {
        bool changed = false;
        for (int i = 0; root && i < root->childCount(); ++i) {
            SiteBook* entry = SiteBook::FromItem(root->child(i));
            if (!entry)
                continue;
            QStringList names = entry->favoritesdevice.split(QLatin1Char(';'), Qt::KeepEmptyParts);
            bool entryChanged = false;
            for (QString& name : names) {
                if (name == oldName) {
                    name = newName;
                    entryChanged = true;
                }
            }
            if (entryChanged) {
                entry->favoritesdevice = names.join(QLatin1Char(';'));
                changed = true;
            }
        }
        return changed;
    };
    if (renameIn(m_pFavoritesRoot))
        SaveFavoritesFile();
    if (renameIn(m_pEmapRoot))
        SaveEmapFile();
}

void SiteBookTreeWidget::PropertyCamera(QTreeWidgetItem* item)
{
    const RecorderSession* recorder = SiteBookSessions::SessionOf(item->parent());
    if (recorder && recorder->IsLoggedIn() && !SiteBookSessions::LoginOption(item->parent())) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("Sitebook"), QStringLiteral("No permission."),
                                QStringLiteral("stop"));
        return;
    }
    bool renamed = false;
    item = RenameWithDialog(item, &renamed);
    if (!item)
        return;
    if (renamed) {
        const SiteBook* record = SiteBook::FromItem(item);
        SiteBookSessions::SendCameraTitle(item->parent(), record->channel, record->name);
    }
    SaveSiteBookFile();
}

// =============================================================================================
// Delete

void SiteBookTreeWidget::delItem()
{
    QTreeWidgetItem* item = menuItem();
    if (!item)
        return;
    // The three roots carry the rest of the tree and are never deleted.
    if (item == m_pSiteBookRoot || item == m_pEmapRoot || item == m_pFavoritesRoot)
        return;

    QPersistentModelIndex at(indexFromItem(item));
    QMessageBox question(QMessageBox::Information, QStringLiteral("SiteBook"),
                         QStringLiteral("Are you sure you want to delete?"), QMessageBox::Yes | QMessageBox::No,
                         this);
    bool emapChanged = false;
    if (question.exec() == QMessageBox::Yes) {
        item = StillThere(at);
        if (const SiteBook* record = SiteBook::FromItem(item)) {
            if (ItemKindFromText(record->kind) == ItemKind::EmapEntry) {
                if (record->index >= 0 && record->index < kEmapSlots)
                    SetEmapIndex(record->index, false);
                emapChanged = true;
            }
        }
        // A folder takes its folders and recorders with it; a recorder's session ends.
        if (item) {
            m_findScope = nullptr;
            SiteBookSessions::DeleteItemTree(item);
        }
    }
    SaveSiteBookFile();
    SaveFavoritesFile();
    // Without this the deleted e-map entry would come back from emap.xml at the next start.
    if (emapChanged)
        SaveEmapFile();
}

// =============================================================================================
// Auto connect

void SiteBookTreeWidget::autoConnectOff()
{
    QTreeWidgetItem* item = menuItem();
    if (!item)
        return;
    if (SiteBook* record = SiteBook::FromItem(item); record && ItemKindOf(item) == ItemKind::Favorite) {
        record->favoritesmode = AutoConnectText(AutoConnect::Off);
        item->setIcon(0, m_favoriteItemIcon);
    }
    SaveFavoritesFile();
}

void SiteBookTreeWidget::autoConnectOn()
{
    QTreeWidgetItem* item = menuItem();
    if (!item || item->parent() != m_pFavoritesRoot)
        return;
    if (ItemKindOf(item) == ItemKind::Favorite) {
        // At most one favorite connects at start.
        for (int i = 0; i < m_pFavoritesRoot->childCount(); ++i) {
            QTreeWidgetItem* child = m_pFavoritesRoot->child(i);
            SiteBook* record = SiteBook::FromItem(child);
            if (!record || ItemKindOf(child) != ItemKind::Favorite)
                continue;
            const bool on = child == item;
            record->favoritesmode = AutoConnectText(on ? AutoConnect::On : AutoConnect::Off);
            child->setIcon(0, on ? m_favoriteIcon : m_favoriteItemIcon);
        }
    }
    SaveFavoritesFile();
}

// =============================================================================================
// E-map entries and favorites

QString SiteBookTreeWidget::addEmapItem(const QString& name, const QString& devices, const QString& channels,
                                        const QString& emapPath, const QString& emapPos)
{
    CAddFolderDialog dialog(this);
    dialog.setModal(true);
    dialog.setEmapMode();
    dialog.setName(name);
    dialog.SetNameTaken(
        [this](const QString& taken) { return ChildNameTaken(m_pEmapRoot, {ItemKind::EmapEntry}, taken); });
    if (dialog.exec() != 1)
        return QString();

    auto* record = new SiteBook;
    record->kind = ItemKindText(ItemKind::EmapEntry);
    record->name = dialog.name;
    record->favoritesdevice = devices;
    record->favoriteschannel = channels;
    record->emapPath = emapPath;
    record->emapPos = emapPos;
    record->index = GetFreeEmapIndex();
    if (record->index >= 0)
        SetEmapIndex(record->index, true);
    auto* item = new SiteBookItem(m_pEmapRoot, record);
    item->setIcon(0, QIcon(QLatin1String(kEmapItemIcon)));
    item->setText(0, record->name);
    SaveEmapFile();
    return record->name;
}

void SiteBookTreeWidget::updateEmapItem(const QString& name, const QString& devices, const QString& channels,
                                        const QString& emapPath, const QString& emapPos, int slot, bool silent)
{
    QString newName = name;
    if (!silent) {
        CAddFolderDialog dialog(this);
        dialog.setModal(true);
        dialog.setEmapMode();
        dialog.setName(name);
        if (dialog.exec() != 1)
            return;
        newName = dialog.name;
    }
    for (int i = 0; i < m_pEmapRoot->childCount(); ++i) {
        QTreeWidgetItem* item = m_pEmapRoot->child(i);
        SiteBook* record = SiteBook::FromItem(item);
        if (!record || ItemKindOf(item) != ItemKind::EmapEntry || record->index != slot)
            continue;
        record->name = newName;
        record->favoritesdevice = devices;
        record->favoriteschannel = channels;
        record->emapPath = emapPath;
        record->emapPos = emapPos;
        item->setIcon(0, QIcon(QLatin1String(kEmapItemIcon)));
        item->setText(0, newName);
        SaveEmapFile();
    }
}

void SiteBookTreeWidget::addFavorite(const QString& kind, int split, int first, const QString& devices,
                                     const QString& channels)
{
    CAddFolderDialog dialog(this);
    dialog.setModal(true);
    dialog.setFavoritesMode();
    dialog.SetNameTaken([this](const QString& name) {
        return ChildNameTaken(m_pFavoritesRoot, {ItemKind::Favorite, ItemKind::SearchFavorite}, name);
    });
    if (dialog.exec() != 1)
        return;

    const bool search = kind == QLatin1String("search");
    auto* record = new SiteBook;
    record->kind = ItemKindText(search ? ItemKind::SearchFavorite : ItemKind::Favorite);
    record->name = dialog.name;
    // The grid reads its layout back as split x 100 + first cell (904: split 9 from cell 4).
    record->cameomode = QString::number(split * 100 + first);
    record->favoritesdevice = devices;
    record->favoriteschannel = channels;
    auto* item = new SiteBookItem(m_pFavoritesRoot, record);
    item->setIcon(0, search ? QIcon(QLatin1String(kSearchFavoriteIcon)) : m_favoriteItemIcon);
    item->setText(0, record->name);
    SaveFavoritesFile();
}

// =============================================================================================
// Recorder actions

void SiteBookTreeWidget::connectDevice()
{
    if (RecorderSession* device = MenuRecorder())
        device->StartConnect(int(ConnectPurpose::Connect));
}

void SiteBookTreeWidget::disconnectDevice()
{
    if (RecorderSession* device = MenuRecorder())
        device->Disconnect();
}

void SiteBookTreeWidget::liveStartAct()
{
    if (RecorderSession* device = MenuRecorder())
        OpenDeviceLive(device);
}

void SiteBookTreeWidget::searchStartAct()
{
    if (RecorderSession* device = MenuRecorder())
        startSearch(device->GetDeviceIndex(), -1, -1);
}

void SiteBookTreeWidget::emapStartAct()
{
    if (RecorderSession* device = MenuRecorder())
        openEmap(device->GetDeviceIndex(), -1);
}

void SiteBookTreeWidget::healthCheck()
{
    if (RecorderSession* device = MenuRecorder())
        device->ShowHealthCheck(false);
}

void SiteBookTreeWidget::networkStatus()
{
    if (RecorderSession* device = MenuRecorder(); device && device->IsLoggedIn())
        device->ShowNetworkStatus();
}

void SiteBookTreeWidget::eventBackup()
{
    if (RecorderSession* device = MenuRecorder())
        device->ShowEventBackup();
}

void SiteBookTreeWidget::scheduleBackup()
{
    if (RecorderSession* device = MenuRecorder())
        device->ShowScheduleBackup();
}

void SiteBookTreeWidget::remoteCDBackup()
{
    if (RecorderSession* device = MenuRecorder())
        device->ShowRemoteCDBackup();
}

void SiteBookTreeWidget::startSearch(int deviceIndex, int date, int time)
{
    if (!SessionHub::Instance() || !SessionHub::Instance()->GetDevice(deviceIndex))
        return;
    // Of the hub's two remote playback windows, one showing this recorder or none (else the
    // active one, else a new one) starts on the recorder at the date and time and takes the focus.
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->StartRemoteSearch(deviceIndex, date, time);
}

// =============================================================================================
// Books, managers and archive items

void SiteBookTreeWidget::loadList()
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->loadSiteBook(QString(), true);
}

void SiteBookTreeWidget::saveList()
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->saveSiteBook(QString());
}

void SiteBookTreeWidget::accountManager()
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->exeAccountManager();
}

void SiteBookTreeWidget::firmwareManager()
{
    if (SiteBookHub* hub = SiteBookHub::Instance())
        hub->exeFirmwareManager();
}

void SiteBookTreeWidget::aviConvert()
{
    if (SiteBookHub* hub = SiteBookHub::Instance(); hub && menuItem())
        hub->createAVIConvert();
}

void SiteBookTreeWidget::sendEmail()
{
    // The e-mail dialog gets the item's path and attachment kind 1 for a recording, 2 for a
    // snapshot, else no attachment (kind 0).
    SiteBookHub* hub = SiteBookHub::Instance();
    if (!hub)
        return;
    const QTreeWidgetItem* item = menuItem();
    const SiteBook* record = SiteBook::FromItem(item);
    const ItemKind kind = ItemKindOf(item);
    if (record && kind == ItemKind::ArchiveData)
        hub->sendEmail(record->path, 1);
    else if (record && kind == ItemKind::ArchiveSnapshot)
        hub->sendEmail(record->path, 2);
    else
        hub->sendEmail(QString(), 0);
}

void SiteBookTreeWidget::cdBurning()
{
    const ItemKind kind = ItemKindOf(menuItem());
    if (kind != ItemKind::ArchiveData && kind != ItemKind::ArchiveFolder)
        return;
    const BurnSource source = kind == ItemKind::ArchiveData ? BurnSource::File : BurnSource::Folder;
    const QString path = SiteBook::FromItem(menuItem())->path;
    const QString directory = SessionHub::Instance() ? SessionHub::Instance()->ProgramDirectory() : QString();
    qCDebug(lcSiteBook) << "CD burning:" << CdBurningCommand(directory, source, path);
    // Started without waiting. The entry is greyed while the program is missing, but it may go
    // away between the menu and the click.
    const QString program = platform::Process::FindProgram(QLatin1String(kCdBurningProgram), directory);
    if (program.isEmpty()) {
        const QString text = tr("CD Burning is not available: the burning program was not found in %1.")
                                 .arg(QDir::toNativeSeparators(directory));
        if (SiteBookHub* hub = SiteBookHub::Instance())
            hub->ShowModalMessage(QStringLiteral("ZENT"), text);
        else
            qCWarning(lcSiteBook) << text;
        return;
    }
    QProcess::startDetached(program, {QString::number(static_cast<int>(source)), WindowsPath(path)}, directory);
}
