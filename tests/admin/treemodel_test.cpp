#include "modeltesterwatch.h"

#include "core/treemodel.h"
#include "core/validationaccount.h"
#include "core/validationicons.h"

#include <QFile>
#include <QIcon>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
const QStringList kHeaders = {QStringLiteral("User name"), QStringLiteral("Authority"), QStringLiteral("Online"),
                              QStringLiteral("Description")};

class Tree : public ::testing::Test
{
protected:
    ~Tree() override
    {
        EXPECT_TRUE(ModelTesterWatch::Failures().isEmpty())
            << ModelTesterWatch::Failures().join('\n').toStdString();
    }
    // Adds a row under parent and fills it the way the account tree does.
    QModelIndex AddNode(ValidationAccount* account, const QString& state, const QModelIndex& parent = {})
    {
        const int row = model.rowCount(parent);
        EXPECT_TRUE(model.insertRows(row, 1, parent));
        const QModelIndex node = model.index(row, 0, parent);
        model.setData(node, account->name, Qt::DisplayRole);
        model.setData(node, QVariant::fromValue(account), Qt::UserRole);
        model.setData(model.index(row, 2, parent), state, Qt::DisplayRole);
        return node;
    }

    TreeModel model{kHeaders};
    ModelTesterWatch tester{&model};
};

TEST_F(Tree, RowsColumnsAndParents)
{
    ValidationAccount group;
    group.type = QStringLiteral("group");
    group.name = QStringLiteral("Site");
    ValidationAccount dvr;
    dvr.type = QStringLiteral("dvr");
    const QModelIndex groupIndex = AddNode(&group, QString());
    const QModelIndex dvrIndex = AddNode(&dvr, QStringLiteral("X"), groupIndex);
    EXPECT_EQ(model.parent(dvrIndex), groupIndex);
    EXPECT_FALSE(model.parent(groupIndex).isValid());
    EXPECT_EQ(model.rowCount(groupIndex), 1);
    // Only column 0 items have children.
    const QModelIndex column1 = model.index(0, 1);
    EXPECT_FALSE(model.index(0, 0, column1).isValid());
    EXPECT_EQ(model.rowCount(column1), 0);
    EXPECT_EQ(model.columnCount(groupIndex), 4);
    EXPECT_EQ(groupIndex.data().toString(), QStringLiteral("Site"));
    EXPECT_EQ(groupIndex.data(Qt::UserRole).value<ValidationAccount*>(), &group);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Online"));
    EXPECT_FALSE(model.headerData(9, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
}

TEST_F(Tree, InsertAndRemoveRangesAreCheckedBeforeAnythingIsAnnounced)
{
    QSignalSpy aboutToInsert(&model, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    EXPECT_TRUE(model.insertRows(0, 0));
    EXPECT_FALSE(model.insertRows(1, 1));
    EXPECT_FALSE(model.insertRows(-1, 1));
    EXPECT_EQ(aboutToInsert.count(), 0);
    EXPECT_TRUE(model.insertRows(0, 2));
    EXPECT_TRUE(model.insertRows(2, 1)); // one past the last child appends
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_FALSE(model.removeRows(2, 2));
    EXPECT_FALSE(model.removeRows(-1, 1));
    EXPECT_EQ(aboutToRemove.count(), 0);
    EXPECT_TRUE(model.removeRows(1, 2));
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(Tree, SetDataTakesDisplayAndUserRolesOnly)
{
    ASSERT_TRUE(model.insertRows(0, 1));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("x"), Qt::DecorationRole));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(model.setData(model.index(0, 3), QStringLiteral("note"), Qt::DisplayRole));
    EXPECT_TRUE(model.setData(model.index(0, 3), 42, Qt::UserRole));
    EXPECT_EQ(model.index(0, 3).data().toString(), QStringLiteral("note"));
    EXPECT_EQ(model.index(0, 3).data(Qt::UserRole).toInt(), 42);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(model.setHeaderData(1, Qt::Horizontal, QStringLiteral("Level"), Qt::DisplayRole));
    EXPECT_FALSE(model.setHeaderData(7, Qt::Horizontal, QStringLiteral("none"), Qt::DisplayRole));
    EXPECT_FALSE(model.setHeaderData(1, Qt::Vertical, QStringLiteral("none"), Qt::DisplayRole));
    EXPECT_FALSE(model.setHeaderData(1, Qt::Horizontal, QStringLiteral("none"), Qt::EditRole));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Level"));
}

TEST_F(Tree, RemovingEveryColumnRemovesEveryRow)
{
    ASSERT_TRUE(model.insertRows(0, 2));
    ASSERT_TRUE(model.insertRows(0, 1, model.index(0, 0)));
    EXPECT_TRUE(model.insertColumns(4, 1));
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_FALSE(model.removeColumns(3, 3));
    EXPECT_TRUE(model.removeColumns(0, 5));
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(Tree, FlagsOfNodesAndOfTheRoot)
{
    ASSERT_TRUE(model.insertRows(0, 1));
    EXPECT_TRUE(model.flags(model.index(0, 1)).testFlag(Qt::ItemIsDragEnabled));
    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
}

struct IconCase
{
    const char* type;
    int status;
    const char* state;
    const char* path;
};

class NodeIcons : public ::testing::TestWithParam<IconCase>
{};

TEST_P(NodeIcons, FollowTypeAndState)
{
    ValidationAccount account;
    account.type = QString::fromLatin1(GetParam().type);
    account.status = GetParam().status;
    EXPECT_EQ(ValidationIcons::IconPath(account, QString::fromLatin1(GetParam().state)),
              QString::fromLatin1(GetParam().path));

    TreeModel tree(kHeaders);
    ASSERT_TRUE(tree.insertRows(0, 1));
    tree.setData(tree.index(0, 0), QVariant::fromValue(&account), Qt::UserRole);
    tree.setData(tree.index(0, 2), QString::fromLatin1(GetParam().state), Qt::DisplayRole);
    const QVariant decoration = tree.index(0, 0).data(Qt::DecorationRole);
    if (*GetParam().path) {
        ASSERT_TRUE(decoration.isValid());
        EXPECT_FALSE(decoration.value<QIcon>().pixmap(16, 16).isNull());
        EXPECT_TRUE(QFile::exists(QString::fromLatin1(GetParam().path)));
    } else {
        EXPECT_FALSE(decoration.isValid());
    }
    EXPECT_FALSE(tree.index(0, 1).data(Qt::DecorationRole).isValid());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, NodeIcons, ::testing::Values(
    IconCase{"root", 0, "X", ":/res/account_root_off.PNG"},
    IconCase{"root", 0, "O", ":/res/account_root_on.PNG"},
    IconCase{"admin", 0, "X", ":/res/account_admin_off.PNG"},
    IconCase{"admin", 0, "", ":/res/account_admin_on.PNG"},
    IconCase{"super", 0, "X", ":/res/account_super_off.PNG"},
    IconCase{"super", 0, "O", ":/res/account_super_on.PNG"},
    IconCase{"normal", 0, "X", ":/res/account_normal_off.PNG"},
    IconCase{"normal", 0, "O", ":/res/account_normal_on.PNG"},
    IconCase{"dvr", 0, "X", ":/res/Resource/DVRDisable.png"},
    IconCase{"dvr", 0, "", ":/res/Resource/DVR.png"},
    IconCase{"dvr", 0, "x", ":/res/Resource/DVR.png"},
    IconCase{"group", 0, "X", ":/res/Resource/folder.png"},
    IconCase{"group", 0, "O", ":/res/Resource/folder.png"},
    IconCase{"camera", 0, "", ":/res/Resource/Camera_off.png"},
    IconCase{"camera", 9, "", ":/res/Resource/Camera_off.png"},
    IconCase{"camera", 1, "", ":/res/Resource/Camera.png"},
    IconCase{"camera", 2, "", ":/res/Resource/Camera_loss.png"},
    IconCase{"camera", 3, "", ":/res/Resource/Camera_event.png"},
    IconCase{"camera", 4, "", ":/res/hdd_off.png"},
    IconCase{"camera", 6, "", ":/res/hdd_off.png"},
    IconCase{"camera", 5, "", ":/res/hdd_on.png"},
    IconCase{"camera", 7, "", ""},
    IconCase{"camera", 8, "", ""},
    IconCase{"camera", -1, "", ""},
    IconCase{"printer", 1, "", ""}));
// clang-format on

TEST(TreeIcons, ANodeWithoutARecordShowsNoIcon)
{
    TreeModel tree(kHeaders);
    ASSERT_TRUE(tree.insertRows(0, 1));
    tree.setData(tree.index(0, 0), QStringLiteral("plain"), Qt::DisplayRole);
    EXPECT_FALSE(tree.index(0, 0).data(Qt::DecorationRole).isValid());
}
} // namespace
