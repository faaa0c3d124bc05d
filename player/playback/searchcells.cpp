#include "playback/searchcells.h"

#include <QtEndian>

namespace {

quint16 Le16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(bytes.constData() + at));
}

} // namespace

void SearchCells::Clear()
{
    for (auto& row : m_cells)
        row.fill(0);
    if (m_watcher) {
        for (int row = 0; row <= kRows; ++row)
            for (int cell = 0; cell < kCells; ++cell)
                m_watcher(row, cell, 0);
    }
}

int SearchCells::Cell(int row, int cell) const
{
    if (row < 0 || row > kRows || cell < 0 || cell >= kCells)
        return 0;
    return m_cells[size_t(row)][size_t(cell)];
}

void SearchCells::Set(int row, int cell, int value)
{
    if (row < 0 || row > kRows || cell < 0 || cell >= kCells)
        return;
    m_cells[size_t(row)][size_t(cell)] = quint8(value);
    if (m_watcher)
        m_watcher(row, cell, value);
}

int SearchCells::SetRecordCells(const QByteArray& masks)
{
    const int count = qMin(kCells, masks.size() / 2);
    for (int i = 0; i < count; ++i) {
        const quint16 mask = Le16(masks, 2 * i);
        for (int k = 0; k < kRows; ++k) {
            if (mask & (1u << k))
                Set(k, i, 1);
        }
    }
    return count;
}

int SearchCells::SetEventCells(const QByteArray& reply)
{
    int at = 96;
    int size = 10;
    int maskAt = 4;
    int masks = 3;
    if (reply.size() >= 100 && quint8(reply[96]) == 0xA5 && quint8(reply[97]) == 0xA5 && quint8(reply[98]) == 0x55
        && quint8(reply[99]) == 0xAA) {
        at = 104;
        size = 20;
        maskAt = 12;
        masks = 4;
    }
    int records = 0;
    for (; at + size <= reply.size(); at += size) {
        const int hour = quint8(reply[at]);
        const int minute = quint8(reply[at + 1]);
        const int half = quint8(reply[at + 3]);
        if (hour > 23 || minute > 59)
            continue;
        const int cell = (hour * 60 + minute) / 3 + (half == 1 ? kHalf : 0);
        for (int m = 0; m < masks; ++m) {
            const quint16 mask = Le16(reply, at + maskAt + 2 * m);
            for (int k = 0; k < kRows; ++k) {
                if (mask & (1u << k))
                    Set(k, cell, 2);
            }
        }
        ++records;
    }
    return records;
}

int SearchCells::SetSummaryCells(const QByteArray& masks)
{
    const int count = qMin(kCells, masks.size() / 2);
    for (int i = 0; i < count; ++i) {
        if (Le16(masks, 2 * i) != 0)
            Set(kSummaryRow, i, 1);
    }
    return count;
}

int SearchCells::BarValue(int row, int position) const
{
    const int cell = qBound(0, position, kHalf - 1);
    const int first = Cell(row, cell);
    const int second = Cell(row, cell + kHalf);
    if (first == 2 || second == 2)
        return 2;
    return first == 1 || second == 1 ? 1 : 0;
}
