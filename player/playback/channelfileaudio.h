#pragma once
// The audio of one second in recorder media of the 224-byte index layout, where the frame records
// of a channel's data file carry four audio channels after their video payload: a record whose
// length word is above 0xFFFFF holds 4 x 512 bytes of mu-law behind its payload, audio channel c
// at (3 - c) x 512. The minute's first index entry with data leads into the record chain, which
// is followed to the second and read while it lasts; the pieces are put in the order of their
// times within the second.
//
// The chain is followed only forwards (a next offset that does not grow ends it), never further
// than the file, and never through more records than a minute can hold.
#include <QByteArray>
#include <QString>

class ChannelFileAudio
{
public:
    static constexpr int kPiece = 512;
    static constexpr int kMaxRecords = 60 * 64;

    // The data file offset of the first record of the second's minute, -1 when none.
    static qint64 MinuteStart(const QString& indexPath, const QString& dataPath, int secondOfDay);
    // The second's audio of audioChannel 0..3 from the chain starting at offset; empty when none.
    static QByteArray CollectSecond(const QString& dataPath, qint64 offset, int secondOfDay, int audioChannel);
};
