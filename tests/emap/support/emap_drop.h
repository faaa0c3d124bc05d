#pragma once
// A site book record dropped on a widget the way the site book's drag delivers it: the record
// written field by field under the site book's mime type, a drag entering, then the drop.
#include <QPoint>

class QWidget;
class SiteBook;

// True when both the drag and the drop were accepted.
bool DropSiteBookRecord(QWidget* target, const SiteBook& record, const QPoint& point);
