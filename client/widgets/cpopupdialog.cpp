#include "widgets/cpopupdialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTitleBar>

CPopupDialog::CPopupDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    // Layouts of the subclasses start below the title bar that paintEvent draws.
    QStyleOptionTitleBar option;
    option.initFrom(this);
    const int titleHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, this);
    setContentsMargins(0, titleHeight, 0, 0);
}

void CPopupDialog::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QStyle* st = style();

    QStyleOptionTitleBar option;
    option.initFrom(this);
    const int titleHeight = st->pixelMetric(QStyle::PM_TitleBarHeight, &option, this);
    option.rect = QRect(0, 0, width(), titleHeight);
    option.titleBarState = windowState();
    option.text = option.fontMetrics.elidedText(windowTitle(), Qt::ElideRight, option.rect.width());
    st->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, this);
    st->drawItemText(&painter, option.rect, Qt::AlignCenter, option.palette, true, option.text, QPalette::NoRole);
}

void CPopupDialog::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressX = event->pos().x();
        m_pressY = event->pos().y();
    }
}

void CPopupDialog::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    if ((event->buttons() & Qt::LeftButton) && m_dragging)
        move(pos() + (event->pos() - QPoint(m_pressX, m_pressY)));
}

void CPopupDialog::mouseReleaseEvent(QMouseEvent* event)
{
    QDialog::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}
