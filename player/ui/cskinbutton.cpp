#include "ui/cskinbutton.h"
#include "ui/hpimagemanager.h"
#include "ui/skinbitmaps.h"

#include <QMouseEvent>
#include <QPainter>

CSkinButton::CSkinButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void CSkinButton::LoadBitmaps(int normal, int pressed, int checked, int checkedPressed)
{
    m_normal = SkinBitmaps::Load(normal);
    m_pressed = SkinBitmaps::Load(pressed);
    m_checkedBitmap = SkinBitmaps::Load(checked);
    m_checkedPressed = SkinBitmaps::Load(checkedPressed);
    if (!m_normal.isNull())
        resize(m_normal.size());
    update();
}

void CSkinButton::LoadSkin(HPImageManager& images, const QString& folder, const QString& normalFile,
                           const QString& pressedFile, const QString& checkedFile,
                           const QString& checkedPressedFile, const QString& overrideFile)
{
    m_normal = images.GetImage(folder + normalFile);
    m_pressed = images.GetImage(folder + pressedFile);
    m_checkedBitmap = images.GetImage(folder + checkedFile);
    m_checkedPressed = images.GetImage(folder + checkedPressedFile);
    m_override = overrideFile.isEmpty() ? QPixmap() : images.GetImage(folder + overrideFile);
    update();
}

void CSkinButton::SetCheck(bool checked)
{
    m_checked = checked;
    repaint();
}

void CSkinButton::SetTextColours(const QColor& normal, const QColor& checked)
{
    m_textColour = normal;
    m_checkedTextColour = checked;
    update();
}

void CSkinButton::SetOverride(bool on)
{
    m_overrideOn = on;
    update();
}

QPixmap CSkinButton::CurrentBitmap() const
{
    const bool pressed = m_down && m_hover;
    if (m_overrideOn && !m_override.isNull())
        return m_override;
    if (m_checked)
        return pressed ? m_checkedPressed : m_checkedBitmap;
    return pressed ? m_pressed : m_normal;
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap bitmap = CurrentBitmap();
    if (!bitmap.isNull())
        painter.drawPixmap(rect(), bitmap);
    if (!isEnabled())
        painter.fillRect(rect(), QColor(0, 0, 0, 110));
    if (!m_drawCaption)
        return;
    QFont font(m_face);
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(m_checked ? m_checkedTextColour : m_textColour);
    const bool shifted = m_checked || (m_down && m_hover);
    const QPoint anchor = shifted ? QPoint(width() / 2 + 1, height() / 2 + 4)
                                  : QPoint(width() / 2, height() / 2 + 3);
    const int textWidth = painter.fontMetrics().horizontalAdvance(text());
    painter.drawText(anchor.x() - textWidth / 2, anchor.y(), text());
}

void CSkinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_down = true;
        m_hover = true;
    }
    QPushButton::mousePressEvent(event);
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_down = false;
    QPushButton::mouseReleaseEvent(event);
    update();
}

void CSkinButton::enterEvent(QEvent* event)
{
    m_hover = true;
    update();
    QPushButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QPushButton::leaveEvent(event);
}
