#pragma once
// What the export needs of a recording it walks frame entry by frame entry (the player's own
// recordings, which have no per-second index): the entries in order, each one's frame code,
// its decoded picture and the date and time it was recorded. Tests give a fake.
#include <QImage>
#include <QString>

class EntryExportSource
{
public:
    enum class Read {
        Picture,   // the entry's picture was decoded
        NoPicture, // nothing to show (no data, no key frame before it, or a failed decode)
        DataError, // the data file does not hold the entry's bytes
    };

    virtual ~EntryExportSource() = default;
    virtual int EntryCount() const = 0;
    // The entry's frame code: the time since the frame before it, in field ticks.
    virtual int FrameCode(int entry) const = 0;
    // Decodes the entry, the frames of its group before it first when they were not decoded
    // just before.
    virtual Read DecodeEntry(int entry, QImage& picture) = 0;
    // Date as month/day/year and time as hh:mm:ss of the entry, for the on-screen lines.
    virtual QString DateText(int entry) const = 0;
    virtual QString TimeText(int entry) const = 0;
};
