// The account tree's rules: sibling order, cells by kind, health rows and the move check.
#include "core/treemodel.h"
#include "validation/validationtreeops.h"

#include <gtest/gtest.h>

namespace {
std::unique_ptr<ValidationAccount> Node(const char* type, int id, const char* name, const char* userId = "")
{
    auto record = std::make_unique<ValidationAccount>();
    record->type = QString::fromLatin1(type);
    record->id = id;
    record->name = QString::fromLatin1(name);
    record->user_id = QString::fromLatin1(userId);
    return record;
}

class TreeOps : public ::testing::Test
{
protected:
    QString Cell(const QModelIndex& node, int column) const
    {
        return model.index(node.row(), column, node.parent()).data().toString();
    }
    QStringList Names(const QModelIndex& parent) const
    {
        QStringList names;
        for (int row = 0; row < model.rowCount(parent); ++row)
            names << model.index(row, 0, parent).data().toString();
        return names;
    }

    TreeModel model{ValidationTreeOps::Headers()};
    ValidationTreeOps tree{model};
};

TEST_F(TreeOps, SiblingsTakeAccountsThenGroupsThenRecordersEachSorted)
{
    const QModelIndex root = tree.Insert({}, Node("admin", 1, "", "admin"));
    tree.Insert(root, Node("dvr", 10, "Zulu"));
    tree.Insert(root, Node("group", 11, "West"));
    tree.Insert(root, Node("normal", 12, "", "mia"));
    tree.Insert(root, Node("dvr", 13, "Alpha"));
    tree.Insert(root, Node("group", 14, "East"));
    tree.Insert(root, Node("super", 15, "", "bob"));
    EXPECT_EQ(Names(root), (QStringList{"bob", "mia", "East", "West", "Alpha", "Zulu"}));
}

TEST_F(TreeOps, CellsByKind)
{
    const QModelIndex root = tree.Insert({}, Node("root", 1, "Boss", "boss"));
    const QModelIndex group = tree.Insert(root, Node("group", 2, "East"));
    const QModelIndex dvr = tree.Insert(group, Node("dvr", 3, "Gate"));
    // clang-format off
    const struct { QModelIndex node; QStringList cells; } rows[] = {
        {root, {"boss", "Root User", "X", ""}},
        {group, {"East", "Group", "", ""}},
        {dvr, {"Gate", "DVR Device", "X", ""}},
    };
    // clang-format on
    for (const auto& row : rows)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(Cell(row.node, column), row.cells[column]) << column;
    tree.SetOnline(root, true);
    EXPECT_EQ(Cell(root, 2), QStringLiteral("O"));
}

TEST_F(TreeOps, HealthRowsAreMadeThenUpdatedInPlaceAndCappedAtSixteen)
{
    const QModelIndex dvr = tree.Insert({}, Node("dvr", 3, "Gate"));
    tree.HealthCheck(dvr, QStringLiteral("1025"));
    ASSERT_EQ(model.rowCount(dvr), 4);
    EXPECT_EQ(Names(dvr), (QStringList{"Camera 01", "Camera 02", "Camera 03", "HDD 01"}));
    EXPECT_EQ(Cell(model.index(1, 0, dvr), 3), QStringLiteral("Off"));
    EXPECT_EQ(Cell(model.index(2, 0, dvr), 2), QStringLiteral("-"));
    EXPECT_EQ(Cell(model.index(3, 0, dvr), 1), QStringLiteral("HDD"));
    EXPECT_EQ(Cell(dvr, 2), QStringLiteral("O"));

    tree.HealthCheck(dvr, QStringLiteral("3104"));
    ASSERT_EQ(model.rowCount(dvr), 4);
    EXPECT_EQ(Cell(model.index(0, 0, dvr), 3), QStringLiteral("Event"));
    EXPECT_EQ(Cell(model.index(3, 0, dvr), 3), QStringLiteral("Error"));

    tree.HealthCheck(dvr, QString(40, QLatin1Char('1')));
    EXPECT_EQ(model.rowCount(dvr), ValidationTreeOps::kMaxHealthRows);

    tree.SetDvrConnected(dvr, false);
    EXPECT_EQ(model.rowCount(dvr), 0);
    EXPECT_EQ(Cell(dvr, 2), QStringLiteral("X"));
}

TEST_F(TreeOps, MoveCheck)
{
    const QModelIndex root = tree.Insert({}, Node("root", 1, "", "root"));
    const QPersistentModelIndex admin = tree.Insert(root, Node("admin", 2, "", "adm"));
    const QPersistentModelIndex super = tree.Insert(root, Node("super", 3, "", "sup"));
    const QPersistentModelIndex group = tree.Insert(admin, Node("group", 4, "G"));
    const QPersistentModelIndex inner = tree.Insert(group, Node("group", 5, "H"));
    const QPersistentModelIndex dvr = tree.Insert(super, Node("dvr", 6, "D"));
    const QPersistentModelIndex admin2 = tree.Insert(root, Node("admin", 7, "", "zed"));
    // clang-format off
    const struct { QPersistentModelIndex source, target; bool allowed; } cases[] = {
        {admin2, super, false},  // an admin under a super
        {admin2, group, false},  // an admin under a group of an admin
        {group, inner, false},   // onto its own descendant
        {super, dvr, false},     // onto a recorder
        {dvr, group, true},
        {super, admin, true},
        {admin2, root, true},
        {admin, admin, false},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(tree.MoveAllowed(c.source, c.target), c.allowed)
            << c.source.data().toString().toStdString() << " -> " << c.target.data().toString().toStdString();
}

TEST_F(TreeOps, FindAndRemoveFreeTheSubtree)
{
    const QModelIndex root = tree.Insert({}, Node("admin", 1, "", "admin"));
    const QModelIndex group = tree.Insert(root, Node("group", 2, "East"));
    tree.Insert(group, Node("dvr", 3, "Gate"));
    // A recorder and an account may share an id: the searches keep them apart.
    tree.Insert(root, Node("dvr", 2, "Same id"));
    EXPECT_EQ(tree.Record(tree.FindAccount(2))->name, QStringLiteral("East"));
    EXPECT_EQ(tree.Record(tree.FindDvr(2))->name, QStringLiteral("Same id"));
    QModelIndex found;
    ASSERT_GE(tree.FindDvrFrom(QStringLiteral("gat"), 0, &found), 0);
    EXPECT_EQ(tree.Record(found)->id, 3);
    tree.Remove(tree.FindAccount(2));
    EXPECT_FALSE(tree.FindDvr(3).isValid());
    EXPECT_EQ(model.rowCount(root), 1);
}

TEST_F(TreeOps, LevelOfANewAccount)
{
    const QModelIndex root = tree.Insert({}, Node("root", 1, "", "r"));
    const QModelIndex admin = tree.Insert(root, Node("admin", 2, "", "a"));
    const QModelIndex group = tree.Insert(admin, Node("group", 3, "G"));
    const QModelIndex normal = tree.Insert(root, Node("normal", 4, "", "n"));
    EXPECT_EQ(tree.LevelForChildOf(root), 4);
    EXPECT_EQ(tree.LevelForChildOf(group), 3);
    EXPECT_EQ(tree.LevelForChildOf(normal), 0);
}
TEST_F(TreeOps, GroupByNameTakesTheNearestBelowTheNode)
{
    const QModelIndex root = tree.Insert({}, Node("admin", 1, "", "admin"));
    const QModelIndex outer = tree.Insert(root, Node("group", 2, "A"));
    const QModelIndex deep = tree.Insert(outer, Node("group", 3, "Site"));
    const QModelIndex near = tree.Insert(root, Node("group", 4, "Site"));
    tree.Insert(root, Node("dvr", 5, "Site"));
    // clang-format off
    const struct { const char* name; QModelIndex under; QString group; QModelIndex found; } cases[] = {
        {"a direct child wins over a deeper namesake", root, "Site", near},
        {"below another group", outer, "Site", deep},
        {"the name is matched whole and with its case", root, "site", QModelIndex()},
        {"a recorder of that name is no group", deep, "Site", QModelIndex()},
        {"no node", QModelIndex(), "Site", QModelIndex()},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(tree.FindGroupByName(c.under, c.group), c.found) << c.name;
}

TEST_F(TreeOps, RecorderSearchByPositionCountsEveryNodeInTreeOrder)
{
    const QModelIndex root = tree.Insert({}, Node("admin", 1, "", "admin"));     // 0
    const QModelIndex group = tree.Insert(root, Node("group", 2, "Gate house")); // 2
    tree.Insert(group, Node("dvr", 3, "Gate west"));                             // 3
    tree.Insert(root, Node("normal", 4, "", "gatekeeper"));                      // 1
    tree.Insert(root, Node("dvr", 5, "Back gate"));                              // 4
    // clang-format off
    const struct { int start; int position; int id; } cases[] = {
        {0, 3, 3}, {3, 3, 3}, {4, 4, 5}, {5, -1, 0}, {-3, 3, 3},
    };
    // clang-format on
    for (const auto& c : cases) {
        QModelIndex found;
        EXPECT_EQ(tree.FindDvrFrom(QStringLiteral("GATE"), c.start, &found), c.position) << c.start;
        EXPECT_EQ(found.isValid() ? tree.Record(found)->id : 0, c.id) << c.start;
    }
}
} // namespace
