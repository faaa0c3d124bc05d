#pragma once
// Drops of site book items on the backup pages: the drag is taken (as a move) when it carries a
// site book record, and the record is read back from it.
class QDragMoveEvent;
class QMimeData;
class SiteBook;

// Accepts a drag (entering or moving) that carries a site book record; refuses others.
void AcceptSiteBookDrag(QDragMoveEvent* event);
// Reads the record of a drop; false when the data holds none.
bool ReadSiteBookDrop(const QMimeData* data, SiteBook* record);
