#include "widgets/imagepushbutton.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/skinimagehub.h"

namespace {
const QColor kColourButtonFrame(0, 223, 0);
constexpr int kLeftCaptionX = 10;
constexpr int kCheckCaptionX = 40;
} // namespace

imagePushButton::imagePushButton(const QString& caption, int imageCount, QWidget* parent)
    : QPushButton(parent)
    , m_caption(caption)
    , m_imageCount(imageCount)
{
    setAutoFillBackground(false);
}

void imagePushButton::SetText(int x, int y, const QString& alignment)
{
    m_pictures.SetOrigin(x, y);
    m_alignment = alignment;
}

void imagePushButton::SetTextColor(const QColor& colour, int flag)
{
    m_fillColour = colour;
    m_colourButton = flag;
}

void imagePushButton::SetImage(const QString& name, int x, int y, int width, int height, int index)
{
    if (!SkinPicture::ValidIndex(index))
        return;
    QPixmap picture;
    if (m_imageCount == 1 || m_imageCount == 2) {
        const QPixmap loaded = SkinImageHub::Load(name, SkinImageHub::SkinFolder::Base);
        if (loaded.isNull())
            return;
        picture = QPixmap::fromImage(SkinPicture::KeyMagenta(loaded.toImage()));
    } else {
        picture = SkinImageHub::Load(name, SkinImageHub::SkinFolder::Bin);
    }
    m_pictures.Store(index, picture, name, QRect(x, y, width, height));
}

void imagePushButton::mousePressEvent(QMouseEvent* event)
{
    event->ignore();
}

void imagePushButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
}

void imagePushButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect full = rect();
    if (m_colourButton == 1) {
        painter.fillRect(full, kColourButtonFrame);
        painter.fillRect(full.adjusted(1, 1, -1, -1), m_fillColour);
        return;
    }
    if (m_imageCount >= 2) {
        const QColor background = m_pictures.BackgroundColour();
        if (background.isValid())
            painter.fillRect(full, background);
    }
    m_pictures.Draw(painter, m_imageCount);
    DrawCaption(painter);
}

void imagePushButton::DrawCaption(QPainter& painter) const
{
    QFont font = painter.font();
    font.setWeight(QFont::Bold);
    font.setPointSize(18);
    font.setFamily(QStringLiteral("arial"));
    painter.setFont(font);
    QRect area = rect();
    if (m_alignment == QLatin1String("left")) {
        area.moveLeft(kLeftCaptionX);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    } else if (m_alignment == QLatin1String("right")) {
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, m_caption);
    } else if (m_alignment == QLatin1String("check_button")) {
        area.moveLeft(kCheckCaptionX);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, m_caption);
        painter.setBackgroundMode(Qt::TransparentMode);
    } else {
        painter.drawText(area, Qt::AlignCenter, m_caption);
    }
}
