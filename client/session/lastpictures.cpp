#include "session/lastpictures.h"

#include <QMutexLocker>

#include <algorithm>

#include "common/media/moduledecoder.h"

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
    CModuleDecoder* decoder = nullptr;
    {
        QMutexLocker lock(&m_lock);
        decoder = m_decoders[size_t(channel)];
        if (!decoder)
            return m_pictures[size_t(channel)].copy();
    }
    // Converted outside the slot's lock: the live threads check their slots meanwhile.
    QMutexLocker picture(decoder->GetPictureLock());
    const QImage converted = decoder->CopyPicture(QSize(kMaxWidth, kMaxHeight));
    return converted.isNull() ? Placeholder() : converted;
}

void LastPictures::Store(int channel, const QImage& picture)
{
    if (!Valid(channel) || picture.isNull())
        return;
    QMutexLocker lock(&m_lock);
    m_pictures[size_t(channel)] = picture;
    m_decoders[size_t(channel)] = nullptr;
}

void LastPictures::KeepInDecoder(int channel, CModuleDecoder* decoder)
{
    if (!Valid(channel) || !decoder)
        return;
    QMutexLocker lock(&m_lock);
    m_pictures[size_t(channel)] = QImage();
    m_decoders[size_t(channel)] = decoder;
}

bool LastPictures::AwaitsFirst(int channel) const
{
    if (!Valid(channel))
        return false;
    QMutexLocker lock(&m_lock);
    return !m_decoders[size_t(channel)] && IsPlaceholder(m_pictures[size_t(channel)]);
}

void LastPictures::Reset(int count)
{
    const QImage black = Placeholder();
    QMutexLocker lock(&m_lock);
    for (int ch = 0; ch < std::min(count, int(kChannels)); ++ch) {
        m_pictures[size_t(ch)] = black;
        m_decoders[size_t(ch)] = nullptr;
    }
}
