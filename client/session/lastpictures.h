#pragma once
// The last picture of each live channel, under one lock: a black 10 x 10 placeholder until the
// channel's first picture after connecting arrives. Read by the status queries on the user-
// interface thread, written by the live threads.
#include <QImage>
#include <QMutex>

#include <array>

class LastPictures
{
public:
    static constexpr int kChannels = 16;

    static QImage Placeholder();
    static bool IsPlaceholder(const QImage& picture);

    // A copy of the channel's picture; a null image for a channel out of range.
    QImage Get(int channel) const;
    void Store(int channel, const QImage& picture);
    // True while the channel still shows the placeholder.
    bool AwaitsFirst(int channel) const;
    // Back to the placeholder for channels 0 to count - 1.
    void Reset(int count = kChannels);

private:
    static bool Valid(int channel) { return channel >= 0 && channel < kChannels; }

    mutable QMutex m_lock;
    std::array<QImage, kChannels> m_pictures;
};
