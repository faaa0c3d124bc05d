#include "backup/backupcapacity.h"

#include "net/sendbackupcapa.h"

#include <QtEndian>
#include <algorithm>

#include <cstring>

QVector<CapacityEntry> BackupCapacity::Parse(const _SEND_BACKUP_CAPA* reply, int receivedLength, int channelCount)
{
    QVector<CapacityEntry> entries;
    if (!reply || receivedLength < kHeaderBytes)
        return entries;
    const auto* bytes = reinterpret_cast<const quint8*>(reply);
    const int total = bytes[9] | (bytes[10] << 8) | (bytes[11] << 16);
    const int length = std::min({total, receivedLength, int(sizeof(_SEND_BACKUP_CAPA))});
    const int count = std::clamp((length - kHeaderBytes) / 4, 0, kMaxEntries);
    const int channels = std::clamp(channelCount, 0, 16);
    const quint16 mask = quint16(bytes[12] | (bytes[13] << 8));
    int used = 0;
    for (int i = 0; i <= channels && used < count; ++i) {
        const bool audio = i == channels;
        if (!audio && !(mask & (1u << i)))
            continue;
        qint32 size = 0;
        std::memcpy(&size, bytes + kHeaderBytes + 4 * used, sizeof(size));
        ++used;
        entries.append(CapacityEntry{i, qFromLittleEndian(size), audio});
    }
    return entries;
}
