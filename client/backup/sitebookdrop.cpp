#include "backup/sitebookdrop.h"

#include "session/sitebook.h"

#include <QDataStream>
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
    QByteArray bytes = data->data(QLatin1String(SiteBook::MimeType));
    QDataStream stream(&bytes, QIODevice::ReadOnly);
    stream >> *record;
    return stream.status() == QDataStream::Ok;
}
