#include "importcore/xlssheet.h"

#include <cstring>

namespace XlsFile {

namespace {

using CellBlock = Worksheet::CellTable::RowBlock::CellBlock;

quint32 KeyOf(unsigned row, unsigned column)
{
    return quint32(row) * XlsSheet::kMaxColumns + column;
}

} // namespace

XlsSheet::XlsSheet(XlsBook* book, int position, const Worksheet& worksheet,
                   const Workbook::SharedStringTable& strings)
    : m_book(book)
    , m_position(position)
    , m_rowCount(qMin<quint32>(worksheet.dimensions.lastRowPlusOne, kMaxRows))
    , m_columnCount(qMin<quint32>(worksheet.dimensions.lastColumnPlusOne, kMaxColumns))
{
    Fill(worksheet, strings);
}

XlsCell* XlsSheet::cellAt(unsigned row, unsigned column)
{
    if (row >= kMaxRows || column >= kMaxColumns)
        return nullptr;
    if (column >= m_columnCount)
        m_columnCount = column + 1;
    if (row >= m_rowCount)
        m_rowCount = row + 1;
    return &m_cells[KeyOf(row, column)];
}

void XlsSheet::Fill(const Worksheet& worksheet, const Workbook::SharedStringTable& strings)
{
    for (const auto& rowBlock : worksheet.cellTable.rowBlocks) {
        for (const CellBlock& block : rowBlock->cells)
            FillCell(block, strings);
    }
}

void XlsSheet::FillCell(const CellBlock& block, const Workbook::SharedStringTable& strings)
{
    switch (block.code) {
    case RecordCode::kNumber: {
        const auto& number = static_cast<const CellBlock::Number&>(*block.record);
        if (XlsCell* cell = cellAt(number.row, number.column))
            cell->SetDouble(number.value);
        break;
    }
    case RecordCode::kRK: {
        const auto& rk = static_cast<const CellBlock::RK&>(*block.record);
        PutRK(rk.row, rk.column, rk.rk);
        break;
    }
    case RecordCode::kMulRK: {
        const auto& mulRk = static_cast<const CellBlock::MulRK&>(*block.record);
        unsigned column = mulRk.firstColumn;
        for (const auto& pair : mulRk.pairs) {
            if (column > mulRk.lastColumn || column >= kMaxColumns)
                break;
            PutRK(mulRk.row, column++, pair.rk);
        }
        break;
    }
    case RecordCode::kLabelSST: {
        const auto& label = static_cast<const CellBlock::LabelSST&>(*block.record);
        XlsCell* cell = cellAt(label.row, label.column);
        if (!cell)
            break;
        // An index beyond the table leaves the cell empty.
        if (label.index >= strings.strings.size()) {
            cell->Clear();
            break;
        }
        const auto& entry = strings.strings[label.index];
        if (entry.wide)
            cell->SetWideString(entry.text);
        else
            cell->SetAnsiString(entry.narrow);
        break;
    }
    case RecordCode::kBoolErr: {
        const auto& boolErr = static_cast<const CellBlock::BoolErr&>(*block.record);
        if (XlsCell* cell = cellAt(boolErr.row, boolErr.column)) {
            if (boolErr.isError)
                cell->Clear();
            else
                cell->SetInt(boolErr.value);
        }
        break;
    }
    case RecordCode::kBlank:
    case RecordCode::kFormula: {
        // The formula's cached result is not used: the cell is empty, like a blank one.
        const auto& plain = static_cast<const CellBlock::CellRecord&>(*block.record);
        if (XlsCell* cell = cellAt(plain.row, plain.column))
            cell->Clear();
        break;
    }
    default: break;
    }
}

void XlsSheet::PutRK(unsigned row, unsigned column, quint32 rk)
{
    XlsCell* cell = cellAt(row, column);
    if (!cell)
        return;
    const bool divideBy100 = rk & 0x1;
    if (rk & 0x2) {
        const qint32 value = qint32(rk) >> 2;
        // Divided by 100 an integer becomes a fraction (150 is 1.5, a port typed as 8000.6 is
        // 800060): it is kept as the double it stands for, so nothing is cut off.
        if (divideBy100)
            cell->SetDouble(value / 100.0);
        else
            cell->SetInt(value);
        return;
    }
    const quint64 bits = quint64(rk & ~quint32(0x3)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    cell->SetDouble(divideBy100 ? value / 100.0 : value);
}

} // namespace XlsFile
