#include "importcore/oleheader.h"

#include "importcore/leread.h"

const std::array<quint8, 8> OleHeader::kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

OleHeader::OleHeader()
{
    difat.fill(kFreeSector);
    difat[0] = 0;
}

bool OleHeader::Parse(const QByteArray& block)
{
    for (int i = 0; i < 8; ++i)
        signature[i] = leread::U8(block, i);
    for (int i = 0; i < 16; ++i)
        classId[i] = leread::U8(block, 8 + i);
    minorVersion = leread::U16(block, 24);
    majorVersion = leread::U16(block, 26);
    byteOrder = leread::U16(block, 28);
    sectorShift = leread::U16(block, 30);
    miniSectorShift = leread::U16(block, 32);
    reserved1 = leread::U16(block, 34);
    reserved2 = leread::U32(block, 36);
    numDirectorySectors = leread::U32(block, 40);
    numFatSectors = leread::U32(block, 44);
    firstDirectorySector = leread::U32(block, 48);
    transactionSignature = leread::U32(block, 52);
    miniStreamCutoff = leread::U32(block, 56);
    firstMiniFatSector = leread::U32(block, 60);
    numMiniFatSectors = leread::U32(block, 64);
    firstDifatSector = leread::U32(block, 68);
    numDifatSectors = leread::U32(block, 72);
    for (int i = 0; i < kHeaderDifatEntries; ++i)
        difat[i] = leread::U32(block, 76 + 4 * i);
    return HasSignature();
}
