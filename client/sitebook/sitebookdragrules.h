#pragma once
// The rules of dragging items out of the site book tree and within it: the picture a drag shows,
// which moves inside the tree are allowed, and the command line that opens a recording in the
// backup player. Widget-free.
#include <QString>

#include "sitebook/itemkind.h"

class QTreeWidgetItem;

class SiteBookDragRules
{
public:
    // The drag picture of an item kind (a recorder's by its connection); empty for none.
    static QString DragPicture(ItemKind kind, bool connected);

    // Whether a dragged item may move inside the tree onto the item under the drop point
    // (hasTarget false for empty space). Only folders and recorders move, never a locked entry
    // (a name beginning with "@"), and only onto a folder or the site book root: everything
    // else in the tree belongs where it is (a recorder's cameras and archive, the favorites).
    static bool MayMove(ItemKind dragged, const QString& draggedName, bool hasTarget, ItemKind target);

    // True when the target is the item itself or lies below it: a folder cannot go into itself.
    static bool IsSelfOrBelow(const QTreeWidgetItem* target, const QTreeWidgetItem* item);

    // The backup player's command line for a recording: the program directory, "/Orvane.exe "
    // and the path in double quotes.
    static QString PlayerCommandLine(const QString& programDirectory, const QString& path);
};
