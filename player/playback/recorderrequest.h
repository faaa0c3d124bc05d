#pragma once
// The request frames of the player's recorder-client layer and the stream framing of its socket
// engine. The player opens no recorder connection, so nothing built here is ever sent; the frames
// are kept exact so that the layer stays the counterpart of its callers.
#include <QByteArray>
#include <QVector>
#include <optional>

#include "playback/searchrequest.h"

struct FileDataEntry
{
    quint32 requestNumber = 0;
    quint32 fileOffset = 0;
    quint32 block = 0;
    quint32 channel = 0;
};

class RecorderRequest
{
public:
    static constexpr int kMaxFrame = 65536;
    static constexpr int kMaxFileDataEntries = 98;

    static QByteArray ModelInformation() { return Bare(28); }
    static QByteArray CameraNames() { return Bare(46); }
    static QByteArray StatusPoll() { return Bare(34); }
    static QByteArray RecorderClock() { return Bare(42); }
    static QByteArray FileDataStop() { return Bare(68); }
    static QByteArray PlayAudioClip(int channel);
    static QByteArray LiveAudioStop(int channel);
    // None for more than 98 entries or a channel outside 0..15.
    static std::optional<QByteArray> FileData(int channel, const QVector<FileDataEntry>& entries);
    // Command 32, 36 bytes: byte 8 = the kind; from byte 12 the request id, the part, the tile,
    // the flag that no time is given (time "0" or starting with "x"), the channel, the date as a
    // number, the six time digits after the time text's first character as a number (or 0), the
    // index position and the entry size. Numbers are little-endian.
    static QByteArray Search(const SearchRequest& request);

    // Writes the stream header (length - 4 big-endian, 0, 0xA1) when bytes 0-5 are zero; a frame
    // already carrying a header is left as it is. None for frames shorter than 12 bytes or longer
    // than 65,536 (a cut frame would break the stream).
    static std::optional<QByteArray> Framed(QByteArray frame);
    // The 8-byte control packet: 0x55, command, peer index high and low, three zeros, XOR of 1..6.
    static QByteArray ControlPacket(int command, int peer);

private:
    static QByteArray Bare(int command, int length = 12, int byte8 = 0);
};
