#include "modeltesterwatch.h"

#include "core/clistmodel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
class ListModel : public ::testing::Test
{
protected:
    ListModel()
    {
        model.SetColumnCount(3);
        model.SetHeaderText(0, QStringLiteral("Date"));
    }
    ~ListModel() override
    {
        EXPECT_TRUE(ModelTesterWatch::Failures().isEmpty())
            << ModelTesterWatch::Failures().join('\n').toStdString();
    }
    CListModel model;
    ModelTesterWatch tester{&model};
};

TEST_F(ListModel, AFreshRowIsBlankBlackAndWithoutImage)
{
    ASSERT_TRUE(model.insertRows(0, 5));
    ASSERT_EQ(model.rowCount(), 1);
    for (int column = 0; column < 3; ++column) {
        const QModelIndex cell = model.index(0, column);
        EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), QStringLiteral(" "));
        EXPECT_FALSE(cell.data(Qt::DecorationRole).isValid());
        EXPECT_EQ(cell.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        EXPECT_EQ(cell.data(Qt::TextAlignmentRole).toInt(), 132);
    }
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Date"));
}

TEST_F(ListModel, RowsOutsideTheTableAreRefused)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    EXPECT_FALSE(model.insertRows(1, 1));
    EXPECT_FALSE(model.insertRows(-1, 1));
    EXPECT_FALSE(model.removeRows(0, 1));
    EXPECT_EQ(inserted.count(), 0);
    ASSERT_TRUE(model.insertRows(0, 1));
    ASSERT_TRUE(model.insertRows(1, 1)); // one past the end appends
    EXPECT_FALSE(model.removeRows(2, 1));
    EXPECT_EQ(removed.count(), 0);
    EXPECT_TRUE(model.removeRows(0, 5));
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ListModel, SetDataByRole)
{
    ASSERT_TRUE(model.insertRows(0, 1));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex cell = model.index(0, 1);
    EXPECT_TRUE(model.setData(cell, QStringLiteral("hello"), Qt::DisplayRole));
    EXPECT_EQ(cell.data().toString(), QStringLiteral("hello"));
    EXPECT_TRUE(model.setData(cell, QImage(), Qt::DecorationRole));
    EXPECT_TRUE(cell.data(Qt::DecorationRole).isValid()); // the flag is set even for a null image
    EXPECT_TRUE(model.setData(cell, QStringLiteral("not a colour"), Qt::ForegroundRole));
    EXPECT_FALSE(cell.data(Qt::ForegroundRole).value<QColor>().isValid());
    EXPECT_TRUE(model.setData(cell, QStringLiteral("x"), Qt::EditRole)); // stored nowhere, still signalled
    EXPECT_EQ(cell.data().toString(), QStringLiteral("hello"));
    EXPECT_EQ(changed.count(), 4);
    EXPECT_FALSE(model.setData(QModelIndex(), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_FALSE(model.index(0, 2).data(Qt::DecorationRole).isValid());
}

TEST_F(ListModel, ColumnCountIsCapped)
{
    CListModel wide;
    wide.SetColumnCount(500);
    EXPECT_EQ(wide.columnCount(), CListModel::kMaxColumns);
    wide.SetColumnCount(-4);
    EXPECT_EQ(wide.columnCount(), 0);
}

TEST_F(ListModel, FlagsOfCellsAndOfTheRoot)
{
    ASSERT_TRUE(model.insertRows(0, 1));
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsSelectable));
    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
}
} // namespace
