#include "importcore/xlsworkbook.h"

#include "importcore/leread.h"

#include <algorithm>

namespace XlsFile {

namespace {

template <class T>
quint32 Append(std::vector<std::unique_ptr<T>>* list, const QByteArray& stream, quint32 offset)
{
    list->push_back(std::make_unique<T>());
    return list->back()->Read(stream, offset);
}

// Narrow text of 16-bit characters: Latin-1, anything beyond it as "?".
QByteArray NarrowOf(const QString& text)
{
    return text.toLatin1();
}

} // namespace

Workbook::Window1::Window1()
    : Record(RecordCode::kWindow1)
{}
Workbook::Font::Font()
    : Record(RecordCode::kFont)
{}
Workbook::XF::XF()
    : Record(RecordCode::kXF)
{}
Workbook::Style::Style()
    : Record(RecordCode::kStyle)
{}
Workbook::ExtSST::ExtSST()
    : Record(RecordCode::kExtSST)
{}

Workbook::BoundSheet::BoundSheet()
    : Record(RecordCode::kBoundSheet)
{}

void Workbook::BoundSheet::Decode()
{
    substreamPosition = leread::U32(data, 0);
    visibility = leread::U8(data, 4);
    sheetType = leread::U8(data, 5);
    nameLength = leread::U8(data, 6);
    nameOption = leread::U8(data, 7);
    const int available = qMax(0, data.size() - 8);
    narrowName.clear();
    wideName.clear();
    if (IsWide()) {
        const int units = qMin(int(nameLength), available / 2);
        for (int i = 0; i < units; ++i)
            wideName.append(QChar(leread::U16(data, 8 + 2 * i)));
    } else {
        narrowName = data.mid(8, qMin(int(nameLength), available));
    }
}

Workbook::SharedStringTable::SharedStringTable()
    : Record(RecordCode::kSharedStringTable)
{}

quint32 Workbook::SharedStringTable::NextBoundary(quint32 offset) const
{
    // Continuations are noted in stream order, so the list is sorted.
    const auto next = std::upper_bound(continuePositions.begin(), continuePositions.end(), offset);
    return next != continuePositions.end() ? *next : quint32(data.size());
}

bool Workbook::SharedStringTable::ReadEntry(quint32* offset, Entry* entry) const
{
    quint32 at = *offset;
    if (!leread::Fits(data, at, 3))
        return false;
    quint32 remaining = leread::U16(data, at);
    entry->option = leread::U8(data, at + 2);
    at += 3;
    if (entry->option & 0x08) {
        entry->runCount = leread::U16(data, at);
        at += 2;
    }
    if (entry->option & 0x04) {
        entry->extensionSize = leread::U32(data, at);
        at += 4;
    }
    entry->wide = entry->option & 0x01;
    bool wideSegment = entry->wide;
    QString text;
    while (remaining > 0) {
        const quint32 boundary = NextBoundary(at);
        if (at > boundary)
            return false;
        const quint32 width = wideSegment ? 2 : 1;
        const quint32 count = qMin(remaining, (boundary - at) / width);
        for (quint32 i = 0; i < count; ++i, at += width)
            text.append(wideSegment ? QChar(leread::U16(data, at)) : QChar(leread::U8(data, at)));
        remaining -= count;
        if (remaining == 0)
            break;
        // The characters go on in a CONTINUE record, which starts with its own option byte.
        if (at != boundary || at >= quint32(data.size()))
            return false;
        wideSegment = leread::U8(data, at) & 0x01;
        at += 1;
    }
    if (entry->wide)
        entry->text = text;
    else
        entry->narrow = NarrowOf(text);
    // Formatting runs and extension data may be cut short at the end of the data: the text is
    // whole, so the string stands.
    *offset = quint32(
        qMin<quint64>(quint64(at) + 4ull * entry->runCount + entry->extensionSize, quint64(data.size())));
    return true;
}

void Workbook::SharedStringTable::Decode()
{
    totalCount = leread::U32(data, 0);
    uniqueCount = leread::U32(data, 4);
    strings.clear();
    // A string takes at least three bytes: the count cannot ask for more entries than that.
    strings.reserve(qMin<quint64>(uniqueCount, quint64(qMax(0, data.size() - 8)) / 3));
    quint32 offset = 8;
    for (quint32 i = 0; i < uniqueCount; ++i) {
        Entry entry;
        if (!ReadEntry(&offset, &entry))
            break;
        strings.push_back(std::move(entry));
    }
}

quint32 Workbook::Read(const QByteArray& stream, quint32 offset)
{
    quint32 position = offset + bof.Read(stream, offset);
    for (int code = Record::PeekCode(stream, position); code >= 0; code = Record::PeekCode(stream, position)) {
        quint32 consumed = 0;
        switch (code) {
        case RecordCode::kEndOfStream:
            endOfStream.Read(stream, position);
            return position + Record::kHeaderSize - offset;
        case RecordCode::kBOF: consumed = bof.Read(stream, position); break;
        case RecordCode::kFont: consumed = Append(&fonts, stream, position); break;
        case RecordCode::kXF: consumed = Append(&xfs, stream, position); break;
        case RecordCode::kStyle: consumed = Append(&styles, stream, position); break;
        case RecordCode::kBoundSheet: consumed = Append(&boundSheets, stream, position); break;
        case RecordCode::kWindow1: consumed = window1.Read(stream, position); break;
        case RecordCode::kSharedStringTable: consumed = sharedStrings.Read(stream, position); break;
        default: consumed = Record().Read(stream, position); break;
        }
        position += consumed;
    }
    return position - offset;
}

} // namespace XlsFile
