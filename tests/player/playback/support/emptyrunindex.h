#pragma once
// An index of the player's own layout laid out by hand whose files hold nothing but runs of
// frames without data: each file's frame records are two-byte run words (0x8000 + frames, at
// most 0x7FFF frames a word), then its 20-byte file record with no key-frame entry; the 84-byte
// header form (2024-01-31 08:15:10, 401, 240, channel index 1) with one 16-byte entry per file
// follows, closed by its length word. A few bytes per file declare up to 65,535 frames.
#include <QByteArray>
#include <QtEndian>

inline QByteArray EmptyRunIndex(int files, int framesPerFile)
{
    auto le16 = [](QByteArray& bytes, quint16 value) {
        char word[2];
        qToLittleEndian<quint16>(value, word);
        bytes.append(word, 2);
    };
    auto le32 = [](QByteArray& bytes, quint32 value) {
        char word[4];
        qToLittleEndian<quint32>(value, word);
        bytes.append(word, 4);
    };
    QByteArray index;
    QByteArray entries;
    for (int file = 0; file < files; ++file) {
        for (int left = framesPerFile; left > 0; left -= qMin(left, 0x7FFF))
            le16(index, quint16(0x8000 + qMin(left, 0x7FFF)));
        const quint32 record = quint32(index.size());
        le32(index, 0xFFFFFFFFu);
        le32(index, 0);                      // 4: 0
        le32(index, 0);                      // 8: no data bytes
        le16(index, 20);                     // 12: record size, no key-frame entry
        le16(index, quint16(framesPerFile)); // 14: frames
        index.append(2, '\0');               // 16: last code, 0
        le16(index, 0);                      // 18: key-frame entries
        entries.append(12, '\0');
        le32(entries, record);
    }
    index += QByteArray::fromHex("ffffffff e807 01 1f 08 0f 0a 00 9101 f000 01000000");
    index.append(20, '\0'); // 20: text
    le32(index, 0);         // 40
    le32(index, quint32(files * framesPerFile));
    le32(index, quint32(files * framesPerFile));
    index.append(4, '\0'); // 52: 59.94 fields, value 0, 16-byte entries
    le32(index, 0);        // 56
    le32(index, quint32(files));
    index += entries;
    le32(index, quint32(64 + entries.size() + 4));
    return index;
}
