#include "widgets/imagelabel.h"

#include <QPainter>

#include "widgets/skinimagehub.h"

imageLabel::imageLabel(int imageCount, QWidget* parent)
    : QLabel(parent, Qt::WindowFlags())
    , m_imageCount(imageCount)
{}

void imageLabel::SetImage(const QString& name, int x, int y, int width, int height, int index)
{
    if (!SkinPicture::ValidIndex(index))
        return;
    m_pictures.Store(index, SkinImageHub::Load(name, SkinImageHub::SkinFolder::Bin), name,
                     QRect(x, y, width, height));
}

void imageLabel::SetTextPos(int x, int y)
{
    m_pictures.SetOrigin(x, y);
}

void imageLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QColor background = m_pictures.BackgroundColour();
    if (background.isValid())
        painter.fillRect(rect(), background);
    m_pictures.Draw(painter, m_imageCount);
}
