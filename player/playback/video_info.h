#pragma once
// Writer of the player's own recordings: a data file holding the frames back to back ("x" +
// hhmmss + "." + channel) and an index beside it ("i" + the data name) made of 6-byte frame
// records, a file record with its key-frame table, and an 84-byte header last in the file whose
// final word (84) lets a reader find it from the end. Each append rewrites only the index tail
// from the file record on. Called from the live recorder's thread only.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

class Video_Info
{
public:
    static constexpr int kMaxFrames = 3000;
    // Frames are padded to an even length and stored halved; the halved length must stay below
    // 0x8000 in the record's first word, where a reader takes a larger value for a run of
    // empty frames. So 65,534 bytes is the largest frame a record can carry.
    static constexpr int kMaxFrameLength = 65534;
    // Code values 0x7F and above would read as the long-value or key-frame marks.
    static constexpr int kMaxFrameCode = 0x7E;
    static constexpr int kHeaderLength = 84;

    Video_Info() = default;

    // Appends one frame. folder ends in "/"; nameText is fourteen digits yyyymmddhhmmss and the
    // type letter; headerText goes into the header (cut at 20 bytes). 0 on success; -1 when a
    // file cannot be opened or written, the recording holds 3,000 frames, the frame is too
    // large or short, its channel is outside 1 to 16, or the index found is not one of ours.
    int WriteFrame(const QString& folder, const QString& nameText, const QByteArray& headerText, const char* frame,
                   int frameLength, int frameCode, int headerByte53, int headerFlag52);

    // Names of the two files for a name text and channel; empty when the name text is unusable.
    static QString DataFileName(const QString& nameText, int channel);
    static QString IndexFileName(const QString& nameText, int channel);
    // Channel (1 to 16 when valid) and header length (18 or 6) from the frame's word at 2..3.
    static int FrameChannel(const char* frame);
    static bool StartsGroup(const char* frame);

    QString DataPath() const { return m_dataPath; }
    QString IndexPath() const { return m_indexPath; }

private:
    QString m_dataPath;
    QString m_indexPath;
};
