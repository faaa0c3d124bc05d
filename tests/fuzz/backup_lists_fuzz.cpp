// libFuzzer target for what the backup pages read from a recorder: the day's time, event and
// audio lists that fill the remote backup page's minute maps, and the backup capacity reply.
//
// Input:
//   bytes 0-1     the backup permission mask (little-endian)
//   byte 2        the recorder's channel count as it reported it (any value)
//   then records until the input ends:
//     byte        what arrived (modulo 4): 0 time list, 1 event list, 2 audio list, 3 capacity
//     2 bytes     length n (little-endian)
//     n bytes     the list as the engine leaves it in the page's buffer, or the capacity message
//                 (copied into a zeroed record of the full size, as the engine's receive buffer
//                 always extends over the whole record)
#include "backup/backupcapacity.h"
#include "backup/recordminutemaps.h"
#include "fuzz/support/fuzzinput.h"
#include "net/sendbackupcapa.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const quint16 permitted = input.Word16();
    const int channelCount = input.Byte();
    RecordMinuteMaps maps;
    while (!input.AtEnd()) {
        const int kind = input.Byte() % 4;
        const QByteArray bytes = input.Take(input.Word16());
        switch (kind) {
        case 0: maps.ApplyTimeList(bytes.constData(), bytes.size(), permitted); break;
        case 1: maps.ApplyEventList(bytes.constData(), bytes.size(), permitted); break;
        case 2: maps.ApplyAudioList(bytes.constData(), bytes.size()); break;
        default: {
            _SEND_BACKUP_CAPA record;
            // The record is raw bytes on the wire: filled byte for byte, as the engine fills it.
            std::memset(static_cast<void*>(&record), 0, sizeof record);
            std::memcpy(static_cast<void*>(&record), bytes.constData(),
                        std::min<size_t>(size_t(bytes.size()), sizeof record));
            BackupCapacity::Parse(&record, bytes.size(), channelCount);
            break;
        }
        }
    }
    return 0;
}
