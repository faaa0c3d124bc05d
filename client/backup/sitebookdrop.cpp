#include "backup/sitebookdrop.h"

#include "session/sitebook.h"

#include <QDragMoveEvent>
#include <QMimeData>

void AcceptSiteBookDrag(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool ReadSiteBookDrop(const QMimeData* data, SiteBook* record)
{
    if (!data || !record || !data->hasFormat(QLatin1String(SiteBook::MimeType)))
        return false;
    // Read as the site book writes it (its stream version); any Qt item view can offer this
    // format, so a record that does not read whole is refused.
    return SiteBook::FromDragData(data->data(QLatin1String(SiteBook::MimeType)), record);
}
