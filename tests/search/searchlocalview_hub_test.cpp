// The local backup window on fake hubs: the playback grid it takes from the main window, the
// playback codes it hands that grid, and its slot, docked or given back as it closes.
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "search/searchlocalview.h"
#include "support/fakesearchhub.h"
#include "support/fakesessionhub.h"
#include "support/programdirectory.h"

namespace {

class SearchLocalViewOnFakes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programDir.Enter());
        sessions = std::make_unique<FakeSessionHub>();
        search = std::make_unique<FakeSearchHub>();
    }
    void TearDown() override
    {
        search.reset();
        sessions.reset();
        programDir.Leave();
    }

    ProgramDirectory programDir;
    std::unique_ptr<FakeSessionHub> sessions;
    std::unique_ptr<FakeSearchHub> search;
};

TEST_F(SearchLocalViewOnFakes, TakesALocalFileGridOfItsSlotAndHandsItThePlaybackCodes)
{
    SearchLocalView view(nullptr, 1);
    QWidget* grid = view.GetGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->parentWidget(), &view);
    const FakeSearchHub::Grid* record = search->GridOf(grid);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, 2) << "local files";
    EXPECT_EQ(record->ownerSlot, 1);
    for (int code : {3, 0, 7})
        view.SetPlaybackControl(code);
    EXPECT_EQ(search->GridOf(grid)->codes, QList<int>({3, 0, 7}));
}

TEST_F(SearchLocalViewOnFakes, ClosingDocksAPoppedOutWindowAndFreesTheSlotOfADockedOne)
{
    struct Case
    {
        const char* name;
        bool popup;
        bool stillOpen;
        QStringList calls;
    };
    const Case cases[] = {
        {"popped out", true, true, {QStringLiteral("dock local 0")}},
        {"docked", false, false, {QStringLiteral("delete local 0")}},
    };
    for (const Case& c : cases) {
        search->calls.clear();
        search->popupSlots = c.popup ? QList<int>{0} : QList<int>{};
        auto view = std::make_unique<SearchLocalView>(nullptr, 0);
        view->setAttribute(Qt::WA_DeleteOnClose, false);
        view->show();
        view->close();
        EXPECT_EQ(view->isVisible(), c.stillOpen) << c.name;
        if (!c.stillOpen)
            view.reset();
        EXPECT_EQ(search->calls, c.calls) << c.name;
    }
}

TEST_F(SearchLocalViewOnFakes, WithoutASearchHubThereIsNoGridAndNothingBreaks)
{
    search.reset();
    SearchLocalView view(nullptr, 0);
    EXPECT_EQ(view.GetGrid(), nullptr);
    view.SetPlaybackControl(3);
    view.resize(800, 600);
}

} // namespace
