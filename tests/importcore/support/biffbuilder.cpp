#include "importcore/support/biffbuilder.h"

#include <QtEndian>
#include <cstring>

namespace biff {

QByteArray U8(quint8 value)
{
    return QByteArray(1, char(value));
}

QByteArray U16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray U32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray F64(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

QByteArray RecordWithLength(quint16 code, quint16 length, const QByteArray& payload)
{
    return U16(code) + U16(length) + payload;
}

QByteArray Record(quint16 code, const QByteArray& payload)
{
    return RecordWithLength(code, quint16(payload.size()), payload);
}

QByteArray Bof(quint16 substreamType)
{
    // version 0x0600, type, build, year, history flags, lowest version
    return Record(0x0809, U16(0x0600) + U16(substreamType) + U16(0x0DBB) + U16(0x07CC) + U32(0) + U32(6));
}

QByteArray Eof()
{
    return Record(0x000A, {});
}

QByteArray BoundSheet(const QString& name, bool wide, quint8 sheetType)
{
    QByteArray payload = U32(0) + U8(0) + U8(sheetType) + U8(quint8(name.size())) + U8(wide ? 1 : 0);
    for (QChar c : name)
        payload += wide ? U16(c.unicode()) : U8(quint8(c.unicode()));
    return Record(0x0085, payload);
}

QByteArray SstString(const QString& text, bool wide)
{
    QByteArray bytes = U16(quint16(text.size())) + U8(wide ? 1 : 0);
    for (QChar c : text)
        bytes += wide ? U16(c.unicode()) : U8(quint8(c.unicode()));
    return bytes;
}

QByteArray Sst(quint32 total, quint32 unique, const QByteArray& strings)
{
    return Record(0x00FC, U32(total) + U32(unique) + strings);
}

QByteArray Continue(const QByteArray& payload)
{
    return Record(0x003C, payload);
}

QByteArray Dimensions(quint32 rowsPlusOne, quint16 columnsPlusOne)
{
    return Record(0x0200, U32(0) + U32(rowsPlusOne) + U16(0) + U16(columnsPlusOne) + U16(0));
}

QByteArray Row(quint16 row)
{
    // row, first column, last column + 1, height, reserved, unused, options, format
    return Record(0x0208, U16(row) + U16(0) + U16(1) + U16(0x00FF) + U16(0) + U16(0) + U32(0x00000100));
}

QByteArray DbCell()
{
    return Record(0x00D7, U32(0));
}

QByteArray Number(quint16 row, quint16 column, double value)
{
    return Record(0x0203, U16(row) + U16(column) + U16(15) + F64(value));
}

QByteArray Rk(quint16 row, quint16 column, quint32 rk)
{
    return Record(0x027E, U16(row) + U16(column) + U16(15) + U32(rk));
}

QByteArray MulRk(quint16 row, quint16 firstColumn, std::initializer_list<quint32> rks)
{
    QByteArray payload = U16(row) + U16(firstColumn);
    for (quint32 rk : rks)
        payload += U16(15) + U32(rk);
    payload += U16(quint16(firstColumn + rks.size() - 1));
    return Record(0x00BD, payload);
}

QByteArray LabelSst(quint16 row, quint16 column, quint32 index)
{
    return Record(0x00FD, U16(row) + U16(column) + U16(15) + U32(index));
}

QByteArray BoolErr(quint16 row, quint16 column, quint8 value, bool isError)
{
    return Record(0x0205, U16(row) + U16(column) + U16(15) + U8(value) + U8(isError ? 1 : 0));
}

QByteArray Blank(quint16 row, quint16 column)
{
    return Record(0x0201, U16(row) + U16(column) + U16(15));
}

QByteArray Formula(quint16 row, quint16 column, double cached)
{
    // row, column, format, cached result, options, reserved, then a formula of one token (1 + 1)
    const QByteArray tokens = U8(0x1E) + U16(1) + U8(0x1E) + U16(1) + U8(0x03);
    return Record(0x0006, U16(row) + U16(column) + U16(15) + F64(cached) + U16(0) + U32(0)
                              + U16(quint16(tokens.size())) + tokens);
}

QByteArray FormulaString(const QString& text)
{
    return Record(0x0207, SstString(text));
}

QByteArray Globals(std::initializer_list<QString> sheetNames, const QByteArray& sst)
{
    QByteArray bytes = Bof(0x0005);
    for (const QString& name : sheetNames)
        bytes += BoundSheet(name);
    return bytes + sst + Eof();
}

QByteArray Worksheet(quint32 rowsPlusOne, quint16 columnsPlusOne, const QByteArray& cells)
{
    return Bof(0x0010) + Dimensions(rowsPlusOne, columnsPlusOne) + Row(0) + cells + DbCell() + Eof();
}

} // namespace biff
