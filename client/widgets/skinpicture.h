#pragma once
// The pictures of an image-skinned widget: up to eight state images, each drawn into a rectangle
// given in the parent's coordinates, shifted by the widget's own position (its origin). Shared by
// the skinned button and label; widget-free.
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <array>

class QPainter;

class SkinPicture
{
public:
    static constexpr int kImages = 8;

    // Only indices 0 to 7 name an image: a layout from a recorder may carry any number.
    static bool ValidIndex(int index) { return index >= 0 && index < kImages; }
    // The picture with every pixel of exactly (255, 0, 255) made fully transparent.
    static QImage KeyMagenta(const QImage& image);

    void Store(int index, const QPixmap& pixmap, const QString& name, const QRect& target);
    QPixmap Image(int index) const { return ValidIndex(index) ? m_images[size_t(index)] : QPixmap(); }
    QString Name(int index) const { return ValidIndex(index) ? m_names[size_t(index)] : QString(); }
    QRect Target(int index) const { return ValidIndex(index) ? m_targets[size_t(index)] : QRect(); }
    void SetOrigin(int x, int y)
    {
        m_originX = x;
        m_originY = y;
    }

    // The background colour taken from the fourth state image: its pixel at the right edge, half
    // way down. Invalid while that image is not loaded (the background is then left unfilled).
    QColor BackgroundColour() const;
    // Draws images 0 up to the count (never more than eight), each scaled into its rectangle.
    void Draw(QPainter& painter, int imageCount) const;

private:
    std::array<QPixmap, kImages> m_images;
    std::array<QString, kImages> m_names;
    std::array<QRect, kImages> m_targets;
    int m_originX = 0;
    int m_originY = 0;
};
