#pragma once
// The time search bar's data: per tile row 960 cells (two per bar position) holding 0 (no
// data), 1 (recorded) or 2 (event), for file tiles and for tiles in remote mode; the first of
// the four rows shown; and the colour of a bar column.
#include <array>
#include <vector>

#include <QColor>

class TimeBarModel
{
public:
    static constexpr int kRows = 20;
    static constexpr int kCells = 960;
    static constexpr int kPositions = 480;

    enum class Source { File, Remote };

    TimeBarModel();

    void Reset();
    // Out-of-range rows and cells are ignored.
    void SetCell(Source source, int row, int cell, int value);
    int Cell(Source source, int row, int cell) const;

    int FirstRow() const { return m_firstRow; }
    // Page buttons: up moves the first row by -4 while above 0, down by +4 while below 12.
    bool PageUp();
    bool PageDown();

    // Colour of the column at bar position `position` (480 reads the cells of 479) for `row`.
    QColor ColumnColour(int row, int position, bool playing, bool remote) const;

    static const QColor kBackground; // RGB(189,189,189)
    static const QColor kEmpty;      // RGB(100,100,100)

private:
    std::vector<int> m_file;
    std::vector<int> m_remote;
    int m_firstRow = 0;
};
