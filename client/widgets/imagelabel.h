#pragma once
// A label drawn from a recorder's skin bitmaps for the configuration console: up to eight images
// over a background colour taken from the fourth. Its own text is not drawn.
#include <QLabel>

#include "widgets/skinpicture.h"

class imageLabel : public QLabel
{
    Q_OBJECT

public:
    imageLabel(int imageCount, QWidget* parent);

    // Loads image `index` (0 to 7; anything else is ignored) unchanged from the skin's "bin" folder.
    void SetImage(const QString& name, int x, int y, int width, int height, int index);
    void SetTextPos(int x, int y);

    QPixmap Image(int index) const { return m_pictures.Image(index); }
    QString ImageName(int index) const { return m_pictures.Name(index); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_imageCount = 0;
    SkinPicture m_pictures;
};
