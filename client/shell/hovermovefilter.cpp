#include "shell/hovermovefilter.h"

#include <QEvent>
#include <QHoverEvent>

#include <utility>

HoverMoveFilter::HoverMoveFilter(MoveHandler onMove, QObject* parent)
    : QObject(parent)
    , m_onMove(std::move(onMove))
{}

bool HoverMoveFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::HoverMove && m_onMove) {
        const auto* hover = static_cast<QHoverEvent*>(event);
        m_onMove(hover->pos().x(), hover->pos().y(), hover->oldPos().x(), hover->oldPos().y());
    }
    return QObject::eventFilter(watched, event);
}
