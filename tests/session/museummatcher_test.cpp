// The museum search's motion test, on motion data written byte by byte: a four-byte head
// (version, mask width flag, columns, rows) and one little-endian mask per row.
#include "session/museummatcher.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QVector>

namespace {

// Motion data of a grid with 32-bit rows: `rows` masks, each given as hex of its 4 bytes.
QByteArray Motion32(int version, int columns, const QVector<const char*>& rowHex)
{
    QByteArray m;
    m.append(char(version));
    m.append(char(0));
    m.append(char(columns));
    m.append(char(rowHex.size()));
    for (const char* hex : rowHex)
        m.append(QByteArray::fromHex(hex));
    m.append(QByteArray(280 - m.size(), '\0'));
    return m;
}

// An 8 x 6 grid with the 3 x 3 block of columns 2..4, rows 1..3 set (bits 2, 3, 4 = 0x1c).
QByteArray Block3x3(int version = 2)
{
    return Motion32(version, 8, {"00000000", "1c000000", "1c000000", "1c000000", "00000000", "00000000"});
}

} // namespace

TEST(MuseumMatcher, ReadsTheGridOf32And64BitRows)
{
    MuseumMatcher::Grid grid;
    const QByteArray narrow = Block3x3();
    ASSERT_TRUE(MuseumMatcher::ReadGrid(narrow.constData(), narrow.size(), grid));
    EXPECT_EQ(grid.version, 2);
    EXPECT_EQ(grid.columns, 8);
    EXPECT_EQ(grid.rows, 6);
    EXPECT_EQ(grid.masks.value(1), 0x1cu);

    // 45 columns need 64-bit rows: column 40 is bit 8 of the sixth byte.
    QByteArray wide = QByteArray::fromHex("02012d02"
                                          "0000000000010000"
                                          "0000000000000000");
    ASSERT_TRUE(MuseumMatcher::ReadGrid(wide.constData(), wide.size(), grid));
    EXPECT_EQ(grid.columns, 45);
    EXPECT_EQ(grid.masks.value(0), quint64(1) << 40);

    // Rows that do not fit in the data, or no rows at all, are no grid.
    const QByteArray shortData = QByteArray::fromHex("0200081e00000000");
    EXPECT_FALSE(MuseumMatcher::ReadGrid(shortData.constData(), shortData.size(), grid));
    const QByteArray noRows = QByteArray::fromHex("0200080000000000");
    EXPECT_FALSE(MuseumMatcher::ReadGrid(noRows.constData(), noRows.size(), grid));
    EXPECT_FALSE(MuseumMatcher::ReadGrid(nullptr, 100, grid));
}

TEST(MuseumMatcher, NeighbourCountIsClippedAtTheEdges)
{
    // Every cell of a 4 x 3 grid set.
    const QVector<quint64> full{0xf, 0xf, 0xf};
    struct Case
    {
        int column, row, expected;
    } cases[] = {
        {0, 0, 4}, // corner: 2 x 2
        {1, 0, 6}, // top edge: 3 x 2
        {1, 1, 9}, // inside
        {3, 2, 4}, // far corner
        {3, 1, 6}, // right edge; column 4 is past the grid
    };
    for (const Case& c : cases)
        EXPECT_EQ(MuseumMatcher::NeighbourCount(full, 4, c.column, c.row), c.expected) << c.column << "," << c.row;
}

TEST(MuseumMatcher, GridLayoutScoresAndComparesWithThePreviousFrame)
{
    MuseumMatcher m;
    m.SetArea(0, 2, 1, 5, 4); // exactly the set block, away from the borders
    const QByteArray block = Block3x3();
    // The block scores 4 corners x 4 + 4 edges x 6 + 9 = 49: change. The first frame after a key
    // frame (counter 1) matches at once.
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), true, false), MuseumMatch::FirstOfTwo)
        << "a key frame (counter 0) is remembered";
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), false, false), MuseumMatch::Match) << "counter 1";
    // Later frames match when more than 9 of their counted cells were set before: 9 are not enough.
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), false, false), MuseumMatch::NotLikePrevious);

    // Change elsewhere in the grid scores nothing inside the area and forgets the previous frame.
    const QByteArray elsewhere = Motion32(
        2, 8, {"03000000", "03000000", "00000000", "00000000", "00000000", "00000000"});
    EXPECT_EQ(m.TestFrame(elsewhere.constData(), elsewhere.size(), false, false), MuseumMatch::TooLittle);
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), false, false), MuseumMatch::FirstOfTwo);
}

TEST(MuseumMatcher, ManyAlikeCellsMatchAgainstThePreviousFrame)
{
    // A 4 x 4 block (16 cells) set in two frames in a row, neither right after a key frame.
    const QByteArray block = Motion32(2, 8,
                                      {"00000000", "3c000000", "3c000000", "3c000000", "3c000000", "00000000"});
    MuseumMatcher m;
    m.SetArea(0, 1, 1, 7, 5);
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), true, false), MuseumMatch::FirstOfTwo);
    m.TestFrame(block.constData(), block.size(), false, false); // counter 1
    EXPECT_EQ(m.TestFrame(block.constData(), block.size(), false, false), MuseumMatch::Match)
        << "16 cells as in the remembered frame";
}

TEST(MuseumMatcher, SmallAreasAndTheBorderGetAnAllowance)
{
    // One set cell with its two neighbours in a row: score 2 + 3 + 2 = 7 for a row of three.
    const QByteArray row = Motion32(2, 8,
                                    {"0e000000", "00000000", "00000000", "00000000", "00000000", "00000000"});
    struct Case
    {
        const char* what;
        int x1, y1, x2, y2;
        MuseumMatch expected;
    } cases[] = {
        // 7 + 4 (top border) + 6 (one row high) = 17: too little.
        {"narrow at the border", 0, 0, 8, 1, MuseumMatch::TooLittle},
        // Cells (1..3, 0) counted alone score 7 + 4 = 11 with an area 3 rows high.
        {"border only", 1, 0, 4, 3, MuseumMatch::TooLittle},
    };
    for (const Case& c : cases) {
        MuseumMatcher m;
        m.SetArea(0, c.x1, c.y1, c.x2, c.y2);
        m.TestFrame(row.constData(), row.size(), true, false);
        EXPECT_EQ(m.TestFrame(row.constData(), row.size(), false, false), c.expected) << c.what;
    }
    // A full row of eight scores 2 + 6 x 3 + 2 = 22, over the threshold even without allowance.
    const QByteArray full = Motion32(2, 8,
                                     {"ff000000", "00000000", "00000000", "00000000", "00000000", "00000000"});
    MuseumMatcher m;
    m.SetArea(0, 0, 0, 8, 1);
    m.TestFrame(full.constData(), full.size(), true, false);
    EXPECT_EQ(m.TestFrame(full.constData(), full.size(), false, false), MuseumMatch::Match);
}

TEST(MuseumMatcher, SimpleLayoutTakesAnySetCellOfTheArea)
{
    const QByteArray block = Block3x3(1);
    struct Case
    {
        const char* what;
        int x1, y1, x2, y2;
        MuseumMatch expected;
    } cases[] = {
        {"one cell of the block", 4, 3, 5, 4, MuseumMatch::Match},
        {"beside the block", 5, 1, 8, 4, MuseumMatch::NoCells},
        {"no column", 3, 1, 3, 4, MuseumMatch::NoCells},
        {"no row", 0, -1, 8, 6, MuseumMatch::NoRows},
        {"past the grid", 6, 4, 60, 60, MuseumMatch::NoCells},
    };
    for (const Case& c : cases) {
        MuseumMatcher m;
        m.SetArea(0, c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(m.TestFrame(block.constData(), block.size(), false, true), c.expected) << c.what;
    }
}

TEST(MuseumMatcher, OldOrMissingMotionDataIsNoMatch)
{
    MuseumMatcher m;
    m.SetArea(0, 2, 1, 5, 4);
    const QByteArray old = Block3x3(1);
    EXPECT_EQ(m.TestFrame(old.constData(), old.size(), false, false), MuseumMatch::NoMotionData);
    EXPECT_EQ(m.TestFrame(nullptr, 0, false, false), MuseumMatch::NoMotionData);
}
