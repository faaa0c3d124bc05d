#pragma once
// Cuts the console connection's byte stream into messages: a 6-byte prefix gives the message's
// total length (big-endian bytes 0-3, plus 4) and its kind (byte 5). Messages of the recorder
// protocol (0xA1) are delivered whole; the recorder's alive (0x01) and closing (0x11) notices and
// unknown kinds are read to their end, logged and skipped. A length outside 12 bytes .. 1 MiB
// (6 bytes .. 1 MiB for a notice) cannot be framed, and the stream must be closed. Widget-free.
#include <QByteArray>

#include <functional>

class MirelReceiver
{
public:
    static constexpr int kBufferSize = 1048576;
    using Deliver = std::function<void(const unsigned char* message, int length)>;

    // Takes every byte given; false when the stream cannot be framed any more (the caller closes
    // it; later bytes are refused until Reset).
    bool Feed(const char* data, int size, const Deliver& deliver);
    void Reset();

    // Bytes held of the current message, and its total length once its prefix is read (0 before).
    int Received() const { return m_received; }
    int Expected() const { return m_expected; }

private:
    static constexpr int kPrefix = 6;
    bool TakePrefix();
    void Finish(const Deliver& deliver);

    // Grows to the longest message seen, at most kBufferSize.
    QByteArray m_buffer = QByteArray(kPrefix, '\0');
    int m_received = 0;
    int m_expected = 0;
    bool m_broken = false;
};
