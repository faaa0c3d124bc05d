#pragma once
// The site book's one road to the session class. Every folder and recorder entry of the book is
// a session item (a recorder session that is also its tree item); this class makes them and
// turns them into the tree item and the session face the rest of the book works with, and does
// the few things only the session item itself offers. Nothing else of the site book needs the
// session class.
class CModuleDevice;
class QString;
class QTreeWidgetItem;
class RecorderSession;

class SiteBookSessions
{
public:
    // A new session item under the parent: kind 0 a recorder, which takes a slot of the recorder
    // table; any other kind a folder.
    static CModuleDevice* Create(QTreeWidgetItem* parent, int kind);

    // A session item as its tree item and as its session (null for null).
    static QTreeWidgetItem* Item(CModuleDevice* device);
    static RecorderSession* Session(CModuleDevice* device);
    // A tree item of the book as its session item and as its session; null for any item that is
    // none (a root, an archive, camera or e-map entry).
    static CModuleDevice* DeviceOf(QTreeWidgetItem* item);
    static RecorderSession* SessionOf(QTreeWidgetItem* item);
    static const RecorderSession* SessionOf(const QTreeWidgetItem* item);
    // A session of the recorder table as the tree item it is, or null.
    static QTreeWidgetItem* ItemOf(RecorderSession* session);

    // The central server's id of a pushed entry (0 for none or for an item that is no session
    // item), and setting it.
    static int ServerId(const QTreeWidgetItem* item);
    static void SetServerId(QTreeWidgetItem* item, int serverId);
    // True while the recorder's connection is open (the login may not be complete).
    static bool IsSocketConnected(const QTreeWidgetItem* item);
    // The login's option flag of a recorder item (false for any other item).
    static bool LoginOption(const QTreeWidgetItem* item);
    // Sends a camera's new title to its recorder.
    static void SendCameraTitle(QTreeWidgetItem* item, int channel, const QString& title);
    // Fills a recorder's e-map entry of the tree.
    static void UpdateSiteBookItem(QTreeWidgetItem* recorder, QTreeWidgetItem* entry);
    // Deletes an item with everything under it, sessions disconnected first.
    static void DeleteItemTree(QTreeWidgetItem* item);
};
