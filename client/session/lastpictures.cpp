#include "session/lastpictures.h"

#include <QMutexLocker>

#include <algorithm>

QImage LastPictures::Placeholder()
{
    QImage picture(10, 10, QImage::Format_RGB888);
    picture.fill(Qt::black);
    return picture;
}

bool LastPictures::IsPlaceholder(const QImage& picture)
{
    return picture.width() == 10 && picture.height() == 10;
}

QImage LastPictures::Get(int channel) const
{
    if (!Valid(channel))
        return QImage();
    QMutexLocker lock(&m_lock);
    return m_pictures[size_t(channel)].copy();
}

void LastPictures::Store(int channel, const QImage& picture)
{
    if (!Valid(channel) || picture.isNull())
        return;
    QMutexLocker lock(&m_lock);
    m_pictures[size_t(channel)] = picture;
}

bool LastPictures::AwaitsFirst(int channel) const
{
    if (!Valid(channel))
        return false;
    QMutexLocker lock(&m_lock);
    return IsPlaceholder(m_pictures[size_t(channel)]);
}

void LastPictures::Reset(int count)
{
    const QImage black = Placeholder();
    QMutexLocker lock(&m_lock);
    for (int ch = 0; ch < std::min(count, int(kChannels)); ++ch)
        m_pictures[size_t(ch)] = black;
}
