// Opening handed-over paths and lists in tiles: next tile when playing, step back on failure,
// lowest visible tile, pause after a single file.
#include <QMap>

#include <gtest/gtest.h>

#include "fakeviewertiles.h"
#include "ui/handoveropener.h"

namespace {

struct Fixture
{
    FakeViewerTiles tiles;
    HandOverOpener::PlayFlags flags{};
    QMap<QString, QByteArray> files;
    int pauses = 0;
    HandOverOpener opener{tiles, flags, [this](const QString& p) { return files.value(p); },
                          [this](const QString& p) { return files.contains(p) || tiles.openable.contains(p); },
                          [this] { ++pauses; }};
};

} // namespace

TEST(PlayerHandOverOpener, OpensADataFileForAnIndexName)
{
    Fixture f;
    f.tiles.selected = {2};
    f.tiles.openable = {"D:\\bak\\x0101.3"};
    EXPECT_EQ(f.opener.Open("D:\\bak\\ix0101.3", HandOverOpener::Mode::HandOver), 0);
    EXPECT_EQ(f.tiles.opened, QStringList({"2:D:\\bak\\x0101.3"}));
    EXPECT_TRUE(f.flags[2]);
    EXPECT_EQ(f.tiles.selected, QVector<int>({2}));
    EXPECT_EQ(f.pauses, 1);
    EXPECT_EQ(f.tiles.redraws, 1);
}

TEST(PlayerHandOverOpener, NothingSelectedOpensNothing)
{
    Fixture f;
    f.tiles.selected = {};
    EXPECT_EQ(f.opener.Open("/bak/h080510.003", HandOverOpener::Mode::HandOver), 1);
    EXPECT_TRUE(f.tiles.opened.isEmpty());
}

TEST(PlayerHandOverOpener, PlayingTileWrapsAndFailureStepsBack)
{
    Fixture f;
    f.flags.fill(true);
    f.tiles.selected = {15};
    f.tiles.visibleCount = 16;
    f.tiles.openable = {"/bak/h080510.003"};
    f.opener.Open("/bak/h080510.003", HandOverOpener::Mode::HandOver);
    EXPECT_EQ(f.tiles.opened, QStringList({"0:/bak/h080510.003"}));
    EXPECT_EQ(f.tiles.selected, QVector<int>({0}));

    // A file that does not open clears the tile's flag and steps back: 0 - 1 gives 15.
    f.tiles.opened.clear();
    f.opener.Open("/bak/missing.001", HandOverOpener::Mode::HandOver);
    EXPECT_EQ(f.tiles.opened, QStringList({"1:/bak/missing.001"}));
    EXPECT_FALSE(f.flags[1]);
    EXPECT_EQ(f.tiles.selected, QVector<int>({0}));
}

TEST(PlayerHandOverOpener, InvisibleTileFallsBackToTheLowestVisible)
{
    Fixture f;
    f.flags[3] = true;
    f.tiles.selected = {3};
    f.tiles.visibleCount = 4; // tiles 0..3 visible, the file goes to 4
    f.tiles.openable = {"/bak/h1.001"};
    f.opener.Open("/bak/h1.001", HandOverOpener::Mode::HandOver);
    EXPECT_EQ(f.tiles.opened, QStringList({"4:/bak/h1.001"}));
    EXPECT_TRUE(f.flags[4]);
    EXPECT_EQ(f.tiles.selected, QVector<int>({0}));
}

TEST(PlayerHandOverOpener, ListOpensEntriesInConsecutiveTiles)
{
    Fixture f;
    f.tiles.selected = {1};
    f.tiles.visibleCount = 16;
    f.files["/bak/FILE.LST"] = "x1000 0\r\ns2000 a\r\nx9 1\r\n";
    f.tiles.openable = {"/bak/x1000.001", "/bak/s2000.a"};
    EXPECT_EQ(f.opener.Open("/bak/FILE.LST", HandOverOpener::Mode::HandOver), 0);
    // x9 has neither name on disk and is skipped.
    EXPECT_EQ(f.tiles.opened, QStringList({"1:/bak/x1000.001", "2:/bak/s2000.a"}));
    EXPECT_TRUE(f.flags[1]);
    EXPECT_TRUE(f.flags[2]);
    EXPECT_EQ(f.tiles.selected, QVector<int>({2}));
    EXPECT_EQ(f.pauses, 0);
    EXPECT_EQ(f.tiles.redraws, 1);
}

TEST(PlayerHandOverOpener, StartUpStepsBeforeTheOpenWithoutVisibilityOrPause)
{
    Fixture f;
    f.flags[3] = true;
    f.tiles.selected = {3};
    f.tiles.visibleCount = 4;
    f.tiles.openable = {"/bak/h1.001"};
    f.opener.Open("/bak/h1.001", HandOverOpener::Mode::StartUp);
    EXPECT_EQ(f.tiles.opened, QStringList({"4:/bak/h1.001"}));
    EXPECT_EQ(f.tiles.selected, QVector<int>({4}));
    EXPECT_EQ(f.pauses, 0);
}

// A list opens no more files than the tiles show: every opened entry takes the next tile, so
// later ones would only replace earlier ones. The entries after the sixteenth file are counted,
// not looked up.
TEST(PlayerHandOverOpener, ListOpensAtMostSixteenFilesAndCountsTheRest)
{
    struct Case
    {
        const char* what;
        int entries;
        int missingEvery; // every n-th entry has no file (0: none missing)
        int opened;
        int skipped;
        int lookedUp;
    };
    const Case cases[] = {
        {"three entries", 3, 0, 3, 0, 3},
        {"sixteen entries", 16, 0, 16, 0, 16},
        {"seventeen entries", 17, 0, 16, 1, 16},
        {"a megabyte of entries", 105000, 0, 16, 104984, 16},
        {"missing files are passed over", 40, 2, 16, 8, 32},
    };
    for (const Case& c : cases) {
        FakeViewerTiles tiles;
        tiles.selected = {0};
        tiles.visibleCount = 16;
        HandOverOpener::PlayFlags flags{};
        QByteArray text;
        QSet<QString> present;
        for (int i = 0; i < c.entries; ++i) {
            const QString name = QStringLiteral("x%1").arg(i, 6, 10, QLatin1Char('0'));
            text += name.toLatin1() + " 1\r\n";
            if (c.missingEvery == 0 || i % c.missingEvery != 0)
                present.insert("/bak/" + name + ".1");
        }
        tiles.openable = present;
        int lookUps = 0;
        const auto exists = [&](const QString& p) {
            ++lookUps;
            return present.contains(p);
        };
        HandOverOpener opener{tiles, flags, [&](const QString&) { return text; }, exists, [] {}};
        EXPECT_EQ(opener.Open("/bak/file.lst", HandOverOpener::Mode::HandOver), 0) << c.what;
        EXPECT_EQ(tiles.opened.size(), c.opened) << c.what;
        const ListFiles files = HandOverOpener::ListFor("/bak/file.lst", text,
                                                        [&](const QString& p) { return present.contains(p); });
        EXPECT_EQ(files.paths.size(), c.opened) << c.what;
        EXPECT_EQ(files.skipped, c.skipped) << c.what;
        // Two names are tried for an entry whose first is missing.
        EXPECT_EQ(lookUps, c.lookedUp + (c.missingEvery ? c.lookedUp / c.missingEvery : 0)) << c.what;
        EXPECT_EQ(tiles.redraws, 1) << c.what;
    }
}
