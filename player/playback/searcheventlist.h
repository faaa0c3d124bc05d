#pragma once
// The event list reply of the recorder search face: text lines, each a time followed by the
// channels it concerns ("0".."9" for channels 0 to 9, "A".."F" in either case for 10 to 15).
// The lines that name a channel give that channel's event text: their leading time characters.
#include <QByteArray>
#include <QString>

class SearchEventList
{
public:
    static constexpr int kMaxLines = 4096;

    // The event text of `channel` (0..15): one line per event with its time characters.
    static QString OnEventList(const QByteArray& text, int channel);
};
