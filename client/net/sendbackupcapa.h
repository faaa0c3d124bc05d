#pragma once
// The recorder's backup capacity reply (command 0x4A), handed up by pointer into the engine's
// receive buffer and valid only during the signal. The header's 24-bit total tells how much of
// the record the message really holds: entries at or beyond byte total are not part of it (the
// receive buffer always extends over the whole record, so reading them is safe but meaningless).
#include "net/recordermessageheader.h"

#include <QtGlobal>

#pragma pack(push, 1)
struct _SEND_BACKUP_CAPA
{
    RecorderMessageHeader header; // bytes 0..11
    quint16 channelMask;          // 12: bit n = channel n
    quint16 reserved;             // 14
    qint32 size[17];              // 16: megabytes per selected channel, then the audio entry
};
#pragma pack(pop)
static_assert(sizeof(_SEND_BACKUP_CAPA) == 16 + 17 * 4, "backup capacity record layout");
