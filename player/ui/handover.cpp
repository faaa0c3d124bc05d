#include "ui/handover.h"

#include <QtEndian>

QVector<HandOverRecord> HandOverSequence::Encode(const QByteArray& path)
{
    QVector<HandOverRecord> records;
    records.reserve(path.size() + 2);
    records.append({HandOverMessage::Clear, 0});
    for (const char byte : path)
        records.append({HandOverMessage::Append, static_cast<qint32>(static_cast<signed char>(byte))});
    records.append({HandOverMessage::Open, 0});
    return records;
}

QByteArray HandOverSequence::Pack(const HandOverRecord& record)
{
    QByteArray bytes(kRecordSize, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(record.message), bytes.data());
    qToLittleEndian<qint32>(record.value, bytes.data() + 4);
    return bytes;
}

QVector<HandOverRecord> HandOverReceiver::Feed(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    QVector<HandOverRecord> records;
    int offset = 0;
    while (m_buffer.size() - offset >= HandOverSequence::kRecordSize) {
        const char* at = m_buffer.constData() + offset;
        HandOverRecord record;
        record.message = static_cast<HandOverMessage>(qFromLittleEndian<qint32>(at));
        record.value = qFromLittleEndian<qint32>(at + 4);
        records.append(record);
        offset += HandOverSequence::kRecordSize;
    }
    m_buffer.remove(0, offset);
    return records;
}

bool HandOverReceiver::Apply(const HandOverRecord& record)
{
    switch (record.message) {
    case HandOverMessage::Clear: m_pending.clear(); return false;
    case HandOverMessage::Append:
        // Only a byte widened to 32 bits is a character of the path.
        if (record.value < -128 || record.value > 255 || m_pending.size() >= kMaxPathBytes)
            return false;
        m_pending.append(static_cast<char>(record.value));
        return false;
    case HandOverMessage::Open: return true;
    }
    return false;
}
