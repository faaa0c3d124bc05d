#pragma once
// The museum search's test of one frame's motion data against the area drawn on the picture.
//
// Motion data sits at byte 56 of a frame's 336-byte header slot: a head of four bytes (byte 0
// the layout version, bit 0 of byte 1 set when each row mask is 64 bits wide instead of 32,
// byte 2 the grid's columns, byte 3 its rows), then one little-endian mask per grid row, bit c
// for column c. Two layouts exist:
//  - the simple layout (the day index carries the area-search flag): a frame matches when any
//    cell of the area is set;
//  - the grid layout (version 2 and above): each set cell inside the area scores the set cells
//    of its 3 x 3 neighbourhood (clipped at the grid's edges); a small area or one touching the
//    border gets an allowance; above 18 the frame shows change, and it matches when it is the
//    first frame after a key frame or when enough of its counted cells were already set in the
//    previous frame that showed change (a moving object, not noise).
#include <QVector>
#include <QtGlobal>

enum class MuseumMatch : int {
    Match = 1,
    NoRows = 100,          // simple layout, no area
    NoCells = 101,         // simple layout, nothing set inside the area (or an empty column range)
    NoMotionData = 102,    // no motion data, or a grid layout older than version 2
    NotLikePrevious = 103, // change, but not where the previous frame had it
    FirstOfTwo = 104,      // change; remembered to compare with the next frame
    TooLittle = 105,       // a score of 18 or less
};

class MuseumMatcher
{
public:
    static constexpr int kMotionOffset = 56; // in the header slot
    static constexpr int kHeadSize = 4;
    static constexpr int kMinVersion = 2; // of the grid layout
    static constexpr int kScoreThreshold = 18;
    static constexpr int kAlikeCells = 9; // more than this many cells as in the previous frame
    static constexpr int kBorderAllowance = 4;
    static constexpr int kNarrowAllowance = 6;
    static constexpr int kMaxRows = 64;

    // A new area (cells x1 .. x2-1, y1 .. y2-1); forgets the previous frame and the counter.
    void SetArea(int gridFamily, int x1, int y1, int x2, int y2);
    void Clear();
    bool IsSet() const { return m_set; }

    // Tests one frame: `motion` points at the motion data (`size` bytes, the rest of the slot),
    // `keyFrame` = the frame is of kind 1 (restarts the frame counter); `simpleLayout` = the
    // day index carries the area-search flag.
    MuseumMatch TestFrame(const char* motion, int size, bool keyFrame, bool simpleLayout);

    int FrameCounter() const { return m_counter; }
    int GridFamily() const { return m_gridFamily; }

    // The motion data's grid and row masks; false when the data is too short or its grid
    // cannot be held.
    struct Grid
    {
        int version = 0;
        int columns = 0;
        int rows = 0;
        QVector<quint64> masks;
    };
    static bool ReadGrid(const char* motion, int size, Grid& grid);
    // Set cells in the 3 x 3 window around (column, row), clipped at the grid's edges.
    static int NeighbourCount(const QVector<quint64>& rowMasks, int columns, int column, int row);

private:
    MuseumMatch TestSimple(const Grid& grid) const;
    MuseumMatch TestGrid(const Grid& grid);

    bool m_set = false;
    int m_gridFamily = -1;
    int m_x1 = 0;
    int m_y1 = 0;
    int m_x2 = 0;
    int m_y2 = 0;
    int m_counter = -1;
    QVector<quint64> m_previous; // empty: no previous frame remembered
};
