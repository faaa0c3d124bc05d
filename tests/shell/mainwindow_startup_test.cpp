// What the main window reads when it starts (osd.dat, style sheets, sitebook.xml) and what it
// writes when it shuts down (osd.dat, sitebook.xml).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidgetItem>
#include <vector>

#include "harness/boxtext.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

struct OsdCase
{
    const char* name;
    const char* content; // null: no osd.dat at all
    std::vector<int> flags;
};

const OsdCase kOsdCases[] = {
    {"missing file", nullptr, {1, 1, 1, 1, 1, 1}},
    {"six lines", "1\n0\n1\n0\n1\n0\n", {1, 0, 1, 0, 1, 0}},
    {"one line of blanks", "0 1 1 0 1 1", {0, 1, 1, 0, 1, 1}},
    {"tabs and blank lines", "1\t1\n\n0\r\n1 1\n1", {1, 1, 0, 1, 1, 1}},
    {"only exactly 1 counts", "01 true 1 on 1 2", {0, 0, 1, 0, 1, 0}},
    {"fewer words clear the rest", "1 1 1", {1, 1, 1, 0, 0, 0}},
    {"empty file", "", {0, 0, 0, 0, 0, 0}},
    {"extra words ignored", "1 1 1 1 1 1 0 0 0", {1, 1, 1, 1, 1, 1}},
};

const char kBook[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<zent version=\"1.0\">\n"
    " <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"admin\" password=\"pw\" quality=\"2\" use_ssl=\"1\"/>\n"
    " <folder name=\"North\" folded=\"no\">\n"
    "  <device name=\"Gate\" addr=\"10.0.0.3\" port=\"9001\" id=\"op\" password=\"x\"/>\n"
    " </folder>\n"
    "</zent>\n";

QStringList ChildNames(const QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names << item->child(i)->text(0);
    return names;
}

} // namespace

TEST_F(MainWinTest, OsdFlagsComeFromOsdDat)
{
    for (const OsdCase& c : kOsdCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path("osd.dat"));
        if (c.content)
            WriteFile("osd.dat", c.content);
        StartHub();
        for (int f = 0; f < OsdFlags::kCount; ++f)
            EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlags::kAll[f]), c.flags[f]) << "flag " << f;
        StopHub();
    }
}

TEST_F(MainWinTest, ShutDownWritesSixOsdLines)
{
    ASSERT_FALSE(FileExists("osd.dat"));
    StartHub();
    hub->Settings().SetOsdFlag(OsdFlag::CameraName, 0);
    hub->Settings().SetOsdFlag(OsdFlag::Event, 0);
    hub->Settings().SetOsdFlag(OsdFlag::Time, 7); // anything but 1 is written as off
    StopHub();
    EXPECT_EQ(ReadFile("osd.dat"), QByteArray("1\n0\n1\n0\n0\n1\n"));

    // And it reads back as it was written.
    StartHub();
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::DvrName), 1);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::CameraName), 0);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::Time), 0);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::CameoNumber), 1);
}

TEST_F(MainWinTest, StyleSheetIsReadAsLatin1)
{
    // 0xE9 is not UTF-8 on its own; as Latin-1 it is one character.
    const QByteArray bytes("/* caf\xe9 */\nQMainWindow { background: #202020; }\n");
    WriteFile("qss/main.qss", bytes);
    WriteFile("qss/toolbar.qss", "QToolBar { border: 0; }");
    StartHub();
    EXPECT_EQ(hub->StyleSheetText(), QString::fromLatin1(bytes));
    EXPECT_EQ(hub->styleSheet(), QString::fromLatin1(bytes));
    EXPECT_TRUE(hub->StyleSheetText().contains(QChar(0xE9)));
    // Names are taken in lower case.
    EXPECT_EQ(hub->Settings().ReadStyleSheet("ToolBar"), QStringLiteral("QToolBar { border: 0; }"));
}

TEST_F(MainWinTest, MissingStyleSheetIsEmpty)
{
    StartHub();
    EXPECT_TRUE(hub->StyleSheetText().isEmpty());
    EXPECT_TRUE(hub->styleSheet().isEmpty());
    EXPECT_TRUE(hub->Settings().ReadStyleSheet("nosuchpanel").isEmpty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainWinTest, SiteBookIsLoadedIntoTheDockAtStart)
{
    WriteFile("sitebook.xml", kBook);
    StartHub();
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* root = tree->GetSiteBookRoot();
    // Folders first, then recorders.
    EXPECT_EQ(ChildNames(root), (QStringList{"North", "Yard"}));
    EXPECT_EQ(ChildNames(root->child(0)), (QStringList{"Gate"}));
    // Both recorders took slots of the hub's recorder table while the book was read.
    EXPECT_GE(hub->Sessions()->FindDeviceByName("Yard"), 0);
    EXPECT_GE(hub->Sessions()->FindDeviceByName("Gate"), 0);
}

TEST_F(MainWinTest, ShutDownSavesTheSiteBook)
{
    WriteFile("sitebook.xml", kBook);
    StartHub();
    // Something the user changed: the folder's name.
    QTreeWidgetItem* folder = hub->GetSiteBookTree()->GetSiteBookRoot()->child(0);
    SiteBook* record = SiteBook::FromItem(folder);
    ASSERT_NE(record, nullptr);
    record->name = QStringLiteral("South");
    StopHub();
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));

    const QByteArray saved = ReadFile("sitebook.xml");
    EXPECT_TRUE(saved.startsWith("<?xml")) << saved.constData();
    EXPECT_TRUE(saved.contains("name=\"South\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("name=\"Gate\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("addr=\"10.0.0.2\"")) << saved.constData();

    // The saved book starts the next run with the same recorders.
    StartHub();
    EXPECT_EQ(ChildNames(hub->GetSiteBookTree()->GetSiteBookRoot()), (QStringList{"South", "Yard"}));
}

TEST_F(MainWinTest, FirstRunWithoutBookWritesAnEmptyBook)
{
    StartHub();
    EXPECT_EQ(hub->GetSiteBookTree()->GetSiteBookRoot()->childCount(), 0);
    StopHub();
    const QByteArray saved = ReadFile("sitebook.xml");
    EXPECT_TRUE(saved.contains("<zent version=\"1.0\"")) << saved.constData();
    EXPECT_FALSE(saved.contains("<device")) << saved.constData();
}

TEST_F(MainWinTest, BrokenSiteBookIsReportedAndNeverOverwritten)
{
    const QByteArray broken = QByteArray(kBook).replace("</folder>", "</fold>");
    WriteFile("sitebook.xml", broken);
    StartHub();
    EXPECT_EQ(FirstLines(boxes), (QStringList{"ZENT|Sitebook Parse error"}));
    StopHub();
    EXPECT_EQ(ReadFile("sitebook.xml"), broken);
}

TEST_F(MainWinTest, BookOfAnotherVersionIsReportedAndKept)
{
    const QByteArray other("<?xml version=\"1.0\"?>\n<zent version=\"1.1\">\n <device name=\"A\"/>\n</zent>\n");
    WriteFile("sitebook.xml", other);
    StartHub();
    EXPECT_EQ(FirstLines(boxes), (QStringList{"ZENT|Sitebook Parse error"}));
    EXPECT_EQ(hub->GetSiteBookTree()->GetSiteBookRoot()->childCount(), 0);
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 0);
    StopHub();
    EXPECT_EQ(ReadFile("sitebook.xml"), other);
}

TEST_F(MainWinTest, FreshWindowState)
{
    StartHub();
    EXPECT_EQ(hub->GetProcessorLoad(), 0);
    EXPECT_EQ(hub->size(), QSize(1280, 900));
    EXPECT_EQ(hub->windowTitle(), QStringLiteral("ZENT"));
    EXPECT_FALSE(hub->IsClosing());
    EXPECT_FALSE(hub->IsFullScreenMode());
    EXPECT_TRUE(hub->IsMenuBarShown());
    EXPECT_TRUE(hub->IsSubWindowView());
}

TEST_F(MainWinTest, SaveToTheWordSaveWritesTheProgramDirectoryBook)
{
    WriteFile("sitebook.xml", kBook);
    StartHub();
    QFile::remove(Path("sitebook.xml"));
    WatchBoxes([this] { hub->saveSiteBook(QStringLiteral("save")); });
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    const QByteArray saved = ReadFile("sitebook.xml");
    EXPECT_TRUE(saved.contains("name=\"Yard\"")) << saved.constData();
    EXPECT_TRUE(saved.contains("name=\"North\"")) << saved.constData();
}

TEST_F(MainWinTest, LoadWithClearReplacesTheSiteBook)
{
    WriteFile("sitebook.xml", kBook);
    WriteFile("other.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n <device name=\"Dock\"/>\n</zent>\n");
    StartHub();
    ASSERT_GE(hub->Sessions()->FindDeviceByName("Yard"), 0);
    hub->loadSiteBook(Path("other.xml"));
    EXPECT_EQ(ChildNames(hub->GetSiteBookTree()->GetSiteBookRoot()), (QStringList{"Dock"}));
    // The recorders of the replaced book left the recorder table with their items.
    EXPECT_EQ(hub->Sessions()->FindDeviceByName("Yard"), -1);
    EXPECT_EQ(hub->Sessions()->FindDeviceByName("Gate"), -1);
    EXPECT_GE(hub->Sessions()->FindDeviceByName("Dock"), 0);
}

TEST_F(MainWinTest, OsdFileThatCannotBeWrittenStillSavesTheSiteBook)
{
    // A folder where osd.dat should be: the flags cannot be written, nothing else is harmed.
    ASSERT_TRUE(QDir(programDir.path()).mkdir("osd.dat"));
    StartHub();
    for (int f = 0; f < OsdFlags::kCount; ++f)
        EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlags::kAll[f]), 1) << "flag " << f;
    EXPECT_FALSE(hub->Settings().SaveOsdFile());
    StopHub();
    EXPECT_TRUE(QFileInfo(Path("osd.dat")).isDir());
    EXPECT_TRUE(ReadFile("sitebook.xml").contains("<zent version=\"1.0\""));
}

TEST_F(MainWinTest, FavoritesAndEmapBooksAreLoadedAtStart)
{
    WriteFile("sitebook.xml", kBook);
    WriteFile("favorites.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                               " <favorites_item name=\"Morning\" cameomode=\"4\" favoritesdevice=\"Yard;Gate\""
                               " favoriteschannel=\"0;1\" favoritesmode=\"autoConnectOn\"/>\n</zent>\n");
    WriteFile("emap.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                          " <emap_item name=\"Floor 1\" emapPath=\"/maps/f1.png\"/>\n</zent>\n");
    StartHub();
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    EXPECT_EQ(ChildNames(tree->GetFavoritesRoot()), (QStringList{"Morning"}));
    EXPECT_EQ(ChildNames(tree->GetEmapRoot()), (QStringList{"Floor 1"}));

    // Only the site book is written at shut-down; the other books are written when edited.
    const QByteArray favorites = ReadFile("favorites.xml");
    QFile::remove(Path("emap.xml"));
    StopHub();
    EXPECT_EQ(ReadFile("favorites.xml"), favorites);
    EXPECT_FALSE(FileExists("emap.xml"));
}

TEST_F(MainWinTest, BrokenFavoritesBookIsReported)
{
    WriteFile("favorites.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n <favorites_item name=\"A\">\n");
    StartHub();
    EXPECT_EQ(FirstLines(boxes), (QStringList{"ZENT|Favorites Parse error"}));
}

TEST_F(MainWinTest, SaveFavoritesAndEmapToTheProgramDirectory)
{
    WriteFile("favorites.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                               " <favorites_item name=\"Night\" cameomode=\"9\"/>\n</zent>\n");
    WriteFile("emap.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                          " <emap_item name=\"Roof\"/>\n</zent>\n");
    StartHub();
    QFile::remove(Path("favorites.xml"));
    QFile::remove(Path("emap.xml"));
    WatchBoxes([this] {
        hub->saveSiteBook_Favorites(QStringLiteral("save"));
        hub->saveSiteBook_Emap(QStringLiteral("save"));
    });
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    EXPECT_TRUE(ReadFile("favorites.xml").contains("name=\"Night\""));
    EXPECT_TRUE(ReadFile("emap.xml").contains("name=\"Roof\""));
}
