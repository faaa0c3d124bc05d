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
        import->trigger();
        EXPECT_TRUE(driver->Done());
        EXPECT_EQ(caption, QStringLiteral("Open Import File"));
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
    tree->ImportFile(first);
    tree->ImportFile(first);
    tree->ImportFile(second);
    // Two recorders of one name in two folders stay two; the second import overwrote A's gate.
    const QStringList expected = {
        QStringLiteral("folder A"),
        QStringLiteral("  device gate 192.168.1.1|8100|root|new|1|0"),
        QStringLiteral("folder B"),
        QStringLiteral("  device gate 10.0.0.9|9000|guest|2|1|0"),
    };
    EXPECT_EQ(SiteBookOnDisk(), expected);
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
            tree->ImportFile(c.path);
        EXPECT_FALSE(BookExists("sitebook.xml")) << c.what;
        EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0) << c.what;
    }
    // A file that went away between the dialog and the read.
    std::vector<RecorderListEntry> entries;
    EXPECT_FALSE(RecorderListFile::ReadWorkbook(BookFile("absent.xls"), &entries));
    EXPECT_TRUE(entries.empty());

    // The worksheet found in a book of several sheets.
    tree->ImportFile(Workbook({Sheet(QStringLiteral("Sheet1"), {}), Sheet(QStringLiteral("Import to KRO"), rows)},
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
    ImportThroughMenu(IniList(list));
    // The header that ended yard's block is lost, so dock lands in Head Office; the recorder header
    // before any folder is skipped with its lines.
    const QStringList expected = {
        QStringLiteral("folder Head Office"),
        QStringLiteral("  device dock 10.0.0.3||||1|0"),
        QStringLiteral("  device gate 10.0.0.1|8000|ad min|pass word|1|0"),
        QStringLiteral("  device yard 2 10.0.0.2||||1|0"),
        QStringLiteral("folder Second"),
        QStringLiteral("  device gate 10.1.1.1|9000|||1|0"),
    };
    EXPECT_EQ(SiteBookOnDisk(), expected);

    // The slot on its own: a list file that cannot be opened changes nothing.
    WriteFile("sitebook.xml", "untouched");
    tree->loadIniList(BookFile("absent.ini"));
    EXPECT_EQ(ReadFile("sitebook.xml"), QByteArray("untouched"));
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
