#include "emap/support/emap_drop.h"

#include <QApplication>
#include <QDataStream>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include "session/sitebook.h"

bool DropSiteBookRecord(QWidget* target, const SiteBook& record, const QPoint& point)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(SiteBook::StreamVersion);
    out << record;
    QMimeData mime;
    mime.setData(QLatin1String(SiteBook::MimeType), bytes);
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}
