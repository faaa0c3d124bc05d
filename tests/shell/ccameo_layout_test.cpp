// Grid pages and everything that lays them out without a logged-in recorder: the split and page
// tables, favorites opened position by position, the layout code written by the site book's
// favorite writer, the page rotation driven tick by tick, the context-menu actions and the
// actions on the selected cell.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

// The cells laid out, read from the layout table row by row.
std::vector<int> LaidOut(const CCameo* grid)
{
    int n = 0;
    while ((n + 1) * (n + 1) <= grid->GetSplit())
        ++n;
    std::vector<int> cells;
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column)
            cells.push_back(grid->GetLayoutCell(column, row));
    }
    return cells;
}

std::vector<int> Range(std::initializer_list<std::pair<int, int>> spans)
{
    std::vector<int> cells;
    for (const auto& s : spans) {
        for (int i = s.first; i <= s.second; ++i)
            cells.push_back(i);
    }
    return cells;
}

// ---------------------------------------------------------------------------------------------
// Pages of a split

struct PageCase
{
    const char* name;
    CameoKind kind;
    int cells;
    int initialSplit;
    std::vector<std::pair<int, int>> calls; // (first, split) given to OnSplitMode in turn
    int split;
    int first;
    std::vector<int> shown; // in layout order
};

class GridPageTest : public GridTest, public ::testing::WithParamInterface<PageCase>
{};

TEST_P(GridPageTest, ShowsTheCellsOfThePage)
{
    const PageCase& c = GetParam();
    CCameo* grid = NewGrid(c.kind, c.cells, c.initialSplit);
    for (const auto& call : c.calls)
        grid->OnSplitMode(call.first, call.second, false);
    EXPECT_EQ(grid->GetSplit(), c.split);
    EXPECT_EQ(grid->GetFirstCell(), c.first);
    EXPECT_EQ(grid->GetSelectedCell(), c.first);
    EXPECT_EQ(LaidOut(grid), c.shown);
    const std::set<int> shown(c.shown.begin(), c.shown.end());
    for (int i = 0; i < c.cells; ++i) {
        const CameoCell cell = grid->GetCell(i);
        EXPECT_EQ(cell.active, shown.count(i) ? 1 : 0) << "cell " << i;
        EXPECT_EQ(cell.selected, i == c.first ? 1 : 0) << "cell " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Splits, GridPageTest,
    ::testing::Values(
        PageCase{"FirstRoundedDownToTheSplit", CameoKind::Live, 64, 16, {{10, 4}}, 4, 8, Range({{8, 11}})},
        PageCase{"SameSplitIsTheNextPage", CameoKind::Live, 64, 16, {{0, 4}, {-1, 4}}, 4, 4, Range({{4, 7}})},
        PageCase{"NextPageFromAnyCellOfAPage", CameoKind::Live, 64, 4, {{6, 4}}, 4, 8, Range({{8, 11}})},
        PageCase{"LastPageWrapsToCellZero", CameoKind::Live, 64, 16, {{60, 4}, {-1, 4}}, 4, 0, Range({{0, 3}})},
        PageCase{"Split16From40", CameoKind::Live, 64, 4, {{40, 16}}, 16, 32, Range({{32, 47}})},
        PageCase{"PartPageWrapsAroundTheCellCount",
                 CameoKind::Live,
                 64,
                 16,
                 {{62, 9}, {-1, 9}},
                 9,
                 63,
                 Range({{63, 63}, {0, 7}})},
        PageCase{
            "PlaybackSplit9SecondPage", CameoKind::Playback, 16, 9, {{-1, 9}}, 9, 9, Range({{9, 15}, {0, 1}})},
        PageCase{"PlaybackSplit9ThirdPageIsTheFirst",
                 CameoKind::Playback,
                 16,
                 9,
                 {{-1, 9}, {-1, 9}},
                 9,
                 0,
                 Range({{0, 8}})},
        PageCase{"SingleViewKeepsItsCell", CameoKind::Live, 16, 16, {{13, 1}}, 1, 13, Range({{13, 13}})},
        PageCase{"SingleViewSteps", CameoKind::Local, 16, 16, {{15, 1}, {-1, 1}}, 1, 0, Range({{0, 0}})},
        PageCase{"WholeGrid", CameoKind::Live, 64, 16, {{5, 64}}, 64, 0, Range({{0, 63}})},
        PageCase{"WholeGridAgainStaysAtZero", CameoKind::Live, 64, 64, {{-1, 64}}, 64, 0, Range({{0, 63}})},
        PageCase{"SplitLargerThanTheCellsChangesNothing", CameoKind::Local, 1, -1, {{0, 4}}, 1, 0, {0}},
        PageCase{"BadFirstCellChangesNothing", CameoKind::Live, 16, 4, {{16, 9}, {-2, 9}}, 4, 0, Range({{0, 3}})}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Favorites

// Answers the site book's name dialog with a name each time it runs modally.
class FolderAnswer
{
public:
    explicit FolderAnswer(const QString& name)
        : m_name(name)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CAddFolderDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->findChild<QLineEdit*>(QStringLiteral("edit"))->setText(m_name);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        m_timer.start(5);
    }
    void SetName(const QString& name) { m_name = name; }

private:
    QString m_name;
    QTimer m_timer;
};

class GridFavoriteTest : public GridTest
{
protected:
    // A recorder in the hub's table that is not logged in: asked to connect, it does not get
    // there before the test has looked.
    int Recorder(const QString& name) { return AddRecorder(name)->GetDeviceIndex(); }
    CModuleDevice* Device(int recorder)
    {
        return static_cast<CModuleDevice*>(hub->Sessions()->GetDevice(recorder));
    }
};

struct LayoutCase
{
    const char* name;
    int layout;
    int split;
    int first;
    int selected;
};

class GridLayoutCodeTest : public GridFavoriteTest, public ::testing::WithParamInterface<LayoutCase>
{};

TEST_P(GridLayoutCodeTest, OpensTheSplitFromTheFirstCell)
{
    const LayoutCase& c = GetParam();
    Recorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 4);
    grid->OpenFavorite(c.layout, QStringLiteral("R"), QStringLiteral("0"));
    EXPECT_EQ(grid->GetSplit(), c.split);
    EXPECT_EQ(grid->GetFirstCell(), c.first);
    EXPECT_EQ(grid->GetSelectedCell(), c.selected);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(grid->GetCell(i).selected, i == c.selected ? 1 : 0) << "cell " << i;
    EXPECT_EQ(grid->GetFavoriteCursor(), 0) << "waits for the recorder at position 0";
}

INSTANTIATE_TEST_SUITE_P(Codes, GridLayoutCodeTest,
                         ::testing::Values(LayoutCase{"Split16FromCell0", 1600, 16, 0, 0},
                                           LayoutCase{"Split4FromCell1IsPage0", 401, 4, 0, 1},
                                           LayoutCase{"Split9FromCell4IsPage0", 904, 9, 0, 4},
                                           LayoutCase{"Split9FromCell9", 909, 9, 9, 9},
                                           LayoutCase{"SameSplitAsShownIsNotTheNextPage", 400, 4, 0, 0},
                                           LayoutCase{"SingleViewOfCell63", 163, 1, 63, 63},
                                           LayoutCase{"Split64", 6400, 64, 0, 0}),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(GridFavoriteTest, BadLayoutCodesChangeNothing)
{
    const int r = Recorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->SetCameoChannel(1, r, 2);
    for (int layout : {99, 6500, 1664, -904, 0}) {
        grid->OpenFavorite(layout, QStringLiteral("R"), QStringLiteral("0"));
        EXPECT_EQ(grid->GetSplit(), 16) << layout;
        EXPECT_EQ(grid->GetFavoriteCursor(), -1) << layout;
        EXPECT_EQ(grid->GetCell(2).channel, 1) << "cells stay as they were: " << layout;
    }
    EXPECT_NE(Device(r)->GetConnectPurpose(), ConnectPurpose::Favorite);
}

TEST_F(GridFavoriteTest, PositionsAreConnectedOneAfterAnotherIntoTheirOwnCells)
{
    const int a = Recorder("A");
    const int b = Recorder("B");
    const int other = Recorder("Other");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->SetCameoChannel(3, other, 7);

    grid->OpenFavorite(1600, QStringLiteral("A;;;;;B;"), QStringLiteral("2;-1;-1;-1;-1;1;-1"));
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Favorites"));
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Network Connecting..."));
    EXPECT_EQ(hub->Messages().MessageOption(), QString());
    EXPECT_FALSE(grid->GetCell(7).IsBound()) << "the favorite closed what the grid showed";
    EXPECT_EQ(grid->GetFavoriteCursor(), 0);
    EXPECT_EQ(Device(a)->GetConnectPurpose(), ConnectPurpose::Favorite);
    EXPECT_NE(Device(b)->GetConnectPurpose(), ConnectPurpose::Favorite) << "one recorder at a time";

    // What A's session does once its login completes.
    grid->OnFavoriteNext();
    EXPECT_EQ(grid->GetCell(0).recorder, a);
    EXPECT_EQ(grid->GetCell(0).channel, 2);
    EXPECT_EQ(grid->GetFavoriteCursor(), 5);
    EXPECT_EQ(Device(b)->GetConnectPurpose(), ConnectPurpose::Favorite);
    EXPECT_EQ(hub->Messages().MessageOption(), QString());

    grid->OnFavoriteNext();
    EXPECT_EQ(grid->GetCell(5).recorder, b);
    EXPECT_EQ(grid->GetCell(5).channel, 1);
    EXPECT_EQ(grid->GetFavoriteCursor(), CCameo::kFavoritePositions);
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto")) << "the box closes by itself";
    for (int i = 0; i < 64; ++i) {
        if (i != 0 && i != 5) {
            EXPECT_FALSE(grid->GetCell(i).IsBound()) << "cell " << i;
        }
    }

    // A late call from a session places nothing more.
    grid->OnFavoriteNext();
    EXPECT_EQ(grid->GetCell(6).recorder, -1);
}

TEST_F(GridFavoriteTest, PositionsThatCannotBeOpenedAreSkipped)
{
    const int a = Recorder("A");
    const int b = Recorder("B");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    // 0: unknown recorder, 1: empty name, 2: channel -1, 3: not a channel, 4: channel 16,
    // 5: A, 6: B with no channel entry.
    grid->StartFavorite(QStringLiteral("Gone;;A;A;A;A;B"), QStringLiteral("0;3;-1;x;16;4"));
    EXPECT_EQ(grid->GetFavoriteCursor(), 5);
    EXPECT_EQ(Device(a)->GetConnectPurpose(), ConnectPurpose::Favorite);
    grid->OnFavoriteNext();
    EXPECT_EQ(grid->GetCell(5).recorder, a);
    EXPECT_EQ(grid->GetCell(5).channel, 4);
    EXPECT_NE(Device(b)->GetConnectPurpose(), ConnectPurpose::Favorite);
    EXPECT_EQ(grid->GetFavoriteCursor(), CCameo::kFavoritePositions);
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto"));
}

TEST_F(GridFavoriteTest, PositionsBeyondTheCellsAreSkipped)
{
    const int a = Recorder("A");
    CCameo* grid = NewGrid(CameoKind::Playback, 16, 4);
    QString names;
    QString channels;
    for (int i = 0; i < 20; ++i) {
        names += i == 17 ? QStringLiteral("A;") : QStringLiteral(";");
        channels += i == 17 ? QStringLiteral("0;") : QStringLiteral("-1;");
    }
    grid->StartFavorite(names, channels);
    EXPECT_EQ(grid->GetFavoriteCursor(), CCameo::kFavoritePositions);
    EXPECT_NE(Device(a)->GetConnectPurpose(), ConnectPurpose::Favorite);
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto"));
}

TEST_F(GridFavoriteTest, FavoriteWithoutAKnownRecorderLaysThePageOutAgain)
{
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->OpenFavorite(905, QStringLiteral("Nobody;Nothing"), QStringLiteral("0;1"));
    EXPECT_EQ(grid->GetFavoriteCursor(), CCameo::kFavoritePositions);
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto"));
    EXPECT_EQ(grid->GetSplit(), 9);
    EXPECT_EQ(grid->GetFirstCell(), 0) << "the same page, not the next one";
    EXPECT_EQ(grid->GetSelectedCell(), 0);
    EXPECT_EQ(LaidOut(grid), Range({{0, 8}}));
}

TEST_F(GridFavoriteTest, LastPositionFinishesTheFavorite)
{
    const int a = Recorder("A");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    QString names;
    QString channels;
    for (int i = 0; i < 64; ++i) {
        names += i == 63 ? QStringLiteral("A") : QStringLiteral(";");
        channels += i == 63 ? QStringLiteral("5") : QStringLiteral("-1;");
    }
    grid->OpenFavorite(1600, names, channels);
    EXPECT_EQ(grid->GetFavoriteCursor(), 63);
    grid->OnFavoriteNext();
    EXPECT_EQ(grid->GetCell(63).recorder, a);
    EXPECT_EQ(grid->GetCell(63).channel, 5);
    EXPECT_EQ(grid->GetFavoriteCursor(), CCameo::kFavoritePositions);
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto"));
}

// The site book's add-favorite action writes the layout code that the grid reads.
TEST_F(GridFavoriteTest, LayoutCodeRoundTripsThroughTheSiteBooksFavoriteWriter)
{
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->GetFavoritesRoot(), nullptr);
    struct Case
    {
        int split, first;
        const char* code;
        int pageFirst;
    };
    const Case cases[] = {{9, 9, "909", 9}, {9, 4, "904", 0}, {16, 0, "1600", 0}, {4, 13, "413", 12}};

    QStringList codes;
    {
        FolderAnswer answer{QString()};
        for (const Case& c : cases) {
            answer.SetName(QString::fromLatin1(c.code));
            tree->addFavorite(QStringLiteral("live"), c.split, c.first, QStringLiteral("A;"),
                              QStringLiteral("0;"));
            QTreeWidgetItem* root = tree->GetFavoritesRoot();
            ASSERT_GT(root->childCount(), 0);
            const SiteBook* record = SiteBook::FromItem(root->child(root->childCount() - 1));
            ASSERT_NE(record, nullptr);
            codes << record->cameomode;
        }
    }

    Recorder("A");
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(codes.value(i), QLatin1String(c.code));
        CCameo* grid = NewGrid(CameoKind::Live, 64, 1);
        grid->OpenFavorite(codes.value(i).toInt(), QStringLiteral("A;"), QStringLiteral("0;"));
        EXPECT_EQ(grid->GetSplit(), c.split) << c.code;
        EXPECT_EQ(grid->GetFirstCell(), c.pageFirst) << c.code;
        EXPECT_EQ(grid->GetSelectedCell(), c.first) << c.code;
        DeleteGrid(grid);
    }
}

// "Add Favorite" of a live grid stores every cell in order with the split and the selected cell,
// and opening that favorite puts each recorder channel back into its own cell.
TEST_F(GridFavoriteTest, AddFavoriteOfALiveGridOpensAgainAsItWas)
{
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_NE(tree, nullptr);
    const int a = Recorder("Alpha");
    const int b = Recorder("Bravo");
    CModuleDevice* gone = AddRecorder("Gone");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->SetCameoChannel(3, a, 0);
    grid->SetCameoChannel(0, b, 6);
    grid->SetCameoChannel(1, gone->GetDeviceIndex(), 2);
    grid->SetCameoChannel(2, a, 63);
    grid->OnSplitMode(6, 9, false);  // page 0, cell 0 selected
    grid->OnSplitMode(-1, 9, false); // next page: 9
    grid->SetCameoChannel(1, a, 10);
    DeleteRecorder(gone);
    {
        FolderAnswer answer(QStringLiteral("Lobby"));
        grid->GetAction(CCameo::ActionId::AddFavorite)->trigger();
    }
    QTreeWidgetItem* root = tree->GetFavoritesRoot();
    ASSERT_EQ(root->childCount(), 1);
    const SiteBook* record = SiteBook::FromItem(root->child(0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->name, QStringLiteral("Lobby"));
    EXPECT_EQ(record->cameomode, QStringLiteral("909"));
    const QStringList names = record->favoritesdevice.split(QLatin1Char(';'));
    const QStringList channels = record->favoriteschannel.split(QLatin1Char(';'));
    ASSERT_EQ(names.size(), 65) << "64 entries, each closed by \";\"";
    ASSERT_EQ(channels.size(), 65);
    for (int i = 0; i < 64; ++i) {
        const bool alpha = i == 0 || i == 10 || i == 63;
        const QString name = alpha ? QStringLiteral("Alpha") : i == 6 ? QStringLiteral("Bravo") : QString();
        const QString channel = i == 0    ? QStringLiteral("3")
                                : i == 10 ? QStringLiteral("1")
                                : i == 63 ? QStringLiteral("2")
                                : i == 6  ? QStringLiteral("0")
                                          : QStringLiteral("-1");
        EXPECT_EQ(names[i], name) << "position " << i;
        EXPECT_EQ(channels[i], channel) << "position " << i;
    }

    CCameo* copy = NewGrid(CameoKind::Live, 64, 4);
    copy->OpenFavorite(record->cameomode.toInt(), record->favoritesdevice, record->favoriteschannel);
    EXPECT_EQ(copy->GetSplit(), 9);
    EXPECT_EQ(copy->GetFirstCell(), 9);
    for (int step = 0; step < 4 && copy->GetFavoriteCursor() < CCameo::kFavoritePositions; ++step)
        copy->OnFavoriteNext(); // what each session does once logged in
    EXPECT_EQ(copy->GetFavoriteCursor(), CCameo::kFavoritePositions);
    for (int i = 0; i < 64; ++i) {
        const CameoCell original = grid->GetCell(i);
        const CameoCell opened = copy->GetCell(i);
        const bool known = original.recorder == a || original.recorder == b;
        EXPECT_EQ(opened.recorder, known ? original.recorder : -1) << "cell " << i;
        EXPECT_EQ(opened.channel, known ? original.channel : -1) << "cell " << i;
    }
}

TEST_F(GridFavoriteTest, AddFavoriteCancelledOrOfALocalGridStoresNothing)
{
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_NE(tree, nullptr);
    CCameo* live = NewGrid(CameoKind::Live, 64, 16);
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<CAddFolderDialog*>(QApplication::activeModalWidget()))
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    });
    canceller.start(5);
    live->newFavoriteAction();
    canceller.stop();
    CCameo* local = NewGrid(CameoKind::Local, 16, 4);
    local->newFavoriteAction(); // asks nothing: no dialog to answer
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// Page rotation

TEST_F(GridTest, SequenceActionsToggleTheRotationWithTheirPeriod)
{
    CCameo* grid = NewGrid(CameoKind::Playback, 16, 4);
    struct Case
    {
        void (CCameo::*slot)();
        int ms;
    };
    const Case cases[] = {{&CCameo::OnSequenceAction5, 5000},
                          {&CCameo::OnSequenceAction10, 10000},
                          {&CCameo::OnSequenceAction15, 15000},
                          {&CCameo::OnSequenceAction20, 20000}};
    for (const Case& c : cases) {
        (grid->*c.slot)();
        EXPECT_TRUE(grid->IsSequenceOn()) << c.ms;
        EXPECT_TRUE(grid->IsSequenceTimerActive()) << c.ms;
        EXPECT_EQ(grid->GetSequenceInterval(), c.ms);
        EXPECT_EQ(grid->GetSequenceSplit(), 4);
        (grid->*c.slot)();
        EXPECT_FALSE(grid->IsSequenceOn()) << c.ms;
        EXPECT_FALSE(grid->IsSequenceTimerActive()) << c.ms;
    }
    grid->OnSequenceAction(3000);
    EXPECT_EQ(grid->GetSequenceInterval(), 3000);
    grid->OnSequenceAction(3000);
    for (int bad : {0, -5}) {
        grid->OnSequenceAction(bad);
        EXPECT_FALSE(grid->IsSequenceOn()) << bad;
        EXPECT_FALSE(grid->IsSequenceTimerActive()) << bad;
    }
}

class GridSequenceKindTest : public GridTest, public ::testing::WithParamInterface<CameoKind>
{};

TEST_P(GridSequenceKindTest, TicksShowTheNextPagesUntilTheUserChoosesASplit)
{
    CCameo* grid = NewGrid(GetParam(), 16, 4);
    grid->OnSequenceAction5();
    for (int expected : {4, 8, 12, 0, 4}) {
        grid->OnSeqenceActionTimer();
        EXPECT_EQ(grid->GetFirstCell(), expected);
        EXPECT_EQ(LaidOut(grid), Range({{expected, expected + 3}}));
        EXPECT_TRUE(grid->IsSequenceOn());
    }
    grid->OnSplitMode(-1, 4, false); // the user's own choice, even of the same split
    EXPECT_FALSE(grid->IsSequenceOn());
    EXPECT_FALSE(grid->IsSequenceTimerActive());
    EXPECT_EQ(grid->GetFirstCell(), 8);
    grid->OnSeqenceActionTimer();
    EXPECT_EQ(grid->GetFirstCell(), 8) << "a tick after the end changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Kinds, GridSequenceKindTest, ::testing::Values(CameoKind::Playback, CameoKind::Local),
                         [](const ::testing::TestParamInfo<CameoKind>& info) {
                             return std::string(info.param == CameoKind::Playback ? "Playback" : "LocalFiles");
                         });

TEST_F(GridTest, SequenceOfALiveGridWithoutOnlineRecordersEndsAtTheFirstTick)
{
    CModuleDevice* rec = AddRecorder("Offline");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 4);
    grid->SetCameoChannel(0, rec->GetDeviceIndex(), 0);
    grid->SetCameoChannel(1, rec->GetDeviceIndex(), 9);
    grid->OnSequenceAction10();
    ASSERT_TRUE(grid->IsSequenceOn());
    grid->OnSeqenceActionTimer();
    EXPECT_FALSE(grid->IsSequenceOn());
    EXPECT_FALSE(grid->IsSequenceTimerActive());
}

// ---------------------------------------------------------------------------------------------
// Context-menu actions

TEST_F(GridTest, ActionsAreCreatedInMenuOrder)
{
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    const char* texts[] = {"View Single",
                           "View Multi",
                           "Zoom In",
                           "Zoom Out",
                           "Audio Out",
                           "OSD Setup",
                           "Freeze",
                           "Snap Shot",
                           "Close Cameo",
                           "Select Date",
                           "Museum Search",
                           "Thumbnail Search",
                           "Quick Search",
                           "View x 1/4",
                           "View x 1",
                           "View x 4",
                           "Record",
                           "Rotation start",
                           "Rotation start\t5 sec",
                           "Rotation start\t10 sec",
                           "Rotation start\t15 sec",
                           "Rotation start\t20 sec",
                           "Add Favorite",
                           "Popup Mode",
                           "MP4 Convert",
                           "UCC Control",
                           "Live Output"};
    static_assert(std::size(texts) == CCameo::kActionCount, "one text per action");
    std::set<QAction*> distinct;
    for (int i = 0; i < CCameo::kActionCount; ++i) {
        QAction* action = grid->GetAction(static_cast<CCameo::ActionId>(i));
        ASSERT_NE(action, nullptr) << i;
        EXPECT_EQ(action->text(), QLatin1String(texts[i])) << "action " << i + 1;
        EXPECT_EQ(action->parent(), grid);
        // Each runs its handler; the menu greys what does not apply to the cell it opens on.
        EXPECT_TRUE(action->isEnabled()) << "action " << i + 1;
        distinct.insert(action);
    }
    EXPECT_EQ(distinct.size(), size_t(CCameo::kActionCount));
    EXPECT_EQ(grid->GetAction(static_cast<CCameo::ActionId>(-1)), nullptr);
    EXPECT_EQ(grid->GetAction(static_cast<CCameo::ActionId>(CCameo::kActionCount)), nullptr);

    EXPECT_FALSE(grid->GetAction(CCameo::ActionId::AddFavorite)->icon().isNull()) << "an icon of the resources";
    for (CCameo::ActionId id : {CCameo::ActionId::EmapScr1, CCameo::ActionId::EmapScr2, CCameo::ActionId::EmapScr3,
                                CCameo::ActionId::Ucc, CCameo::ActionId::LiveOutput})
        EXPECT_TRUE(grid->GetAction(id)->icon().isNull()) << "action " << int(id) + 1 << " has no icon";
}

TEST_F(GridTest, SequenceActionsRunTheirSlots)
{
    CCameo* grid = NewGrid(CameoKind::Playback, 16, 4);
    struct Case
    {
        CCameo::ActionId action;
        int ms;
    };
    const Case cases[] = {{CCameo::ActionId::Sequence5, 5000},
                          {CCameo::ActionId::Sequence10, 10000},
                          {CCameo::ActionId::Sequence15, 15000},
                          {CCameo::ActionId::Sequence20, 20000}};
    for (const Case& c : cases) {
        grid->GetAction(c.action)->trigger();
        EXPECT_TRUE(grid->IsSequenceOn());
        EXPECT_EQ(grid->GetSequenceInterval(), c.ms);
        grid->GetAction(CCameo::ActionId::SequenceStop)->trigger();
        EXPECT_FALSE(grid->IsSequenceOn()) << "the stop entry ends the rotation";
    }
}

TEST_F(GridTest, PopupActionTogglesTheLiveWindowOfTheGrid)
{
    const int slot = hub->exeLiveView();
    ASSERT_GE(slot, 0);
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(slot));
    ASSERT_NE(view, nullptr);
    CCameo* grid = view->GetCameo();
    EXPECT_FALSE(hub->IsLiveViewPopup(slot));
    grid->GetAction(CCameo::ActionId::Popup)->trigger();
    EXPECT_TRUE(hub->IsLiveViewPopup(slot));
    grid->OnPopupAction();
    EXPECT_FALSE(hub->IsLiveViewPopup(slot));

    // An e-map tile has no window of its own to pop out.
    CCameo* tile = NewEmapTile();
    tile->OnPopupAction();
    EXPECT_FALSE(hub->IsLiveViewPopup(0));
}

TEST_F(GridTest, UccActionShowsTheSelectedCellAloneAndRemembersTheSplit)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->OnSplitMode(6, 4, false); // page 4..7, cell 4 selected
    grid->GetAction(CCameo::ActionId::Ucc)->trigger();
    EXPECT_EQ(grid->GetSplit(), 4) << "an unbound cell: nothing happens";

    grid->SetCameoChannel(2, rec->GetDeviceIndex(), -1);
    grid->OnUccAction();
    EXPECT_EQ(grid->GetSplit(), 1);
    EXPECT_EQ(grid->GetFirstCell(), 4);
    EXPECT_EQ(grid->GetPrevSplit(), 4);
    grid->OnUccAction();
    EXPECT_EQ(grid->GetSplit(), 1) << "already alone: no next page";
    EXPECT_EQ(grid->GetFirstCell(), 4);
    EXPECT_EQ(grid->GetPrevSplit(), 4) << "the split to return to stays";
}

TEST_F(GridTest, SelectedCellActionsLeaveUnboundAndUnknownCellsAlone)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->SetCameoChannel(1, rec->GetDeviceIndex(), 0);
    DeleteRecorder(rec); // the cell keeps an index that is no longer in the hub's table
    for (CCameo::ActionId id : {CCameo::ActionId::Record, CCameo::ActionId::LiveOutput, CCameo::ActionId::Ucc,
                                CCameo::ActionId::AviConvert})
        grid->GetAction(id)->trigger();
    EXPECT_EQ(grid->GetSplit(), 4);
    EXPECT_EQ(grid->GetSelectedCell(), 0);
}

TEST_F(GridTest, HidingAnEmapTileSignalsIt)
{
    CCameo* tile = NewEmapTile();
    tile->show();
    QSignalSpy hidden(tile, &CCameo::OnHide);
    tile->OnHideEmap();
    EXPECT_FALSE(tile->isVisible());
    EXPECT_EQ(hidden.count(), 1);
}

} // namespace
