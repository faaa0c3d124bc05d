#pragma once
// The walk from one 16-byte entry of a 512-byte index to the block of frame headers it points
// at, shared by the readers that pick frames out of a recording a second at a time (the slider
// previews and the export). Every offset and length from the files is checked before use.
#include "playback/frameblock.h"
#include "playback/indexlayout.h"
#include "playback/recordinglocator.h"

#include <QByteArray>
#include <QFile>

class SecondBlock
{
public:
    enum class Outcome {
        Read,      // the entry has data and its block was read (it may hold no frame)
        NoData,    // the entry is empty or lies outside the index
        Unreadable // the data file is missing or the entry points outside it
    };

    // Size bytes at pos, or nothing when the file does not hold them all.
    static QByteArray ReadAt(QFile& file, qint64 pos, qint64 size);

    // The data file a block lies in: recorder media by the entry's file number (three-digit
    // stream name first, then six), any other recording its own data file.
    static bool OpenBlockFile(const RecordingPaths& paths, int fileNumber, QFile& file);

    // Reads the entry at pos of the open index and, when it has data, the block it points at.
    // On Read, data is left open on the block's file for reading the frames.
    Outcome Read(const RecordingPaths& paths, QFile& index, qint64 pos, QFile& data);

    const IndexEntry& Entry() const { return m_entry; }
    const FrameBlock& Block() const { return m_block; }

private:
    IndexEntry m_entry;
    FrameBlock m_block;
};
