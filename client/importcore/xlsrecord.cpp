#include "importcore/xlsrecord.h"

#include "importcore/leread.h"

namespace XlsFile {

Record::Record(quint16 recordCode)
    : code(recordCode)
{}

Record::~Record() = default;

int Record::PeekCode(const QByteArray& stream, quint32 offset)
{
    if (!leread::Fits(stream, offset, kHeaderSize))
        return -1;
    return leread::U16(stream, offset);
}

quint32 Record::Read(const QByteArray& stream, quint32 offset)
{
    if (PeekCode(stream, offset) < 0)
        return 0;
    const quint32 streamSize = quint32(stream.size());
    code = leread::U16(stream, offset);
    quint32 position = offset + kHeaderSize;
    quint32 take = qMin<quint32>(leread::U16(stream, offset + 2), streamSize - position);
    data = stream.mid(int(position), int(take));
    position += take;
    continuePositions.clear();
    while (PeekCode(stream, position) == RecordCode::kContinue) {
        continuePositions.push_back(quint32(data.size()));
        take = qMin<quint32>(leread::U16(stream, position + 2), streamSize - position - kHeaderSize);
        data.append(stream.constData() + position + kHeaderSize, int(take));
        position += kHeaderSize + take;
    }
    dataSize = quint32(data.size());
    recordSize = position - offset;
    Decode();
    return recordSize;
}

quint32 Record::DataSize() const
{
    return dataSize;
}

quint32 Record::RecordSize() const
{
    return dataSize + kHeaderSize * (1 + quint32(continuePositions.size()));
}

BOF::BOF()
    : Record(RecordCode::kBOF)
{}

void BOF::Decode()
{
    version = leread::U16(data, 0);
    substreamType = leread::U16(data, 2);
    buildIdentifier = leread::U16(data, 4);
    buildYear = leread::U16(data, 6);
    fileHistoryFlags = leread::U32(data, 8);
    lowestBiffVersion = leread::U32(data, 12);
}

EndOfStream::EndOfStream()
    : Record(RecordCode::kEndOfStream)
{}

} // namespace XlsFile
