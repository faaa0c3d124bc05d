// The site book's context menu per item kind and its actions that need no recorder: new folders
// and recorders, properties, delete, auto connect, favorites and e-map entries, each with the
// book file read back after the edit.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include "sitebook/caddfolderdialog.h"

#include "sitebook/sitebookfile.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/support/sitebook_menufixture.h"

namespace {

TEST_F(SiteBookMenuTest, MenuEntriesByKindOfItem)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    CModuleDevice* recorder = AddRecorder(QStringLiteral("gate"), folder);
    tree->AddRecorderChildren(recorder);
    QTreeWidgetItem* camera = AddPlain(recorder, QStringLiteral("camera"), QStringLiteral("CAM1"));
    QTreeWidgetItem* archive = recorder->child(0);
    QTreeWidgetItem* emapList = recorder->child(1);
    QTreeWidgetItem* cameraEmap = AddPlain(emapList, QStringLiteral("cameraEmap"), QStringLiteral("CAM1"));
    QTreeWidgetItem* backup = AddPlain(archive, QStringLiteral("archiveBackup"), QStringLiteral("BackupData"));
    QTreeWidgetItem* day = AddPlain(backup, QStringLiteral("archiveFolder"), QStringLiteral("20260101"));
    QTreeWidgetItem* data = AddPlain(day, QStringLiteral("archiveData"), QStringLiteral("h120000.001"));
    QTreeWidgetItem* shot = AddPlain(day, QStringLiteral("archiveSnapshot"), QStringLiteral("a.jpg"));
    QTreeWidgetItem* favorite = AddPlain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"),
                                         QStringLiteral("f"));
    QTreeWidgetItem* searchFavorite = AddPlain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item_search"),
                                               QStringLiteral("s"));
    QTreeWidgetItem* emapItem = AddPlain(tree->GetEmapRoot(), QStringLiteral("emap_item"), QStringLiteral("e"));

    QTreeWidgetItem* root = tree->GetSiteBookRoot();
    const QString other = QStringLiteral("Import DVR list,Find DVR|Account Manager,Firmware Manager");
    const QString entryMenu = QStringLiteral("Auto Connect\tOn,Auto Connect\tOff,Delete");
    const struct
    {
        const char* what;
        QTreeWidgetItem* item;
        QString menu;
        QTreeWidgetItem* scope;
    } cases[] = {
        {"empty area", nullptr,
         "New DVR,New Folder|Load SiteBook,Save SiteBook|Import DVR list,Find DVR|Account Manager,Firmware Manager",
         root},
        {"site book root", root, "New DVR,New Folder|Load SiteBook,Save SiteBook,Find DVR", root},
        {"folder", folder,
         "New DVR,New Folder|Property,Delete|Load SiteBook,Save SiteBook,Find DVR|Account Manager,Firmware Manager",
         folder},
        {"recorder not connected", recorder,
         "Quick Menu{Live,Search,eMap},Connect|Property,Delete|Load SiteBook,Save SiteBook|"
         "Account Manager,Firmware Manager",
         nullptr},
        {"camera", camera, "Find DVR|Property", root},
        {"favorites root", tree->GetFavoritesRoot(), "<none>", nullptr},
        {"e-map root", tree->GetEmapRoot(), "<none>", nullptr},
        {"favorite", favorite, entryMenu, nullptr},
        {"search favorite", searchFavorite, entryMenu, nullptr},
        {"e-map entry", emapItem, entryMenu, nullptr},
        {"recording", data, "Send Email,CD Burning,MP4 Convert", nullptr},
        {"snapshot", shot, "Send Email", nullptr},
        {"day folder", day, "CD Burning", nullptr},
        {"archive", archive, other, root},
        {"recorder's e-map", emapList, other, root},
        {"e-map camera", cameraEmap, other, root},
        {"backup folder", backup, other, root},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MenuAt(c.item), c.menu) << c.what;
        EXPECT_EQ(tree->FindScope(), c.scope) << c.what;
        EXPECT_EQ(tree->menuItem(), c.item) << c.what;
    }
}

// A right click on the viewport opens the menu of the item under the mouse and keeps the point.
TEST_F(SiteBookMenuTest, RightClickOpensTheMenuOfTheItemUnderTheMouse)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    const QPoint point = PointAt(folder);
    tree->SetMenuPoint(QPoint(-1, -1));
    QString shown;
    auto answer = OnNextDialog<QMenu>([&shown](QMenu* menu) {
        shown = Describe(menu);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, tree->viewport()->mapToGlobal(point));
    QApplication::sendEvent(tree->viewport(), &event);
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(shown, QStringLiteral("New DVR,New Folder|Property,Delete|Load SiteBook,Save SiteBook,Find DVR|"
                                    "Account Manager,Firmware Manager"));
    EXPECT_EQ(tree->MenuPoint(), point);
    EXPECT_EQ(tree->menuItem(), folder);
    EXPECT_EQ(tree->FindScope(), folder);
}

TEST_F(SiteBookMenuTest, ActionsCarryTheirTipsAndLoadIsEnabledWithoutConnections)
{
    std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(EmptyPoint());
    ASSERT_TRUE(menu);
    QStringList tips;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            tips << action->text() + QLatin1Char('=') + action->statusTip();
        if (action->text() == QLatin1String("Load SiteBook")) {
            EXPECT_TRUE(action->isEnabled());
        }
    }
    EXPECT_EQ(tips, QStringList({
                        "New DVR=Create new DVR into the sitebook",
                        "New Folder=Create new Folder into the sitebook",
                        "Load SiteBook=Load sitebook list file",
                        "Save SiteBook=Save sitebook list file",
                        "Import DVR list=Import Excel file",
                        "Find DVR=DVR Find on Sitebook",
                        "Account Manager=Account Manager",
                        "Firmware Manager=Firmware MaSeasnager",
                    }));
}

// ---------------------------------------------------------------------------------------------
// New folder and new recorder

TEST_F(SiteBookMenuTest, NewEntriesArePlacedByTheMenuItemAndWrittenAtOnce)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    AddFolder(QStringLiteral("A"), folder);
    CModuleDevice* b = AddRecorder(QStringLiteral("B"), folder);
    AddRecorder(QStringLiteral("Y"), folder);

    // A recorder made on the folder goes into it, after Y.
    PointAt(folder);
    {
        auto answer = AnswerRecorder({"Z", "10.0.0.7", "9010", "admin", "pw", 2, true});
        tree->newDvr();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(ChildNames(folder), QStringList({"A", "B", "Y", "Z"}));
    CModuleDevice* z = tree->FindDeviceByName(QStringLiteral("Z"), folder);
    ASSERT_NE(z, nullptr);
    const SiteBook* r = SiteBook::FromItem(z);
    EXPECT_EQ(r->kind, QStringLiteral("device"));
    EXPECT_EQ(QStringList({r->addr, r->port, r->id, r->password}),
              QStringList({"10.0.0.7", "9010", "admin", "pw"}));
    EXPECT_EQ(r->quality, 2);
    EXPECT_EQ(r->use_ssl, 1);
    EXPECT_EQ(z->text(0), QStringLiteral("Z"));
    EXPECT_EQ(ChildNames(z), QStringList({"Archive", "Emap"}));
    EXPECT_EQ(KindOf(z->child(0)), QStringLiteral("archive"));
    EXPECT_EQ(KindOf(z->child(1)), QStringLiteral("emapList"));
    EXPECT_EQ(SiteBook::FromItem(z->child(1))->index, z->GetDeviceIndex());
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("Z")), z->GetDeviceIndex());
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"folder site", "  folder A", "  device B ||||1|0",
                                             "  device Y ||||1|0", "  device Z 10.0.0.7|9010|admin|pw|2|1"}));

    // A folder made on a recorder goes beside it: after the folders, before the recorders.
    PointAt(b);
    {
        auto answer = AnswerFolder(QStringLiteral("Z"));
        tree->newFolder();
    }
    EXPECT_EQ(ChildNames(folder), QStringList({"A", "Z", "B", "Y", "Z"}));
    EXPECT_EQ(KindOf(folder->child(1)), QStringLiteral("folder"));
    EXPECT_EQ(SiteBookOnDisk().mid(0, 3), QStringList({"folder site", "  folder A", "  folder Z"}));

    // On the root and on empty space: at the top level.
    PointAt(tree->GetSiteBookRoot());
    {
        auto answer = AnswerFolder(QStringLiteral("top"));
        tree->newFolder();
    }
    tree->SetMenuPoint(EmptyPoint());
    {
        auto answer = AnswerRecorder({"loose", "h", "1", "u", "p"});
        tree->newDvr();
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"site", "top", "loose"}));
    EXPECT_EQ(SiteBookOnDisk().filter(QRegularExpression("^\\S")),
              QStringList({"folder site", "folder top", "device loose h|1|u|p|1|0"}));
}

TEST_F(SiteBookMenuTest, CancelledDialogsLeaveTreeAndBooksAlone)
{
    AddFolder(QStringLiteral("site"));
    PointAt(tree->GetSiteBookRoot());
    {
        auto answer = AnswerRecorder({"x", "h", "1", "u", "p", 1, false, false});
        tree->newDvr();
        EXPECT_TRUE(answer->Done());
    }
    {
        auto answer = AnswerFolder(QString());
        tree->newFolder();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"site"}));
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
    EXPECT_FALSE(BookExists("sitebook.xml"));
    EXPECT_FALSE(BookExists("favorites.xml"));
}

// ---------------------------------------------------------------------------------------------
// Properties

TEST_F(SiteBookMenuTest, RenamedFolderMovesBeforeItsNewNeighbours)
{
    AddFolder(QStringLiteral("a1"));
    CModuleDevice* b = AddFolder(QStringLiteral("b"));
    AddRecorder(QStringLiteral("0rec"));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"a1", "b", "0rec"}));
    PointAt(b);
    {
        auto answer = AnswerFolder(QStringLiteral("a"));
        tree->property();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"a", "a1", "0rec"}));
    EXPECT_EQ(b->text(0), QStringLiteral("a"));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>({b}));
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"folder a", "folder a1", "device 0rec ||||1|0"}));
}

TEST_F(SiteBookMenuTest, RecorderPropertiesAreWrittenOnlyOnOk)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("gate"));
    AddRecorder(QStringLiteral("m"));
    SiteBook* r = SiteBook::FromItem(gate);
    r->addr = QStringLiteral("old");
    r->port = QStringLiteral("1");
    r->id = QStringLiteral("u");
    r->password = QStringLiteral("p");

    PointAt(gate);
    {
        auto answer = AnswerRecorder({"zz", "new", "2", "v", "q", 2, true, false});
        tree->property();
    }
    EXPECT_EQ(QStringList({r->name, r->addr, r->port, r->id, r->password}),
              QStringList({"gate", "old", "1", "u", "p"}));
    EXPECT_EQ(r->quality, 1);
    EXPECT_FALSE(BookExists("sitebook.xml"));

    PointAt(gate);
    {
        auto answer = AnswerRecorder({"zz", "new", "2", "v", "q", 2, true, true});
        tree->property();
    }
    EXPECT_EQ(QStringList({r->name, r->addr, r->port, r->id, r->password}),
              QStringList({"zz", "new", "2", "v", "q"}));
    EXPECT_EQ(r->quality, 2);
    EXPECT_EQ(r->use_ssl, 1);
    EXPECT_EQ(gate->text(0), QStringLiteral("zz"));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"m", "zz"}));
    EXPECT_TRUE(gate->isSelected());
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"device m ||||1|0", "device zz new|2|v|q|2|1"}));
}

TEST_F(SiteBookMenuTest, LockedRecorderKeepsItsMarkWhetherEditedOrCancelled)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("@gate"));
    SiteBook* r = SiteBook::FromItem(gate);
    r->addr = QStringLiteral("h");
    r->port = QStringLiteral("1");
    r->id = QStringLiteral("u");
    r->password = QStringLiteral("p");

    PointAt(gate);
    {
        auto answer = AnswerRecorder({"ignored", "ignored", "9", "x", "y", 2, false, false});
        tree->property();
        EXPECT_TRUE(answer->Done());
    }
    // Cancelled: the entry is still locked.
    EXPECT_EQ(r->name, QStringLiteral("@gate"));
    EXPECT_FALSE(BookExists("sitebook.xml"));

    PointAt(gate);
    {
        // The edits are read-only; only the quality can change.
        auto answer = AnswerRecorder({"ignored", "ignored", "9", "x", "y", 2, false, true});
        tree->property();
    }
    EXPECT_EQ(r->name, QStringLiteral("@gate"));
    EXPECT_EQ(gate->text(0), QStringLiteral("gate"));
    EXPECT_EQ(r->quality, 2);
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"device @gate h|1|u|p|2|0"}));
}

TEST_F(SiteBookMenuTest, CameraOfARecorderThatIsNotConnectedIsRenamed)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("gate"));
    QTreeWidgetItem* camera = AddPlain(gate, QStringLiteral("camera"), QStringLiteral("CAM1"));
    SiteBook::FromItem(camera)->channel = 0;
    PointAt(camera);
    {
        auto answer = OnNextDialog<CAddFolderDialog>([](CAddFolderDialog* d) {
            EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("Camera Name"));
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("edit"))->text(), QStringLiteral("CAM1"));
            d->findChild<QLineEdit*>(QStringLiteral("edit"))->setText(QStringLiteral("Door"));
            d->onOKButtonClicked();
        });
        tree->property();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(SiteBook::FromItem(camera)->name, QStringLiteral("Door"));
    EXPECT_EQ(camera->text(0), QStringLiteral("Door"));
    EXPECT_TRUE(hub->boxCalls.isEmpty());
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"device gate ||||1|0"}));
}

// ---------------------------------------------------------------------------------------------
// Delete

TEST_F(SiteBookMenuTest, AnsweringNoStillRewritesTheSiteBookAndFavorites)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("gate"));
    AddPlain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"), QStringLiteral("f"));
    WriteFile("sitebook.xml", "<zent version=\"1.0\"><device name=\"stale\"/></zent>");
    WriteFile("favorites.xml", "<zent version=\"1.0\"/>");
    WriteFile("emap.xml", "<zent version=\"1.0\"><emap_item name=\"stale\"/></zent>");
    PointAt(gate);
    QString title, text;
    {
        auto answer = AnswerNextQuestion(QMessageBox::No, &title, &text);
        tree->delItem();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(title, QStringLiteral("SiteBook"));
    EXPECT_EQ(text, QStringLiteral("Are you sure you want to delete?"));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"gate"}));
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"device gate ||||1|0"}));
    EXPECT_EQ(FavoritesOnDisk(), QStringList({"favorites_item|f||||"}));
    // Nothing of the e-map book changed, so it is not written.
    EXPECT_EQ(EmapOnDisk(), QStringList({"stale||||"}));
}

TEST_F(SiteBookMenuTest, DeletingAFolderTakesItsRecordersWithIt)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    CModuleDevice* inner = AddFolder(QStringLiteral("inner"), folder);
    AddRecorder(QStringLiteral("a"), folder);
    AddRecorder(QStringLiteral("b"), inner);
    AddRecorder(QStringLiteral("kept"));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("b")), 1);
    PointAt(folder);
    {
        auto answer = AnswerNextQuestion(QMessageBox::Yes);
        tree->delItem();
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"kept"}));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("a")), -1);
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("b")), -1);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"device kept ||||1|0"}));
}

TEST_F(SiteBookMenuTest, DeletedFavoriteIsGoneFromItsBook)
{
    for (const char* name : {"one", "two"})
        AddPlain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"), QLatin1String(name));
    PointAt(tree->GetFavoritesRoot()->child(0));
    {
        auto answer = AnswerNextQuestion(QMessageBox::Yes);
        tree->delItem();
    }
    EXPECT_EQ(FavoritesOnDisk(), QStringList({"favorites_item|two||||"}));
}

// The e-map book is written when an e-map entry is deleted, so the entry does not come back
// when the books are read at the next start; its slot goes to the next new entry.
TEST_F(SiteBookMenuTest, DeletedEmapEntryStaysDeletedAfterARead)
{
    WriteFile(
        "emap.xml",
        "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
        "  <emap_item name=\"Ground\" favoritesdevice=\"gate;\" favoriteschannel=\"0;\" emapPath=\"/g.png\" emapPos=\"0.1;0.2;\"/>\n"
        "  <emap_item name=\"Roof\" favoritesdevice=\"\" favoriteschannel=\"\" emapPath=\"/r.png\" emapPos=\"\"/>\n"
        "  <emap_item name=\"Yard\" favoritesdevice=\"yard;\" favoriteschannel=\"2;\" emapPath=\"/y.png\" emapPos=\"\"/>\n"
        "</zent>\n");
    ASSERT_EQ(SiteBookFile::LoadEmap(tree.get(), BookFile("emap.xml"), true), SiteBookFile::LoadResult::Loaded);
    QTreeWidgetItem* roof = tree->GetEmapRoot()->child(1);
    ASSERT_EQ(SiteBook::FromItem(roof)->index, 1);

    PointAt(roof);
    {
        auto answer = AnswerNextQuestion(QMessageBox::Yes);
        tree->delItem();
    }
    EXPECT_FALSE(tree->IsEmapIndexUsed(1));
    const QStringList expected({"Ground|gate;|0;|/g.png|0.1;0.2;", "Yard|yard;|2;|/y.png|"});
    EXPECT_EQ(DescribeEmap(tree->GetEmapRoot()), expected);
    EXPECT_EQ(EmapOnDisk(), expected);

    // The freed slot goes to the next new entry.
    {
        auto answer = AnswerFolder(QStringLiteral("Attic"));
        EXPECT_EQ(tree->addEmapItem(QString(), QStringLiteral("a;"), QStringLiteral("1;"),
                                    QStringLiteral("/a.png"), QStringLiteral("0.5;0.5;")),
                  QStringLiteral("Attic"));
    }
    EXPECT_EQ(SiteBook::FromItem(tree->GetEmapRoot()->child(2))->index, 1);
    EXPECT_EQ(EmapOnDisk(), QStringList({"Ground|gate;|0;|/g.png|0.1;0.2;", "Yard|yard;|2;|/y.png|",
                                         "Attic|a;|1;|/a.png|0.5;0.5;"}));
}

TEST_F(SiteBookMenuTest, RootsAreNeverDeleted)
{
    PointAt(tree->GetSiteBookRoot());
    tree->delItem();
    EXPECT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_FALSE(BookExists("sitebook.xml"));
}

// ---------------------------------------------------------------------------------------------
// Auto connect, favorites and e-map entries

TEST_F(SiteBookMenuTest, AutoConnectIsOnForOneFavoriteAtMost)
{
    QTreeWidgetItem* root = tree->GetFavoritesRoot();
    QTreeWidgetItem* a = AddPlain(root, QStringLiteral("favorites_item"), QStringLiteral("a"));
    QTreeWidgetItem* b = AddPlain(root, QStringLiteral("favorites_item"), QStringLiteral("b"));
    AddPlain(root, QStringLiteral("favorites_item_search"), QStringLiteral("s"));
    SiteBook::FromItem(a)->favoritesmode = QStringLiteral("autoConnectOn");

    PointAt(b);
    tree->autoConnectOn();
    EXPECT_EQ(DescribeFavorites(root),
              QStringList({"favorites_item|a||||autoConnectOff", "favorites_item|b||||autoConnectOn",
                           "favorites_item_search|s||||"}));
    EXPECT_EQ(b->icon(0).pixmap(16, 16).toImage(), tree->FavoriteIcon().pixmap(16, 16).toImage());
    EXPECT_EQ(a->icon(0).pixmap(16, 16).toImage(), tree->FavoriteItemIcon().pixmap(16, 16).toImage());
    EXPECT_EQ(FavoritesOnDisk(), DescribeFavorites(root));

    PointAt(b);
    tree->autoConnectOff();
    EXPECT_EQ(SiteBook::FromItem(b)->favoritesmode, QStringLiteral("autoConnectOff"));
    EXPECT_EQ(b->icon(0).pixmap(16, 16).toImage(), tree->FavoriteItemIcon().pixmap(16, 16).toImage());
    EXPECT_EQ(FavoritesOnDisk(), DescribeFavorites(root));
}

TEST_F(SiteBookMenuTest, FavoritesStoreTheirGridAsSplitTimesHundredPlusFirst)
{
    const struct
    {
        const char* kind;
        int split;
        int first;
        const char* name;
        const char* expect;
    } cases[] = {
        {"live", 9, 9, "nine", "favorites_item|nine|909|a;b;|0;1;|"},
        {"live", 9, 4, "four", "favorites_item|four|904|a;b;|0;1;|"},
        {"live", 16, 0, "sixteen", "favorites_item|sixteen|1600|a;b;|0;1;|"},
        {"search", 4, 12, "night", "favorites_item_search|night|412|a;b;|0;1;|"},
    };
    QStringList expected;
    for (const auto& c : cases) {
        auto answer = AnswerFolder(QLatin1String(c.name));
        tree->addFavorite(QLatin1String(c.kind), c.split, c.first, QStringLiteral("a;b;"), QStringLiteral("0;1;"));
        EXPECT_TRUE(answer->Done());
        expected << QLatin1String(c.expect);
    }
    EXPECT_EQ(DescribeFavorites(tree->GetFavoritesRoot()), expected);
    EXPECT_EQ(FavoritesOnDisk(), expected);

    // Cancel adds nothing.
    {
        auto answer = AnswerFolder(QString());
        tree->addFavorite(QStringLiteral("live"), 1, 0, QString(), QString());
    }
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 4);
}

TEST_F(SiteBookMenuTest, EmapEntriesAreAddedAndUpdatedBySlot)
{
    {
        auto answer = AnswerFolder(QString());
        EXPECT_EQ(tree->addEmapItem(QStringLiteral("x"), QString(), QString(), QString(), QString()), QString());
    }
    EXPECT_EQ(tree->GetEmapRoot()->childCount(), 0);
    EXPECT_FALSE(BookExists("emap.xml"));

    for (const char* name : {"first", "second"}) {
        auto answer = AnswerFolder(QLatin1String(name));
        tree->addEmapItem(QString(), QStringLiteral("d;"), QStringLiteral("0;"), QStringLiteral("/m.png"),
                          QStringLiteral("0.1;0.1;"));
    }
    EXPECT_EQ(SiteBook::FromItem(tree->GetEmapRoot()->child(1))->index, 1);

    // Silent: no question.
    tree->updateEmapItem(QStringLiteral("renamed"), QStringLiteral("e;"), QStringLiteral("3;"),
                         QStringLiteral("/n.png"), QStringLiteral("0.2;0.3;"), 1, true);
    EXPECT_EQ(EmapOnDisk(), QStringList({"first|d;|0;|/m.png|0.1;0.1;", "renamed|e;|3;|/n.png|0.2;0.3;"}));
    EXPECT_EQ(tree->GetEmapRoot()->child(1)->text(0), QStringLiteral("renamed"));

    // Asked and cancelled: nothing changes.
    {
        auto answer = AnswerFolder(QString());
        tree->updateEmapItem(QStringLiteral("no"), QString(), QString(), QString(), QString(), 0, false);
        EXPECT_TRUE(answer->Done());
    }
    // Asked and answered: the entered name is used.
    {
        auto answer = OnNextDialog<CAddFolderDialog>([](CAddFolderDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("eMap"));
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("edit"))->text(), QStringLiteral("proposal"));
            d->findChild<QLineEdit*>(QStringLiteral("edit"))->setText(QStringLiteral("typed"));
            d->onOKButtonClicked();
        });
        tree->updateEmapItem(QStringLiteral("proposal"), QStringLiteral("f;"), QStringLiteral("4;"),
                             QStringLiteral("/o.png"), QString(), 0, false);
    }
    EXPECT_EQ(EmapOnDisk(), QStringList({"typed|f;|4;|/o.png|", "renamed|e;|3;|/n.png|0.2;0.3;"}));
}

TEST_F(SiteBookMenuTest, CdBurningCommandLine)
{
    EXPECT_EQ(SiteBookTreeWidget::CdBurningCommand(QStringLiteral("/opt/zent"),
                                                   SiteBookTreeWidget::BurnSource::File,
                                                   QStringLiteral("/opt/zent/backup/BackupData/gate/h120000.001")),
              QStringLiteral("/opt/zent/Kesto.exe 0 \\opt\\zent\\backup\\BackupData\\gate\\h120000.001"));
    EXPECT_EQ(SiteBookTreeWidget::CdBurningCommand(QStringLiteral("/p"), SiteBookTreeWidget::BurnSource::Folder,
                                                   QStringLiteral("a/b c/")),
              QStringLiteral("/p/Kesto.exe 1 a\\b c\\"));
}

// Entries whose window is not built are greyed; CD Burning follows its program, and a burn that
// finds the program missing says so.
TEST_F(SiteBookMenuTest, EntriesWithoutTheirWindowOrProgramAreGreyed)
{
    if (SiteBookTreeWidget::CdBurningProgramPresent())
        GTEST_SKIP() << "a burning program lies beside the test program";
    CModuleDevice* recorder = AddRecorder(QStringLiteral("gate"));
    tree->AddRecorderChildren(recorder);
    QTreeWidgetItem* backup = AddPlain(recorder->child(0), QStringLiteral("archiveBackup"), QStringLiteral("B"));
    QTreeWidgetItem* day = AddPlain(backup, QStringLiteral("archiveFolder"), QStringLiteral("20260101"));
    QTreeWidgetItem* data = AddPlain(day, QStringLiteral("archiveData"), QStringLiteral("h120000.001"));

    const auto enabled = [this](QTreeWidgetItem* item) {
        QStringList states;
        std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(item ? PointAt(item) : EmptyPoint());
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->menu())
                states << action->text() + (action->isEnabled() ? QString() : QStringLiteral("(greyed)"));
        }
        return states.join(QLatin1Char(','));
    };
    EXPECT_EQ(enabled(nullptr), QStringLiteral("New DVR,New Folder,Load SiteBook,Save SiteBook,Import DVR list,"
                                               "Find DVR,Account Manager,Firmware Manager"));
    EXPECT_EQ(enabled(data), QStringLiteral("Send Email,CD Burning(greyed),MP4 Convert"));
    EXPECT_EQ(enabled(day), QStringLiteral("CD Burning(greyed)"));

    MessageBoxCatcher catcher;
    PointAt(data);
    tree->cdBurning();
    ASSERT_EQ(catcher.Seen().size(), 1);
    EXPECT_TRUE(catcher.Seen().first().startsWith(QStringLiteral("ZENT|CD Burning is not available")))
        << qPrintable(catcher.Seen().first());

    // The program appears beside the client: the entry comes alive.
    const QString program = programDir.filePath(QStringLiteral("kesto"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_EQ(enabled(day), QStringLiteral("CD Burning"));
}

TEST_F(SiteBookMenuTest, ActionsOnAVanishedItemDoNothing)
{
    // The last item of the tree, so that nothing takes its place under the point.
    QTreeWidgetItem* favorite = AddPlain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"),
                                         QStringLiteral("f"));
    PointAt(favorite);
    delete favorite;
    EXPECT_EQ(tree->menuItem(), nullptr);
    tree->property();
    tree->delItem();
    tree->autoConnectOn();
    tree->autoConnectOff();
    tree->connectDevice();
    tree->disconnectDevice();
    tree->cdBurning();
    EXPECT_FALSE(BookExists("sitebook.xml"));
    EXPECT_FALSE(BookExists("favorites.xml"));
    EXPECT_FALSE(BookExists("emap.xml"));
}

} // namespace

// A book whose load failed is kept as it is; an edit made meanwhile is not written to it, and the
// user is told so (once, not at every edit) instead of finding it out later.
TEST_F(SiteBookMenuTest, EditOfABookThatFailedToLoadTellsTheUserItWasNotSaved)
{
    const QByteArray broken = "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n <device name=\"A\">\n";
    WriteFile("sitebook.xml", broken);
    {
        MessageBoxCatcher loadBoxes;
        ASSERT_EQ(SiteBookFile::LoadSiteBook(tree.get(), BookFile("sitebook.xml"), true),
                  SiteBookFile::LoadResult::ParseError);
    }
    MessageBoxCatcher boxes;
    PointAt(tree->GetSiteBookRoot());
    {
        auto answer = AnswerFolder(QStringLiteral("first"));
        tree->newFolder();
    }
    ASSERT_EQ(boxes.Seen().size(), 1);
    EXPECT_TRUE(boxes.Seen().first().startsWith(QStringLiteral("ZENT|The change was not saved.\n")))
        << qPrintable(boxes.Seen().first());
    EXPECT_TRUE(boxes.Seen().first().contains(QStringLiteral("sitebook.xml could not be read")));
    {
        auto answer = AnswerFolder(QStringLiteral("second"));
        tree->newFolder();
    }
    EXPECT_EQ(boxes.Seen().size(), 1) << "told once";
    EXPECT_EQ(ReadFile("sitebook.xml"), broken);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"first", "second"}));
}

// Favorites and e-map entries find their recorders by name: renaming a recorder renames it in
// every entry that names it, in the same save; a name that merely contains it is left alone.
TEST_F(SiteBookMenuTest, RenamedRecorderIsRenamedInFavoritesAndEmaps)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("gate"));
    AddRecorder(QStringLiteral("yard"));
    {
        auto answer = AnswerFolder(QStringLiteral("both"));
        tree->addFavorite(QStringLiteral("live"), 4, 0, QStringLiteral("gate;yard;gate;gatehouse;"),
                          QStringLiteral("0;1;2;3;"));
    }
    {
        auto answer = AnswerFolder(QStringLiteral("map"));
        tree->addEmapItem(QString(), QStringLiteral("gate;"), QStringLiteral("0;"), QStringLiteral("/m.png"),
                          QStringLiteral("0.5;0.5;"));
    }
    PointAt(gate);
    {
        auto answer = AnswerRecorder({"Main gate", "10.0.0.1", "9000", "admin", "pw"});
        tree->property();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_EQ(FavoritesOnDisk(),
              QStringList({"favorites_item|both|400|Main gate;yard;Main gate;gatehouse;|0;1;2;3;|"}));
    EXPECT_EQ(EmapOnDisk(), QStringList({"map|Main gate;|0;|/m.png|0.5;0.5;"}));
}
