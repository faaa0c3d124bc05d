#pragma once
// Reading helpers the recorder protocol engine's message handlers share: zero-terminated text
// fields, bounds of a piece inside a frame, and the channel range.
#include <QString>
#include <QtGlobal>

#include <cstring>

#include "net/nettypemirel.h"

namespace mirelfields {

// Text of a zero-terminated field of at most `limit` bytes inside the message.
inline QString FieldText(const char* message, int from, int limit)
{
    if (limit <= 0)
        return QString();
    const char* end = static_cast<const char*>(std::memchr(message + from, 0, size_t(limit)));
    const int n = end ? int(end - (message + from)) : limit;
    return QString::fromUtf8(message + from, n);
}

inline bool PieceFits(qint64 offset, qint64 length, qint64 size)
{
    return offset >= 0 && length >= 0 && size >= 0 && offset + length <= size;
}

inline bool ValidChannel(int channel)
{
    return channel >= 0 && channel < CNetTypeMirel::kMaxChannels;
}

} // namespace mirelfields
