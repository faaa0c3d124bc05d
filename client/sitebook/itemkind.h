#pragma once
// What an item of the site book tree is. The record behind every item keeps its kind as text
// (the books and the drag stream carry that text); the site book reads and writes it through
// these names.
#include <QString>

class QTreeWidgetItem;

enum class ItemKind {
    Unknown,          // an item without a record, or a kind this list does not name
    SiteBookRoot,     // "sitebook"
    EmapRoot,         // "emap"
    FavoritesRoot,    // "favorite"
    Folder,           // "folder"
    Recorder,         // "device"
    Camera,           // "camera", a recorder's channel
    Favorite,         // "favorites_item"
    SearchFavorite,   // "favorites_item_search"
    EmapEntry,        // "emap_item"
    Archive,          // "archive", a recorder's "Archive" child
    ArchiveBackup,    // "archiveBackup", a kind of recording below "Archive"
    ArchiveFolder,    // "archiveFolder"
    ArchiveData,      // "archiveData", one recording
    ArchiveSnapshot,  // "archiveSnapshot"
    RecorderEmapList, // "emapList", a recorder's "Emap" child
    CameraEmap,       // "cameraEmap", a camera below "Emap"
};

// The kind text of a record; Unknown has none.
QString ItemKindText(ItemKind kind);
ItemKind ItemKindFromText(const QString& text);
// The kind of the record an item carries; Unknown for null or an item without a record.
ItemKind ItemKindOf(const QTreeWidgetItem* item);
