// The hub's small settings files (smtp.dat read, account.dat written), the start of the backup
// player, the book load and save slots with explicit paths and the console skin lookup.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidgetItem>
#include <cctype>
#include <string>
#include <sys/stat.h>

#include "harness/boxtext.h"
#include "platform/process.h"
#include "shell/mainwindow.h"
#include "shell/skinimageadapter.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

QStringList ChildNames(const QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i)
        names << item->child(i)->text(0);
    return names;
}

QByteArray Book(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n" + body + "</zent>\n";
}

// ---------------------------------------------------------------------------------------------
// smtp.dat

struct SmtpCase
{
    const char* name;
    const char* content; // null: no smtp.dat
    const char* server;
    const char* port;
    bool secure;
    bool authentication;
    const char* user;
    const char* password;
    const char* sender;
};

const SmtpCase kSmtpCases[] = {
    {"missing file", nullptr, "", "25", false, true, "", "", ""},
    {"six lines", "mail.example.org\n587\n1\n1\nops\nsecret\n", "mail.example.org", "587", true, true, "ops",
     "secret", "ops@mail.example.org"},
    {"no line end at the end", "mx\n25\n0\n1\nme\npw", "mx", "25", false, true, "me", "pw", "me@mx"},
    {"authentication off", "mx\n25\n0\n0\nme\npw\n", "mx", "25", false, false, "me", "pw", "me@mx"},
    {"only exactly 1 is on", "mx\n25\nyes\ntrue\nme\npw\n", "mx", "25", false, false, "me", "pw", "me@mx"},
    {"windows line ends", "mx\r\n465\r\n1\r\n1\r\nme\r\npw\r\n", "mx", "465", true, true, "me", "pw", "me@mx"},
    {"missing lines are empty", "mx\n2525\n1\n", "mx", "2525", true, false, "", "", ""},
    {"empty file", "", "", "", false, false, "", "", ""},
    {"no user, no sender", "mx\n25\n0\n1\n\npw\n", "mx", "25", false, true, "", "pw", ""},
    {"no server, no sender", "\n25\n0\n1\nme\npw\n", "", "25", false, true, "me", "pw", ""},
    {"blanks inside user and password", "mx\n25\n0\n1\nNight Shift\nmy pass word\n", "mx", "25", false, true,
     "Night Shift", "my pass word", "Night Shift@mx"},
    {"UTF-8", "m\xc3\xa4il.example\n25\n0\n1\nj\xc3\xbcrgen\np\xc3\xa4ss\xe2\x82\xac\n", "m\xc3\xa4il.example",
     "25", false, true, "j\xc3\xbcrgen", "p\xc3\xa4ss\xe2\x82\xac", "j\xc3\xbcrgen@m\xc3\xa4il.example"},
    {"lines after the sixth ignored", "mx\n25\n0\n1\nme\npw\nextra\nmore\n", "mx", "25", false, true, "me", "pw",
     "me@mx"},
};

// ---------------------------------------------------------------------------------------------
// account.dat

struct AccountCase
{
    const char* name;
    const char* login[SettingsFiles::kServerLoginFields];
    const char* file;
};

const AccountCase kAccountCases[] = {
    {"empty record", {"", "", "", "", "", "", "", "", ""}, "none\nnone\nnone\n0\n0\n0\nnone\nnone\n0\n"},
    {"full record", {"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9"}, "L3\nL4\nL5\n0\n0\nL8\nL1\nL2\nL9\n"},
    {"sixth and seventh never written",
     {"a", "b", "c", "d", "e", "", "", "h", "i"},
     "c\nd\ne\n0\n0\nh\na\nb\ni\n"},
    {"some empty",
     {"", "8080", "", "admin", "", "x", "y", "", "tok"},
     "none\nadmin\nnone\n0\n0\n0\nnone\n8080\ntok\n"},
    {"UTF-8",
     {"s\xc3\xa9rver", "1", "\xe5\x90\x8d", "p", "q", "", "", "1", "2"},
     "\xe5\x90\x8d\np\nq\n0\n0\n1\ns\xc3\xa9rver\n1\n2\n"},
};

} // namespace

TEST_F(MainWinTest, SmtpSettingsComeFromSmtpDat)
{
    for (const SmtpCase& c : kSmtpCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path("smtp.dat"));
        if (c.content)
            WriteFile("smtp.dat", c.content);
        StartHub();
        const SettingsFiles::SmtpSettings& s = hub->Settings().GetSmtpSettings();
        EXPECT_EQ(s.server, QString::fromUtf8(c.server));
        EXPECT_EQ(s.port, QString::fromUtf8(c.port));
        EXPECT_EQ(s.secure, c.secure);
        EXPECT_EQ(s.authentication, c.authentication);
        EXPECT_EQ(s.user, QString::fromUtf8(c.user));
        EXPECT_EQ(s.password, QString::fromUtf8(c.password));
        EXPECT_EQ(s.sender, QString::fromUtf8(c.sender));
        EXPECT_TRUE(boxes.isEmpty());
        StopHub();
    }
}

TEST_F(MainWinTest, LoadSmtpReadsTheFileAgain)
{
    StartHub();
    EXPECT_EQ(hub->Settings().GetSmtpSettings().port, QStringLiteral("25"));
    WriteFile("smtp.dat", "relay\n26\n1\n0\nu\np\n");
    hub->OnLoadSMTP();
    EXPECT_EQ(hub->Settings().GetSmtpSettings().server, QStringLiteral("relay"));
    EXPECT_EQ(hub->Settings().GetSmtpSettings().port, QStringLiteral("26"));
    EXPECT_FALSE(hub->Settings().GetSmtpSettings().authentication);
    // Gone again: the defaults, not what was read before.
    QFile::remove(Path("smtp.dat"));
    hub->OnLoadSMTP();
    EXPECT_TRUE(hub->Settings().GetSmtpSettings().server.isEmpty());
    EXPECT_EQ(hub->Settings().GetSmtpSettings().port, QStringLiteral("25"));
    EXPECT_TRUE(hub->Settings().GetSmtpSettings().authentication);
    EXPECT_TRUE(hub->Settings().GetSmtpSettings().sender.isEmpty());
}

TEST_F(MainWinTest, AccountFileHoldsTheLoginInItsOrder)
{
    StartHub();
    for (const AccountCase& c : kAccountCases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < SettingsFiles::kServerLoginFields; ++i)
            hub->Settings().SetServerLogin(i, QString::fromUtf8(c.login[i]));
        ASSERT_TRUE(hub->SaveAccountFile());
        EXPECT_EQ(ReadFile("account.dat"), QByteArray(c.file));
    }
}

// The server login holds a password: account.dat is readable by its owner only, whatever the
// process's umask would give a new file, and also when an older build left it readable by all.
TEST_F(MainWinTest, AccountFileIsReadableByItsOwnerOnly)
{
    StartHub();
    hub->Settings().SetServerLogin(4, QStringLiteral("secret"));
    for (const bool leftByAnOlderBuild : {false, true}) {
        SCOPED_TRACE(leftByAnOlderBuild);
        const QByteArray path = QFile::encodeName(Path("account.dat"));
        QFile::remove(Path("account.dat"));
        if (leftByAnOlderBuild) {
            QFile old(Path("account.dat"));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old\n");
            old.close();
            ASSERT_EQ(::chmod(path.constData(), 0644), 0);
        }
        const mode_t previous = ::umask(022);
        const bool saved = hub->SaveAccountFile();
        ::umask(previous);
        ASSERT_TRUE(saved);
        struct stat st
        {};
        ASSERT_EQ(::stat(path.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode_t(0600));
        EXPECT_TRUE(ReadFile("account.dat").contains("secret"));
    }
}

TEST_F(MainWinTest, AccountFileReplacementsStayInTheRecord)
{
    StartHub();
    hub->Settings().SetServerLogin(1, QStringLiteral("9000"));
    hub->Settings().SetServerLogin(5, QString());
    ASSERT_TRUE(hub->SaveAccountFile());
    const char* expected[] = {"none", "9000", "none", "none", "none", "", "", "0", "0"};
    for (int i = 0; i < SettingsFiles::kServerLoginFields; ++i)
        EXPECT_EQ(hub->Settings().GetServerLogin(i), QString::fromLatin1(expected[i])) << "field " << i;
    EXPECT_TRUE(hub->Settings().GetServerLogin(-1).isEmpty());
    EXPECT_TRUE(hub->Settings().GetServerLogin(9).isEmpty());
}

TEST_F(MainWinTest, AccountFileThatCannotBeWrittenIsLeftAlone)
{
    StartHub();
    ASSERT_TRUE(QDir(programDir.path()).mkdir(QStringLiteral("account.dat")));
    hub->Settings().SetServerLogin(0, QStringLiteral("srv"));
    EXPECT_FALSE(hub->SaveAccountFile());
    EXPECT_TRUE(QFileInfo(Path("account.dat")).isDir());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainWinTest, AccountValueWithALineBreakWritesNothing)
{
    StartHub();
    for (int i = 0; i < SettingsFiles::kServerLoginFields; ++i)
        hub->Settings().SetServerLogin(i, QStringLiteral("v%1").arg(i));
    ASSERT_TRUE(hub->SaveAccountFile());
    const QByteArray before = ReadFile("account.dat");
    hub->Settings().SetServerLogin(3, QStringLiteral("two\nlines"));
    EXPECT_FALSE(hub->SaveAccountFile());
    EXPECT_EQ(ReadFile("account.dat"), before);
}

// ---------------------------------------------------------------------------------------------
// Backup player

namespace {

// A stand-in player that writes the number of its arguments, then each argument, one a line,
// into "args.txt" beside itself (through a temporary name, so that the file appears whole).
void WriteFakePlayer(const QString& directory)
{
    const QString path = directory + QStringLiteral("/orvane");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n"
               "dir=$(dirname \"$0\")\n"
               "printf '%s\\n' \"$#\" \"$@\" > \"$dir/args.tmp\"\n"
               "pwd >> \"$dir/args.tmp\"\n"
               "mv \"$dir/args.tmp\" \"$dir/args.txt\"\n");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

TEST_F(MainWinTest, PlayerStartsFromTheProgramDirectory)
{
    WriteFakePlayer(programDir.path());
    StartHub();

    struct PlayerCase
    {
        const char* name;
        QString file;
        QStringList expected; // count, arguments, working directory
    };
    const QString recording = Path("backup/BackupData/Yard Gate/20260101/h120000.001");
    const PlayerCase playerCases[] = {
        {"no argument", QString(), {"0", QDir(programDir.path()).canonicalPath()}},
        {"one recording with blanks in its path",
         recording,
         {"1", recording, QDir(programDir.path()).canonicalPath()}},
    };
    for (const PlayerCase& c : playerCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path("args.txt"));
        EXPECT_TRUE(hub->StartOrvane(c.file));
        ASSERT_TRUE(QTest::qWaitFor([this] { return FileExists("args.txt"); }, 10000));
        QStringList lines = QString::fromUtf8(ReadFile("args.txt")).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (!lines.isEmpty())
            lines.last() = QDir(lines.last()).canonicalPath();
        EXPECT_EQ(lines, c.expected);
    }

    // The menu's slot starts it without an argument.
    QFile::remove(Path("args.txt"));
    hub->exeOrvane();
    ASSERT_TRUE(QTest::qWaitFor([this] { return FileExists("args.txt"); }, 10000));
    EXPECT_TRUE(ReadFile("args.txt").startsWith("0\n"));
}

// The user's two ways to the player, the View menu's entry and the tool bar's button, start it
// without an argument.
TEST_F(MainWinTest, PlayerMenuEntryAndToolBarButtonStartIt)
{
    WriteFakePlayer(programDir.path());
    StartHub();
    const auto named = [](const QList<QAction*>& actions, const QString& text) -> QAction* {
        for (QAction* a : actions) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    };
    QAction* view = named(hub->menuBar()->actions(), QStringLiteral("&View"));
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->menu(), nullptr);
    ASSERT_FALSE(hub->ToolBars().isEmpty());
    const struct
    {
        const char* name;
        QAction* action;
    } ways[] = {
        {"View menu entry", named(view->menu()->actions(), QStringLiteral("Backup Player"))},
        {"tool bar button", named(hub->ToolBars().first()->actions(), QStringLiteral("Backup Player"))},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NE(way.action, nullptr);
        EXPECT_TRUE(way.action->isEnabled());
        QFile::remove(Path("args.txt"));
        way.action->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return FileExists("args.txt"); }, 10000))
            << "the player never started";
        QStringList lines = QString::fromUtf8(ReadFile("args.txt")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], QStringLiteral("0"));
        EXPECT_EQ(QDir(lines[1]).canonicalPath(), QDir(programDir.path()).canonicalPath());
    }
}

TEST_F(MainWinTest, MissingPlayerIsNotStartedAndNotReported)
{
    StartHub();
    // Only the test's program directory is looked at, not the folder of the built player.
    hub->SetPlayerLookup([this] { return platform::Process::FindProgramIn("Orvane.exe", {programDir.path()}); });
    EXPECT_FALSE(hub->StartOrvane());
    EXPECT_FALSE(hub->StartOrvane(Path("h120000.001")));
    // A file named like the player that cannot be run is no player either.
    WriteFile("orvane", "#!/bin/sh\nexit 0\n");
    EXPECT_FALSE(hub->StartOrvane());
    WatchBoxes([this] { hub->exeOrvane(); });
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
}

// ---------------------------------------------------------------------------------------------
// Book slots with explicit paths

TEST_F(MainWinTest, BookSlotsReadAndWriteTheGivenFiles)
{
    WriteFile("sitebook.xml",
              Book(" <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    WriteFile("more/site.xml",
              Book(" <device name=\"Dock\" addr=\"10.0.0.4\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    WriteFile("more/fav.xml", Book(" <favorites_item name=\"Late\" cameomode=\"400\" favoritesdevice=\"Dock\""
                                   " favoriteschannel=\"0\"/>\n"));
    WriteFile("more/map.xml", Book(" <emap_item name=\"Hall\"/>\n"));
    StartHub();
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_NE(tree, nullptr);

    // Without clearing the recorders are added to those already there.
    hub->loadSiteBook(Path("more/site.xml"), false);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Dock", "Yard"}));
    // The favorites and e-map books append as well.
    hub->loadSiteBook_Favorites(Path("more/fav.xml"));
    hub->loadSiteBook_Favorites(Path("more/fav.xml"));
    EXPECT_EQ(ChildNames(tree->GetFavoritesRoot()), (QStringList{"Late", "Late"}));
    hub->loadSiteBook_Emap(Path("more/map.xml"));
    EXPECT_EQ(ChildNames(tree->GetEmapRoot()), (QStringList{"Hall"}));

    WatchBoxes([this] {
        hub->saveSiteBook(Path("out/site.xml"));
        hub->saveSiteBook_Favorites(Path("out/fav.xml"));
        hub->saveSiteBook_Emap(Path("out/map.xml"));
    });
    // The folder "out" does not exist: every save is reported and nothing is written.
    EXPECT_EQ(boxes, (QStringList{"ZENT|Cannot write sitebook", "ZENT|Cannot write Favorites",
                                  "ZENT|Cannot write Emap"}));
    EXPECT_FALSE(FileExists("out/site.xml"));

    boxes.clear();
    ASSERT_TRUE(QDir(programDir.path()).mkdir(QStringLiteral("out")));
    WatchBoxes([this] {
        hub->saveSiteBook(Path("out/site.xml"));
        hub->saveSiteBook_Favorites(Path("out/fav.xml"));
        hub->saveSiteBook_Emap(Path("out/map.xml"));
    });
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    const QByteArray site = ReadFile("out/site.xml");
    EXPECT_TRUE(site.contains("name=\"Dock\"") && site.contains("name=\"Yard\"")) << site.constData();
    EXPECT_EQ(ReadFile("out/fav.xml").count("name=\"Late\""), 2);
    EXPECT_TRUE(ReadFile("out/map.xml").contains("name=\"Hall\""));

    // What was written reads back into an emptied tree.
    hub->loadSiteBook(Path("out/site.xml"), true);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Dock", "Yard"}));
}

TEST_F(MainWinTest, BrokenBooksGivenByPathAreReported)
{
    StartHub();
    WriteFile("bad.xml", "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n <device name=\"A\">\n");
    WatchBoxes([this] {
        hub->loadSiteBook(Path("bad.xml"), false);
        hub->loadSiteBook_Emap(Path("bad.xml"));
        hub->loadSiteBook_Favorites(Path("bad.xml"));
    });
    EXPECT_EQ(FirstLines(boxes),
              (QStringList{"ZENT|Sitebook Parse error", "ZENT|eMap Parse error", "ZENT|Favorites Parse error"}));
    // Each names the file and where its reader stopped.
    for (const QString& box : boxes) {
        EXPECT_TRUE(box.contains(QStringLiteral("bad.xml\n"))) << qPrintable(box);
        EXPECT_TRUE(box.contains(QStringLiteral("(line 4, column 0)"))) << qPrintable(box);
    }
    // A book whose read failed is not written over by a save to the same path.
    WatchBoxes([this] { hub->saveSiteBook(Path("bad.xml")); });
    EXPECT_TRUE(ReadFile("bad.xml").endsWith("<device name=\"A\">\n"));
}

TEST_F(MainWinTest, SiteBookThatCannotBeReadDoesNotEmptyTheTree)
{
    WriteFile("sitebook.xml",
              Book(" <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    StartHub();
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    WatchBoxes([this] { hub->loadSiteBook(Path("no-such-book.xml")); });
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Yard"}));
    // And so the book of the program directory is still whole after shut-down.
    StopHub();
    EXPECT_TRUE(ReadFile("sitebook.xml").contains("name=\"Yard\""));
}

// A file that is no site book at all, loaded with "clear" as the tree's Load SiteBook does: the
// load is refused before the tree is touched, so the book saved at shut-down is still whole.
TEST_F(MainWinTest, LoadingAFileThatIsNoSiteBookLeavesTreeAndBooksAsTheyWere)
{
    const QByteArray book = Book(
        " <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"a\" password=\"b\"/>\n"
        " <device name=\"Dock\" addr=\"10.0.0.3\" port=\"9000\" id=\"a\" password=\"b\"/>\n");
    WriteFile("sitebook.xml", book);
    WriteFile("notes.txt", "shopping list\n- milk\n- bread\n");
    StartHub();
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    WatchBoxes([this] { hub->loadSiteBook(Path("notes.txt"), true); });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("ZENT|Sitebook Parse error\n"))) << qPrintable(boxes[0]);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("notes.txt"))) << qPrintable(boxes[0]);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("(line 1, column "))) << qPrintable(boxes[0]);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Dock", "Yard"})); // the tree sorts by name
    StopHub();
    const QByteArray saved = ReadFile("sitebook.xml");
    EXPECT_TRUE(saved.contains("name=\"Yard\"") && saved.contains("name=\"Dock\"")) << saved.constData();
    EXPECT_EQ(ReadFile("notes.txt"), QByteArray("shopping list\n- milk\n- bread\n"));
}

namespace {

// Answers the file dialog that opens next: notes its title, filters and folder, then picks the
// file (cancels for an empty choice). A question whether to replace an existing file is
// answered yes and noted.
class FileDialogAnswer : public QObject
{
public:
    explicit FileDialogAnswer(const QString& choice)
        : m_choice(choice)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
        m_timer.start(10);
    }

    bool seen = false;
    bool replaceAsked = false;
    QString title;
    QStringList filters;
    QString directory;

private:
    void Tick()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                replaceAsked = true;
                if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                    yes->click();
                return;
            }
        }
        for (QWidget* w : windows) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            if (!seen) {
                seen = true;
                title = dialog->windowTitle();
                filters = dialog->nameFilters();
                directory = QDir(dialog->directory()).canonicalPath();
                m_ticks = 0;
            }
            // Answered now, and again every so often while the dialog stays open: the dialog
            // may still be loading its folder and put its own text in place of the choice.
            if (m_ticks++ % 20 != 0)
                return;
            if (m_choice.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed into the name field: the dialog's selectFile leaves a field that has the focus
            // alone.
            dialog->selectFile(m_choice);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(m_choice);
            // The file dialog's own accept, which checks the choice like a click on its button.
            // Queued, so that this timer goes on ticking inside a question it may ask.
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
            return;
        }
    }

    QString m_choice;
    int m_ticks = 0;
    QTimer m_timer;
};

struct BookDialogCase
{
    const char* name;
    void (*run)(MainWindow* hub);
    const char* title;
    const char* filter;
};

const BookDialogCase kBookDialogCases[] = {
    {"load site book", [](MainWindow* h) { h->loadSiteBook(QString()); }, "Open SiteBook File",
     "ZENT SiteBook Files (*.xml)"},
    {"load e-map book", [](MainWindow* h) { h->loadSiteBook_Emap(QString()); }, "Open eMap File",
     "ZENT eMap Files (*.xml)"},
    {"load favorites book", [](MainWindow* h) { h->loadSiteBook_Favorites(QString()); }, "Open Favorites File",
     "ZENT Favorites Files (*.xml)"},
    {"save site book", [](MainWindow* h) { h->saveSiteBook(); }, "Save SiteBook File",
     "ZENT SiteBook Files (*.xml)"},
    {"save e-map book", [](MainWindow* h) { h->saveSiteBook_Emap(); }, "Save Emap File",
     "ZENT Emap Files (*.xml)"},
    {"save favorites book", [](MainWindow* h) { h->saveSiteBook_Favorites(); }, "Save Favorites File",
     "ZENT Favorites Files (*.xml)"},
};

} // namespace

TEST_F(MainWinTest, BookSlotsWithoutAPathAskWithTheirDialog)
{
    WriteFile("sitebook.xml",
              Book(" <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    StartHub();
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    for (const BookDialogCase& c : kBookDialogCases) {
        SCOPED_TRACE(c.name);
        // Cancelled: nothing is read, emptied or written.
        FileDialogAnswer answer{QString()};
        c.run(hub.get());
        ASSERT_TRUE(answer.seen);
        EXPECT_EQ(answer.title, QString::fromLatin1(c.title));
        EXPECT_EQ(answer.filters, QStringList{QString::fromLatin1(c.filter)});
        if (answer.title.startsWith(QLatin1String("Open"))) {
            EXPECT_EQ(answer.directory, QDir(programDir.path()).canonicalPath());
        }
        EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Yard"}));
        EXPECT_EQ(QDir(programDir.path()).entryList(QDir::Files), (QStringList{"sitebook.xml"}));
    }
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
}

TEST_F(MainWinTest, BooksChosenInTheDialogAreReadAndWritten)
{
    WriteFile("sitebook.xml",
              Book(" <device name=\"Yard\" addr=\"10.0.0.2\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    WriteFile("pick/site.xml",
              Book(" <device name=\"Dock\" addr=\"10.0.0.4\" port=\"9000\" id=\"a\" password=\"b\"/>\n"));
    StartHub();
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    {
        FileDialogAnswer answer(Path("pick/site.xml"));
        hub->loadSiteBook(QString());
        ASSERT_TRUE(answer.seen);
    }
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), (QStringList{"Dock"}));
    {
        FileDialogAnswer answer(Path("pick/copy.xml"));
        hub->saveSiteBook();
        ASSERT_TRUE(answer.seen);
        EXPECT_FALSE(answer.replaceAsked);
    }
    EXPECT_TRUE(ReadFile("pick/copy.xml").contains("name=\"Dock\""));
    EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(", "));
}

TEST_F(MainWinTest, BookThatFailedToLoadIsWrittenWhenTheUserPicksIt)
{
    const QByteArray broken = "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n <favorites_item name=\"A\">\n";
    WriteFile("favorites.xml", broken);
    StartHub();
    EXPECT_EQ(FirstLines(boxes), (QStringList{"ZENT|Favorites Parse error"}));
    // Kept when written by its own name...
    WatchBoxes([this] { hub->saveSiteBook_Favorites(QStringLiteral("save")); });
    EXPECT_EQ(ReadFile("favorites.xml"), broken);
    // ...but replaced when the user picks it in the save dialog.
    FileDialogAnswer answer(Path("favorites.xml"));
    WatchBoxes([this] { hub->saveSiteBook_Favorites(); });
    ASSERT_TRUE(answer.seen);
    EXPECT_TRUE(answer.replaceAsked);
    EXPECT_EQ(FirstLines(boxes), (QStringList{"ZENT|Favorites Parse error"}));
    const QByteArray written = ReadFile("favorites.xml");
    EXPECT_NE(written, broken);
    EXPECT_TRUE(written.contains("<zent version=\"1.0\"")) << written.constData();
}

// ---------------------------------------------------------------------------------------------
// Console skins

struct SkinPathCase
{
    const char* name;
    int modelType;
    const char* image;
    int variant;
    const char* path;
};

const SkinPathCase kSkinPathCases[] = {
    {"not logged in", -1, "ok", 0, ":/res/Config/TYPE1_CALDORA/VGA/skin_img/ok.bmp"},
    {"model 0", 0, "ok", 0, ":/res/Config/TYPE1_CALDORA/VGA/skin_img/ok.bmp"},
    {"bin folder", 3, "ok", 1, ":/res/Config/TYPE1_CALDORA/VGA/skin_img/bin/ok.bmp"},
    {"model 7", 7, "ok", 0, ":/res/Config/TYPE5_PRIME/VGA/skin_img/ok.bmp"},
    {"model 7 bin folder", 7, "ok", 1, ":/res/Config/TYPE5_PRIME/VGA/skin_img/bin/ok.bmp"},
    {"model 10 has no skin", 10, "ok", 0, ""},
    {"model 10 bin folder", 10, "ok", 1, ""},
    {"other variant", 0, "ok", 2, ""},
    {"negative variant", 7, "ok", -1, ""},
    {"no name", 0, "", 0, ""},
    {"name with a folder", 0, "../../ZENT", 0, ""},
    {"name with a backslash", 0, "a\\b", 1, ""},
};

class SkinPathTest : public ::testing::TestWithParam<SkinPathCase>
{};

TEST_P(SkinPathTest, PathFollowsModelAndVariant)
{
    const SkinPathCase& c = GetParam();
    EXPECT_EQ(SkinImageAdapter::DeviceImagePath(c.modelType, QString::fromLatin1(c.image), c.variant),
              QString::fromLatin1(c.path));
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinPathTest, ::testing::ValuesIn(kSkinPathCases),
                         [](const ::testing::TestParamInfo<SkinPathCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(MainWinTest, SkinBitmapsComeFromTheResources)
{
    // A small skin set made into a resource file at test time, mounted where the client's
    // embedded skins live.
    QTemporaryDir skin;
    ASSERT_TRUE(skin.isValid());
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(2, 2, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(QDir(skin.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(red.save(skin.filePath(QStringLiteral("knob.bmp")), "BMP"));
    ASSERT_TRUE(blue.save(skin.filePath(QStringLiteral("bin/knob.bmp")), "BMP"));
    {
        QFile qrc(skin.filePath(QStringLiteral("skin.qrc")));
        ASSERT_TRUE(qrc.open(QIODevice::WriteOnly));
        qrc.write("<RCC><qresource prefix=\"/res/Config/TYPE1_CALDORA/VGA/skin_img\">"
                  "<file>knob.bmp</file><file>bin/knob.bmp</file></qresource></RCC>\n");
    }
    QProcess rcc;
    rcc.setWorkingDirectory(skin.path());
    rcc.start(QStringLiteral("/usr/lib/qt5/bin/rcc"), {QStringLiteral("-binary"), QStringLiteral("skin.qrc"),
                                                       QStringLiteral("-o"), QStringLiteral("skin.rcc")});
    ASSERT_TRUE(rcc.waitForFinished(30000)) << "rcc";
    ASSERT_EQ(rcc.exitCode(), 0) << rcc.readAllStandardError().constData();
    const QString rccPath = skin.filePath(QStringLiteral("skin.rcc"));
    ASSERT_TRUE(QResource::registerResource(rccPath));

    StartHub();
    // Recorder 0 is not in the table, so it has no model type yet: the common skin set.
    const QPixmap knob = SkinImageAdapter::LoadDeviceImage(*hub->Sessions(), QStringLiteral("knob"), 0, 0);
    EXPECT_EQ(knob.size(), QSize(4, 3));
    EXPECT_EQ(knob.toImage().pixelColor(0, 0), QColor(Qt::red));
    QPixmap binKnob;
    SkinImageAdapter::LoadDeviceImage(*hub->Sessions(), binKnob, QStringLiteral("knob"), 1, 0);
    EXPECT_EQ(binKnob.size(), QSize(2, 2));
    EXPECT_EQ(binKnob.toImage().pixelColor(1, 1), QColor(Qt::blue));

    // Missing bitmaps and other variants give a null pixmap.
    EXPECT_TRUE(SkinImageAdapter::LoadDeviceImage(*hub->Sessions(), QStringLiteral("missing"), 0, 0).isNull());
    EXPECT_TRUE(SkinImageAdapter::LoadDeviceImage(*hub->Sessions(), QStringLiteral("knob"), 2, 0).isNull());
    QPixmap reused = knob;
    SkinImageAdapter::LoadDeviceImage(*hub->Sessions(), reused, QStringLiteral("missing"), 1, 0);
    EXPECT_TRUE(reused.isNull());

    EXPECT_TRUE(QResource::unregisterResource(rccPath));
}
