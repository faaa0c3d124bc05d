#pragma once
// The frames of one of the player's own recordings for the AVI export, walked entry by entry:
// its index (per-file records with one entry per frame) is read whole into a table of (file,
// entry) pairs in recording order, and each entry is read from the data file and decoded by a
// decoder of the export's own, so that the tile's play state is never touched. An entry inside
// a group is decoded after the frames of its group before it; the walk goes on from the last
// decoded entry when it can. Times count fields from the recording's start (50 or 59.94 a
// second), as the tile's own reader counts them.
#include "playback/entryexportsource.h"
#include "playback/videoinfoindex.h"

#include <QFile>

#include <functional>
#include <vector>

class FrameListExportSource : public EntryExportSource
{
public:
    // Decodes one frame; the size result of the video engine, with the 32-bit picture in
    // `picture` when one was made.
    using Decoder = std::function<int(const quint8* data, int length, QImage& picture)>;

    static constexpr int kMaxEntries = 110000;
    static constexpr qint64 kMaxIndexBytes = VideoInfoIndex::kMaxIndexBytes;
    static constexpr int kMaxFrameBytes = 1240104;

    explicit FrameListExportSource(Decoder decoder);

    // Reads and checks the index; false when it cannot be read, is damaged, or holds no frame.
    // Entries beyond kMaxEntries are left out.
    bool Load(const QString& indexPath, const QString& dataPath);

    int EntryCount() const override { return int(m_entries.size()); }
    int FrameCode(int entry) const override;
    Read DecodeEntry(int entry, QImage& picture) override;
    QString DateText(int entry) const override;
    QString TimeText(int entry) const override;

    // The (file, entry) pair of a table position; {-1, -1} outside the table.
    std::pair<int, int> Pair(int entry) const;
    // The table position of a (file, entry) pair; -1 when the table does not hold it.
    int Find(int file, int frame) const;
    // hhmmss of an entry ("000000" outside the table).
    QString TimeDigits(int entry) const;
    // Frames per second of the recording from its entries' frame codes; 0 when unknown.
    int Rate() const;
    bool FiftyFields() const { return m_header.fiftyFields; }

private:
    struct Entry
    {
        int file = 0;
        int frame = 0;
        qint64 offset = 0;
        int length = 0;
        int code = 0;
        int group = -1;    // table position of its group's key frame; -1 before the file's first
        qint64 fields = 0; // fields from the recording's start
    };

    int SecondOfDay(int entry) const;
    // Reads and decodes one entry; DataError when its bytes are not in the data file.
    Read Decode(int entry, QImage* picture);

    Decoder m_decoder;
    VideoInfoHeader m_header;
    std::vector<Entry> m_entries;
    QFile m_data;
    int m_decoded = -1; // the last entry decoded, -1 none
    std::vector<quint8> m_buffer;
};
