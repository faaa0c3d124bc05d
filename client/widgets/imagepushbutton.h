#pragma once
// A push button drawn from a recorder's skin bitmaps for the configuration console: up to eight
// state images, a background colour taken from one of them, a caption with a named alignment, or
// a plain colour button. It keeps no pressed state: presses and releases go on to the window
// that holds it, which forwards them to the recorder.
#include <QColor>
#include <QPushButton>
#include <QString>

#include "widgets/skinpicture.h"

class imagePushButton : public QPushButton
{
    Q_OBJECT

public:
    imagePushButton(const QString& caption, int imageCount, QWidget* parent);

    // The button's own position in its parent (image rectangles are given in parent coordinates)
    // and the caption's alignment: "left", "right", "check_button" or anything else (centre).
    void SetText(int x, int y, const QString& alignment);
    // Flag 1 makes a plain colour button filled with the colour inside a green frame.
    void SetTextColor(const QColor& colour, int flag);
    // Loads state image `index` (0 to 7; anything else is ignored). One- and two-image buttons
    // take it from the skin's base folder with magenta made transparent, and keep nothing when it
    // is missing; other buttons take it unchanged from the "bin" folder.
    void SetImage(const QString& name, int x, int y, int width, int height, int index);

    QPixmap Image(int index) const { return m_pictures.Image(index); }
    QString ImageName(int index) const { return m_pictures.Name(index); }
    QRect ImageRect(int index) const { return m_pictures.Target(index); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawCaption(QPainter& painter) const;

    int m_colourButton = 0;
    QColor m_fillColour;
    QString m_caption;
    int m_imageCount = 0;
    SkinPicture m_pictures;
    QString m_alignment;
};
