#include "net/support/requests_reference.h"

quint16 RequestsReferenceCrc(const QByteArray& data)
{
    quint16 r = 0;
    for (char c : data) {
        const quint8 b = static_cast<quint8>(c);
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = r & 0x8000;
            r = static_cast<quint16>((r << 1) | ((b >> bit) & 1));
            if (top)
                r ^= 0x1021;
        }
    }
    return r;
}

QByteArray RequestsPattern(int size)
{
    QByteArray d(size, '\0');
    for (int i = 0; i < size; ++i)
        d[i] = char((i * 7 + i / 251) & 0xFF);
    return d;
}
