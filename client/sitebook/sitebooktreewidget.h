#pragma once
// The tree in the "SiteBook" dock: the site book of folders and recorders (each a session
// object), the e-map entries and the favorites, under three fixed roots. It offers lookups by
// name and server id, the e-map slot table, the item under the last context-menu point and the
// openers that hand recorders, favorites and e-map entries to the live, search and e-map windows.
//
// The tree is worked through one context menu whose entries depend on the kind of the item under
// the mouse; every action acts on the item at the last menu point, and every edit is written to
// its book at once: sitebook.xml for folders and recorders, favorites.xml for favorites, emap.xml
// for e-map entries.
#include <QHash>
#include <QIcon>
#include <QMultiHash>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QTreeWidget>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

#include "sitebook/bookfileguard.h"
#include "sitebook/entrymode.h"
#include "sitebook/itemkind.h"
#include "sitebook/pushconnectlist.h"
#include "sitebook/recorderlistimport.h"
#include "sitebook/sitebookfile.h"

class CModuleDevice;
class QAction;
class QJsonObject;
class QMenu;
class QMimeData;
class RecorderSession;
class SiteBook;
class ValidationAccount;

class SiteBookTreeWidget : public QTreeWidget, private RecorderListTarget
{
    Q_OBJECT

public:
    static constexpr int kEmapSlots = 9999;
    // What the burning program is handed: one recording or a folder of them.
    enum class BurnSource {
        File = 0,
        Folder = 1,
    };

    explicit SiteBookTreeWidget(QWidget* parent = nullptr);
    ~SiteBookTreeWidget() override;

    QTreeWidgetItem* GetSiteBookRoot() const { return m_pSiteBookRoot; }
    QTreeWidgetItem* GetEmapRoot() const { return m_pEmapRoot; }
    QTreeWidgetItem* GetFavoritesRoot() const { return m_pFavoritesRoot; }

    // Icons loaded once and shared with the book readers.
    const QIcon& FolderIcon() const { return m_folderIcon; }
    const QIcon& DisconnectedIcon() const { return m_dvrDisableIcon; }
    const QIcon& FavoriteIcon() const { return m_favoriteIcon; }
    const QIcon& FavoriteItemIcon() const { return m_favoriteItemIcon; }

    // Creates a session object under parent (the site book root when null): a recorder takes a
    // slot of the hub's recorder table, a folder none. The item is placed among its siblings by
    // the record's name and takes ownership of the record. The caller sets icon and text.
    CModuleDevice* createTreeItem(QTreeWidgetItem* parent, SiteBook* record, EntryMode mode);

    // Takes the item out of its parent and puts it back before the first sibling that is a
    // recorder with a greater name (recorder mode) or that is a recorder or has a greater name
    // (folder mode), else at the end. Folders stay above recorders, each run sorted by name.
    static void insertSorted(QTreeWidgetItem* item, const QString& name, EntryMode mode);

    // Adds the fixed "Archive" and "Emap" children of a recorder read from a book.
    void AddRecorderChildren(CModuleDevice* device);

    // Removes and deletes every child of the site book root.
    void clearSiteBook();

    // Direct children of parent (the site book root when null) only; case-sensitive names.
    CModuleDevice* FindDeviceByName(const QString& name, QTreeWidgetItem* parent = nullptr) const;
    CModuleDevice* FindFolderByName(const QString& name, QTreeWidgetItem* parent = nullptr) const;
    // Depth-first through the folders below parent (the site book root when null).
    CModuleDevice* FindDeviceById(int serverId, QTreeWidgetItem* parent = nullptr) const;
    QTreeWidgetItem* FindFolderById(int serverId, QTreeWidgetItem* parent = nullptr) const;

    // E-map slots 0 to 9998.
    int GetFreeEmapIndex() const;
    void SetEmapIndex(int index, bool used);
    bool IsEmapIndexUsed(int index) const;

    // The point (viewport coordinates) of the last context-menu request or double click, and
    // what lies under it.
    QPoint MenuPoint() const { return m_menuPoint; }
    void SetMenuPoint(const QPoint& point) { m_menuPoint = point; }
    QTreeWidgetItem* menuItem() const;
    // The session object under the point; null on empty space and on plain items.
    CModuleDevice* menuDevice() const;

    // Copies the zero-terminated text into dst (dstSize bytes, always terminated when dstSize
    // is not 0), with every "_" replaced by a blank; the copy is cut to fit.
    static void ConvertLoadText(const char* src, char* dst, std::size_t dstSize);

    // Files of the three books whose last read failed; the book writers leave them alone.
    BookFileGuard& FileGuard() { return m_fileGuard; }

    // Openers.
    void OpenDeviceLive(CModuleDevice* device);
    void openFavorite(int cameoMode, const QString& devices, const QString& channels);
    void openEmap(int deviceIndex, int channel);
    void openEmapItem(const QString& name, const QString& emapPath, const QString& emapPos, const QString& devices,
                      const QString& channels, int emapIndex);

    // Removes and deletes every favorite, or every e-map entry (freeing its e-map slot).
    void clearFavorites();
    void clearEmap();

    // ---- context menu
    // Stores the point (viewport coordinates) as the menu point and builds the menu for the item
    // there; null where no menu opens (the favorites and e-map roots). Also enables "Load
    // SiteBook" exactly when no recorder is connected and sets the find scope.
    std::unique_ptr<QMenu> PrepareContextMenu(const QPoint& point);
    // Where "Find DVR" searches; null when the last menu offered no search.
    QTreeWidgetItem* FindScope() const { return m_findScope; }
    // The recorder slot after the last find hit; 0 when the find dialog opens.
    int LastFoundIndex() const { return m_lastFoundIndex; }
    void SetLastFoundIndex(int index) { m_lastFoundIndex = index; }
    // The next recorder slot from start whose recorder has exactly this name and sits directly
    // under the find scope (anywhere when the scope is the site book root), wrapping once to the
    // slots before the last hit; unless quiet, the hit is shown selected. The slot, or -1.
    int findDvr(int start, const QString& name, bool quiet);

    // ---- recorders and groups pushed by the central and validation servers
    void OnAddDvr(const ValidationAccount* account, int groupId);
    void OnAddGroup(const ValidationAccount* account, int parentId);
    void OnModifyDvr(const ValidationAccount* account);
    void OnModifyGroup(const ValidationAccount* account);
    void OnMoveDvr(int dvrId, int groupId);
    void OnDeleteDvr(int dvrId);
    void OnDeleteGroup(int groupId);
    // Replaces the site book with the central server's node tree, then connects the queued
    // recorders.
    void LoadServerSiteBook(const QJsonObject& root);
    // The validation console's logged-in account: pushes under its id go to the site book root.
    void SetRootServerId(int id) { m_rootServerId = id; }
    void OnConnectList();
    const PushConnectList& ConnectList() const { return m_connectList; }

    // ---- services for the grids and the e-map window
    // Asks a name for a new e-map entry and adds it with the lowest free e-map slot; returns the
    // name, or an empty text when the operator cancels.
    QString addEmapItem(const QString& name, const QString& devices, const QString& channels,
                        const QString& emapPath, const QString& emapPos);
    // Updates every e-map entry holding the slot; unless silent, asks the name first.
    void updateEmapItem(const QString& name, const QString& devices, const QString& channels,
                        const QString& emapPath, const QString& emapPos, int slot, bool silent);
    // Asks a name and adds a favorite of a grid: kind word "search" for a search favorite; the
    // grid layout is stored as split * 100 + first cell (904: split 9 from cell 4).
    void addFavorite(const QString& kind, int split, int first, const QString& devices, const QString& channels);
    // Opens the recorder in a remote playback window at the date and time (-1: none).
    void startSearch(int deviceIndex, int date, int time);

    // The command line of the burning program for an archive item's path: the program directory,
    // "/Kesto.exe ", the source as its number and the path with backslashes.
    static QString CdBurningCommand(const QString& programDirectory, BurnSource source, const QString& path);
    // True when the burning program lies in the program directory or beside the client.
    static bool CdBurningProgramPresent();

    // Names that a new or renamed entry may not take: favorites and e-maps find recorders by
    // name anywhere in the book; other entries clash only with their siblings of a kind.
    bool RecorderNameTaken(const QString& name) const;
    static bool ChildNameTaken(const QTreeWidgetItem* parent, std::initializer_list<ItemKind> kinds,
                               const QString& name);

    // Imports a recorder list: a list file when the name ends exactly in ".ini", else a workbook.
    // The list is read and checked off the window thread and applied in batches; ImportFinished
    // follows with the closing message shown. Nothing starts while an import runs (its menu
    // entry is greyed meanwhile).
    void ImportFile(const QString& fileName);
    bool IsImporting() const { return m_import != nullptr; }

    // ---- drag, drop and double click
    // What a drag of the item carries: its record in the drag stream format under
    // "application/x-qabstractitemmodeldatalist" (a recorder's record names its slot first).
    // Null for an item without a record.
    QMimeData* DragData(QTreeWidgetItem* item) const;
    // Moves a dragged folder or recorder onto the target (as its child) or beside it (above or
    // below), then back into its sorted place; false, with nothing changed, when the move is not
    // allowed. The site book file is not written: the next write stores the new place.
    enum class DropPlace { Onto, Above, Below };
    bool MoveDraggedItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target, DropPlace where);
    // Opens what the item stands for, as a double click on it does.
    void OpenItem(QTreeWidgetItem* item);
    // The backup player's command line between a double click on a recording and its start.
    QString PendingPlayerCommand() const { return m_pendingPlayerCommand; }
    static constexpr int kPlayerDelayMs = 100;

signals:
    void ImportFinished();

public slots:
    void OnFavoriteSearchStart(int mode, const QString& name, const QString& text);
    void timerOnPlayer();

    void newDvr();
    void newFolder();
    void property();
    void delItem();
    void loadList();
    void saveList();
    void connectDevice();
    void disconnectDevice();
    // Imports a recorder list chosen in a file dialog (ImportFile).
    void loadExcelList();
    void loadIniList(QString fileName);
    void healthCheck();
    void networkStatus();
    void searchDvr();
    void accountManager();
    void firmwareManager();
    void sendEmail();
    void cdBurning();
    void eventBackup();
    void scheduleBackup();
    void remoteCDBackup();
    void liveStartAct();
    void searchStartAct();
    void emapStartAct();
    void aviConvert();
    void autoConnectOn();
    void autoConnectOff();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void CreateActions();
    // Server pushes (sitebooktreepush.cpp).
    CModuleDevice* AddPushedRecorder(QTreeWidgetItem* folder, SiteBook* record, int serverId);
    CModuleDevice* AddPushedFolder(QTreeWidgetItem* parent, const QString& name, int serverId);
    void ReadServerNodes(QTreeWidgetItem* parent, const QJsonObject& node, int depth);
    static void DisconnectIfConnected(CModuleDevice* device);

    QAction* NewAction(const QString& text, const QString& icon, const QString& tip,
                       void (SiteBookTreeWidget::*slot)());
    // Where a new folder or recorder goes for the menu item.
    QTreeWidgetItem* NewEntryParent(QTreeWidgetItem* menuItem) const;
    void PropertyFolder(QTreeWidgetItem* item);
    void PropertyDevice(CModuleDevice* device);
    void PropertyCamera(QTreeWidgetItem* item);
    // The item a modal dialog was opened for, or null when it went away meanwhile.
    QTreeWidgetItem* StillThere(const QPersistentModelIndex& at) const;
    // Asks a new name for a folder or camera item with the name dialog and gives it to the item's
    // record and text. Null when the operator cancels or the item went away meanwhile.
    QTreeWidgetItem* RenameWithDialog(QTreeWidgetItem* item, bool* renamed);
    // The recorder of a "device" item at the menu point, or null.
    CModuleDevice* MenuRecorder() const;

    // Writes a book to its file in the program directory.
    void SaveSiteBookFile();
    // The import's rows (sitebooktreeimport.cpp): each folder and recorder of a checked row is
    // found at the top of the book or made there; a recorder whose name another folder holds, or
    // one more than the recorder table takes, is skipped. The book is written at the end.
    // The book as the import finds it, built again before each batch: the folders at the top of
    // the book by name (the first of a name, as FindFolderByName finds it) and every recorder of
    // the book by its name without the mark of a locked entry.
    struct ImportIndex
    {
        QHash<QString, CModuleDevice*> folders;
        QMultiHash<QString, CModuleDevice*> recorders;
        bool changed = false;
    };
    void BeginImportBatch() override;
    void ImportRow(const CheckedListRow& row, RecorderImportReport* report) override;
    void EndImport(const RecorderImportReport& report) override;
    // Tells the user, once per protected book, that an edit could not be written to it.
    // Points the favorites and e-map entries that name a recorder at its new name.
    void RenameRecorderInBooks(const QString& oldName, const QString& newName);
    // A recorder name without the mark of a locked entry.
    static QString PlainName(const QString& name);
    void TellIfNotSaved(SiteBookFile::SaveResult result, const QString& path);
    void SaveFavoritesFile();
    void SaveEmapFile();

    QTreeWidgetItem* AddRoot(ItemKind kind, const QString& name, const QIcon& icon, bool expanded);
    CModuleDevice* FindChildByName(ItemKind kind, const QString& name, QTreeWidgetItem* parent) const;
    // A session of the recorder table as the tree item it is (every session is one of this
    // book's items), or null.
    static QTreeWidgetItem* ItemOf(RecorderSession* session);

    QTreeWidgetItem* m_pSiteBookRoot = nullptr;
    QTreeWidgetItem* m_pEmapRoot = nullptr;
    QTreeWidgetItem* m_pFavoritesRoot = nullptr;

    QIcon m_favoriteIcon;
    QIcon m_favoriteItemIcon;
    QIcon m_folderIcon;
    QIcon m_dvrDisableIcon;
    QIcon m_archiveIcon;
    QIcon m_emapIcon;

    std::vector<quint8> m_emapSlots;
    QPoint m_menuPoint{-1, -1};
    BookFileGuard m_fileGuard;

    QTreeWidgetItem* m_findScope = nullptr;
    int m_lastFoundIndex = 0;
    int m_rootServerId = -1;
    PushConnectList m_connectList;

    std::unique_ptr<RecorderListImport> m_import;
    std::unique_ptr<ImportIndex> m_importIndex;

    // The item of the drag this tree started, while it runs: only that drag moves items.
    QPersistentModelIndex m_draggedItem;
    QString m_pendingPlayerCommand;
    QString m_pendingPlayerFile;

    QAction* m_newDvrAct = nullptr;
    QAction* m_newFolderAct = nullptr;
    QAction* m_propertyAct = nullptr;
    QAction* m_deleteAct = nullptr;
    QAction* m_loadListAct = nullptr;
    QAction* m_saveListAct = nullptr;
    QAction* m_connectAct = nullptr;
    QAction* m_disconnectAct = nullptr;
    QAction* m_importAct = nullptr;
    QAction* m_healthCheckAct = nullptr;
    QAction* m_networkStatusAct = nullptr;
    QAction* m_findAct = nullptr;
    QAction* m_accountAct = nullptr;
    QAction* m_firmwareAct = nullptr;
    QAction* m_sendEmailAct = nullptr;
    QAction* m_cdBurningAct = nullptr;
    QAction* m_eventBackupAct = nullptr;
    QAction* m_scheduleBackupAct = nullptr;
    QAction* m_remoteCdBackupAct = nullptr;
    QAction* m_liveAct = nullptr;
    QAction* m_searchAct = nullptr;
    QAction* m_emapAct = nullptr;
    QAction* m_aviConvertAct = nullptr;
    QAction* m_autoConnectOnAct = nullptr;
    QAction* m_autoConnectOffAct = nullptr;
};
