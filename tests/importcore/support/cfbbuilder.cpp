#include "importcore/support/cfbbuilder.h"

#include <QtEndian>

namespace {

constexpr quint32 kSector = 512;
constexpr quint32 kMini = 64;

quint32 SectorsFor(quint64 bytes, quint32 unit)
{
    return quint32((bytes + unit - 1) / unit);
}

} // namespace

void CfbBuilder::PutU16(QByteArray* bytes, quint64 offset, quint16 value)
{
    qToLittleEndian(value, bytes->data() + offset);
}

void CfbBuilder::PutU32(QByteArray* bytes, quint64 offset, quint32 value)
{
    qToLittleEndian(value, bytes->data() + offset);
}

int CfbBuilder::AddStream(const QString& name, const QByteArray& bytes, int parent)
{
    m_entries.push_back({name, 2, parent, bytes});
    return int(m_entries.size()) - 1;
}

int CfbBuilder::AddStorage(const QString& name, int parent)
{
    m_entries.push_back({name, 1, parent, {}});
    return int(m_entries.size()) - 1;
}

void CfbBuilder::AddUnusedEntry()
{
    m_entries.push_back({QString(), 0, -1, {}});
}

quint64 CfbBuilder::EntryOffset(int entry) const
{
    return EntryOffsetIn(firstDirectorySector + quint32(entry / 4), entry % 4);
}

quint64 CfbBuilder::FatEntryOffset(quint32 n) const
{
    return SectorOffset(m_fatSectorNumbers[n / 128]) + 4ull * (n % 128);
}

QByteArray CfbBuilder::Build()
{
    const int entryCount = int(m_entries.size());
    startOf.assign(size_t(entryCount), kEnd);

    // Small streams go into the mini stream, one run of mini sectors each.
    QByteArray miniStream;
    std::vector<quint32> miniFat;
    for (int e = 1; e < entryCount; ++e) {
        const Entry& entry = m_entries[size_t(e)];
        if (entry.type != 2 || entry.bytes.size() >= 4096 || entry.bytes.isEmpty())
            continue;
        const quint32 first = quint32(miniStream.size()) / kMini;
        const quint32 count = SectorsFor(quint64(entry.bytes.size()), kMini);
        QByteArray padded = entry.bytes;
        padded.append(QByteArray(int(count * kMini) - entry.bytes.size(), '\0'));
        miniStream.append(padded);
        for (quint32 i = 0; i < count; ++i)
            miniFat.push_back(i + 1 < count ? first + i + 1 : kEnd);
        startOf[size_t(e)] = first;
    }

    directorySectors = SectorsFor(quint64(entryCount) * 128, kSector);
    miniFatSectors = SectorsFor(quint64(miniFat.size()) * 4, kSector);
    const quint32 miniStreamSectors = SectorsFor(quint64(miniStream.size()), kSector);
    quint32 bigSectors = 0;
    for (int e = 1; e < entryCount; ++e) {
        const Entry& entry = m_entries[size_t(e)];
        if (entry.type == 2 && entry.bytes.size() >= 4096)
            bigSectors += SectorsFor(quint64(entry.bytes.size()), kSector);
    }
    const quint32 payload = directorySectors + miniFatSectors + miniStreamSectors + bigSectors;
    fatSectors = 1;
    difatSectors = 0;
    for (;;) {
        const quint32 total = payload + fatSectors + difatSectors;
        const quint32 neededFat = SectorsFor(total, 128);
        const quint32 neededDifat = neededFat > 109 ? SectorsFor(neededFat - 109, 127) : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors)
            break;
        fatSectors = neededFat;
        difatSectors = neededDifat;
    }
    const quint32 total = payload + fatSectors + difatSectors;

    // Sector order: DIFAT, FAT, directory, mini FAT, mini stream, large streams.
    std::vector<quint32> fat(size_t(fatSectors) * 128, kFree);
    quint32 next = 0;
    firstDifatSector = difatSectors ? next : kEnd;
    for (quint32 i = 0; i < difatSectors; ++i)
        fat[next++] = kDifatMark;
    firstFatSector = next;
    m_fatSectorNumbers.clear();
    for (quint32 i = 0; i < fatSectors; ++i) {
        m_fatSectorNumbers.push_back(next);
        fat[next++] = kFatMark;
    }
    auto chain = [&fat, &next](quint32 count) {
        const quint32 first = count ? next : kEnd;
        for (quint32 i = 0; i < count; ++i, ++next)
            fat[next] = i + 1 < count ? next + 1 : kEnd;
        return first;
    };
    firstDirectorySector = chain(directorySectors);
    firstMiniFatSector = chain(miniFatSectors);
    miniStreamStart = chain(miniStreamSectors);
    for (int e = 1; e < entryCount; ++e) {
        const Entry& entry = m_entries[size_t(e)];
        if (entry.type == 2 && entry.bytes.size() >= 4096)
            startOf[size_t(e)] = chain(SectorsFor(quint64(entry.bytes.size()), kSector));
    }

    QByteArray file(int(512 + quint64(total) * kSector), '\0');
    // Header.
    const quint8 signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    memcpy(file.data(), signature, 8);
    PutU16(&file, 24, 0x003E);
    PutU16(&file, 26, 3);
    PutU16(&file, 28, 0xFFFE);
    PutU16(&file, 30, 9);
    PutU16(&file, 32, 6);
    PutU32(&file, 44, fatSectors);
    PutU32(&file, 48, firstDirectorySector);
    PutU32(&file, 56, 4096);
    PutU32(&file, 60, firstMiniFatSector);
    PutU32(&file, 64, miniFatSectors);
    PutU32(&file, 68, firstDifatSector);
    PutU32(&file, 72, difatSectors);
    for (quint32 i = 0; i < 109; ++i)
        PutU32(&file, 76 + 4 * i, i < fatSectors ? m_fatSectorNumbers[i] : kFree);
    // DIFAT sectors: 127 FAT sector numbers each, then the next DIFAT sector.
    for (quint32 d = 0; d < difatSectors; ++d) {
        const quint64 at = SectorOffset(d);
        for (quint32 i = 0; i < 127; ++i) {
            const quint32 fatIndex = 109 + d * 127 + i;
            PutU32(&file, at + 4 * i, fatIndex < fatSectors ? m_fatSectorNumbers[fatIndex] : kFree);
        }
        PutU32(&file, at + 508, d + 1 < difatSectors ? d + 1 : kEnd);
    }
    for (quint32 n = 0; n < fat.size(); ++n)
        PutU32(&file, FatEntryOffset(n), fat[n]);
    for (quint32 n = 0; n < miniFat.size(); ++n)
        PutU32(&file, SectorOffset(firstMiniFatSector + n / 128) + 4 * (n % 128), miniFat[n]);
    for (quint32 n = miniFat.size(); n < miniFatSectors * 128; ++n)
        PutU32(&file, SectorOffset(firstMiniFatSector + n / 128) + 4 * (n % 128), kFree);
    if (!miniStream.isEmpty())
        memcpy(file.data() + SectorOffset(miniStreamStart), miniStream.constData(), size_t(miniStream.size()));
    for (int e = 1; e < entryCount; ++e) {
        const Entry& entry = m_entries[size_t(e)];
        if (entry.type == 2 && entry.bytes.size() >= 4096)
            memcpy(file.data() + SectorOffset(startOf[size_t(e)]), entry.bytes.constData(),
                   size_t(entry.bytes.size()));
    }

    // Directory: the children of each storage hang off it as a chain of right siblings.
    std::vector<quint32> child(size_t(entryCount), kNone), right(size_t(entryCount), kNone);
    std::vector<int> lastChild(size_t(entryCount), -1);
    for (int e = 1; e < entryCount; ++e) {
        const int parent = m_entries[size_t(e)].parent;
        if (parent < 0)
            continue;
        if (lastChild[size_t(parent)] < 0)
            child[size_t(parent)] = quint32(e);
        else
            right[size_t(lastChild[size_t(parent)])] = quint32(e);
        lastChild[size_t(parent)] = e;
    }
    for (quint32 slot = entryCount; slot < directorySectors * 4; ++slot) {
        const quint64 at = EntryOffset(int(slot));
        PutU32(&file, at + 68, kNone);
        PutU32(&file, at + 72, kNone);
        PutU32(&file, at + 76, kNone);
    }
    for (int e = 0; e < entryCount; ++e) {
        const Entry& entry = m_entries[size_t(e)];
        const quint64 at = EntryOffset(e);
        for (int i = 0; i < entry.name.size() && i < 31; ++i)
            PutU16(&file, at + 2 * i, entry.name.at(i).unicode());
        PutU16(&file, at + 64, entry.name.isEmpty() ? 0 : quint16((entry.name.size() + 1) * 2));
        file[int(at + 66)] = char(entry.type);
        file[int(at + 67)] = char(1);
        PutU32(&file, at + 68, kNone);
        PutU32(&file, at + 72, right[size_t(e)]);
        PutU32(&file, at + 76, child[size_t(e)]);
        if (e == 0) {
            PutU32(&file, at + 116, miniStreamStart);
            PutU32(&file, at + 120, quint32(miniStream.size()));
        } else if (entry.type == 2) {
            PutU32(&file, at + 116, startOf[size_t(e)]);
            PutU32(&file, at + 120, quint32(entry.bytes.size()));
        } else {
            PutU32(&file, at + 116, kEnd);
        }
    }
    return file;
}
