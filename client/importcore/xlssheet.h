#pragma once
// One worksheet's cells. The grid is as large as DIMENSIONS says (at most 65536 rows by 256
// columns) and grows when a cell beyond it is asked for, but only the cells that were written or
// asked for take memory: a file claiming the whole grid costs nothing until its cells come.
#include <memory>
#include <unordered_map>

#include "importcore/xlscell.h"
#include "importcore/xlsworkbook.h"
#include "importcore/xlsworksheet.h"

namespace XlsFile {

class XlsBook;

class XlsSheet
{
public:
    static constexpr unsigned kMaxRows = 65536;
    static constexpr unsigned kMaxColumns = 256;

    // The grid of a worksheet, its size from DIMENSIONS (clamped to the limits), filled from the
    // cell records with the shared strings.
    XlsSheet(XlsBook* book, int position, const Worksheet& worksheet, const Workbook::SharedStringTable& strings);

    unsigned rowCount() const { return m_rowCount; }
    unsigned columnCount() const { return m_columnCount; }
    // The cell, or null when row is 65536 or more or column 256 or more; a position beyond the
    // grid grows it to include the position (every row takes the wider column count).
    XlsCell* cellAt(unsigned row, unsigned column);

    XlsBook* Book() const { return m_book; }
    int Position() const { return m_position; }

private:
    void Fill(const Worksheet& worksheet, const Workbook::SharedStringTable& strings);
    void FillCell(const Worksheet::CellTable::RowBlock::CellBlock& block,
                  const Workbook::SharedStringTable& strings);
    void PutRK(unsigned row, unsigned column, quint32 rk);

    XlsBook* m_book;
    int m_position;
    unsigned m_rowCount = 0;
    unsigned m_columnCount = 0;
    std::unordered_map<quint32, XlsCell> m_cells;
};

} // namespace XlsFile
