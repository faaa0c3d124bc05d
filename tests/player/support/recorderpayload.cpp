#include "player/support/recorderpayload.h"

namespace recorder_payload {

QList<QByteArray> NalUnits(const QByteArray& unit)
{
    QList<QByteArray> nals;
    int at = unit.indexOf(QByteArray("\0\0\1", 3));
    while (at >= 0 && at + 3 < unit.size()) {
        const int next = unit.indexOf(QByteArray("\0\0\1", 3), at + 3);
        int end = next < 0 ? unit.size() : next;
        if (next >= 0 && unit[next - 1] == '\0')
            --end; // a four-byte start code
        nals.append(unit.mid(at + 3, end - at - 3));
        at = next;
    }
    return nals;
}

QByteArray Wrap(const QByteArray& unit, int kind)
{
    QByteArray data;
    QByteArray slice;
    bool firstParameterSet = true;
    for (const QByteArray& nal : NalUnits(unit)) {
        const int type = nal.isEmpty() ? 0 : nal[0] & 0x1F;
        if (type == 1 || type == 5) {
            slice = nal;
        } else if (type == 7 || type == 8) {
            data += (firstParameterSet ? QByteArray("\0\0\0\1", 4) : QByteArray("\0\0\1", 3)) + nal;
            firstParameterSet = false;
        }
    }
    while ((20 + data.size()) % 4 != 0)
        data += '\0';
    if ((20 + data.size()) / 4 > 14 || slice.isEmpty())
        return QByteArray();
    data += QByteArray("\0\0\1", 3) + slice;
    QByteArray payload(20, '\0');
    payload[2] = 1;
    payload[3] = 6;
    payload[7] = char(kind);
    payload += data;
    while (payload.size() % 4 != 0)
        payload += '\0';
    const int words = payload.size() / 4;
    payload[9] = char((words >> 16) & 0x7F);
    payload[10] = char(words >> 8);
    payload[11] = char(words);
    return payload;
}

} // namespace recorder_payload
