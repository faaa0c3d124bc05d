#include "core/validationlinereader.h"

#include "core/adminlog.h"

QList<ValidationLine> ValidationLineReader::Feed(const QByteArray& bytes)
{
    QList<ValidationLine> lines;
    int start = 0;
    while (start < bytes.size()) {
        const int end = bytes.indexOf('\n', start);
        if (end < 0) {
            if (!m_skipping)
                m_pending += bytes.mid(start);
            if (m_pending.size() > kMaxLineBytes) {
                qCDebug(lcAdmin) << "validation line over" << kMaxLineBytes << "bytes dropped";
                ++m_dropped;
                m_pending.clear();
                m_skipping = true;
            }
            break;
        }
        if (m_skipping) {
            m_skipping = false;
        } else {
            m_pending += bytes.mid(start, end - start);
            Take(m_pending, lines);
        }
        m_pending.clear();
        start = end + 1;
    }
    return lines;
}

void ValidationLineReader::Take(const QByteArray& line, QList<ValidationLine>& lines)
{
    if (line.size() > kMaxLineBytes) {
        qCDebug(lcAdmin) << "validation line over" << kMaxLineBytes << "bytes dropped";
        ++m_dropped;
        return;
    }
    std::optional<ValidationLine> parsed = ValidationLine::Parse(line);
    if (!parsed) {
        qCDebug(lcAdmin) << "validation line of more than" << ValidationLine::kMaxFields << "fields dropped";
        ++m_dropped;
        return;
    }
    lines.append(*parsed);
}
