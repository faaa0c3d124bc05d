#include "importcore/xlsworksheet.h"

#include "importcore/leread.h"

namespace XlsFile {

using RowBlock = Worksheet::CellTable::RowBlock;
using CellBlock = RowBlock::CellBlock;
using Formula = CellBlock::Formula;

Worksheet::Index::Index()
    : Record(RecordCode::kIndex)
{}
Worksheet::Window2::Window2()
    : Record(RecordCode::kWindow2)
{}
Worksheet::Dimensions::Dimensions()
    : Record(RecordCode::kDimensions)
{}

void Worksheet::Dimensions::Decode()
{
    firstRow = leread::U32(data, 0);
    lastRowPlusOne = leread::U32(data, 4);
    firstColumn = leread::U16(data, 8);
    lastColumnPlusOne = leread::U16(data, 10);
    reserved = leread::U16(data, 12);
}

RowBlock::Row::Row()
    : Record(RecordCode::kRow)
{}
RowBlock::DBCell::DBCell()
    : Record(RecordCode::kDBCell)
{}

CellBlock::CellRecord::CellRecord(quint16 recordCode)
    : Record(recordCode)
{}

void CellBlock::CellRecord::Decode()
{
    row = leread::U16(data, 0);
    column = leread::U16(data, 2);
    xf = leread::U16(data, 4);
}

CellBlock::Blank::Blank()
    : CellRecord(RecordCode::kBlank)
{}
CellBlock::MulBlank::MulBlank()
    : Record(RecordCode::kMulBlank)
{}

CellBlock::BoolErr::BoolErr()
    : CellRecord(RecordCode::kBoolErr)
{}

void CellBlock::BoolErr::Decode()
{
    CellRecord::Decode();
    value = leread::U8(data, 6);
    isError = leread::U8(data, 7);
}

CellBlock::Number::Number()
    : CellRecord(RecordCode::kNumber)
{}

void CellBlock::Number::Decode()
{
    CellRecord::Decode();
    value = leread::F64(data, 6);
}

CellBlock::RK::RK()
    : CellRecord(RecordCode::kRK)
{}

void CellBlock::RK::Decode()
{
    CellRecord::Decode();
    rk = leread::U32(data, 6);
}

CellBlock::MulRK::MulRK()
    : Record(RecordCode::kMulRK)
{}

void CellBlock::MulRK::Decode()
{
    row = leread::U16(data, 0);
    firstColumn = leread::U16(data, 2);
    pairs.clear();
    if (data.size() < 6)
        return;
    // The pairs fill what lies between the leading row and column and the trailing last column.
    const int count = (data.size() - 6) / 6;
    pairs.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        pairs.push_back({leread::U16(data, 4 + 6 * i), leread::U32(data, 6 + 6 * i)});
    lastColumn = leread::U16(data, data.size() - 2);
}

CellBlock::LabelSST::LabelSST()
    : CellRecord(RecordCode::kLabelSST)
{}

void CellBlock::LabelSST::Decode()
{
    CellRecord::Decode();
    index = leread::U32(data, 6);
}

Formula::Array::Array()
    : Record(RecordCode::kArray)
{}
Formula::ShrFmla::ShrFmla()
    : Record(RecordCode::kShrFmla)
{}
Formula::ShrFmla1::ShrFmla1()
    : Record(RecordCode::kShrFmla1)
{}
Formula::Table::Table()
    : Record(RecordCode::kTable)
{}
Formula::String::String()
    : Record(RecordCode::kString)
{}

Formula::Formula()
    : CellRecord(RecordCode::kFormula)
{}

void Formula::Decode()
{
    CellRecord::Decode();
    for (int i = 0; i < 8; ++i)
        result[i] = leread::U8(data, 6 + i);
    options = leread::U16(data, 14);
    formula = data.mid(16);
}

namespace {

std::unique_ptr<Record> FormulaSubRecord(int recordCode)
{
    switch (recordCode) {
    case RecordCode::kArray: return std::make_unique<Formula::Array>();
    case RecordCode::kShrFmla: return std::make_unique<Formula::ShrFmla>();
    case RecordCode::kShrFmla1: return std::make_unique<Formula::ShrFmla1>();
    case RecordCode::kTable: return std::make_unique<Formula::Table>();
    default: return nullptr;
    }
}

std::unique_ptr<Record> CellRecordFor(quint16 recordCode)
{
    switch (recordCode) {
    case RecordCode::kBlank: return std::make_unique<CellBlock::Blank>();
    case RecordCode::kMulBlank: return std::make_unique<CellBlock::MulBlank>();
    case RecordCode::kBoolErr: return std::make_unique<CellBlock::BoolErr>();
    case RecordCode::kNumber: return std::make_unique<CellBlock::Number>();
    case RecordCode::kRK: return std::make_unique<CellBlock::RK>();
    case RecordCode::kMulRK: return std::make_unique<CellBlock::MulRK>();
    case RecordCode::kLabelSST: return std::make_unique<CellBlock::LabelSST>();
    case RecordCode::kFormula: return std::make_unique<Formula>();
    default: return std::make_unique<Record>(recordCode);
    }
}

} // namespace

quint32 Formula::Read(const QByteArray& stream, quint32 offset)
{
    quint32 position = offset + Record::Read(stream, offset);
    subRecord = FormulaSubRecord(PeekCode(stream, position));
    subRecordType = 0;
    if (subRecord) {
        subRecordType = subRecord->code;
        position += subRecord->Read(stream, position);
    }
    cachedString.reset();
    if (PeekCode(stream, position) == RecordCode::kString) {
        cachedString = std::make_unique<String>();
        position += cachedString->Read(stream, position);
    }
    return position - offset;
}

bool CellBlock::IsCellCode(int recordCode)
{
    switch (recordCode) {
    case RecordCode::kBlank:
    case RecordCode::kNumber:
    case RecordCode::kBoolErr:
    case RecordCode::kRK:
    case RecordCode::kFormula:
    case RecordCode::kMulRK:
    case RecordCode::kMulBlank:
    case RecordCode::kLabelSST: return true;
    default: return false;
    }
}

CellBlock::CellBlock(quint16 recordCode)
    : code(recordCode)
    , record(CellRecordFor(recordCode))
{}

quint32 CellBlock::Read(const QByteArray& stream, quint32 offset)
{
    return record->Read(stream, offset);
}

quint32 RowBlock::Read(const QByteArray& stream, quint32 offset)
{
    quint32 position = offset;
    for (int code = Record::PeekCode(stream, position); code >= 0; code = Record::PeekCode(stream, position)) {
        if (code == RecordCode::kEndOfStream)
            break;
        if (code == RecordCode::kDBCell) {
            position += dbCell.Read(stream, position);
            break;
        }
        if (code == RecordCode::kRow) {
            rows.push_back(std::make_unique<Row>());
            position += rows.back()->Read(stream, position);
        } else if (CellBlock::IsCellCode(code)) {
            cells.emplace_back(quint16(code));
            position += cells.back().Read(stream, position);
        } else {
            position += Record().Read(stream, position);
        }
    }
    return position - offset;
}

quint32 Worksheet::CellTable::Read(const QByteArray& stream, quint32 offset)
{
    quint32 position = offset;
    while (Record::PeekCode(stream, position) == RecordCode::kRow) {
        rowBlocks.push_back(std::make_unique<RowBlock>());
        position += rowBlocks.back()->Read(stream, position);
    }
    return position - offset;
}

quint32 Worksheet::Read(const QByteArray& stream, quint32 offset)
{
    quint32 position = offset + bof.Read(stream, offset);
    for (int code = Record::PeekCode(stream, position); code >= 0; code = Record::PeekCode(stream, position)) {
        quint32 consumed = 0;
        switch (code) {
        case RecordCode::kEndOfStream:
            endOfStream.Read(stream, position);
            return position + Record::kHeaderSize - offset;
        case RecordCode::kBOF: consumed = bof.Read(stream, position); break;
        case RecordCode::kIndex: consumed = index.Read(stream, position); break;
        case RecordCode::kDimensions: consumed = dimensions.Read(stream, position); break;
        case RecordCode::kWindow2: consumed = window2.Read(stream, position); break;
        case RecordCode::kRow: consumed = cellTable.Read(stream, position); break;
        // A cell record outside the cell table is read and dropped like any other.
        default: consumed = Record().Read(stream, position); break;
        }
        position += consumed;
    }
    return position - offset;
}

} // namespace XlsFile
