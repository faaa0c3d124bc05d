#pragma once
// The search for the player's oldest own recording under a folder, depth first in the order the
// file system lists entries. Only the recording writer's data files count: a lower-case type
// letter "x" or "s", six time digits, a dot and three channel digits ("x080000.002"). The
// client's recordings ("h…") and audio files ("a0…", "ah…") never match, and symbolic links are
// not followed, so recycling cannot reach outside the backup folder.
#include <QString>
#include <QtGlobal>

struct OldestRecording
{
    QString folder; // with a trailing "/"; empty when nothing was found
    QString name;
    qint64 lastWrite = 0; // milliseconds since the epoch

    bool Found() const { return !name.isEmpty(); }
};

class OldestRecordingFinder
{
public:
    // True for a data file name that the recording writer makes.
    static bool IsWriterDataFile(const QString& name);
    // Searches folder (with or without its trailing "/"), updating record when an older file is
    // met; on a tie the file met first stays.
    static void FindOldestRecording(const QString& folder, OldestRecording& record);
};
