#pragma once
// The requests of the console's live connection, byte for byte: the recorder message header
// (big-endian length less 4, markers 0x00 0xA1, command, status 0, the client's sequence value
// and the 24-bit little-endian total) and each request's body. Widget-free.
#include <QByteArray>
#include <QString>

class MirelRequest
{
public:
    // The login message holds at most this many bytes of id and password together.
    static constexpr int kMaxCredentialBytes = 49;

    // Empty when id and password do not fit the message.
    static QByteArray Login(int sequence, const QString& id, const QString& password);
    static QByteArray ModelInfo(int sequence);
    static QByteArray StartLive(int sequence, int channelMask, int rate);
    static QByteArray VdaData(int sequence, int channel);
    static QByteArray KeepAlive(int sequence);

private:
    static QByteArray Message(quint8 command, int sequence, int total);
};
