#include "ui/ctippopup.h"

#include <QFontMetrics>
#include <QPainter>

CTipPopup::CTipPopup(QWidget* owner, const QString& faceName)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint)
    , m_owner(owner)
    , m_font(faceName)
{
    m_font.setPixelSize(15);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    Resize();
}

void CTipPopup::Show()
{
    if (m_shown)
        return;
    m_shown = true;
    show();
}

void CTipPopup::Hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    hide();
}

void CTipPopup::SetPosition(const QPoint& point)
{
    m_position = m_owner ? m_owner->mapToGlobal(point) : point;
    Resize();
}

void CTipPopup::SetText(const QString& text)
{
    m_text = text;
    Resize();
}

void CTipPopup::Resize()
{
    const QFontMetrics metrics(m_font);
    const int textWidth = metrics.horizontalAdvance(m_text);
    setGeometry(m_position.x(), m_position.y(), textWidth < 20 ? 26 : textWidth + 6, metrics.height() + 2);
    update();
}

void CTipPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(200, 200, 200));
    painter.setFont(m_font);
    painter.setPen(Qt::black);
    painter.drawText(rect().adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
