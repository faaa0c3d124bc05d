// The job list model: one row at a time, cells with a text and an optional check box, one job
// record shared by the cells of a row, and no change for indexes that do not exist.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "backup/backupitem.h"
#include "backup/listmodel.h"

namespace {

// Indexes of cells that do not exist, as a stale view might hand them in.
class OpenListModel : public ListModel
{
public:
    using ListModel::createIndex;
};

class ListModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model.SetColumnCount(3);
        model.SetHeaderText(0, QStringLiteral("Channel"));
        model.SetHeaderText(1, QStringLiteral("Date"));
        model.SetHeaderText(2, QStringLiteral("Status"));
        model.SetColumnAlignment(1, int(Qt::AlignCenter));
    }
    OpenListModel model;
};

TEST_F(ListModelTest, NewRowShowsOneSpaceAndNoCheckBox)
{
    ASSERT_TRUE(model.insertRows(model.rowCount(), 1));
    ASSERT_EQ(model.rowCount(), 1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(model.data(model.index(0, c), Qt::DisplayRole).toString(), QStringLiteral(" "));
        EXPECT_FALSE(model.data(model.index(0, c), Qt::CheckStateRole).isValid());
    }
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
}

TEST_F(ListModelTest, CheckStateShowsAndHidesTheCheckBox)
{
    model.AppendRow();
    const QModelIndex cell = model.index(0, 0);
    const struct
    {
        int set;
        bool shown;
        int value;
    } cases[] = {{0, true, 0}, {2, true, 2}, {-1, false, 0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(model.setData(cell, c.set, Qt::CheckStateRole));
        const QVariant state = model.data(cell, Qt::CheckStateRole);
        EXPECT_EQ(state.isValid(), c.shown) << c.set;
        if (c.shown) {
            EXPECT_EQ(state.toInt(), c.value);
        }
    }
}

TEST_F(ListModelTest, InsertAndRemoveTakeOneRowWhateverTheCount)
{
    model.insertRows(0, 5);
    EXPECT_EQ(model.rowCount(), 1);
    model.insertRows(1, 5);
    EXPECT_EQ(model.rowCount(), 2);
    model.removeRows(0, 5);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ListModelTest, HeaderTextInEitherOrientation)
{
    EXPECT_EQ(model.headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("Status"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Date"));
}

TEST_F(ListModelTest, CellsOfARowShareOneJobUntilAnotherIsStored)
{
    model.AppendRow();
    model.AppendRow();
    auto* first = model.data(model.index(0, 0), Qt::UserRole).value<BackupItem*>();
    ASSERT_TRUE(first);
    for (int c = 1; c < 3; ++c)
        EXPECT_EQ(model.data(model.index(0, c), Qt::UserRole).value<BackupItem*>(), first);
    EXPECT_NE(model.data(model.index(1, 0), Qt::UserRole).value<BackupItem*>(), first);

    BackupItem own;
    ASSERT_TRUE(model.setData(model.index(0, 2), QVariant::fromValue(&own), Qt::UserRole));
    EXPECT_EQ(model.data(model.index(0, 2), Qt::UserRole).value<BackupItem*>(), &own);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::UserRole).value<BackupItem*>(), first);
}

TEST_F(ListModelTest, FlagsOfValidAndInvalidIndexes)
{
    model.AppendRow();
    EXPECT_EQ(int(model.flags(model.index(0, 1))), 37);
    EXPECT_EQ(int(model.flags(QModelIndex())), 32);
}

TEST_F(ListModelTest, ReadsOutsideTheRowsAreInvalid)
{
    model.AppendRow();
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
    EXPECT_FALSE(model.data(QModelIndex(), Qt::DisplayRole).isValid());
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::DisplayRole).isValid());
}

// A removal of a row that does not exist changes nothing and tells the views nothing.
TEST_F(ListModelTest, OutOfRangeRemovalAnnouncesNothing)
{
    model.AppendRow();
    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    for (int row : {-1, 1, 7}) {
        EXPECT_FALSE(model.removeRows(row, 1)) << row;
        EXPECT_EQ(model.rowCount(), 1) << row;
    }
    EXPECT_EQ(aboutToRemove.count(), 0);
    EXPECT_EQ(removed.count(), 0);
}

// A write past the last row, or outside the columns, is refused and creates no cell.
TEST_F(ListModelTest, SetDataPastTheEndIsRefused)
{
    model.AppendRow();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(model.setData(model.createIndex(1, 0), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_FALSE(model.setData(model.createIndex(0, 3), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_FALSE(model.setData(model.createIndex(-1, 0), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("x"), Qt::ToolTipRole));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.Text(0, 1), QStringLiteral(" "));
}

} // namespace
