// The walk over a manager's checked rows: which recorders are connected, in which order, what a
// row without a session shows, and whose reports belong to the walk.
#include <gtest/gtest.h>

#include "fakerecorderadmin.h"
#include "managers/managerrows.h"
#include "managers/recorderwalk.h"

namespace {

class RecorderWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int recorder : {21, 22, 23, 24}) {
            admin.names.insert(recorder, QStringLiteral("R%1").arg(recorder));
            rows.Add(admin.names.value(recorder), admin.RecorderAddress(recorder), recorder);
        }
    }

    QList<int> Connected() const
    {
        QList<int> out;
        for (const auto& connect : admin.connects) {
            EXPECT_EQ(connect.second, 5);
            out << connect.first;
        }
        return out;
    }

    FakeRecorderAdmin admin;
    ManagerRows rows;
    RecorderWalk walk{admin, rows, 5, QStringLiteral("Wait"), QStringLiteral("Connect fail")};
};

TEST_F(RecorderWalkTest, WalksOnlyCheckedRowsAndSkipsRecordersWithoutSession)
{
    struct Case
    {
        QList<int> checkedRows;
        QSet<int> missing;
        QList<int> connectedInOrder;
        QStringList statuses;
    };
    const Case cases[] = {
        {{0, 1, 2, 3}, {}, {21, 22, 23, 24}, {"Wait", "Wait", "Wait", "Wait"}},
        {{1, 3}, {}, {22, 24}, {"-", "Wait", "-", "Wait"}},
        {{0, 1, 2}, {22}, {21, 22, 23}, {"Wait", "Connect fail", "Wait", "-"}},
        {{0, 1}, {21, 22}, {21, 22}, {"Connect fail", "Connect fail", "-", "-"}},
        {{}, {}, {}, {"-", "-", "-", "-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "checked " << c.checkedRows.size() << ", missing " << c.missing.size());
        admin.connects.clear();
        admin.missing = c.missing;
        rows.SetAllStatus(QStringLiteral("-"));
        for (int row = 0; row < rows.Count(); ++row)
            rows.SetChecked(row, c.checkedRows.contains(row));
        int prepared = 0;
        const auto prepare = [&] { ++prepared; };
        bool going = walk.Begin(prepare);
        while (going)
            going = walk.Advance(prepare);
        EXPECT_EQ(Connected(), c.connectedInOrder);
        EXPECT_EQ(prepared, c.connectedInOrder.size()); // prepared before each connect
        QStringList statuses;
        for (int row = 0; row < rows.Count(); ++row)
            statuses << rows.At(row).status;
        EXPECT_EQ(statuses, c.statuses);
        EXPECT_EQ(walk.Current(), -1);
        EXPECT_FALSE(walk.IsActive());
    }
}

TEST_F(RecorderWalkTest, OnlyTheCurrentRecorderBelongsToTheWalk)
{
    rows.SetChecked(1, true);
    rows.SetChecked(2, true);
    EXPECT_FALSE(walk.IsCurrent(22)); // nothing is current before the walk starts
    ASSERT_TRUE(walk.Begin({}));
    EXPECT_EQ(walk.Current(), 1);
    EXPECT_TRUE(walk.IsCurrent(22));
    EXPECT_FALSE(walk.IsCurrent(23));
    walk.SetStatus(QStringLiteral("Busy"));
    EXPECT_EQ(rows.At(1).status, QStringLiteral("Busy"));
    ASSERT_TRUE(walk.Advance({}));
    EXPECT_TRUE(walk.IsCurrent(23));
    EXPECT_FALSE(walk.IsCurrent(22));
    walk.Finish();
    EXPECT_FALSE(walk.IsCurrent(23));
    walk.SetStatus(QStringLiteral("late")); // after the end no row changes
    EXPECT_EQ(rows.At(2).status, QStringLiteral("Wait"));
}

TEST_F(RecorderWalkTest, ReconnectFailsVisiblyWhenTheSessionIsGone)
{
    rows.SetChecked(0, true);
    ASSERT_TRUE(walk.Begin({}));
    EXPECT_TRUE(walk.Reconnect());
    EXPECT_EQ(Connected(), (QList<int>{21, 21}));
    admin.missing.insert(21);
    EXPECT_FALSE(walk.Reconnect());
    EXPECT_EQ(rows.At(0).status, QStringLiteral("Connect fail"));
    walk.Finish();
    EXPECT_FALSE(walk.Reconnect()); // no current row: nothing to connect
    EXPECT_EQ(admin.connects.size(), 3);
}

} // namespace
