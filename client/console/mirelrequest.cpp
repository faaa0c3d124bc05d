#include "console/mirelrequest.h"

namespace {

void Put16(QByteArray& m, int at, int value)
{
    m[at] = char(value & 0xFF);
    m[at + 1] = char((value >> 8) & 0xFF);
}

} // namespace

QByteArray MirelRequest::Message(quint8 command, int sequence, int total)
{
    QByteArray m(total, '\0');
    const quint32 length = quint32(total - 4);
    m[0] = char(length >> 24);
    m[1] = char(length >> 16);
    m[2] = char(length >> 8);
    m[3] = char(length);
    m[4] = 0x00;
    m[5] = char(0xA1);
    m[6] = char(command);
    m[7] = 0;
    m[8] = char(sequence & 0xFF);
    m[9] = char(total & 0xFF);
    m[10] = char((total >> 8) & 0xFF);
    m[11] = char((total >> 16) & 0xFF);
    return m;
}

QByteArray MirelRequest::Login(int sequence, const QString& id, const QString& password)
{
    const QByteArray user = id.toUtf8();
    const QByteArray secret = password.toUtf8();
    if (user.size() + secret.size() > kMaxCredentialBytes)
        return QByteArray();
    QByteArray m = Message(0x01, sequence, 15 + user.size() + secret.size());
    m[12] = 0;
    m[13] = char(user.size());
    m[14] = char(secret.size());
    m.replace(15, user.size(), user);
    m.replace(15 + user.size(), secret.size(), secret);
    return m;
}

QByteArray MirelRequest::ModelInfo(int sequence)
{
    return Message(0x1C, sequence, 16);
}

QByteArray MirelRequest::StartLive(int sequence, int channelMask, int rate)
{
    QByteArray m = Message(0x87, sequence, 20);
    Put16(m, 12, channelMask);
    m[14] = char(rate);
    // The stream form the decoder's mode 3 takes.
    m[16] = 3;
    return m;
}

QByteArray MirelRequest::VdaData(int sequence, int channel)
{
    QByteArray m = Message(0xB6, sequence, 20);
    m[12] = char(channel);
    return m;
}

QByteArray MirelRequest::KeepAlive(int sequence)
{
    return Message(0x2A, sequence, 12);
}
