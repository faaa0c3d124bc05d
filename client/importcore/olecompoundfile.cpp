#include "importcore/olecompoundfile.h"

#include <QStringList>
#include <limits>
#include <unordered_set>

#include "importcore/importcorelog.h"
#include "importcore/leread.h"

namespace {

constexpr quint32 kSectorSize = 512;
constexpr quint32 kMiniSectorSize = 64;
constexpr quint32 kEntriesPerSector = kSectorSize / 4;
constexpr quint32 kDifatEntriesPerSector = kEntriesPerSector - 1;
constexpr quint32 kDirectoryEntriesPerSector = kSectorSize / OleDirectoryEntry::kSize;
const QChar kSeparator = QLatin1Char('\\');

quint64 SectorsFor(quint64 bytes, quint32 sectorSize)
{
    return (bytes + sectorSize - 1) / sectorSize;
}

void AppendEntries(const QByteArray& sector, std::vector<quint32>* table)
{
    for (quint32 i = 0; i < kEntriesPerSector; ++i)
        table->push_back(leread::U32(sector, 4 * i));
}

} // namespace

OleCompoundFile::OleCompoundFile() = default;

OleCompoundFile::~OleCompoundFile() = default;

bool OleCompoundFile::Fail(const QString& reason)
{
    qCDebug(lcImportCore) << "compound file:" << reason;
    close();
    m_error = reason;
    return false;
}

OleResult OleCompoundFile::FailRead(const QString& reason)
{
    m_error = reason;
    qCDebug(lcImportCore) << "compound file:" << reason;
    return OleResult::BrokenChain;
}

bool OleCompoundFile::open(const QString& path, OleBlockFile::Mode mode)
{
    close();
    m_error.clear();
    if (!m_file.open(path, mode, &m_error))
        return Fail(m_error);
    return LoadHeader() && LoadFat() && LoadMiniFat() && LoadDirectory() && BuildTree();
}

void OleCompoundFile::close()
{
    m_current = nullptr;
    m_root.reset();
    m_entries.clear();
    m_fat.clear();
    m_miniFat.clear();
    m_header = OleHeader();
    m_file.close();
}

quint32 OleCompoundFile::SectorCount() const
{
    return m_file.BlockCount() > 0 ? m_file.BlockCount() - 1 : 0;
}

bool OleCompoundFile::ReadSector(quint32 sector, QByteArray* buffer)
{
    return sector < SectorCount() && m_file.readBlock(sector + 1, buffer);
}

bool OleCompoundFile::LoadHeader()
{
    if (m_file.FileSize() < quint32(OleHeader::kSize) || !m_file.readBlock(0, &m_sector))
        return Fail(QStringLiteral("the file is shorter than a compound file header"));
    if (!m_header.Parse(m_sector))
        return Fail(QStringLiteral("the file does not begin with the compound file signature"));
    if (m_header.sectorShift != 9)
        return Fail(
            QStringLiteral("sector shift %1 is not supported (only 512-byte sectors)").arg(m_header.sectorShift));
    if (m_header.miniSectorShift != 6)
        return Fail(QStringLiteral("mini sector shift %1 is not supported (only 64-byte mini sectors)")
                        .arg(m_header.miniSectorShift));
    m_file.SetBlockSize(m_header.SectorSize());
    return true;
}

bool OleCompoundFile::CollectFatSectors(std::vector<quint32>* fatSectors)
{
    const quint32 wanted = m_header.numFatSectors;
    for (quint32 i = 0; i < wanted && i < quint32(OleHeader::kHeaderDifatEntries); ++i)
        fatSectors->push_back(m_header.difat[i]);

    std::unordered_set<quint32> seen;
    quint32 difatSector = m_header.firstDifatSector;
    while (fatSectors->size() < wanted) {
        if (difatSector == OleHeader::kEndOfChain || difatSector == OleHeader::kFreeSector)
            return Fail(QStringLiteral("the DIFAT chain ends after %1 of %2 FAT sectors")
                            .arg(fatSectors->size())
                            .arg(wanted));
        if (!seen.insert(difatSector).second)
            return Fail(QStringLiteral("the DIFAT chain loops at sector %1").arg(difatSector));
        if (!ReadSector(difatSector, &m_sector))
            return Fail(QStringLiteral("DIFAT sector %1 lies beyond the end of the file").arg(difatSector));
        for (quint32 i = 0; i < kDifatEntriesPerSector && fatSectors->size() < wanted; ++i)
            fatSectors->push_back(leread::U32(m_sector, 4 * i));
        difatSector = leread::U32(m_sector, 4 * kDifatEntriesPerSector);
    }
    return true;
}

bool OleCompoundFile::LoadFat()
{
    // Every FAT sector is a sector of the file, so a count beyond them is a lie that must not
    // decide how much is allocated.
    if (m_header.numFatSectors > SectorCount())
        return Fail(QStringLiteral("the header names %1 FAT sectors but the file holds %2 sectors")
                        .arg(m_header.numFatSectors)
                        .arg(SectorCount()));
    std::vector<quint32> fatSectors;
    if (!CollectFatSectors(&fatSectors))
        return false;
    m_fat.reserve(fatSectors.size() * kEntriesPerSector);
    for (quint32 sector : fatSectors) {
        if (!ReadSector(sector, &m_sector))
            return Fail(QStringLiteral("FAT sector %1 lies beyond the end of the file").arg(sector));
        AppendEntries(m_sector, &m_fat);
    }
    return true;
}

bool OleCompoundFile::LoadMiniFat()
{
    std::vector<quint32> chain;
    if (!FollowChain(m_fat, m_header.firstMiniFatSector, m_header.numMiniFatSectors, &chain, "mini FAT"))
        return Fail(m_error);
    for (quint32 sector : chain) {
        if (!ReadSector(sector, &m_sector))
            return Fail(QStringLiteral("mini FAT sector %1 lies beyond the end of the file").arg(sector));
        AppendEntries(m_sector, &m_miniFat);
    }
    return true;
}

bool OleCompoundFile::LoadDirectory()
{
    std::vector<quint32> chain;
    if (!FollowChain(m_fat, m_header.firstDirectorySector, m_fat.size(), &chain, "directory"))
        return Fail(m_error);
    m_entries.reserve(chain.size() * kDirectoryEntriesPerSector);
    for (quint32 sector : chain) {
        if (!ReadSector(sector, &m_sector))
            return Fail(QStringLiteral("directory sector %1 lies beyond the end of the file").arg(sector));
        for (quint32 i = 0; i < kDirectoryEntriesPerSector; ++i) {
            OleDirectoryEntry entry;
            entry.Parse(m_sector, int(i * OleDirectoryEntry::kSize));
            m_entries.push_back(entry);
        }
    }
    return true;
}

bool OleCompoundFile::BuildTree()
{
    if (m_entries.empty() || m_entries[0].IsUnused())
        return Fail(QStringLiteral("the directory has no root entry"));
    m_root = std::make_unique<OleDirectoryNode>(nullptr, m_entries[0], 0);

    // Each entry is taken once: a sibling or child link back into the tree is a loop, not a
    // deeper tree, and a worklist instead of recursion keeps a long sibling chain off the stack.
    std::vector<bool> taken(m_entries.size(), false);
    taken[0] = true;
    std::vector<std::pair<quint32, OleDirectoryNode*>> pending{{m_entries[0].child, m_root.get()}};
    std::vector<OleDirectoryNode*> storages{m_root.get()};
    while (!pending.empty()) {
        const auto [number, parent] = pending.back();
        pending.pop_back();
        if (number == OleDirectoryEntry::kNoEntry)
            continue;
        if (number >= m_entries.size())
            return Fail(QStringLiteral("directory entry %1 lies beyond the directory of %2 entries")
                            .arg(number)
                            .arg(m_entries.size()));
        if (taken[number])
            return Fail(QStringLiteral("the directory tree loops at entry %1").arg(number));
        taken[number] = true;
        const OleDirectoryEntry& entry = m_entries[number];
        if (entry.IsUnused())
            continue;
        pending.emplace_back(entry.leftSibling, parent);
        pending.emplace_back(entry.rightSibling, parent);
        OleDirectoryNode* node = parent->AddChild(std::make_unique<OleDirectoryNode>(parent, entry, number));
        if (entry.child != OleDirectoryEntry::kNoEntry) {
            pending.emplace_back(entry.child, node);
            storages.push_back(node);
        }
    }
    for (OleDirectoryNode* storage : storages)
        storage->SortChildren();
    m_current = m_root.get();
    return true;
}

bool OleCompoundFile::FollowChain(const std::vector<quint32>& table, quint32 start, quint64 limit,
                                  std::vector<quint32>* chain, const char* what)
{
    std::unordered_set<quint32> seen;
    quint32 sector = start;
    while (chain->size() < limit && sector != OleHeader::kEndOfChain) {
        if (sector >= table.size()) {
            m_error = QStringLiteral("the %1 chain names sector %2 outside its table of %3 entries")
                          .arg(QLatin1String(what))
                          .arg(sector)
                          .arg(table.size());
            return false;
        }
        if (!seen.insert(sector).second) {
            m_error = QStringLiteral("the %1 chain loops at sector %2").arg(QLatin1String(what)).arg(sector);
            return false;
        }
        chain->push_back(sector);
        sector = table[sector];
    }
    return true;
}

OleResult OleCompoundFile::ReadFatStream(quint32 start, quint32 size, QByteArray* out)
{
    const quint64 needed = SectorsFor(size, kSectorSize);
    if (needed > SectorCount() || size > quint32(std::numeric_limits<int>::max()))
        return FailRead(QStringLiteral("a stream of %1 bytes is larger than the file").arg(size));
    std::vector<quint32> chain;
    if (!FollowChain(m_fat, start, needed, &chain, "stream"))
        return FailRead(m_error);
    if (chain.size() < needed)
        return FailRead(
            QStringLiteral("the stream's chain holds %1 of its %2 sectors").arg(chain.size()).arg(needed));
    out->resize(int(size));
    quint32 copied = 0;
    for (quint32 sector : chain) {
        if (!ReadSector(sector, &m_sector))
            return FailRead(QStringLiteral("stream sector %1 lies beyond the end of the file").arg(sector));
        const quint32 part = qMin(kSectorSize, size - copied);
        memcpy(out->data() + copied, m_sector.constData(), part);
        copied += part;
    }
    return OleResult::Ok;
}

OleResult OleCompoundFile::ReadMiniStream(quint32 start, quint32 size, QByteArray* out)
{
    QByteArray container;
    const OleDirectoryEntry& rootEntry = m_root->Entry();
    const OleResult containerRead = ReadFatStream(rootEntry.startingSector, rootEntry.size, &container);
    if (containerRead != OleResult::Ok)
        return containerRead;
    const quint64 needed = SectorsFor(size, kMiniSectorSize);
    std::vector<quint32> chain;
    if (!FollowChain(m_miniFat, start, needed, &chain, "mini stream"))
        return FailRead(m_error);
    if (chain.size() < needed)
        return FailRead(
            QStringLiteral("the mini stream chain holds %1 of its %2 sectors").arg(chain.size()).arg(needed));
    out->resize(int(size));
    quint32 copied = 0;
    for (quint32 miniSector : chain) {
        const quint32 part = qMin(kMiniSectorSize, size - copied);
        const quint64 offset = quint64(miniSector) * kMiniSectorSize;
        if (!leread::Fits(container, offset, part))
            return FailRead(QStringLiteral("mini sector %1 lies beyond the mini stream of %2 bytes")
                                .arg(miniSector)
                                .arg(container.size()));
        memcpy(out->data() + copied, container.constData() + offset, part);
        copied += part;
    }
    return OleResult::Ok;
}

const OleDirectoryNode* OleCompoundFile::WalkStorages(const OleDirectoryNode* from, const QStringList& names) const
{
    const OleDirectoryNode* node = from;
    for (const QString& name : names) {
        if (name == QLatin1String("."))
            continue;
        if (name == QLatin1String("..")) {
            if (node->Parent())
                node = node->Parent();
            continue;
        }
        node = node->ChildNamed(name);
        if (!node)
            return nullptr;
    }
    return node;
}

const OleDirectoryNode* OleCompoundFile::Find(const QString& path) const
{
    if (!m_root)
        return nullptr;
    if (path == QString(kSeparator))
        return m_root.get();
    const OleDirectoryNode* start = path.startsWith(kSeparator) ? m_root.get() : m_current;
    const int split = path.lastIndexOf(kSeparator);
    const QStringList storages = path.left(qMax(split, 0)).split(kSeparator, Qt::SkipEmptyParts);
    const OleDirectoryNode* storage = WalkStorages(start, storages);
    return storage ? storage->ChildNamed(path.mid(split + 1)) : nullptr;
}

OleResult OleCompoundFile::entrySize(const QString& path, quint32* size) const
{
    const OleDirectoryNode* node = Find(path);
    if (!node)
        return OleResult::EntryNotFound;
    *size = node->Entry().size;
    return OleResult::Ok;
}

OleResult OleCompoundFile::readEntry(const QString& path, QByteArray* buffer)
{
    const OleDirectoryNode* node = Find(path);
    if (!node)
        return OleResult::EntryNotFound;
    const OleDirectoryEntry& entry = node->Entry();
    if (node == m_root.get() || entry.size >= kMiniStreamCutoff)
        return ReadFatStream(entry.startingSector, entry.size, buffer);
    return ReadMiniStream(entry.startingSector, entry.size, buffer);
}

OleResult OleCompoundFile::readStream(const char* name, QByteArray* bytes)
{
    const QString path = QString::fromLatin1(name);
    quint32 size = 0;
    const OleResult found = entrySize(path, &size);
    if (found != OleResult::Ok)
        return found;
    return readEntry(path, bytes);
}

OleResult OleCompoundFile::changeDirectory(const QString& path)
{
    if (!m_root)
        return OleResult::StorageNotFound;
    if (path == QString(kSeparator)) {
        m_current = m_root.get();
        return OleResult::Ok;
    }
    const OleDirectoryNode* start = path.startsWith(kSeparator) ? m_root.get() : m_current;
    const OleDirectoryNode* storage = WalkStorages(start, path.split(kSeparator, Qt::SkipEmptyParts));
    if (!storage)
        return OleResult::StorageNotFound;
    m_current = storage;
    return OleResult::Ok;
}
