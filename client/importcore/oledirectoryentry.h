#pragma once
// One 128-byte entry of a compound file's directory: a storage, a stream or the root, with its
// place in the red-black sibling tree, its first sector and its size.
#include <QByteArray>
#include <QString>
#include <array>

class OleDirectoryEntry
{
public:
    static constexpr int kSize = 128;
    static constexpr quint32 kNoEntry = 0xFFFFFFFFu;
    enum class Type : quint8 {
        Unknown = 0,
        Storage = 1,
        Stream = 2,
        Root = 5,
    };

    // Takes the entry from `bytes` at `offset` (bytes missing read as zeros).
    void Parse(const QByteArray& bytes, int offset);

    // The name up to its first zero unit (at most 32 units); empty for an unused entry.
    QString Name() const;
    bool IsUnused() const { return name[0] == 0; }

    std::array<char16_t, 32> name{};
    quint16 nameLength = 0;
    quint8 type = quint8(Type::Storage);
    quint8 colour = 1;
    quint32 leftSibling = kNoEntry;
    quint32 rightSibling = kNoEntry;
    quint32 child = kNoEntry;
    std::array<quint8, 16> classId{};
    quint32 stateBits = 0;
    quint64 creationTime = 0;
    quint64 modificationTime = 0;
    quint32 startingSector = 0xFFFFFFFEu;
    quint32 size = 0;
};
