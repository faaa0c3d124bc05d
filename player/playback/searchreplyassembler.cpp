#include "playback/searchreplyassembler.h"

#include <QtEndian>

namespace {

quint32 Le32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at));
}

} // namespace

void SearchReplyAssembler::Start(int kind, quint32 requestId, int tile)
{
    m_pending = true;
    m_kind = kind;
    m_requestId = requestId;
    m_tile = tile;
    m_replies = 0;
    m_error = 0;
    m_malformed = false;
    m_total = -1;
    m_data.clear();
}

void SearchReplyAssembler::Cancel()
{
    m_pending = false;
    m_data.clear();
}

SearchReplyAssembler::Result SearchReplyAssembler::OnReply(const QByteArray& reply)
{
    if (!m_pending || reply.size() < kHead)
        return Result::Ignored;
    const quint8 command = quint8(reply[6]);
    if ((command != 32 && command != 33) || quint8(reply[8]) != m_tile || Le32(reply, 12) != m_requestId)
        return Result::Ignored;
    const int length = int(quint8(reply[9]) | quint8(reply[10]) << 8 | quint8(reply[11]) << 16);
    const quint32 type = Le32(reply, 16);
    if (type == 13 || type == 14) {
        m_error = int(type) - 12;
        return Count();
    }
    const quint32 total = Le32(reply, 20);
    if (length < kHead || length > reply.size() || type != quint32(m_kind) || total > quint32(kMaxTotal)
        || (m_total >= 0 && qint64(total) != m_total)) {
        m_malformed = true;
        return Count();
    }
    m_total = total;
    const int payload = length - kHead;
    if (m_data.size() + qint64(payload) > m_total) {
        m_malformed = true;
        return Count();
    }
    m_data.append(reply.constData() + kHead, payload);
    return Count();
}

SearchReplyAssembler::Result SearchReplyAssembler::Count()
{
    ++m_replies;
    if (m_replies < kReplies)
        return Result::Stepped;
    m_pending = false;
    if (m_error != 0 || m_malformed || m_total < 0 || m_data.size() != m_total)
        return Result::Failed;
    return Result::Complete;
}
