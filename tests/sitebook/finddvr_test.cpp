// "Find DVR": the order of hits and the dialog.
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <set>

#include "sitebook/cfinddvrdialog.h"
#include "sitebook/findorder.h"
#include "sitebook/support/sitebook_treefixture.h"

TEST(FindOrderTest, WalksFromStartThenWrapsBeforeTheLastHit)
{
    const std::set<int> names{2, 5, 8};
    const auto matches = [&names](int slot) { return names.count(slot) > 0; };
    struct Case
    {
        int start;
        int lastFound;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 2},  // first press
        {3, 3, 5},  // after the hit at 2
        {9, 9, 2},  // after the last one: from the beginning again
        {9, 0, -1}, // nothing after the start and no earlier hit to wrap to
        {9, 2, -1}, // the wrap stops before the slot after the last hit
        {9, 3, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOrder::Next(c.start, c.lastFound, 10, matches), c.expected)
            << "start " << c.start << " last " << c.lastFound;
}

namespace {
class FindDvrTest : public SiteBookTreeTest
{
protected:
    // Opens the root's menu so that "Find DVR" searches everywhere, or a folder's.
    void ScopeAt(QTreeWidgetItem* item)
    {
        tree->show();
        if (item)
            tree->scrollToItem(item);
        const QPoint point = item ? tree->visualItemRect(item).center()
                                  : QPoint(5, tree->viewport()->height() - 2);
        tree->PrepareContextMenu(point);
        tree->SetLastFoundIndex(0);
    }
    QTreeWidgetItem* Selected() const
    {
        const QList<QTreeWidgetItem*> items = tree->selectedItems();
        return items.size() == 1 ? items.first() : nullptr;
    }
};
} // namespace

TEST_F(FindDvrTest, TwoOfOneNameComeInSlotOrderAndWrap)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("North"));
    CModuleDevice* first = AddRecorder(QStringLiteral("Gate"), folder);
    AddRecorder(QStringLiteral("Yard"), folder);
    CModuleDevice* second = AddRecorder(QStringLiteral("Gate"), folder);
    ASSERT_LT(first->GetDeviceIndex(), second->GetDeviceIndex());
    folder->setExpanded(false);

    ScopeAt(folder);
    EXPECT_EQ(tree->findDvr(tree->LastFoundIndex(), QStringLiteral("Gate"), false), first->GetDeviceIndex());
    EXPECT_EQ(Selected(), first);
    EXPECT_TRUE(folder->isExpanded()) << "the hit's folders open";
    EXPECT_EQ(tree->findDvr(tree->LastFoundIndex(), QStringLiteral("Gate"), false), second->GetDeviceIndex());
    EXPECT_EQ(Selected(), second);
    EXPECT_EQ(tree->findDvr(tree->LastFoundIndex(), QStringLiteral("Gate"), false), first->GetDeviceIndex());
    EXPECT_EQ(Selected(), first);
}

TEST_F(FindDvrTest, FolderScopeSeesOnlyItsOwnRecordersRootSeesAll)
{
    CModuleDevice* north = AddFolder(QStringLiteral("North"));
    CModuleDevice* inner = AddFolder(QStringLiteral("Inner"), north);
    CModuleDevice* deep = AddRecorder(QStringLiteral("Gate"), inner);
    north->setExpanded(true);

    ScopeAt(north);
    EXPECT_EQ(tree->findDvr(0, QStringLiteral("Gate"), false), -1) << "not in a subfolder";
    ScopeAt(nullptr);
    ASSERT_EQ(tree->FindScope(), tree->GetSiteBookRoot());
    EXPECT_EQ(tree->findDvr(0, QStringLiteral("Gate"), false), deep->GetDeviceIndex());
}

TEST_F(FindDvrTest, WholeNameExactCaseOnlyAndAMissKeepsTheSelection)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    CModuleDevice* yard = AddRecorder(QStringLiteral("Yard"));
    ScopeAt(nullptr);
    yard->setSelected(true);
    for (const char* text : {"gate", "Gat", "Gate "}) {
        EXPECT_EQ(tree->findDvr(tree->LastFoundIndex(), QString::fromLatin1(text), false), -1) << text;
        EXPECT_EQ(Selected(), yard) << text;
        EXPECT_EQ(tree->LastFoundIndex(), 0) << text << ": the next Find starts from slot 0";
    }
    EXPECT_EQ(tree->findDvr(tree->LastFoundIndex(), QStringLiteral("Gate"), true), gate->GetDeviceIndex());
    EXPECT_EQ(Selected(), yard) << "a quiet search shows nothing";
    EXPECT_EQ(tree->LastFoundIndex(), gate->GetDeviceIndex() + 1);
}

TEST_F(FindDvrTest, DialogFindsThroughTheTreeAndIgnoresEmptyText)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate"));
    ScopeAt(nullptr);
    CFindDvrDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SiteBook"));
    dialog.SetSiteBook(tree.get());
    dialog.findChild<QPushButton*>(QStringLiteral("findButton"))->click();
    EXPECT_TRUE(tree->selectedItems().isEmpty()) << "an empty text does nothing";
    EXPECT_EQ(tree->LastFoundIndex(), 0);

    dialog.NameEdit()->setText(QStringLiteral("Gate"));
    dialog.findChild<QPushButton*>(QStringLiteral("findButton"))->click();
    EXPECT_EQ(dialog.SearchText(), QStringLiteral("Gate"));
    EXPECT_TRUE(gate->isSelected());
    EXPECT_EQ(tree->LastFoundIndex(), gate->GetDeviceIndex() + 1);
}

TEST_F(FindDvrTest, ValidationModeAsksTheValidationTreeFromTheLastHit)
{
    CFindDvrDialog dialog;
    dialog.setFindMode(true);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Validation"));
    QList<std::pair<QString, int>> asked;
    dialog.SetValidationFinder([&asked](const QString& name, int last) {
        asked << std::pair{name, last};
        return last + 10;
    });
    dialog.SetLastPosition(3);
    dialog.NameEdit()->setText(QStringLiteral("Gate"));
    dialog.onOKButtonClicked();
    dialog.onOKButtonClicked();
    EXPECT_EQ(asked, (QList<std::pair<QString, int>>{{"Gate", 3}, {"Gate", 13}}));
    EXPECT_EQ(dialog.LastPosition(), 23);
    dialog.setFindMode(false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SiteBook"));
}
