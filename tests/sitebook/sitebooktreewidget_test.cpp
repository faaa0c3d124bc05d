#include <QApplication>
#include <cstring>

#include "sitebook/sitebookitem.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

TEST_F(SiteBookTreeTest, FreshTreeHasThreeRootsAndOnlyTheSiteBookIsExpanded)
{
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    const struct
    {
        const char* kind;
        const char* text;
        bool expanded;
    } roots[] = {
        {"sitebook", "SiteBook", true},
        {"emap", "Emap", false},
        {"favorite", "Favorites", false},
    };
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        const SiteBook* record = SiteBook::FromItem(item);
        ASSERT_NE(record, nullptr) << i;
        EXPECT_EQ(record->kind, QLatin1String(roots[i].kind)) << i;
        EXPECT_EQ(record->name, QLatin1String(roots[i].text)) << i;
        EXPECT_EQ(item->text(0), QLatin1String(roots[i].text)) << i;
        EXPECT_EQ(item->isExpanded(), roots[i].expanded) << i;
        EXPECT_EQ(item->childCount(), 0) << i;
        EXPECT_FALSE(item->icon(0).pixmap(16, 16).isNull()) << i;
    }
    EXPECT_EQ(tree->GetSiteBookRoot(), tree->topLevelItem(0));
    EXPECT_EQ(tree->GetEmapRoot(), tree->topLevelItem(1));
    EXPECT_EQ(tree->GetFavoritesRoot(), tree->topLevelItem(2));
    EXPECT_EQ(tree->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(tree->dragDropMode(), QAbstractItemView::DragDrop);
}

// Items added one after another (F: folder, R: recorder) end up folders first, then recorders,
// each run in ascending case-sensitive name order.
TEST_F(SiteBookTreeTest, FoldersAndRecordersArePlacedSorted)
{
    const struct
    {
        const char* adds;   // "F:name R:name ..." in the order they are added
        const char* expect; // names under the root afterwards
    } cases[] = {
        {"R:b R:a R:c", "a b c"}, {"F:b F:a F:c", "a b c"},       {"R:a F:z", "z a"},
        {"F:z R:a F:b", "b z a"}, {"R:a R:B F:a F:B", "B a B a"}, // "B" sorts before "a"
        {"R:x R:x R:w", "w x x"}, {"R:Y F:A R:B", "A B Y"},
    };
    for (const auto& c : cases) {
        tree->clearSiteBook();
        for (const QString& add : QString::fromLatin1(c.adds).split(QLatin1Char(' '))) {
            const QString name = add.mid(2);
            if (add.startsWith(QLatin1Char('F')))
                AddFolder(name);
            else
                AddRecorder(name);
        }
        EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()).join(QLatin1Char(' ')), QString::fromLatin1(c.expect))
            << c.adds;
    }
}

TEST_F(SiteBookTreeTest, NewItemsInAFolderKeepFoldersAboveRecorders)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    AddFolder(QStringLiteral("A"), folder);
    AddRecorder(QStringLiteral("B"), folder);
    AddRecorder(QStringLiteral("Y"), folder);
    AddRecorder(QStringLiteral("Z"), folder);
    EXPECT_EQ(ChildNames(folder), QStringList({"A", "B", "Y", "Z"}));
    AddFolder(QStringLiteral("Z"), folder);
    EXPECT_EQ(ChildNames(folder), QStringList({"A", "Z", "B", "Y", "Z"}));
}

TEST_F(SiteBookTreeTest, RenamedFolderMovesToItsNewPlace)
{
    AddFolder(QStringLiteral("a1"));
    CModuleDevice* b = AddFolder(QStringLiteral("b"));
    AddRecorder(QStringLiteral("0rec"));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"a1", "b", "0rec"}));

    SiteBook::FromItem(b)->name = QStringLiteral("a");
    SiteBookTreeWidget::insertSorted(b, QStringLiteral("a"), EntryMode::Folder);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"a", "a1", "0rec"}));
    EXPECT_EQ(static_cast<QTreeWidgetItem*>(b)->parent(), tree->GetSiteBookRoot());
}

TEST_F(SiteBookTreeTest, ItemWithoutParentIsLeftAlone)
{
    QTreeWidgetItem loose;
    SiteBookTreeWidget::insertSorted(&loose, QStringLiteral("x"), EntryMode::Folder);
    SiteBookTreeWidget::insertSorted(nullptr, QStringLiteral("x"), EntryMode::Recorder);
    EXPECT_EQ(loose.parent(), nullptr);
}

TEST_F(SiteBookTreeTest, RecordersTakeHubSlotsAndFoldersDoNot)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("f"));
    CModuleDevice* first = AddRecorder(QStringLiteral("r1"));
    CModuleDevice* second = AddRecorder(QStringLiteral("r2"), folder);
    EXPECT_EQ(folder->GetDeviceIndex(), -1);
    EXPECT_EQ(first->GetDeviceIndex(), 0);
    EXPECT_EQ(second->GetDeviceIndex(), 1);
    EXPECT_EQ(hub->GetDevice(1), second);
    EXPECT_EQ(second->GetDvrName(), QStringLiteral("r2"));
}

TEST_F(SiteBookTreeTest, ClearingTheSiteBookDeletesItsItemsAndFreesTheirSlots)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("f"));
    AddRecorder(QStringLiteral("inner"), folder);
    AddRecorder(QStringLiteral("outer"));
    auto* favorite = new SiteBook;
    favorite->kind = QStringLiteral("favorites_item");
    new SiteBookItem(tree->GetFavoritesRoot(), favorite);
    ASSERT_NE(hub->GetDevice(0), nullptr);
    ASSERT_NE(hub->GetDevice(1), nullptr);

    tree->clearSiteBook();
    EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0);
    EXPECT_EQ(hub->GetDevice(0), nullptr);
    EXPECT_EQ(hub->GetDevice(1), nullptr);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
    // The other roots keep their entries.
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 1);
}

TEST_F(SiteBookTreeTest, RecorderChildrenAreArchiveThenEmap)
{
    CModuleDevice* device = AddRecorder(QStringLiteral("r"));
    SiteBook::FromItem(device)->emapPath = QStringLiteral("/maps/r.png");
    device->LoadSiteBookInfo();
    tree->AddRecorderChildren(device);
    ASSERT_EQ(device->childCount(), 2);
    EXPECT_EQ(KindOf(device->child(0)), QStringLiteral("archive"));
    EXPECT_EQ(device->child(0)->text(0), QStringLiteral("Archive"));
    EXPECT_EQ(KindOf(device->child(1)), QStringLiteral("emapList"));
    EXPECT_EQ(device->child(1)->text(0), QStringLiteral("Emap"));
    const SiteBook* emap = SiteBook::FromItem(device->child(1));
    EXPECT_EQ(emap->index, device->GetDeviceIndex());
    EXPECT_EQ(emap->emapPath, QStringLiteral("/maps/r.png"));
    EXPECT_FALSE(device->child(0)->isExpanded());
    EXPECT_FALSE(device->child(1)->isExpanded());
}

TEST_F(SiteBookTreeTest, NameLookupsSeeOnlyDirectChildrenOfTheirKind)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("north"));
    CModuleDevice* inner = AddRecorder(QStringLiteral("gate"), folder);
    CModuleDevice* outer = AddRecorder(QStringLiteral("yard"));
    CModuleDevice* sub = AddFolder(QStringLiteral("sub"), folder);

    EXPECT_EQ(tree->FindDeviceByName(QStringLiteral("yard")), outer);
    EXPECT_EQ(tree->FindDeviceByName(QStringLiteral("gate")), nullptr); // inside a folder
    EXPECT_EQ(tree->FindDeviceByName(QStringLiteral("gate"), folder), inner);
    EXPECT_EQ(tree->FindDeviceByName(QStringLiteral("Yard")), nullptr);  // case-sensitive
    EXPECT_EQ(tree->FindDeviceByName(QStringLiteral("north")), nullptr); // a folder
    EXPECT_EQ(tree->FindFolderByName(QStringLiteral("north")), folder);
    EXPECT_EQ(tree->FindFolderByName(QStringLiteral("yard")), nullptr); // a recorder
    EXPECT_EQ(tree->FindFolderByName(QStringLiteral("sub")), nullptr);
    EXPECT_EQ(tree->FindFolderByName(QStringLiteral("sub"), folder), sub);
}

TEST_F(SiteBookTreeTest, ServerIdLookupsGoDepthFirstInChildOrder)
{
    CModuleDevice* a = AddFolder(QStringLiteral("a"));
    CModuleDevice* aa = AddFolder(QStringLiteral("aa"), a);
    CModuleDevice* deep = AddRecorder(QStringLiteral("deep"), aa);
    CModuleDevice* b = AddFolder(QStringLiteral("b"));
    CModuleDevice* top = AddRecorder(QStringLiteral("top"));
    CModuleDevice* other = AddRecorder(QStringLiteral("other"), b);
    a->SetServerId(10);
    aa->SetServerId(11);
    b->SetServerId(7); // a folder with the same id as recorders
    deep->SetServerId(7);
    top->SetServerId(7);
    other->SetServerId(8);

    // Recorder id 7: the one deepest in the first folder comes before the one at the top level.
    EXPECT_EQ(tree->FindDeviceById(7), deep);
    EXPECT_EQ(tree->FindDeviceById(8), other);
    EXPECT_EQ(tree->FindDeviceById(10), nullptr); // only folders carry it
    EXPECT_EQ(tree->FindDeviceById(99), nullptr);
    EXPECT_EQ(tree->FindDeviceById(7, b), nullptr);

    EXPECT_EQ(tree->FindFolderById(11), aa);
    EXPECT_EQ(tree->FindFolderById(7), b);
    EXPECT_EQ(tree->FindFolderById(8), nullptr); // only a recorder carries it
    EXPECT_EQ(tree->FindFolderById(10, a), nullptr);
}

TEST_F(SiteBookTreeTest, EmapSlotsAreHandedOutLowestFirst)
{
    EXPECT_EQ(tree->GetFreeEmapIndex(), 0);
    tree->SetEmapIndex(0, true);
    tree->SetEmapIndex(1, true);
    EXPECT_EQ(tree->GetFreeEmapIndex(), 2);
    tree->SetEmapIndex(0, false);
    EXPECT_EQ(tree->GetFreeEmapIndex(), 0);

    // Out-of-range slots change nothing.
    tree->SetEmapIndex(-1, true);
    tree->SetEmapIndex(SiteBookTreeWidget::kEmapSlots, true);
    EXPECT_FALSE(tree->IsEmapIndexUsed(-1));
    EXPECT_FALSE(tree->IsEmapIndexUsed(SiteBookTreeWidget::kEmapSlots));

    for (int i = 0; i < SiteBookTreeWidget::kEmapSlots; ++i)
        tree->SetEmapIndex(i, true);
    EXPECT_EQ(tree->GetFreeEmapIndex(), -1);
    tree->SetEmapIndex(SiteBookTreeWidget::kEmapSlots - 1, false);
    EXPECT_EQ(tree->GetFreeEmapIndex(), SiteBookTreeWidget::kEmapSlots - 1);
}

TEST_F(SiteBookTreeTest, ItemUnderTheMenuPoint)
{
    CModuleDevice* device = AddRecorder(QStringLiteral("r"));
    tree->AddRecorderChildren(device);
    device->setExpanded(true);
    tree->resize(300, 600);
    tree->show();
    QApplication::processEvents();

    tree->SetMenuPoint(tree->visualItemRect(device).center());
    EXPECT_EQ(tree->menuItem(), device);
    EXPECT_EQ(tree->menuDevice(), device);

    // A plain item is there but is no session object.
    QTreeWidgetItem* archive = device->child(0);
    tree->SetMenuPoint(tree->visualItemRect(archive).center());
    EXPECT_EQ(tree->menuItem(), archive);
    EXPECT_EQ(tree->menuDevice(), nullptr);

    // Empty space below the last item.
    tree->SetMenuPoint(QPoint(10, tree->viewport()->height() - 2));
    EXPECT_EQ(tree->menuItem(), nullptr);
    EXPECT_EQ(tree->menuDevice(), nullptr);
}

TEST(SiteBookConvertLoadText, UnderscoresBecomeBlanksAndTheCopyFitsTheBuffer)
{
    const struct
    {
        const char* src;
        std::size_t size;
        const char* expect;
    } cases[] = {
        {"Main_Gate_2", 32, "Main Gate 2"},
        {"", 32, ""},
        {"___", 32, "   "},
        {"no-underscore.ini", 32, "no-underscore.ini"},
        {"_a_", 4, " a "},    // exactly fits with its terminator
        {"abcdef", 4, "abc"}, // cut to the buffer
        {"a_b", 1, ""},       // room for the terminator only
        {nullptr, 8, ""},
    };
    for (const auto& c : cases) {
        char dst[40];
        std::memset(dst, 'X', sizeof dst);
        SiteBookTreeWidget::ConvertLoadText(c.src, dst, c.size);
        EXPECT_STREQ(dst, c.expect) << (c.src ? c.src : "(null)") << " size " << c.size;
        EXPECT_EQ(dst[c.size], 'X') << "wrote past the buffer";
    }

    char untouched[4] = {'X', 'X', 'X', 'X'};
    SiteBookTreeWidget::ConvertLoadText("abc", untouched, 0);
    EXPECT_EQ(untouched[0], 'X');
}

} // namespace

// Recorder names are taken book-wide (a locked entry's "@" is no part of its name); other names
// only among the siblings of their kind.
TEST_F(SiteBookTreeTest, NamesTakenByRecordersAndSiblings)
{
    CModuleDevice* east = AddFolder(QStringLiteral("East"));
    AddRecorder(QStringLiteral("@gate"), east);
    AddRecorder(QStringLiteral("Yard"));
    struct Case
    {
        const char* name;
        bool taken;
    };
    const Case recorders[] = {{"gate", true}, {"Yard", true}, {"@gate", false}, {"East", false}, {"yard", false}};
    for (const Case& c : recorders)
        EXPECT_EQ(tree->RecorderNameTaken(QLatin1String(c.name)), c.taken) << c.name;
    QTreeWidgetItem* root = tree->GetSiteBookRoot();
    EXPECT_TRUE(SiteBookTreeWidget::ChildNameTaken(root, {ItemKind::Folder}, QStringLiteral("East")));
    EXPECT_FALSE(SiteBookTreeWidget::ChildNameTaken(root, {ItemKind::Recorder}, QStringLiteral("East")));
    EXPECT_FALSE(SiteBookTreeWidget::ChildNameTaken(east, {ItemKind::Folder}, QStringLiteral("East")));
    EXPECT_FALSE(SiteBookTreeWidget::ChildNameTaken(nullptr, {ItemKind::Folder}, QStringLiteral("East")));
}
