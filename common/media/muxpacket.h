#pragma once
// One encoded picture (or audio frame) on its way into a CMuxer. Packets are passed by value;
// copies share one reference-counted byte array, so queueing never copies picture data.
#include <QByteArray>
#include <QtGlobal>

#include <memory>

struct MuxPacket
{
    std::shared_ptr<QByteArray> data = std::make_shared<QByteArray>();
    int size = 0;          // bytes of data to use
    qint64 pts = 0;        // negative: the muxer assigns it
    qint64 duration = 0;   // in the unit of pts
    qint64 timestamp = 0;  // recording time stamp of the picture
    int fps = 0;           // frame rate of the source channel
    int streamIndex = 0;   // 0 video, 1 audio
    bool keyFrame = false; // an intra (IDR) picture

    // A packet that holds a copy of the bytes.
    static MuxPacket FromBytes(const char* bytes, int byteCount)
    {
        MuxPacket p;
        if (bytes && byteCount > 0) {
            p.data = std::make_shared<QByteArray>(bytes, byteCount);
            p.size = byteCount;
        }
        return p;
    }
};
