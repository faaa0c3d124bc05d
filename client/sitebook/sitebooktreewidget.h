#pragma once
// The tree in the "SiteBook" dock: the site book of folders and recorders (each a session
// object), the e-map entries and the favorites, under three fixed roots. It offers lookups by
// name and server id, the e-map slot table, the item under the last context-menu point and the
// openers that hand recorders, favorites and e-map entries to the live, search and e-map windows.
#include <QIcon>
#include <QPoint>
#include <QTreeWidget>
#include <cstddef>
#include <vector>

#include "sitebook/bookfileguard.h"

class CModuleDevice;
class SiteBook;

class SiteBookTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    static constexpr int kEmapSlots = 9999;
    // Session object modes of createTreeItem.
    static constexpr int RecorderMode = 0;
    static constexpr int FolderMode = -1;

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

    // Creates a session object under parent (the site book root when null): mode 0 a recorder,
    // which takes a slot of the hub's recorder table, -1 a folder. The item is placed among its
    // siblings by the record's name and takes ownership of the record. The caller sets icon and
    // text.
    CModuleDevice* createTreeItem(QTreeWidgetItem* parent, SiteBook* record, int mode);

    // Takes the item out of its parent and puts it back before the first sibling that is a
    // recorder with a greater name (recorder mode) or that is a recorder or has a greater name
    // (folder mode), else at the end. Folders stay above recorders, each run sorted by name.
    static void insertSorted(QTreeWidgetItem* item, const QString& name, bool folderMode);

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
    void openEmapItem(const QString& name, const QString& emapPath, const QString& emapPos,
                      const QString& devices, const QString& channels, int emapIndex);

public slots:
    void OnFavoriteSearchStart(int mode, const QString& name, const QString& text);

private:
    QTreeWidgetItem* AddRoot(const QString& kind, const QString& name, const QIcon& icon, bool expanded);
    CModuleDevice* FindChildByName(const QString& kind, const QString& name, QTreeWidgetItem* parent) const;

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
};
