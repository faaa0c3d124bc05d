#pragma once
// A BIFF8 record of a workbook stream: a 16-bit code, a 16-bit length and the data, with the data
// of the CONTINUE records that follow it appended. Every read stays inside the stream: a length
// that runs past the end takes only the bytes that are there.
#include <QByteArray>
#include <vector>

namespace XlsFile {

namespace RecordCode {
constexpr quint16 kFormula = 0x0006;
constexpr quint16 kEndOfStream = 0x000A;
constexpr quint16 kFont = 0x0031;
constexpr quint16 kTable = 0x0036;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kWindow1 = 0x003D;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kShrFmla = 0x00BC;
constexpr quint16 kMulRK = 0x00BD;
constexpr quint16 kMulBlank = 0x00BE;
constexpr quint16 kDBCell = 0x00D7;
constexpr quint16 kXF = 0x00E0;
constexpr quint16 kSharedStringTable = 0x00FC;
constexpr quint16 kLabelSST = 0x00FD;
constexpr quint16 kExtSST = 0x00FF;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kBlank = 0x0201;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kBoolErr = 0x0205;
constexpr quint16 kString = 0x0207;
constexpr quint16 kRow = 0x0208;
constexpr quint16 kIndex = 0x020B;
constexpr quint16 kArray = 0x0221;
constexpr quint16 kWindow2 = 0x023E;
constexpr quint16 kRK = 0x027E;
constexpr quint16 kStyle = 0x0293;
constexpr quint16 kShrFmla1 = 0x04BC;
constexpr quint16 kBOF = 0x0809;
} // namespace RecordCode

class Record
{
public:
    static constexpr quint32 kHeaderSize = 4;

    explicit Record(quint16 code = 0);
    virtual ~Record();

    // Reads the record at `offset` with its CONTINUE records, then decodes the fields; returns the
    // stream bytes consumed (every header and payload), 0 when no whole header is left.
    virtual quint32 Read(const QByteArray& stream, quint32 offset);
    virtual quint32 DataSize() const;
    virtual quint32 RecordSize() const;

    // The code of the record at `offset`, or -1 when no whole header is left.
    static int PeekCode(const QByteArray& stream, quint32 offset);

    quint16 code;
    QByteArray data;
    quint32 dataSize = 0;
    quint32 recordSize = 0;
    // For each CONTINUE appended, the data offset at which its payload begins.
    std::vector<quint32> continuePositions;

protected:
    // Takes the fields out of `data`; bytes missing read as zeros.
    virtual void Decode() {}
};

// Opens a substream (0x0809).
class BOF : public Record
{
public:
    enum class SubstreamType : quint16 {
        WorkbookGlobals = 0x0005,
        Worksheet = 0x0010,
    };

    BOF();
    quint16 version = 0x0600;
    quint16 substreamType = 0;
    quint16 buildIdentifier = 0;
    quint16 buildYear = 0;
    quint32 fileHistoryFlags = 0;
    quint32 lowestBiffVersion = 0;

protected:
    void Decode() override;
};

// Ends a substream (0x000A).
class EndOfStream : public Record
{
public:
    EndOfStream();
};

} // namespace XlsFile
