// The convert list model: one row per insert and remove whatever the count, check boxes only
// once set, the output name following the extension, and records that outlive their rows.
#include "backup/clistconvertmodel.h"

#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

constexpr int kRecordRole = Qt::UserRole;

ListConvertItem* Record(const CListConvertModel& model, int row)
{
    return model.data(model.index(row, 0), kRecordRole).value<ListConvertItem*>();
}

TEST(ListConvertModel, InsertsAndRemovesExactlyOneRow)
{
    CListConvertModel model;
    model.SetModelCount(4);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    EXPECT_TRUE(model.insertRows(0, 5));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(inserted.count(), 1);
    model.insertRows(1, 1);
    model.insertRows(2, 1);
    EXPECT_TRUE(model.removeRows(0, 3));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 4);
}

TEST(ListConvertModel, RemovingARowThatIsNotThereChangesNothing)
{
    CListConvertModel model;
    model.insertRows(0, 1);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    EXPECT_TRUE(model.removeRows(5, 1));
    EXPECT_TRUE(model.removeRows(-1, 1));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(removed.count(), 0);
}

TEST(ListConvertModel, FreshRowHasNoCheckBoxUntilOneIsSet)
{
    CListConvertModel model;
    model.SetModelCount(4);
    model.insertRows(0, 1);
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::CheckStateRole).isValid());
    model.setData(model.index(0, 0), 2, Qt::CheckStateRole);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), 2);
    model.setData(model.index(0, 0), 0, Qt::CheckStateRole);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), 0);
    // Other columns never have one.
    model.setData(model.index(0, 1), 2, Qt::CheckStateRole);
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::CheckStateRole).isValid());
}

TEST(ListConvertModel, ColumnsShowNumberNamesAndTheLink)
{
    CListConvertModel model;
    model.SetModelCount(4);
    model.insertRows(0, 1);
    model.setData(model.index(0, 0), 7, Qt::DisplayRole);
    model.setData(model.index(0, 1), QStringList{"/rec/", "h101010.002"}, Qt::DisplayRole);
    struct Case
    {
        int column;
        const char* text;
    };
    const Case cases[] = {{0, "7"}, {1, "h101010.002"}, {2, "h101010.002.mp4"}, {3, "Show in Folder"}, {4, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(model.data(model.index(0, c.column)).toString(), QString::fromLatin1(c.text)) << c.column;
    EXPECT_EQ(Record(model, 0)->folder, "/rec/");
    EXPECT_FALSE(model.data(model.index(1, 0)).isValid()) << "a row past the end";
}

TEST(ListConvertModel, ExtensionRenamesColumnTwoOfEveryRow)
{
    CListConvertModel model;
    model.SetModelCount(4);
    for (int i = 0; i < 3; ++i) {
        model.insertRows(i, 1);
        Record(model, i)->fileName = QStringLiteral("h00000%1.001").arg(i);
    }
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetExtension("avi");
    ASSERT_EQ(changed.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(model.data(model.index(i, 2)).toString(), QStringLiteral("h00000%1.001.avi").arg(i));
        const QModelIndex topLeft = changed[i][0].value<QModelIndex>();
        const QModelIndex bottomRight = changed[i][1].value<QModelIndex>();
        EXPECT_EQ(topLeft.row(), i);
        EXPECT_EQ(topLeft.column(), 2);
        EXPECT_EQ(bottomRight, topLeft);
    }
}

TEST(ListConvertModel, HeadersAlignmentAndFlags)
{
    CListConvertModel model;
    model.SetModelCount(4);
    model.SetHeaderText(1, "Backup File");
    model.SetColumnAlignment(1, 132);
    model.insertRows(0, 1);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Backup File");
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "Backup File");
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(), 132);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft));
    const Qt::ItemFlags flags = model.flags(model.index(0, 0));
    EXPECT_TRUE(flags & Qt::ItemIsSelectable);
    EXPECT_TRUE(flags & Qt::ItemIsEnabled);
    EXPECT_TRUE(flags & Qt::ItemIsDragEnabled);
    EXPECT_FALSE(flags & Qt::ItemIsEditable);
    EXPECT_FALSE(flags & Qt::ItemIsUserCheckable);
    EXPECT_EQ(model.flags(QModelIndex()), Qt::ItemIsEnabled);
}

TEST(ListConvertModel, RecordOutlivesItsRow)
{
    CListConvertModel model;
    model.SetModelCount(4);
    model.insertRows(0, 1);
    ListConvertItem* record = Record(model, 0);
    ASSERT_NE(record, nullptr);
    record->fileName = "h120000.001";
    model.removeRows(0, 1);
    EXPECT_EQ(record->fileName, "h120000.001");

    // A record put in place through the user role is shown; the replaced one stays valid.
    model.insertRows(0, 1);
    ListConvertItem* old = Record(model, 0);
    ASSERT_NE(old, nullptr);
    ListConvertItem mine{5, "/x/", "h230000.009"};
    EXPECT_TRUE(model.setData(model.index(0, 0), QVariant::fromValue(&mine), kRecordRole));
    EXPECT_EQ(Record(model, 0), &mine);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "5");
    old->number = 3;
    EXPECT_FALSE(model.setData(QModelIndex(), 1, Qt::CheckStateRole));
}

} // namespace
