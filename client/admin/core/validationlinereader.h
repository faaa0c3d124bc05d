#pragma once
#include "core/validationline.h"

#include <QByteArray>
#include <QList>

// Cuts the received byte stream into lines. A line longer than 64 KiB is dropped up to its next
// line break, and a line of more than 99 fields is dropped, each with a debug line; a partial
// line waits for its end.
class ValidationLineReader
{
public:
    static constexpr int kMaxLineBytes = 64 * 1024;

    QList<ValidationLine> Feed(const QByteArray& bytes);
    int DroppedLines() const { return m_dropped; }
    int PendingBytes() const { return m_pending.size(); }

private:
    void Take(const QByteArray& line, QList<ValidationLine>& lines);

    QByteArray m_pending;
    bool m_skipping = false;
    int m_dropped = 0;
};
