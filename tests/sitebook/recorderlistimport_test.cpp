// Importing recorder lists into the site book: workbooks written by xlwt and .ini lists of the
// older program, each chosen in the file dialog that "Import DVR list" opens, with the tree and
// the site book file read back after the import.
#include <QAction>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>

#include "importcore/support/xlsreference.h"
#include "sitebook/recorderlistfile.h"
#include "sitebook/support/sitebook_menufixture.h"

namespace {

class RecorderListImportTest : public SiteBookMenuTest
{
protected:
    // Opens the menu of the empty area, picks "Import DVR list" and chooses the file in the
    // dialog (or cancels it when the path is empty).
    void ImportThroughMenu(const QString& path)
    {
        std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(EmptyPoint());
        ASSERT_TRUE(menu);
        QAction* import = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QLatin1String("Import DVR list"))
                import = action;
        }
        ASSERT_NE(import, nullptr);
        QString caption;
        auto driver = OnNextDialog<QFileDialog>([path, &caption](QFileDialog* dialog) {
            caption = dialog->windowTitle();
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed into the name field, as a user would: the dialog's own view of the folder
            // fills in later.
            auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameEdit, nullptr);
            nameEdit->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
            // The dialog stays open on a name it does not take; close it so the test goes on.
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the file dialog did not take " << path.toStdString() << ", it holds "
                              << dialog->selectedFiles().join(QLatin1Char(',')).toStdString();
                dialog->reject();
            }
        });
        QSignalSpy finished(tree.get(), &SiteBookTreeWidget::ImportFinished);
        import->trigger();
        EXPECT_TRUE(driver->Done());
        EXPECT_EQ(caption, QStringLiteral("Open Import File"));
        if (!path.isEmpty())
            WaitFor(&finished);
    }

    // Imports the file as the menu does and waits for the import's end.
    void Import(const QString& path)
    {
        QSignalSpy finished(tree.get(), &SiteBookTreeWidget::ImportFinished);
        tree->ImportFile(path);
        WaitFor(&finished);
    }
    static void WaitFor(QSignalSpy* finished)
    {
        if (finished->isEmpty())
            finished->wait(120000);
        ASSERT_EQ(finished->count(), 1) << "the import did not end";
    }

    // A workbook of one or more sheets, each a name and rows of cells (strings, numbers or null).
    QString Workbook(const QJsonArray& sheets, const QString& name = QStringLiteral("list.xls"))
    {
        const QString layoutName = name + QStringLiteral(".json");
        WriteFile(layoutName.toUtf8().constData(),
                  QJsonDocument(QJsonObject{{QStringLiteral("sheets"), sheets}}).toJson());
        const QString layout = BookFile(layoutName.toUtf8().constData());
        const QString path = BookFile(name.toUtf8().constData());
        EXPECT_TRUE(xlsreference::Run({QStringLiteral("write-list"), path, layout}));
        return path;
    }
    static QJsonObject Sheet(const QString& name, const QJsonArray& rows)
    {
        return QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("rows"), rows}};
    }
    static QJsonArray Header() { return QJsonArray{"Folder", "DVR", "IP", "Port", "ID", "Password"}; }
    QString IniList(const QByteArray& content, const QString& name = QStringLiteral("list.ini"))
    {
        WriteFile(name.toUtf8().constData(), content);
        return BookFile(name.toUtf8().constData());
    }
};

TEST_F(RecorderListImportTest, WorkbookRowsBecomeFoldersAndRecorders)
{
    const QString path = Workbook({Sheet(QStringLiteral("Import to KRO"),
                                         {Header(), QJsonArray{"Office", "gate", "10.0.0.1", 8000, "admin", 1234},
                                          QJsonArray{"Office", "yard", "10.0.0.2", "8000", "admin", "pass word"},
                                          QJsonArray{"Store", "door", "store.example", 8000.6, "user", "x"},
                                          QJsonArray{"Store", "back", "10.0.0.4", QJsonValue(), "user", "x"},
                                          QJsonArray{"Store", "after", "10.0.0.5", 8000, "user", "x"}})});
    CModuleDevice* office = AddFolder(QStringLiteral("Office"));
    ImportThroughMenu(path);

    // The third data row has no port: it and every row after it stay out; the book is written.
    const QStringList expected = {
        QStringLiteral("folder Office"),
        QStringLiteral("  device gate 10.0.0.1|8000|admin|1234|1|0"),
        QStringLiteral("  device yard 10.0.0.2|8000|admin|pass word|1|0"),
        QStringLiteral("folder Store"),
        QStringLiteral("  device door store.example|8001|user|x|1|0"),
    };
    EXPECT_EQ(DescribeSiteBook(tree->GetSiteBookRoot()), expected);
    EXPECT_EQ(SiteBookOnDisk(), expected);
    // The folder that was there is reused, not doubled.
    EXPECT_EQ(tree->FindFolderByName(QStringLiteral("Office")), office);
    EXPECT_EQ(office->childCount(), 2);
}

TEST_F(RecorderListImportTest, ImportingAgainUpdatesInsteadOfDoubling)
{
    const QString first = Workbook(
        {Sheet(QStringLiteral("Import to KRO"), {Header(), QJsonArray{"A", "gate", "10.0.0.1", 8000, "admin", "1"},
                                                 QJsonArray{"B", "gate", "10.0.0.9", 9000, "guest", "2"}})},
        QStringLiteral("first.xls"));
    const QString second = Workbook(
        {Sheet(QStringLiteral("Import to KRO"),
               {Header(), QJsonArray{"A", "gate", "192.168.1.1", 8100, "root", "new"}})},
        QStringLiteral("second.xls"));
    MessageBoxCatcher boxes;
    // Each import's box is caught before the next import starts: two boxes open at once would be
    // caught in no set order.
    const QString imports[] = {first, first, second};
    for (int n = 0; n < 3; ++n) {
        Import(imports[n]);
        ASSERT_TRUE(QTest::qWaitFor([&boxes, n] { return boxes.Seen().size() > n; }, 10000)) << n;
    }
    // The same recorder in the same folder is updated, never doubled: the second import overwrote
    // A's gate. A second recorder of the name (in B) is refused, as the recorder dialog refuses
    // a name the book already holds, and its row brings no folder.
    const QStringList expected = {
        QStringLiteral("folder A"),
        QStringLiteral("  device gate 192.168.1.1|8100|root|new|1|0"),
    };
    EXPECT_EQ(SiteBookOnDisk(), expected);
    ASSERT_EQ(boxes.Seen().size(), 3);
    EXPECT_EQ(boxes.Seen().at(0),
              QStringLiteral("SiteBook|first.xls: 1 recorder added, 0 updated, 1 folder added.\n"
                             "1 row skipped:\n"
                             "- an earlier row of the list has the same name: row 3 \"gate\""));
    EXPECT_EQ(boxes.Seen().at(2),
              QStringLiteral("SiteBook|second.xls: 0 recorders added, 1 updated, 0 folders added."));
}

TEST_F(RecorderListImportTest, NothingIsWrittenWithoutTheWorksheetOrTheFile)
{
    const QJsonArray rows = {Header(), QJsonArray{"A", "gate", "10.0.0.1", 8000, "admin", "1"}};
    const struct
    {
        const char* what;
        QString path;
    } cases[] = {
        {"sheet name in other case",
         Workbook({Sheet(QStringLiteral("import to kro"), rows)}, QStringLiteral("case.xls"))},
        {"other sheet only", Workbook({Sheet(QStringLiteral("Sheet1"), rows)}, QStringLiteral("other.xls"))},
        {"not a workbook", IniList("* Site 0 1\n", QStringLiteral("text.xls"))},
        {"list file named in capitals", IniList("* Site 0 1\n", QStringLiteral("list.INI"))},
        {"cancelled dialog", QString()},
    };
    for (const auto& c : cases) {
        if (c.path.isNull())
            ImportThroughMenu(c.path);
        else
            Import(c.path);
        EXPECT_FALSE(BookExists("sitebook.xml")) << c.what;
        EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0) << c.what;
    }
    // A file that went away between the dialog and the read.
    std::vector<RecorderListEntry> entries;
    EXPECT_FALSE(RecorderListFile::ReadWorkbook(BookFile("absent.xls"), &entries));
    EXPECT_TRUE(entries.empty());

    // The worksheet found in a book of several sheets.
    Import(Workbook({Sheet(QStringLiteral("Sheet1"), {}), Sheet(QStringLiteral("Import to KRO"), rows)},
                    QStringLiteral("two.xls")));
    EXPECT_EQ(SiteBookOnDisk(), QStringList({QStringLiteral("folder A"),
                                             QStringLiteral("  device gate 10.0.0.1|8000|admin|1|1|0")}));
}

TEST_F(RecorderListImportTest, IniListThroughTheDialog)
{
    const QByteArray list = "* early 0 2\n"
                            "IP 1.1.1.1\n"
                            "* Head_Office 0 1\n"
                            "* gate 0 2\n"
                            "IP 10.0.0.1\r\n"
                            "PORT 08000\n"
                            "id ad`min\n"
                            "PassWord pass`word extra\n"
                            "NOTE ignored\n"
                            "}\n"
                            "* yard_2 0 2\n"
                            "ip 10.0.0.2\n"
                            "PORT none\n"
                            "* Lost_Folder 0 1\n"
                            "* dock 0 2\n"
                            "IP 10.0.0.3\n"
                            "* Bad 0 x\n"
                            "* Other 0 3\n"
                            "* Second 0 1\n"
                            "* gate 0 2\n"
                            "IP 10.1.1.1\n"
                            "PORT 9000x\n";
    MessageBoxCatcher boxes;
    ImportThroughMenu(IniList(list));
    // The header that ended yard's block is lost, so dock lands in Head Office; the recorder header
    // before any folder is skipped with its lines. A list may leave port, user and password out;
    // a port that is not a number ("none") is refused, and so is a recorder name the list gave
    // before (the second gate).
    const QStringList expected = {
        QStringLiteral("folder Head Office"),
        QStringLiteral("  device dock 10.0.0.3||||1|0"),
        QStringLiteral("  device gate 10.0.0.1|8000|ad min|pass word|1|0"),
        QStringLiteral("folder Second"),
    };
    EXPECT_EQ(SiteBookOnDisk(), expected);
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 1; }, 10000));
    EXPECT_EQ(boxes.Seen().at(0),
              QStringLiteral("SiteBook|list.ini: 2 recorders added, 0 updated, 2 folders added.\n"
                             "2 rows skipped:\n"
                             "- the port is not a number from 1 to 65535: row 11 \"yard 2\" "
                             "(none)\n"
                             "- an earlier row of the list has the same name: row 20 \"gate\""));

    // The slot on its own: a list file that cannot be opened changes nothing, and says so.
    WriteFile("sitebook.xml", "untouched");
    QSignalSpy finished(tree.get(), &SiteBookTreeWidget::ImportFinished);
    tree->loadIniList(BookFile("absent.ini"));
    WaitFor(&finished);
    EXPECT_EQ(ReadFile("sitebook.xml"), QByteArray("untouched"));
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 2; }, 10000));
    EXPECT_EQ(boxes.Seen().at(1), QStringLiteral("SiteBook|absent.ini could not be imported: the file cannot be "
                                                 "opened. The site book is unchanged."));
}

// The list the import was found to take in whole: a blank name, names twice, ports out of range
// and an address that is none. The book gets the good rows only; one message names the others.
TEST_F(RecorderListImportTest, ImportedRowsPassTheDialogsRules)
{
    const QByteArray list = "* North 0 1\n"                                // 1
                            "* _ 0 2\nIP 10.0.0.1\nPORT 8000\n}\n"         // 2: a name of one blank
                            "* dup 0 2\nIP 10.0.0.2\nPORT 8000\n}\n"       // 6
                            "* dup 0 2\nIP 10.0.0.3\nPORT 8000\n}\n"       // 10
                            "* REC1 0 2\nIP 10.0.0.4\nPORT 9000\n}\n"      // 14
                            "* South 0 1\n"                                // 18
                            "* REC1 0 2\nIP 10.0.0.5\nPORT 9000\n}\n"      // 19
                            "* big 0 2\nIP 10.0.0.6\nPORT 99999\n}\n"      // 23
                            "* neg 0 2\nIP 10.0.0.7\nPORT -5\n}\n"         // 27
                            "* zero 0 2\nIP 10.0.0.8\nPORT 0\n}\n"         // 31
                            "* abc 0 2\nIP 10.0.0.9\nPORT abc\n}\n"        // 35
                            "* nohost 0 2\nIP not_a_host!\nPORT 8000\n}\n" // 39
                            "* good 0 2\nIP cam.example\nPORT 8001\nID op\nPASSWORD pw\n}\n"; // 43
    MessageBoxCatcher boxes;
    Import(IniList(list));
    const QStringList expected = {
        QStringLiteral("folder North"),
        QStringLiteral("  device REC1 10.0.0.4|9000|||1|0"),
        QStringLiteral("  device dup 10.0.0.2|8000|||1|0"),
        QStringLiteral("folder South"),
        QStringLiteral("  device good cam.example|8001|op|pw|1|0"),
    };
    EXPECT_EQ(DescribeSiteBook(tree->GetSiteBookRoot()), expected);
    EXPECT_EQ(SiteBookOnDisk(), expected);
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 1; }, 10000));
    EXPECT_EQ(
        boxes.Seen().at(0),
        QStringLiteral("SiteBook|list.ini: 3 recorders added, 0 updated, 2 folders added.\n"
                       "8 rows skipped:\n"
                       "- the recorder has no name: row 2\n"
                       "- the address is not a host name, an IPv4 address or an IPv6 address: row 39 \"nohost\" "
                       "(not_a_host!)\n"
                       "- the port is not a number from 1 to 65535: row 23 \"big\" (99999), row 27 \"neg\" (-5), "
                       "row 31 \"zero\" (0), row 35 \"abc\" (abc)\n"
                       "- an earlier row of the list has the same name: row 10 \"dup\", row 19 \"REC1\""));
}

// A workbook's ports as its cells hold them: numbers, texts, fractions.
TEST_F(RecorderListImportTest, WorkbookRowsWithBadPortsAreSkippedAndNamed)
{
    const QString path = Workbook({Sheet(
        QStringLiteral("Import to KRO"),
        {Header(), QJsonArray{"Site", "a", "10.0.0.1", "abc", "u", "p"},
         QJsonArray{"Site", "b", "10.0.0.2", 99999, "u", "p"}, QJsonArray{"Site", "c", "10.0.0.3", -5, "u", "p"},
         QJsonArray{"Site", "d", "10.0.0.4", 0, "u", "p"}, QJsonArray{"Site", "e", "10.0.0.5", 65535, "u", "p"},
         QJsonArray{"Other", "f", "not a host!", 80, "u", "p"}})});
    MessageBoxCatcher boxes;
    Import(path);
    EXPECT_EQ(SiteBookOnDisk(),
              QStringList({QStringLiteral("folder Site"), QStringLiteral("  device e 10.0.0.5|65535|u|p|1|0")}));
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 1; }, 10000));
    EXPECT_EQ(boxes.Seen().at(0),
              QStringLiteral("SiteBook|list.xls: 1 recorder added, 0 updated, 1 folder added.\n"
                             "5 rows skipped:\n"
                             "- the address is not a host name, an IPv4 address or an IPv6 address: row 7 \"f\" "
                             "(not a host!)\n"
                             "- the port is not a number from 1 to 65535: row 2 \"a\" (abc), row 3 \"b\" (99999), "
                             "row 4 \"c\" (-5), row 5 \"d\" (0)"));
}

// Names the book holds: the same recorder in the same folder is updated; a recorder of that name
// elsewhere in the book (also a locked one) keeps the name for itself.
TEST_F(RecorderListImportTest, NamesTheBookHoldsAreRefusedElsewhere)
{
    CModuleDevice* east = AddFolder(QStringLiteral("East"));
    AddRecorder(QStringLiteral("cam"), east);
    AddRecorder(QStringLiteral("gate"), east);
    AddRecorder(QStringLiteral("@locked"), AddFolder(QStringLiteral("West")));
    MessageBoxCatcher boxes;
    Import(IniList("* East 0 1\n* cam 0 2\nIP 10.0.0.1\nPORT 8000\n}\n"
                   "* North 0 1\n* gate 0 2\nIP 10.0.0.2\nPORT 8000\n}\n"
                   "* West 0 1\n* locked 0 2\nIP 10.0.0.3\nPORT 8000\n}\n"));
    // North's own header row brings the folder; its recorder stays out.
    EXPECT_EQ(SiteBookOnDisk(),
              QStringList({QStringLiteral("folder East"), QStringLiteral("  device cam 10.0.0.1|8000|||1|0"),
                           QStringLiteral("  device gate ||||1|0"), QStringLiteral("folder North"),
                           QStringLiteral("folder West"), QStringLiteral("  device @locked ||||1|0")}));
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 1; }, 10000));
    EXPECT_EQ(boxes.Seen().at(0),
              QStringLiteral("SiteBook|list.ini: 0 recorders added, 1 updated, 1 folder added.\n"
                             "2 rows skipped:\n"
                             "- a recorder of the same name is already in the site book: row 7 \"gate\", row 12 "
                             "\"locked\""));
}

// A list far larger than the recorder table: it is read and checked off the window thread
// (ImportFile returns at once, with the progress box on its way), applied in batches, and
// nothing beyond the table's last slot reaches the tree or sitebook.xml.
TEST_F(RecorderListImportTest, LargeListRespectsTheRecorderLimitAndLeavesTheWindowFree)
{
    constexpr int kRows = 20000;
    const int limit = 40;
    hub->slotLimit = limit;
    QByteArray list = "* Big 0 1\n";
    for (int i = 0; i < kRows; ++i)
        list += "* r" + QByteArray::number(i) + " 0 2\nIP 10.0." + QByteArray::number(i / 250) + "."
                + QByteArray::number(i % 250 + 1) + "\nPORT 8000\n}\n";
    const QString path = IniList(list, QStringLiteral("big.ini"));
    MessageBoxCatcher boxes;
    QSignalSpy finished(tree.get(), &SiteBookTreeWidget::ImportFinished);
    tree->ImportFile(path);
    // Nothing is applied inside the call: the window goes on with its events meanwhile.
    EXPECT_TRUE(tree->IsImporting());
    EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0);
    EXPECT_NE(tree->findChild<QProgressDialog*>(QStringLiteral("importProgress")), nullptr);
    // A second import waits for the first; the menu greys its entry meanwhile.
    tree->ImportFile(path);
    std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(EmptyPoint());
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String("Import DVR list")) {
            EXPECT_FALSE(action->isEnabled());
        }
    }
    WaitFor(&finished);
    EXPECT_FALSE(tree->IsImporting());
    EXPECT_EQ(tree->findChild<QProgressDialog*>(QStringLiteral("importProgress")), nullptr);

    CModuleDevice* big = tree->FindFolderByName(QStringLiteral("Big"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->childCount(), limit);
    const QStringList onDisk = SiteBookOnDisk();
    EXPECT_EQ(onDisk.size(), 1 + limit);
    EXPECT_TRUE(onDisk.contains(QStringLiteral("  device r39 10.0.0.40|8000|||1|0")));
    EXPECT_FALSE(onDisk.contains(QStringLiteral("  device r40 10.0.0.41|8000|||1|0")));
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return boxes.Seen().size() >= 1; }, 10000));
    EXPECT_EQ(boxes.Seen().at(0),
              QStringLiteral("SiteBook|big.ini: 40 recorders added, 0 updated, 1 folder added.\n"
                             "19960 rows skipped:\n"
                             "- the site book holds no more recorders: row 162 \"r40\", row 166 \"r41\", row 170 "
                             "\"r42\", row 174 \"r43\", row 178 \"r44\" and 19955 more rows"));
    menu = tree->PrepareContextMenu(EmptyPoint());
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String("Import DVR list")) {
            EXPECT_TRUE(action->isEnabled());
        }
    }
}

TEST_F(RecorderListImportTest, LongIniWordsAreCut)
{
    const QByteArray longName(600, 'n');
    const std::vector<RecorderListEntry> entries = RecorderListFile::ParseIniList(
        "* " + longName + " 0 1\n* r 0 2\nIP " + longName + "\n}\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].folder.size(), RecorderListFile::kMaxWordBytes);
    EXPECT_EQ(entries[1].addr.size(), RecorderListFile::kMaxWordBytes);
}

} // namespace
