#include "ui/timebarmodel.h"

const QColor TimeBarModel::kBackground(189, 189, 189);
const QColor TimeBarModel::kEmpty(100, 100, 100);

TimeBarModel::TimeBarModel()
    : m_file(kRows * kCells, 0)
    , m_remote(kRows * kCells, 0)
{}

void TimeBarModel::Reset()
{
    std::fill(m_file.begin(), m_file.end(), 0);
    std::fill(m_remote.begin(), m_remote.end(), 0);
}

void TimeBarModel::SetCell(Source source, int row, int cell, int value)
{
    if (row < 0 || row >= kRows || cell < 0 || cell >= kCells)
        return;
    (source == Source::File ? m_file : m_remote)[row * kCells + cell] = value;
}

int TimeBarModel::Cell(Source source, int row, int cell) const
{
    if (row < 0 || row >= kRows || cell < 0 || cell >= kCells)
        return 0;
    return (source == Source::File ? m_file : m_remote)[row * kCells + cell];
}

bool TimeBarModel::PageUp()
{
    if (m_firstRow <= 0)
        return false;
    m_firstRow -= 4;
    return true;
}

bool TimeBarModel::PageDown()
{
    if (m_firstRow >= 12)
        return false;
    m_firstRow += 4;
    return true;
}

QColor TimeBarModel::ColumnColour(int row, int position, bool playing, bool remote) const
{
    const int index = position >= kPositions ? kPositions - 1 : position;
    const Source source = playing && remote ? Source::Remote : Source::File;
    const int a = Cell(source, row, index);
    const int b = Cell(source, row, index + kPositions);
    QColor colour = kEmpty;
    if (playing && (a == 1 || b == 1))
        colour = QColor(0, 0, 255);
    if (playing && (a == 2 || b == 2))
        colour = QColor(255, 0, 0);
    return colour;
}
