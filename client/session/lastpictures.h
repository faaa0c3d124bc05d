#pragma once
// The last picture of each live channel, under one lock: a black 10 x 10 placeholder until the
// channel's first picture after connecting arrives. Read by the status queries on the user-
// interface thread, written by the live threads. A channel whose decoder keeps its last decoded
// frame holds no picture here: the picture is converted from that frame when it is asked for,
// so that no channel keeps a full-size picture that is hardly ever read.
#include <QImage>
#include <QMutex>

#include <array>

class CModuleDecoder;

class LastPictures
{
public:
    static constexpr int kChannels = 16;
    // The slot only tells that a channel has shown a picture: a large stream's picture is given
    // at most this size, not at its own.
    static constexpr int kMaxWidth = 1280;
    static constexpr int kMaxHeight = 720;

    static QImage Placeholder();
    static bool IsPlaceholder(const QImage& picture);

    // A copy of the channel's picture; a null image for a channel out of range. From a
    // decoder: its last decoded picture (the placeholder once it has none).
    QImage Get(int channel) const;
    void Store(int channel, const QImage& picture);
    // From now on the channel's picture is the last one `decoder` decoded. The decoder converts
    // on demand and outlives the slot's use (until Store or Reset of the channel).
    void KeepInDecoder(int channel, CModuleDecoder* decoder);
    // True while the channel still shows the placeholder.
    bool AwaitsFirst(int channel) const;
    // Back to the placeholder for channels 0 to count - 1.
    void Reset(int count = kChannels);

private:
    static bool Valid(int channel) { return channel >= 0 && channel < kChannels; }

    mutable QMutex m_lock;
    std::array<QImage, kChannels> m_pictures;
    std::array<CModuleDecoder*, kChannels> m_decoders{};
};
