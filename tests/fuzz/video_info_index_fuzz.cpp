// libFuzzer target for the reader of the player's own recording index: the header found through
// the file's last word, the file entries, the file records with their key-frame tables and the
// frame records with runs of empty frames and long values.
//
// Input: the whole index file.
#include "playback/videoinfoindex.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray index(reinterpret_cast<const char*>(data), int(qMin<size_t>(size, 1 << 20)));
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    if (VideoInfoIndex::Parse(index, header, files)) {
        volatile qint64 sum = 0;
        for (const VideoInfoFile& file : files) {
            for (const VideoInfoFrame& frame : file.frames)
                sum = sum + frame.offset + frame.length + frame.code;
        }
    }
    return 0;
}
