#pragma once
// The names of a muxer's temporary files, beside its output: the probe stream
// "zent-convert-<pid>-<uuid>.264" and the output until it is whole,
// "<output name>.zent-convert-<pid>-<uuid>.part". A killed conversion cannot remove them; the
// process id in the name lets the next one tell such leftovers from the files of a conversion
// still running (in this process or another), and remove only those.
#include <QString>

#include <functional>

class MuxTempFiles
{
public:
    static constexpr const char* kMarker = "zent-convert";

    // A new tag for the files of one muxer of this process.
    MuxTempFiles();
    const QString& Tag() const { return m_tag; }
    // folder + "/" + tag + "." + extension
    QString ProbePath(const QString& folder, const QString& extension) const;
    // the output path + "." + tag + ".part"
    QString PartPath(const QString& outputPath) const;

    // Whether a process with this id exists.
    static bool ProcessExists(qint64 processId);
    // Removes from `folder` the temporaries of processes that are gone (asked of `exists`), and
    // those of older builds, named by a bare UUID ("<uuid>.264", "<output>.<uuid>.part"); user
    // files and the temporaries of running processes stay. Returns how many were removed.
    static int RemoveStale(const QString& folder,
                           const std::function<bool(qint64)>& exists = &MuxTempFiles::ProcessExists);

private:
    QString m_tag;
};
