// favorites.xml and emap.xml: hand-written books read into the tree, the exact documents the
// writers produce, round trips, and the file helpers with their messages.
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "harness/boxtext.h"
#include "sitebook/emapxmlreader.h"
#include "sitebook/emapxmlwriter.h"
#include "sitebook/favoritesxmlreader.h"
#include "sitebook/favoritesxmlwriter.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebookitem.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

const char kFavorites[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <favorites_item name="Lobby" cameomode="4" favoritesdevice="gate;yard;" favoriteschannel="0;1;" favoritesmode="autoConnectOn"/>
    <other name="skipped"><favorites_item name="hidden"/></other>
    <favorites_item_search name="Night" favoritesmode="autoConnectOn" cameomode="909" favoriteschannel="3;" favoritesdevice="gate;">
        <favorites_item name="child elements are skipped"/>
    </favorites_item_search>
    <favorites_item name="Case" cameomode="16" favoritesdevice="a;" favoriteschannel="2;" favoritesmode="AutoConnectOn"/>
    <favorites_item name="Bare"/>
</zent>
)";

const char kEmap[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<zent version="1.0">
    <emap_item name="Ground floor" favoritesdevice="gate;" favoriteschannel="0;" emapPath="/maps/ground.png" emapPos="0.100000;0.200000;"/>
    <favorites_item name="not an e-map entry"/>
    <emap_item emapPos="" emapPath="/maps/roof.png" favoriteschannel="" favoritesdevice="" name="Roof"/>
    <emap_item name="Yard"/>
</zent>
)";

template <class Reader>
bool Read(SiteBookTreeWidget* tree, const QByteArray& text, QString* error = nullptr)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    Reader reader(tree);
    const bool ok = reader.read(&buffer);
    if (error)
        *error = reader.errorString();
    return ok;
}

template <class Writer>
QString Write(SiteBookTreeWidget* tree)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    Writer writer(tree);
    EXPECT_TRUE(writer.write(&buffer));
    return QString::fromUtf8(buffer.data());
}

QImage IconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

QImage ResourceImage(const char* path)
{
    return IconImage(QIcon(QString::fromLatin1(path)));
}

// kind|name|cameomode|device|channel|mode of each favorite
QStringList DescribeFavorites(const QTreeWidgetItem* root)
{
    QStringList out;
    for (int i = 0; i < root->childCount(); ++i) {
        const SiteBook* r = SiteBook::FromItem(root->child(i));
        out << QStringList(
                   {r->kind, r->name, r->cameomode, r->favoritesdevice, r->favoriteschannel, r->favoritesmode})
                   .join(QLatin1Char('|'));
    }
    return out;
}

// kind|name|device|channel|path|pos|slot of each e-map entry
QStringList DescribeEmap(const QTreeWidgetItem* root)
{
    QStringList out;
    for (int i = 0; i < root->childCount(); ++i) {
        const SiteBook* r = SiteBook::FromItem(root->child(i));
        out << QStringList({r->kind, r->name, r->favoritesdevice, r->favoriteschannel, r->emapPath, r->emapPos,
                            QString::number(r->index)})
                   .join(QLatin1Char('|'));
    }
    return out;
}

using FavoritesEmapBookTest = SiteBookTreeTest;

TEST_F(FavoritesEmapBookTest, HandWrittenFavoritesFillTheFavoritesRoot)
{
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    QTreeWidgetItem* root = tree->GetFavoritesRoot();
    EXPECT_EQ(DescribeFavorites(root), QStringList({
                                           "favorites_item|Lobby|4|gate;yard;|0;1;|autoConnectOn",
                                           "favorites_item_search|Night|909|gate;|3;|autoConnectOn",
                                           "favorites_item|Case|16|a;|2;|AutoConnectOn",
                                           "favorites_item|Bare||||",
                                       }));
    for (int i = 0; i < root->childCount(); ++i)
        EXPECT_EQ(root->child(i)->text(0), SiteBook::FromItem(root->child(i))->name) << i;

    const QImage autoConnect = ResourceImage(":/res/Resource/favorite.png");
    const QImage plain = ResourceImage(":/res/Resource/favoritesitem.png");
    ASSERT_NE(autoConnect, plain);
    EXPECT_EQ(IconImage(root->child(0)->icon(0)), autoConnect);
    // A search favorite never shows the auto-connect picture, whatever its mode.
    EXPECT_NE(IconImage(root->child(1)->icon(0)), autoConnect);
    // The mode is compared with its letter case.
    EXPECT_EQ(IconImage(root->child(2)->icon(0)), plain);
    EXPECT_EQ(IconImage(root->child(3)->icon(0)), plain);
    // Nothing else of the tree changed.
    EXPECT_EQ(tree->GetEmapRoot()->childCount(), 0);
    EXPECT_EQ(tree->GetSiteBookRoot()->childCount(), 0);
}

TEST_F(FavoritesEmapBookTest, ReadingTheSameFavoritesTwiceAppendsThemTwice)
{
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    const QStringList names = DescribeFavorites(tree->GetFavoritesRoot());
    ASSERT_EQ(names.size(), 8);
    EXPECT_EQ(names.mid(0, 4), names.mid(4, 4));
}

TEST_F(FavoritesEmapBookTest, HandWrittenEmapEntriesTakeSlotsInFileOrder)
{
    ASSERT_TRUE(Read<EmapXmlReader>(tree.get(), kEmap));
    QTreeWidgetItem* root = tree->GetEmapRoot();
    EXPECT_EQ(DescribeEmap(root), QStringList({
                                      "emap_item|Ground floor|gate;|0;|/maps/ground.png|0.100000;0.200000;|0",
                                      "emap_item|Roof|||/maps/roof.png||1",
                                      "emap_item|Yard|||||2",
                                  }));
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("Yard"));
    EXPECT_EQ(IconImage(root->child(0)->icon(0)), ResourceImage(":/res/Resource/5.png"));
    EXPECT_EQ(tree->GetFreeEmapIndex(), 3);
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 0);
}

TEST_F(FavoritesEmapBookTest, EmapEntriesWithoutAFreeSlotGetMinusOne)
{
    for (int i = 0; i < SiteBookTreeWidget::kEmapSlots; ++i)
        tree->SetEmapIndex(i, true);
    tree->SetEmapIndex(5, false);
    ASSERT_TRUE(Read<EmapXmlReader>(tree.get(), kEmap));
    EXPECT_EQ(DescribeEmap(tree->GetEmapRoot()).join(QLatin1Char('\n')),
              QStringLiteral("emap_item|Ground floor|gate;|0;|/maps/ground.png|0.100000;0.200000;|5\n"
                             "emap_item|Roof|||/maps/roof.png||-1\n"
                             "emap_item|Yard|||||-1"));
    EXPECT_EQ(tree->GetFreeEmapIndex(), -1);
}

TEST_F(FavoritesEmapBookTest, WritersProduceTheDocumentLayout)
{
    const auto addFavorite = [this](const char* kind, const char* name, const char* mode) {
        auto* r = new SiteBook;
        r->kind = QLatin1String(kind);
        r->name = QLatin1String(name);
        r->cameomode = QStringLiteral("909");
        r->favoritesdevice = QStringLiteral("a & b;");
        r->favoriteschannel = QStringLiteral("0;8;");
        r->favoritesmode = QLatin1String(mode);
        r->emapPath = QStringLiteral("not written");
        new SiteBookItem(tree->GetFavoritesRoot(), r);
    };
    addFavorite("favorites_item", "Lobby", "autoConnectOff");
    addFavorite("favorites_item_search", "<Night>", "");
    EXPECT_EQ(Write<FavoritesXmlWriter>(tree.get()),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<zent version=\"1.0\">\n"
                             "    <favorites_item name=\"Lobby\" cameomode=\"909\" favoritesdevice=\"a &amp; b;\" "
                             "favoriteschannel=\"0;8;\" favoritesmode=\"autoConnectOff\"/>\n"
                             "    <favorites_item_search name=\"&lt;Night&gt;\" cameomode=\"909\" "
                             "favoritesdevice=\"a &amp; b;\" favoriteschannel=\"0;8;\" favoritesmode=\"\"/>\n"
                             "</zent>\n"));

    auto* e = new SiteBook;
    e->kind = QStringLiteral("emap_item");
    e->name = QStringLiteral("Ground");
    e->favoritesdevice = QStringLiteral("gate;");
    e->favoriteschannel = QStringLiteral("1;");
    e->emapPath = QStringLiteral("/maps/g.png");
    e->emapPos = QStringLiteral("0.5;0.25;");
    e->cameomode = QStringLiteral("not written");
    e->index = 7;
    new SiteBookItem(tree->GetEmapRoot(), e);
    EXPECT_EQ(Write<EmapXmlWriter>(tree.get()),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<zent version=\"1.0\">\n"
                             "    <emap_item name=\"Ground\" favoritesdevice=\"gate;\" favoriteschannel=\"1;\" "
                             "emapPath=\"/maps/g.png\" emapPos=\"0.5;0.25;\"/>\n"
                             "</zent>\n"));
}

TEST_F(FavoritesEmapBookTest, EmptyRootsWriteOnlyTheRootElement)
{
    const QString empty = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\"/>\n");
    // Recorders and the other book's entries stay out.
    AddRecorder(QStringLiteral("gate"));
    ASSERT_TRUE(Read<EmapXmlReader>(tree.get(), kEmap));
    EXPECT_EQ(Write<FavoritesXmlWriter>(tree.get()), empty);
    tree->clearEmap();
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    EXPECT_EQ(Write<EmapXmlWriter>(tree.get()), empty);
}

TEST_F(FavoritesEmapBookTest, WriteThenReadGivesTheSameEntries)
{
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    ASSERT_TRUE(Read<EmapXmlReader>(tree.get(), kEmap));
    const QString favorites = Write<FavoritesXmlWriter>(tree.get());
    const QString emap = Write<EmapXmlWriter>(tree.get());

    SiteBookTreeWidget second;
    ASSERT_TRUE(Read<FavoritesXmlReader>(&second, favorites.toUtf8()));
    ASSERT_TRUE(Read<EmapXmlReader>(&second, emap.toUtf8()));
    EXPECT_EQ(DescribeFavorites(second.GetFavoritesRoot()), DescribeFavorites(tree->GetFavoritesRoot()));
    EXPECT_EQ(DescribeEmap(second.GetEmapRoot()), DescribeEmap(tree->GetEmapRoot()));
    EXPECT_EQ(Write<FavoritesXmlWriter>(&second), favorites);
    EXPECT_EQ(Write<EmapXmlWriter>(&second), emap);
}

TEST_F(FavoritesEmapBookTest, WrongRootOrVersionLeavesTheRootsAlone)
{
    ASSERT_TRUE(Read<FavoritesXmlReader>(tree.get(), kFavorites));
    ASSERT_TRUE(Read<EmapXmlReader>(tree.get(), kEmap));
    const char* books[] = {
        "<?xml version=\"1.0\"?><other version=\"1.0\"><favorites_item name=\"x\"/><emap_item name=\"x\"/></other>",
        "<?xml version=\"1.0\"?><zent version=\"2.0\"><favorites_item name=\"x\"/><emap_item name=\"x\"/></zent>",
    };
    for (const char* book : books) {
        QString error;
        EXPECT_FALSE(Read<FavoritesXmlReader>(tree.get(), book, &error)) << book;
        EXPECT_TRUE(error.contains(QStringLiteral("The file is not an zent version 1.0 file."))) << book;
        EXPECT_FALSE(Read<EmapXmlReader>(tree.get(), book, &error)) << book;
        EXPECT_TRUE(error.contains(QStringLiteral("The file is not an zent version 1.0 file."))) << book;
    }
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 4);
    EXPECT_EQ(tree->GetEmapRoot()->childCount(), 3);
    EXPECT_EQ(tree->GetFreeEmapIndex(), 3);
}

TEST_F(FavoritesEmapBookTest, MalformedBooksKeepTheEntriesReadBefore)
{
    EXPECT_FALSE(Read<FavoritesXmlReader>(tree.get(), "<zent version=\"1.0\"><favorites_item name=\"kept\"/>"
                                                      "<favorites_item name=\"<\"/></zent>"));
    EXPECT_EQ(DescribeFavorites(tree->GetFavoritesRoot()), QStringList({"favorites_item|kept||||"}));
    EXPECT_FALSE(Read<EmapXmlReader>(tree.get(), "<zent version=\"1.0\"><emap_item name=\"kept\"/><emap_item"));
    EXPECT_EQ(DescribeEmap(tree->GetEmapRoot()), QStringList({"emap_item|kept|||||0"}));
}

// The book files, as the main window and the tree's actions load and save them.
class FavoritesEmapFileTest : public SiteBookTreeTest
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

TEST_F(FavoritesEmapFileTest, LoadWithClearReplacesTheEntriesAndFreesTheirSlots)
{
    Put(PathOf("favorites.xml"), kFavorites);
    Put(PathOf("emap.xml"), kEmap);
    using R = SiteBookFile::LoadResult;
    ASSERT_EQ(SiteBookFile::LoadFavorites(tree.get(), PathOf("favorites.xml"), false), R::Loaded);
    ASSERT_EQ(SiteBookFile::LoadFavorites(tree.get(), PathOf("favorites.xml"), false), R::Loaded);
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 8);
    ASSERT_EQ(SiteBookFile::LoadFavorites(tree.get(), PathOf("favorites.xml"), true), R::Loaded);
    EXPECT_EQ(tree->GetFavoritesRoot()->childCount(), 4);

    ASSERT_EQ(SiteBookFile::LoadEmap(tree.get(), PathOf("emap.xml"), false), R::Loaded);
    ASSERT_EQ(SiteBookFile::LoadEmap(tree.get(), PathOf("emap.xml"), false), R::Loaded);
    EXPECT_EQ(tree->GetFreeEmapIndex(), 6);
    ASSERT_EQ(SiteBookFile::LoadEmap(tree.get(), PathOf("emap.xml"), true), R::Loaded);
    EXPECT_EQ(DescribeEmap(tree->GetEmapRoot()).size(), 3);
    EXPECT_EQ(tree->GetFreeEmapIndex(), 3);
    EXPECT_EQ(SiteBookFile::LoadEmap(tree.get(), PathOf("missing.xml"), false), R::NotOpened);
}

TEST_F(FavoritesEmapFileTest, SavedBooksReadBack)
{
    Put(PathOf("favorites.xml"), kFavorites);
    Put(PathOf("emap.xml"), kEmap);
    ASSERT_EQ(SiteBookFile::LoadFavorites(tree.get(), PathOf("favorites.xml"), true),
              SiteBookFile::LoadResult::Loaded);
    ASSERT_EQ(SiteBookFile::LoadEmap(tree.get(), PathOf("emap.xml"), true), SiteBookFile::LoadResult::Loaded);
    ASSERT_EQ(SiteBookFile::SaveFavorites(tree.get(), PathOf("f2.xml")), SiteBookFile::SaveResult::Saved);
    ASSERT_EQ(SiteBookFile::SaveEmap(tree.get(), PathOf("e2.xml")), SiteBookFile::SaveResult::Saved);

    SiteBookTreeWidget second;
    ASSERT_EQ(SiteBookFile::LoadFavorites(&second, PathOf("f2.xml"), true), SiteBookFile::LoadResult::Loaded);
    ASSERT_EQ(SiteBookFile::LoadEmap(&second, PathOf("e2.xml"), true), SiteBookFile::LoadResult::Loaded);
    EXPECT_EQ(DescribeFavorites(second.GetFavoritesRoot()), DescribeFavorites(tree->GetFavoritesRoot()));
    EXPECT_EQ(DescribeEmap(second.GetEmapRoot()), DescribeEmap(tree->GetEmapRoot()));
}

// Each book reports its own texts, and a book that failed to read is never overwritten.
TEST_F(FavoritesEmapFileTest, BrokenBooksAreReportedAndProtected)
{
    struct Case
    {
        const char* file;
        SiteBookFile::LoadResult (*load)(SiteBookTreeWidget*, const QString&, bool);
        SiteBookFile::SaveResult (*save)(SiteBookTreeWidget*, const QString&);
        const char* parseError;
        const char* writeError;
    } cases[] = {
        {"favorites.xml", &SiteBookFile::LoadFavorites, &SiteBookFile::SaveFavorites, "ZENT|Favorites Parse error",
         "ZENT|Cannot write Favorites"},
        {"emap.xml", &SiteBookFile::LoadEmap, &SiteBookFile::SaveEmap, "ZENT|eMap Parse error",
         "ZENT|Cannot write Emap"},
    };
    for (const Case& c : cases) {
        MessageBoxCatcher boxes;
        const QString path = PathOf(c.file);
        const QByteArray broken = "<zent version=\"1.0\"><favorites_item name=\"a\"/><emap_item name=\"a\"/><";
        Put(path, broken);
        EXPECT_EQ(c.load(tree.get(), path, true), SiteBookFile::LoadResult::ParseError) << c.file;
        EXPECT_EQ(c.save(tree.get(), path), SiteBookFile::SaveResult::Protected) << c.file;
        EXPECT_EQ(Get(path), broken) << c.file;
        EXPECT_EQ(c.save(tree.get(), PathOf("no/such/folder/book.xml")), SiteBookFile::SaveResult::CannotWrite);
        EXPECT_EQ(FirstLines(boxes.Seen()), QStringList({c.parseError, c.writeError})) << c.file;
    }
}

} // namespace
