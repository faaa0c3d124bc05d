#include "importcore/oledirectoryentry.h"

#include "importcore/leread.h"

void OleDirectoryEntry::Parse(const QByteArray& bytes, int offset)
{
    for (int i = 0; i < 32; ++i)
        name[i] = char16_t(leread::U16(bytes, offset + 2 * i));
    nameLength = leread::U16(bytes, offset + 64);
    type = leread::U8(bytes, offset + 66);
    colour = leread::U8(bytes, offset + 67);
    leftSibling = leread::U32(bytes, offset + 68);
    rightSibling = leread::U32(bytes, offset + 72);
    child = leread::U32(bytes, offset + 76);
    for (int i = 0; i < 16; ++i)
        classId[i] = leread::U8(bytes, offset + 80 + i);
    stateBits = leread::U32(bytes, offset + 96);
    creationTime = leread::U64(bytes, offset + 100);
    modificationTime = leread::U64(bytes, offset + 108);
    startingSector = leread::U32(bytes, offset + 116);
    // Only the low 32 bits of the size count in files of 512-byte sectors.
    size = leread::U32(bytes, offset + 120);
}

QString OleDirectoryEntry::Name() const
{
    int length = 0;
    while (length < int(name.size()) && name[length] != 0)
        ++length;
    return QString::fromUtf16(name.data(), length);
}
