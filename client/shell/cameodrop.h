#pragma once
// What a video grid makes of something dragged onto it: which drags it takes, which handling a
// drop gets, and the payloads read back with every check a drop from an unknown source needs.
// The site-book format is offered by any Qt item view, and a file drag by any program, so every
// payload is read as untrusted: a short or malformed stream, an index outside the recorder table
// or a channel outside 0..15 refuses the drop. Widget-free.
#include <QByteArray>
#include <QString>

#include "session/sitebook.h"
#include "shell/cameokind.h"

class QMimeData;

class CameoDrop
{
public:
    static constexpr const char* kFileDragType = "application/filedrag";
    static constexpr int kMaxCells = 64;

    // The handling a drop gets, in the order the grid tries them.
    enum class Handling {
        Refused,
        SiteBookItem, // a site book record on a live or playback grid
        CellSwap,     // one of this grid's own cells
        File,         // a recording file on a local-file grid
        Archive,      // a site book archive item on a local-file grid
    };

    // What the grid is, as far as drops go.
    struct Target
    {
        CameoKind kind = CameoKind::Live;
        bool emap = false;
        QString ownCellType; // "application/cameodrag_%d" with the grid index
    };

    // Whether a drag entering or moving over the grid is taken.
    static bool Accepts(const QMimeData* data, const Target& target);
    static Handling Route(const QMimeData* data, const Target& target);

    // One site book record from the drag payload; false for a short or malformed stream, a
    // recorder index other than -1 or 0..9998, or a channel other than -1 or 0..15.
    static bool ReadRecord(const QByteArray& payload, SiteBook* record);

    // A file drag: the full path and then the file name, as two strings of a data stream. The
    // folder is the path without as many characters at its end as the name has; false when the
    // stream is malformed, the name is empty or longer than the path.
    static bool ReadFileDrag(const QByteArray& payload, QString* folder, QString* file);
    // The folder of a recording from its full path and its name, as the file drop derives it;
    // false when the name is empty or longer than the path.
    static bool FolderOf(const QString& path, const QString& name, QString* folder);

    // A favorite's layout code (split x 100 + first cell); false unless the split is one the grid
    // lays out (1, 4, 9, 13, 16, 25, 36, 49, 64) and the first cell is one of the 64.
    static bool ReadLayout(const QString& cameomode, int* split, int* first);
    // A search favorite's "date;time" (YYYYMMDD;HHMMSS); false unless both are a real date and
    // a real time of day.
    static bool ReadSearchTime(const QString& favoriteschannel, int* date, int* time);
};
