#include "widgets/skinpicture.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int kBackgroundImage = 3;
}

QImage SkinPicture::KeyMagenta(const QImage& image)
{
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & RGB_MASK) == (magenta & RGB_MASK))
                line[x] = line[x] & RGB_MASK; // alpha 0, colour kept
        }
    }
    return keyed;
}

void SkinPicture::Store(int index, const QPixmap& pixmap, const QString& name, const QRect& target)
{
    if (!ValidIndex(index))
        return;
    m_images[size_t(index)] = pixmap;
    m_names[size_t(index)] = name;
    m_targets[size_t(index)] = target;
}

QColor SkinPicture::BackgroundColour() const
{
    const QImage image = m_images[kBackgroundImage].toImage();
    if (image.isNull())
        return QColor();
    return image.pixelColor(image.width() - 1, image.height() / 2);
}

void SkinPicture::Draw(QPainter& painter, int imageCount) const
{
    const int count = std::clamp(imageCount, 0, kImages);
    for (int i = 0; i < count; ++i) {
        const QPixmap& image = m_images[size_t(i)];
        if (image.isNull())
            continue;
        const QRect& t = m_targets[size_t(i)];
        painter.drawPixmap(QRect(t.x() - m_originX, t.y() - m_originY, t.width(), t.height()), image,
                           image.rect());
    }
}
