#pragma once
// The recorder backup media layout: the day list naming the day folder, the owner marker, the
// recorder information file, packed data file numbers and the names of the stream files, and the
// byte order of stored words.
//
//   <root>/day.lst                 eight ASCII digits yyyymmdd: the day folder's name
//   <root>/.owner                  present: every channel's data is in the ".001" stream files
//   <root>/yyyymmdd/intra_idx.NNN  index of channel NNN (".000": audio), hd_idx.NNN high resolution
//   <root>/yyyymmdd/DvrInfo.ini    [DVR_INFO] NAME, IP, CAM00..CAM15
//   <root>/stream/stream_000.NNN   first data file of a channel ("_hd" appended for hd_idx)
//   <root>/stream/stream_%03d.NNN  further data files by file number, else stream_%06d.NNN
#include <QString>
#include <QtGlobal>

// What DvrInfo.ini says of the recorder and one channel; empty values when missing.
struct DvrInfo
{
    QString name;
    QString address;
    QString cameraTitle; // the channel's own title; CameraTitleOrDefault gives the shown one
};

class RecorderMedia
{
public:
    // Values were read into 255-character buffers: longer ones are cut there.
    static constexpr int kMaxInfoValue = 254;
    static constexpr const char* kEmptyValue = "@@@";

    // The day folder's name from "day.lst" in the folder: exactly eight ASCII digits, else
    // empty (a name that is not a date never becomes part of a path).
    static QString ReadDayList(const QString& dayListPath);

    // True when ".owner" can be opened at the path.
    static bool HasOwnerMarker(const QString& ownerPath);

    // Reads [DVR_INFO] of the file (channel 0-based); missing file or keys give empty values.
    static DvrInfo ReadDvrInfo(const QString& iniPath, int channel);
    // The title shown for a channel: the recorder's title, else "CAM-%02d" counted from 1.
    static QString CameraTitleOrDefault(const DvrInfo& info, int channel);

    // Data file number of an index entry's packed word: bits 8..22 shifted up by five, with
    // bits 24..28 as the five low bits.
    static int UnpackFileNumber(quint32 packed);

    // Names of a numbered stream file of the same channel as streamName ("stream_000.005" or
    // "stream_000.005_hd"); suffix is what follows the number ("." and the channel, "_hd" kept).
    static QString StreamName3(int fileNumber, const QString& suffix);
    static QString StreamName6(int fileNumber, const QString& suffix);
};

// Reverses the four bytes of every 32-bit word of the buffer in place; the length is rounded up
// to whole words but never beyond capacity (the buffer's size in bytes). Length 0 or less does
// nothing.
void SwapDwordBytes(quint8* buffer, int length, int capacity);
