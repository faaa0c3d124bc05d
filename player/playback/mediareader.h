#pragma once
// The readers of a tile's recorded video: the index header and per-minute table, positioning by
// time, the index entry parser and its walk over empty seconds, the frame block reader with its
// key list, frame reads for both index layouts, stepping forward through a block by the frame
// budget and stepping back from key frame to key frame.
//
// Every position read from a file is checked against the file before it is used: an entry, block
// or record that reaches past the end is not read, a frame whose data lies outside its file is
// skipped, and a record chain that does not move on in its direction ends.
#include "playback/tilestate.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <vector>

class FrameHandOff;
class PlaybackHost;
struct TileState;

class MediaReader
{
public:
    MediaReader(TileState& tile, FrameHandOff& handOff, PlaybackHost& host);

    // Reads the index header into the tile's index information; false when the index cannot be
    // opened or is too short to hold an entry.
    bool LoadIndex();

    // Positions at a time text ("hhmmss" or "hh:mm:ss") through the per-minute table and reads
    // the entry there; 0 when the minute holds no data.
    int SeekToTime(const QString& timeText);
    // The nearest minute (0..1439) with data around a requested one, as the seek of the 16-byte
    // layout chooses it (the earlier minute at equal distance); -1 when none.
    static int NearestMinute(const std::vector<bool>& present, int minute);
    // The minute the seek of the 224-byte layout chooses for an absent minute: the first present
    // one after it, else the last present one before it; -1 when none.
    static int FollowingMinute(const std::vector<bool>& present, int minute);
    std::vector<bool> PresentMinutes() const;

    // Reads the entry at an index position and what it points to, walking over empty seconds in
    // the play direction; returns the read result.
    int ReadIndexEntry(qint64 position);
    // The seek of a time text as the play engine's GoToTime asks it ("240000" the day's end,
    // "000000" its start for the 16-byte layout, else the second or the nearest minute).
    void GoToTime(const QString& timeText);
    // The day's last entry with data (seek "240000") and its first ("000000").
    int ReadLastEntry();
    int ReadFirstEntry();

    // Reads the current header's frame of the block (its key frame first when needed).
    void ReadMediaFrame();
    // Hands the current 104-byte record with its payload at offset.
    void ReadClientFrame(qint64 offset, int length);
    // Reads the 104-byte record at offset.
    void ReadRecordAt(qint64 offset);

    // Forward play and step forward (singleStep: exactly one frame).
    void NextFrame(bool singleStep);
    // Step back and backward play.
    void StepBackMedia();
    // Fast play: the next or previous second (16-byte layout) or key record (224-byte layout).
    void NextSecond();
    void PreviousSecond();
    // Backward play with 104-byte records: the previous record.
    void PreviousRecord();

    // The frame budget of one block in continuous play.
    int FrameBudget() const;

private:
    int WalkEntries(qint64 position, bool backward);
    bool TakeEntry16(const QByteArray& bytes, bool backward, bool& fileMissing);
    bool ReadBlock(qint64 offset, int fileNumber);
    // The frame block of an index entry without making it the tile's block; its data file's
    // path in `path`. An empty block when it cannot be read.
    FrameBlock PeekBlock(const IndexEntry& entry, QString& path) const;
    // Decodes (without showing) the frames of a group that lie in seconds before the current
    // one: the key frame at keyOffset and every frame after it up to the current block. False
    // when the key frame's block is not found within the seconds looked back over.
    bool DecodeEarlierPartOfGroup(qint64 keyOffset);
    bool OpenBlockFile(int fileNumber, QFile& file) const;
    // Reads length bytes at offset of the current block's file into m_frame: 1 read, 0 the frame
    // lies outside the file (skipped), -1 the file cannot be opened.
    int ReadFrameData(qint64 offset, int length, int prefix = 0);
    bool Backward() const;
    void SetEnd(PlayState state);
    void Finish(int result);

    TileState& m_tile;
    FrameHandOff& m_handOff;
    PlaybackHost& m_host;
    std::vector<quint8> m_frame;
    QByteArray m_recordBytes;
    QString m_blockPath;
};
