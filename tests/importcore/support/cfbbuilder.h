#pragma once
// Lays out a compound file of 512-byte sectors by hand, field by field as the container format
// defines it: header, DIFAT sectors, FAT, directory, mini FAT, mini stream, then the large streams.
// The layout is kept so that a test can break one field of a good file and see the reader refuse it.
#include <QByteArray>
#include <QString>
#include <vector>

class CfbBuilder
{
public:
    static constexpr quint32 kEnd = 0xFFFFFFFEu;
    static constexpr quint32 kFree = 0xFFFFFFFFu;
    static constexpr quint32 kFatMark = 0xFFFFFFFDu;
    static constexpr quint32 kDifatMark = 0xFFFFFFFCu;
    static constexpr quint32 kNone = 0xFFFFFFFFu;

    // Adds a stream (or storage) under `parent` (0: the root); returns its entry number.
    int AddStream(const QString& name, const QByteArray& bytes, int parent = 0);
    int AddStorage(const QString& name, int parent = 0);
    // Leaves a directory entry unused (empty name) at the next entry number.
    void AddUnusedEntry();

    QByteArray Build();

    // Where things went in the last Build.
    static quint64 SectorOffset(quint32 sector) { return 512ull * (sector + 1); }
    static quint64 EntryOffsetIn(quint32 directorySector, int slot)
    {
        return SectorOffset(directorySector) + 128ull * slot;
    }
    quint32 firstDifatSector = kEnd;
    quint32 difatSectors = 0;
    quint32 firstFatSector = 0;
    quint32 fatSectors = 0;
    quint32 firstDirectorySector = 0;
    quint32 directorySectors = 0;
    quint32 firstMiniFatSector = kEnd;
    quint32 miniFatSectors = 0;
    quint32 miniStreamStart = kEnd;
    // Per entry: its starting sector (mini sector for small streams).
    std::vector<quint32> startOf;
    // The byte offset of an entry's 128 bytes.
    quint64 EntryOffset(int entry) const;
    // The byte offset of FAT entry n.
    quint64 FatEntryOffset(quint32 n) const;

    static void PutU16(QByteArray* bytes, quint64 offset, quint16 value);
    static void PutU32(QByteArray* bytes, quint64 offset, quint32 value);

private:
    struct Entry
    {
        QString name;
        quint8 type = 0;
        int parent = -1;
        QByteArray bytes;
    };
    std::vector<Entry> m_entries{{QStringLiteral("Root Entry"), 5, -1, {}}};
    std::vector<quint32> m_fatSectorNumbers;
};
