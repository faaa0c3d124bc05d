#pragma once
// Reads an OLE2 compound file of 512-byte sectors and 64-byte mini sectors: the header, the FAT
// (through the header's 109 entries and the DIFAT chain), the mini FAT, the directory and the
// storage tree, and the bytes of a stream found by its path.
//
// Everything the file says is checked before it is used: every chain is followed with a record of
// the sectors already seen and ends in a failure when it loops, leaves its table, falls short of
// its entry's size or names a sector beyond the end of the file; the storage tree is built
// without recursion and each directory entry is taken at most once. A failure leaves the reason
// in errorString().
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "importcore/oleblockfile.h"
#include "importcore/oledirectoryentry.h"
#include "importcore/oledirectorynode.h"
#include "importcore/oleheader.h"
#include "importcore/oleresult.h"

class OleCompoundFile
{
public:
    // Streams below this size live in the mini stream. Fixed: the header's own cutoff field is not
    // trusted.
    static constexpr quint32 kMiniStreamCutoff = 4096;

    OleCompoundFile();
    ~OleCompoundFile();
    OleCompoundFile(const OleCompoundFile&) = delete;
    OleCompoundFile& operator=(const OleCompoundFile&) = delete;

    // True when the file is open and its header, tables, directory and tree are loaded.
    bool open(const QString& path, OleBlockFile::Mode mode);
    void close();
    bool isOpen() const { return m_root != nullptr; }

    // Paths are storage names separated by "\"; a leading "\" starts at the root, else at the
    // current storage. "\" alone is the root entry.
    OleResult entrySize(const QString& path, quint32* size) const;
    // The entry's whole stream, exactly its size in bytes.
    OleResult readEntry(const QString& path, QByteArray* buffer);
    // entrySize and readEntry of a name given in 8-bit characters.
    OleResult readStream(const char* name, QByteArray* bytes);
    OleResult changeDirectory(const QString& path);

    // Why the last open or read failed.
    QString errorString() const { return m_error; }

    const OleHeader& Header() const { return m_header; }
    const std::vector<quint32>& Fat() const { return m_fat; }
    const std::vector<quint32>& MiniFat() const { return m_miniFat; }
    const std::vector<OleDirectoryEntry>& Entries() const { return m_entries; }
    const OleDirectoryNode* Root() const { return m_root.get(); }
    const OleDirectoryNode* CurrentStorage() const { return m_current; }

private:
    bool Fail(const QString& reason);
    OleResult FailRead(const QString& reason);
    quint32 SectorCount() const;
    bool ReadSector(quint32 sector, QByteArray* buffer);

    bool LoadHeader();
    bool LoadFat();
    bool CollectFatSectors(std::vector<quint32>* fatSectors);
    bool LoadMiniFat();
    bool LoadDirectory();
    bool BuildTree();

    // Follows `table` from `start` until the end-of-chain mark or `limit` sectors. False (with the
    // reason kept) when the chain loops or leaves the table.
    bool FollowChain(const std::vector<quint32>& table, quint32 start, quint64 limit, std::vector<quint32>* chain,
                     const char* what);
    OleResult ReadFatStream(quint32 start, quint32 size, QByteArray* out);
    OleResult ReadMiniStream(quint32 start, quint32 size, QByteArray* out);

    // The node at the path, or null.
    const OleDirectoryNode* Find(const QString& path) const;
    // Walks storage names from `from`; null when one is missing.
    const OleDirectoryNode* WalkStorages(const OleDirectoryNode* from, const QStringList& names) const;

    OleBlockFile m_file;
    QByteArray m_sector;
    OleHeader m_header;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    std::vector<OleDirectoryEntry> m_entries;
    std::unique_ptr<OleDirectoryNode> m_root;
    const OleDirectoryNode* m_current = nullptr;
    QString m_error;
};
