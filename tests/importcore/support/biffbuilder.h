#pragma once
// BIFF8 records written by hand, field by field, for workbook streams that LibreOffice and xlwt
// never write (continued strings, chart sheets, error cells, broken counts).
#include <QByteArray>
#include <QString>
#include <initializer_list>

namespace biff {

// A record: code, length, payload (the length may be given to lie about the payload).
QByteArray Record(quint16 code, const QByteArray& payload);
QByteArray RecordWithLength(quint16 code, quint16 length, const QByteArray& payload);

QByteArray U8(quint8 value);
QByteArray U16(quint16 value);
QByteArray U32(quint32 value);
QByteArray F64(double value);

QByteArray Bof(quint16 substreamType);
QByteArray Eof();
// A sheet name in 8-bit characters, or in 16-bit characters when wide.
QByteArray BoundSheet(const QString& name, bool wide = false, quint8 sheetType = 0);
// A shared string as the table stores it when it is not split: count, option, characters.
QByteArray SstString(const QString& text, bool wide = false);
QByteArray Sst(quint32 total, quint32 unique, const QByteArray& strings);
QByteArray Continue(const QByteArray& payload);
QByteArray Dimensions(quint32 rowsPlusOne, quint16 columnsPlusOne);
QByteArray Row(quint16 row);
QByteArray DbCell();
QByteArray Number(quint16 row, quint16 column, double value);
QByteArray Rk(quint16 row, quint16 column, quint32 rk);
QByteArray MulRk(quint16 row, quint16 firstColumn, std::initializer_list<quint32> rks);
QByteArray LabelSst(quint16 row, quint16 column, quint32 index);
QByteArray BoolErr(quint16 row, quint16 column, quint8 value, bool isError);
QByteArray Blank(quint16 row, quint16 column);
QByteArray Formula(quint16 row, quint16 column, double cached);
QByteArray FormulaString(const QString& text);

// A globals substream with one BOUNDSHEET per name and the strings, then worksheets follow.
QByteArray Globals(std::initializer_list<QString> sheetNames, const QByteArray& sst);
// A worksheet with DIMENSIONS and one row block of the given cell records.
QByteArray Worksheet(quint32 rowsPlusOne, quint16 columnsPlusOne, const QByteArray& cells);

} // namespace biff
