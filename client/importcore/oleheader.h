#pragma once
// The 512-byte header at the start of a compound file: signature, sector sizes, where the FAT,
// the mini FAT, the directory and the DIFAT chain begin, and the first 109 FAT sector numbers.
#include <QByteArray>
#include <array>

class OleHeader
{
public:
    static constexpr int kSize = 512;
    static constexpr int kHeaderDifatEntries = 109;
    static constexpr quint32 kEndOfChain = 0xFFFFFFFEu;
    static constexpr quint32 kFreeSector = 0xFFFFFFFFu;
    static const std::array<quint8, 8> kSignature;

    // The values of an empty file.
    OleHeader();

    // Takes every field from the first 512 bytes (fewer bytes read as zeros). False when the
    // signature differs; the fields are taken all the same.
    bool Parse(const QByteArray& block);
    bool HasSignature() const { return signature == kSignature; }

    quint32 SectorSize() const { return sectorShift < 32 ? 1u << sectorShift : 0; }
    quint32 MiniSectorSize() const { return miniSectorShift < 32 ? 1u << miniSectorShift : 0; }

    std::array<quint8, 8> signature{};
    std::array<quint8, 16> classId{};
    quint16 minorVersion = 0x003B;
    quint16 majorVersion = 3;
    quint16 byteOrder = 0xFFFE;
    quint16 sectorShift = 9;
    // Sixteen bits: the two bytes after it are reserved and must not widen it.
    quint16 miniSectorShift = 6;
    quint16 reserved1 = 0;
    quint32 reserved2 = 0;
    quint32 numDirectorySectors = 0;
    quint32 numFatSectors = 1;
    quint32 firstDirectorySector = 1;
    quint32 transactionSignature = 0;
    quint32 miniStreamCutoff = 4096;
    quint32 firstMiniFatSector = kEndOfChain;
    quint32 numMiniFatSectors = 0;
    quint32 firstDifatSector = kEndOfChain;
    quint32 numDifatSectors = 0;
    std::array<quint32, kHeaderDifatEntries> difat{};
};
