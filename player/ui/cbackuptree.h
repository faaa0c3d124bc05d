#pragma once
// The main dialog's tree of recordings: backup folders found beside the program (days under
// them), the player's own backup folder as "ZENT_Backup" and every drive under "My PC". Folders
// fill when expanded and empty when collapsed; a double click opens a recording or a day
// folder in the selected tile; dragging the selection onto the tile grid opens the items in
// the tile under the mouse and the tiles after it. What to list and how to open lives in
// BackupTreeRules and BackupOpener; the main dialog is reached through BackupTreeHost.
#include "playback/backupdrives.h"
#include "playback/backupopener.h"
#include "playback/backuptreehost.h"
#include "playback/backuptreerules.h"
#include "ui/cmultitree.h"

#include <QPoint>

// Where the tree's drags end: the tile of the grid under a point of the screen.
class BackupDropTarget
{
public:
    virtual ~BackupDropTarget() = default;
    // The tile under the global point, -1 when the point is not on the tile grid.
    virtual int TileAtGlobal(const QPoint& globalPoint) const = 0;
};

class CBackupTree : public CMultiTree
{
    Q_OBJECT
public:
    static constexpr int kKindRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;

    CBackupTree(BackupTreeHost& host, BackupDropTarget& drop, const BackupDrives& drives,
                const BackupPathContext& context, const QString& cdDataFolder, QWidget* parent = nullptr);

    void FillRootItems();
    int AddDrives();
    QString GetItemPath(QTreeWidgetItem* item) const;
    // False when the folder cannot be listed.
    bool FillChildren(QTreeWidgetItem* item, const QString& folder, BackupListKind kind);
    void OpenItem(QTreeWidgetItem* item, int tile);
    // Opens the selected items from firstTile on, one tile each, up to the last tile.
    void OpenSelectionFrom(int firstTile);
    void DeleteChildren(QTreeWidgetItem* item);
    bool Dragging() const { return m_dragging; }
    BackupOpener& Opener() { return m_opener; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& text, BackupItemKind kind,
                             BackupItemImage image, bool expandable);
    void AddDrive(const DriveInfo& drive);
    void OnItemExpanded(QTreeWidgetItem* item);
    void OnItemCollapsed(QTreeWidgetItem* item);
    void EndDrag();

    BackupTreeHost& m_host;
    BackupDropTarget& m_drop;
    const BackupDrives& m_drives;
    BackupPathContext m_context;
    BackupOpener m_opener;
    QTreeWidgetItem* m_myPc = nullptr;
    bool m_dragging = false;
};
