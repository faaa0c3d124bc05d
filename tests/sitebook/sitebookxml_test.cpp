#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "sitebook/sitebookfile.h"
#include "sitebook/sitebookxmlreader.h"
#include "sitebook/sitebookxmlwriter.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

// A site book written by hand: entries out of order, a nested folder, an element the reader
// does not know (with children), an attribute it does not know, attributes in another order,
// a recorder with children of its own, a bad and a missing quality.
const char kBook[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <device name="yard" addr="10.0.0.2" port="9010" id="admin" password="pw2" emapPath="" emapPos="" quality="3" use_ssl="1"/>
    <folder name="west" folded="no">
        <device name="b-cam" addr="b.example" port="9000" id="op" password="" emapPath="" emapPos="" quality="2" use_ssl="0"/>
        <device name="A-cam" addr="a.example" port="9001" id="op" password="x" emapPath="" emapPos=""/>
        <folder name="inner" folded="yes"/>
    </folder>
    <unknown name="skip me"><device name="hidden" addr="h" port="1"/></unknown>
    <device name="Gate" addr="gate.example" port="9002" id="root" password="secret" emapPath="/maps/site.png" emapPos="0.100000;0.200000;" quality="2" use_ssl="0" colour="red" emapCameraPath0="/maps/cam0.png" emapCameraPos0="0.500000;0.600000;" emapCameraPath15="/maps/cam15.png" emapCameraPos15="0.700000;0.800000;">
        <camera name="child elements of a recorder are skipped"/>
    </device>
    <folder folded="no" name="east"/>
    <folder name="nofold"/>
</zent>
)";

bool ReadBook(SiteBookTreeWidget* tree, const QByteArray& text, QString* error = nullptr)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    SiteBookXmlReader reader(tree);
    const bool ok = reader.read(&buffer);
    if (error)
        *error = reader.errorString();
    return ok;
}

QByteArray WriteBook(SiteBookTreeWidget* tree)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    SiteBookXmlWriter writer(tree);
    EXPECT_TRUE(writer.write(&buffer));
    return buffer.data();
}

const SiteBook* RecordOf(const QTreeWidgetItem* item)
{
    const SiteBook* record = SiteBook::FromItem(item);
    EXPECT_NE(record, nullptr);
    return record;
}

// Everything of a folder or recorder that the book stores, its children included, as text.
QString Describe(const QTreeWidgetItem* item, int depth = 0)
{
    QString out;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const SiteBook* r = SiteBook::FromItem(child);
        if (!r)
            continue;
        out += QString(depth * 2, QLatin1Char(' ')) + r->kind + QLatin1Char(' ') + r->name;
        if (r->kind == QLatin1String("folder")) {
            out += child->isExpanded() ? QStringLiteral(" open\n") : QStringLiteral(" folded\n");
            out += Describe(child, depth + 1);
            continue;
        }
        if (r->kind != QLatin1String("device"))
            continue;
        out += QStringList({r->addr, r->port, r->id, r->password, r->emapPath, r->emapPos,
                            QString::number(r->quality), QString::number(r->use_ssl)})
                   .join(QLatin1Char('|'));
        for (int c = 0; c < SiteBook::CameraCount; ++c)
            out += QLatin1Char('|') + r->emapCameraPath[c] + QLatin1Char('|') + r->emapCameraPos[c];
        out += QStringLiteral("|%1 %2 %3 %4 %5\n")
                   .arg(r->permissionLive)
                   .arg(r->permissionSearch)
                   .arg(r->permissionBackup)
                   .arg(r->permissionPtz)
                   .arg(r->permissionConfig);
    }
    return out;
}

using SiteBookXmlTest = SiteBookTreeTest;

TEST_F(SiteBookXmlTest, HandWrittenBookFillsTheTree)
{
    ASSERT_TRUE(ReadBook(tree.get(), kBook));

    QTreeWidgetItem* root = tree->GetSiteBookRoot();
    // Folders first, then recorders, each by name ("Gate" before "yard"); the unknown element
    // and the recorder inside it are not read.
    EXPECT_EQ(ChildNames(root), QStringList({"east", "nofold", "west", "Gate", "yard"}));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("hidden")), -1);

    QTreeWidgetItem* east = root->child(0);
    QTreeWidgetItem* nofold = root->child(1);
    QTreeWidgetItem* west = root->child(2);
    EXPECT_TRUE(east->isExpanded());
    EXPECT_FALSE(nofold->isExpanded());
    EXPECT_TRUE(west->isExpanded());
    EXPECT_EQ(KindOf(west), QStringLiteral("folder"));
    EXPECT_EQ(west->text(0), QStringLiteral("west"));
    auto* westSession = dynamic_cast<CModuleDevice*>(west);
    ASSERT_NE(westSession, nullptr);
    EXPECT_EQ(westSession->GetDeviceIndex(), -1);

    EXPECT_EQ(ChildNames(west), QStringList({"inner", "A-cam", "b-cam"}));
    EXPECT_FALSE(west->child(0)->isExpanded());

    // Every recorder is a registered session object with "Archive" and "Emap" below it.
    for (const char* name : {"yard", "Gate", "A-cam", "b-cam"}) {
        const int slot = hub->FindDeviceByName(QString::fromLatin1(name));
        ASSERT_GE(slot, 0) << name;
        auto* device = static_cast<CModuleDevice*>(hub->GetDevice(slot));
        EXPECT_EQ(KindOf(device), QStringLiteral("device")) << name;
        EXPECT_EQ(device->text(0), QString::fromLatin1(name));
        ASSERT_EQ(device->childCount(), 2) << name;
        EXPECT_EQ(KindOf(device->child(0)), QStringLiteral("archive"));
        EXPECT_EQ(KindOf(device->child(1)), QStringLiteral("emapList"));
        EXPECT_EQ(RecordOf(device->child(1))->index, slot);
        EXPECT_EQ(RecordOf(device->child(1))->emapPath, RecordOf(device)->emapPath);
    }

    const SiteBook* gate = RecordOf(root->child(3));
    EXPECT_EQ(gate->addr, QStringLiteral("gate.example"));
    EXPECT_EQ(gate->port, QStringLiteral("9002"));
    EXPECT_EQ(gate->id, QStringLiteral("root"));
    EXPECT_EQ(gate->password, QStringLiteral("secret"));
    EXPECT_EQ(gate->emapPath, QStringLiteral("/maps/site.png"));
    EXPECT_EQ(gate->emapPos, QStringLiteral("0.100000;0.200000;"));
    EXPECT_EQ(gate->quality, 2);
    EXPECT_EQ(gate->use_ssl, 0);
    EXPECT_EQ(gate->emapCameraPath[0], QStringLiteral("/maps/cam0.png"));
    EXPECT_EQ(gate->emapCameraPos[0], QStringLiteral("0.500000;0.600000;"));
    EXPECT_EQ(gate->emapCameraPath[15], QStringLiteral("/maps/cam15.png"));
    EXPECT_EQ(gate->emapCameraPos[15], QStringLiteral("0.700000;0.800000;"));
    // A camera position missing from the file reads as empty, not as the default position.
    EXPECT_EQ(gate->emapCameraPos[1], QString());
    EXPECT_EQ(gate->emapCameraPath[1], QString());
    // The book does not store permissions: everything is allowed.
    EXPECT_EQ(gate->permissionLive, 65535);
    EXPECT_EQ(gate->permissionSearch, 65535);
    EXPECT_EQ(gate->permissionBackup, 65535);
    EXPECT_EQ(gate->permissionPtz, 65535);
    EXPECT_TRUE(gate->permissionConfig);

    const SiteBook* yard = RecordOf(root->child(4));
    EXPECT_EQ(yard->quality, 1); // "3" is no quality
    EXPECT_EQ(yard->use_ssl, 1);
    const SiteBook* aCam = RecordOf(west->child(1));
    EXPECT_EQ(aCam->quality, 1); // missing
    EXPECT_EQ(aCam->use_ssl, 0); // missing
    EXPECT_EQ(RecordOf(west->child(2))->quality, 2);
}

TEST_F(SiteBookXmlTest, WriterProducesTheDocumentLayout)
{
    CModuleDevice* folder = AddFolder(QStringLiteral("west"));
    folder->setExpanded(true);
    AddFolder(QStringLiteral("shut"), folder);
    CModuleDevice* device = AddRecorder(QStringLiteral("Gate"), folder);
    SiteBook* r = SiteBook::FromItem(device);
    r->addr = QStringLiteral("gate.example");
    r->port = QStringLiteral("9002");
    r->id = QStringLiteral("root");
    r->password = QStringLiteral("secret");
    r->emapPath = QStringLiteral("/m.png");
    r->emapPos = QStringLiteral("0.1;0.2;");
    r->quality = 2;
    r->use_ssl = 1;
    for (int i = 0; i < SiteBook::CameraCount; ++i)
        r->emapCameraPos[i] = QString();
    r->emapCameraPath[0] = QStringLiteral("c0");
    r->emapCameraPos[0] = QStringLiteral("p0");
    r->emapCameraPath[15] = QStringLiteral("c15");
    r->emapCameraPos[15] = QStringLiteral("p15");
    tree->AddRecorderChildren(device);

    const char* expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<zent version=\"1.0\">\n"
        "    <folder name=\"west\" folded=\"no\">\n"
        "        <folder name=\"shut\" folded=\"yes\"/>\n"
        "        <device name=\"Gate\" addr=\"gate.example\" port=\"9002\" id=\"root\" "
        "password=\"secret\" emapPath=\"/m.png\" emapPos=\"0.1;0.2;\" quality=\"2\" use_ssl=\"1\" "
        "emapCameraPath0=\"c0\" emapCameraPos0=\"p0\" "
        "emapCameraPath1=\"\" emapCameraPos1=\"\" "
        "emapCameraPath2=\"\" emapCameraPos2=\"\" "
        "emapCameraPath3=\"\" emapCameraPos3=\"\" "
        "emapCameraPath4=\"\" emapCameraPos4=\"\" "
        "emapCameraPath5=\"\" emapCameraPos5=\"\" "
        "emapCameraPath6=\"\" emapCameraPos6=\"\" "
        "emapCameraPath7=\"\" emapCameraPos7=\"\" "
        "emapCameraPath8=\"\" emapCameraPos8=\"\" "
        "emapCameraPath9=\"\" emapCameraPos9=\"\" "
        "emapCameraPath10=\"\" emapCameraPos10=\"\" "
        "emapCameraPath11=\"\" emapCameraPos11=\"\" "
        "emapCameraPath12=\"\" emapCameraPos12=\"\" "
        "emapCameraPath13=\"\" emapCameraPos13=\"\" "
        "emapCameraPath14=\"\" emapCameraPos14=\"\" "
        "emapCameraPath15=\"c15\" emapCameraPos15=\"p15\"/>\n"
        "    </folder>\n"
        "</zent>\n";
    EXPECT_EQ(QString::fromUtf8(WriteBook(tree.get())), QString::fromLatin1(expected));
}

TEST_F(SiteBookXmlTest, EmptySiteBookWritesOnlyTheRoot)
{
    EXPECT_EQ(QString::fromUtf8(WriteBook(tree.get())),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<zent version=\"1.0\"/>\n"));
}

TEST_F(SiteBookXmlTest, WriteThenReadGivesTheSameTree)
{
    ASSERT_TRUE(ReadBook(tree.get(), kBook));
    // Change what the book keeps, special characters included.
    CModuleDevice* gate = tree->FindDeviceByName(QStringLiteral("Gate"));
    ASSERT_NE(gate, nullptr);
    SiteBook* r = SiteBook::FromItem(gate);
    r->name = QString::fromUtf8("Gate & <Süd> \"1\" 'x' \u4E2D");
    r->password = QStringLiteral("p&w<>\"'\t;\nend\r");
    r->addr = QStringLiteral("a b");
    tree->FindFolderByName(QStringLiteral("west"))->setExpanded(false);

    const QString before = Describe(tree->GetSiteBookRoot());
    const QByteArray written = WriteBook(tree.get());

    SiteBookTreeWidget second;
    ASSERT_TRUE(ReadBook(&second, written)) << written.constData();
    EXPECT_EQ(Describe(second.GetSiteBookRoot()), before);
    EXPECT_NE(second.FindDeviceByName(r->name), nullptr);

    // A second round trip changes nothing at all.
    EXPECT_EQ(WriteBook(&second), written);

    EXPECT_FALSE(second.FindFolderByName(QStringLiteral("west"))->isExpanded());
    EXPECT_TRUE(second.FindFolderByName(QStringLiteral("east"))->isExpanded());
}

TEST_F(SiteBookXmlTest, WrongRootOrVersionAddsNothing)
{
    const char* books[] = {
        "<?xml version=\"1.0\"?><other version=\"1.0\"><device name=\"a\"/></other>",
        "<?xml version=\"1.0\"?><zent version=\"1.1\"><device name=\"a\"/></zent>",
        "<?xml version=\"1.0\"?><zent><device name=\"a\"/></zent>",
    };
    for (const char* book : books) {
        QString error;
        EXPECT_FALSE(ReadBook(tree.get(), book, &error)) << book;
        EXPECT_TRUE(error.contains(QStringLiteral("The file is not an zent version 1.0 file.")))
            << error.toStdString();
        EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0) << book;
    }
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
}

TEST_F(SiteBookXmlTest, MalformedXmlKeepsWhatWasReadBefore)
{
    const char* book = "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                       "  <device name=\"first\" addr=\"a\" port=\"1\"/>\n"
                       "  <folder name=\"f\" folded=\"no\"><device name=\"second\"/>\n"
                       "  <device name=\"third\" addr=\"<broken\"/>\n"
                       "</zent>\n";
    EXPECT_FALSE(ReadBook(tree.get(), book));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"f", "first"}));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()->child(0)), QStringList({"second"}));
    EXPECT_FALSE(ReadBook(tree.get(), QByteArray()));
}

TEST_F(SiteBookXmlTest, FoldersNestedTooDeeplyAreRefused)
{
    const auto nested = [](int levels) {
        QByteArray book = "<zent version=\"1.0\">";
        for (int i = 0; i < levels; ++i)
            book += "<folder name=\"f\">";
        book += "<device name=\"bottom\"/>";
        for (int i = 0; i < levels; ++i)
            book += "</folder>";
        return book + "</zent>";
    };
    EXPECT_TRUE(ReadBook(tree.get(), nested(SiteBookXmlReader::kMaxFolderDepth)));
    EXPECT_NE(hub->FindDeviceByName(QStringLiteral("bottom")), -1);

    tree->clearSiteBook();
    EXPECT_FALSE(ReadBook(tree.get(), nested(100000)));
    EXPECT_EQ(hub->FindDeviceByName(QStringLiteral("bottom")), -1);
}

// Book files on disk, as the main window loads and saves them.
class SiteBookFileTest : public SiteBookTreeTest
{
protected:
    QString PathOf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static void Put(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Get(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(SiteBookFileTest, MissingBookIsSkippedQuietlyAndCanBeWritten)
{
    MessageBoxCatcher boxes;
    const QString path = PathOf("sitebook.xml");
    EXPECT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::NotOpened);
    EXPECT_FALSE(tree->FileGuard().IsProtected(path));
    AddRecorder(QStringLiteral("r"));
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::Saved);
    EXPECT_TRUE(Get(path).contains("<device name=\"r\""));
    EXPECT_TRUE(boxes.Seen().isEmpty());
}

TEST_F(SiteBookFileTest, LoadWithClearReplacesTheSiteBook)
{
    const QString path = PathOf("sitebook.xml");
    Put(path, kBook);
    AddRecorder(QStringLiteral("before"));
    ASSERT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::Loaded);
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"east", "nofold", "west", "Gate", "yard"}));
    ASSERT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, false), SiteBookFile::LoadResult::Loaded);
    EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 10); // read twice, kept twice
}

TEST_F(SiteBookFileTest, BrokenBookIsReportedAndNeverOverwritten)
{
    MessageBoxCatcher boxes;
    const QString path = PathOf("sitebook.xml");
    const QByteArray broken = "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">\n"
                              "  <device name=\"kept\" addr=\"a\" port=\"1\"/>\n"
                              "  <device name=\"lost\" addr=\"<\"/>\n"
                              "  <device name=\"also lost\"/>\n</zent>\n";
    Put(path, broken);
    AddRecorder(QStringLiteral("before"));

    // Nothing of the broken book enters the tree, and what was there stays: the site book saved
    // from it later is still whole.
    EXPECT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::ParseError);
    EXPECT_EQ(boxes.Seen(), QStringList({"ZENT|Sitebook Parse error\n" + QDir::toNativeSeparators(path)
                                         + "\nUnexpected '<'. (line 4, column 29)"}));
    EXPECT_EQ(ChildNames(tree->GetSiteBookRoot()), QStringList({"before"}));
    EXPECT_TRUE(tree->FileGuard().IsProtected(path));

    // The save at shut-down (and after every edit) leaves the file as it was.
    AddRecorder(QStringLiteral("new"));
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::Protected);
    EXPECT_EQ(Get(path), broken);
    // The same file named another way is protected too.
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), dir.path() + QStringLiteral("/./sitebook.xml")),
              SiteBookFile::SaveResult::Protected);
    EXPECT_EQ(Get(path), broken);
    // Other files can still be written.
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), PathOf("copy.xml")), SiteBookFile::SaveResult::Saved);

    // Once the file reads whole again, it may be written again.
    Put(path, "<?xml version=\"1.0\"?><zent version=\"1.0\"/>");
    EXPECT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::Loaded);
    EXPECT_FALSE(tree->FileGuard().IsProtected(path));
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::Saved);
    EXPECT_EQ(boxes.Seen().size(), 1);
}

TEST_F(SiteBookFileTest, ExplicitReleaseAllowsOverwritingABrokenBook)
{
    MessageBoxCatcher boxes;
    const QString path = PathOf("sitebook.xml");
    Put(path, "<zent version=\"1.0\"><device name=\"x\"/><device name=");
    AddRecorder(QStringLiteral("kept"));
    EXPECT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::ParseError);
    tree->FileGuard().Release(path);
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::Saved);
    EXPECT_TRUE(Get(path).contains("<device name=\"kept\""));
    EXPECT_FALSE(Get(path).contains("<device name=\"x\""));
}

TEST_F(SiteBookFileTest, BookThatExistsButCannotBeReadIsProtected)
{
    MessageBoxCatcher boxes;
    // A folder where the book should be: it exists, but cannot be opened as a file.
    const QString path = PathOf("sitebook.xml");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sitebook.xml")));
    EXPECT_EQ(SiteBookFile::LoadSiteBook(tree.get(), path, true), SiteBookFile::LoadResult::NotOpened);
    EXPECT_TRUE(boxes.Seen().isEmpty());
    EXPECT_TRUE(tree->FileGuard().IsProtected(path));
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::Protected);
}

TEST_F(SiteBookFileTest, UnwritableBookIsReported)
{
    MessageBoxCatcher boxes;
    const QString path = PathOf("no/such/folder/sitebook.xml");
    EXPECT_EQ(SiteBookFile::SaveSiteBook(tree.get(), path), SiteBookFile::SaveResult::CannotWrite);
    EXPECT_EQ(boxes.Seen(), QStringList({"ZENT|Cannot write sitebook"}));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
