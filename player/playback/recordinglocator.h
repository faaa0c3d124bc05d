#pragma once
// Classifies a recording file that a tile is asked to open and derives its data, index and audio
// paths: client recording files ("h..." data, "ih..." index), recorder backup media index files
// ("intra_idx.NNN", "hd_idx.NNN") and their stream files ("stream_000.NNN[_hd]", found through
// the day list). Names compare without regard to case; paths use "/" and are cleaned, so "..\"
// of the recorder's layout becomes the parent folder.
#include "playback/recordermedia.h"

#include <QString>

enum class RecordingKind {
    None,          // refused
    ClientFile,    // client recording layout
    RecorderMedia, // recorder backup media, standard stream
    RecorderMediaHd,
    FrameList // the player's own recordings, read through their frame lists
};

enum class AudioKind {
    None = 0,
    ChannelFiles = 5, // 224-byte layout media: audio inside the channels' own data
    MediaStream = 6,  // recorder media: audio blocks in the ".000" stream
    ClientAh = 7,
    ClientAh000 = 8,
    ClientA0 = 9,
    ClientA1 = 16,
    ClientA2 = 17,
    ClientA3 = 18
};

struct RecordingPaths
{
    RecordingKind kind = RecordingKind::None;
    bool silent = false; // refused without a message (no day list beside a stream file)
    QString error;       // why it was refused, for the log and the caller's message
    QString folder;      // the folder holding the index (the day folder for recorder media)
    QString name;        // the name after classification (index name for recorder media)
    QString dataPath;
    QString indexPath;
    int channel = -1; // 0-based
    bool owner = false;
    DvrInfo info;
    QString cameraTitle;

    bool IndexBased() const { return kind == RecordingKind::ClientFile || IsRecorderMedia(); }
    bool IsRecorderMedia() const
    {
        return kind == RecordingKind::RecorderMedia || kind == RecordingKind::RecorderMediaHd;
    }
};

struct AudioSource
{
    AudioKind kind = AudioKind::None;
    QString path;
    QString indexPath;   // recorder media: the audio stream's index
    int startSecond = 0; // client files: the recording's start second (from the data name)
};

class RecordingLocator
{
public:
    // folder: the folder of the opened file; name: its file name without folder.
    static RecordingPaths Locate(const QString& folder, const QString& name);

    // The audio that belongs to an opened recording, by its layout; kind None when there is none.
    static AudioSource ChooseAudio(const RecordingPaths& paths, bool layout512);

    // Case-insensitive byte comparison of two file names, for sorting.
    static int CompareNames(const QString& a, const QString& b);

    // Start second of the day of a client data name's tail (hhmmss, dot, channel); 0 when none.
    static int StartSecondOfTail(const QString& tail);

private:
    static QString Join(const QString& folder, const QString& relative);
};
