#include "shell/hovermovefilter.h"

#include <QEvent>
#include <QHoverEvent>

#include "shell/mainwindow.h"

HoverMoveFilter::HoverMoveFilter(QObject* parent)
    : QObject(parent)
{}

bool HoverMoveFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::HoverMove && g_pMainWindow) {
        const auto* hover = static_cast<QHoverEvent*>(event);
        g_pMainWindow->OnHoverMove(hover->pos().x(), hover->pos().y(), hover->oldPos().x(), hover->oldPos().y());
    }
    return QObject::eventFilter(watched, event);
}
