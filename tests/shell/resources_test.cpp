// Every picture the client's sources name is compiled into its resources and loads.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

// The pictures live in a static library, so they are registered by hand (at global scope, where
// the registration function is declared).
static void InitClientResources()
{
    Q_INIT_RESOURCE(res);
}

namespace {

// The console skin bitmaps are a set of their own that comes with the recorder consoles; the
// code builds their names from the recorder's console layout, so their folders are not checked.
const QLatin1String kSkinFolders(":/res/Config/");

struct NamedPictures
{
    QStringList paths;          // resource paths of pictures, full or folder + appended name
    QStringList unknownFolders; // folder prefixes whose appended names the file does not show
};

// The pictures one source text names. A literal ending in "/" is a folder the code appends
// names to; those names are the bare picture file names written in the same source.
NamedPictures PicturesNamedIn(const QString& source)
{
    static const QRegularExpression resourcePath(QStringLiteral("\":/res/([^\"]*)\""));
    static const QRegularExpression bareName(QStringLiteral("\"([^\"/:\\\\]+\\.(?:png|PNG))\""));
    QStringList folders;
    NamedPictures named;
    for (auto it = resourcePath.globalMatch(source); it.hasNext();) {
        const QString path = QStringLiteral(":/res/") + it.next().captured(1);
        if (path.startsWith(kSkinFolders))
            continue;
        (path.endsWith(QLatin1Char('/')) ? folders : named.paths) << path;
    }
    QStringList bareNames;
    for (auto it = bareName.globalMatch(source); it.hasNext();)
        bareNames << it.next().captured(1);
    for (const QString& folder : qAsConst(folders)) {
        if (bareNames.isEmpty())
            named.unknownFolders << folder;
        for (const QString& name : qAsConst(bareNames))
            named.paths << folder + name;
    }
    return named;
}

struct ScanCase
{
    const char* what;
    const char* source;
    QStringList paths;
    QStringList unknownFolders;
};

const ScanCase kScanCases[] = {
    {"full paths, repeated once",
     R"(QIcon(":/res/Resource/a.png"); f(":/res/top.PNG"); QIcon(":/res/Resource/a.png");)",
     {":/res/Resource/a.png", ":/res/top.PNG", ":/res/Resource/a.png"},
     {}},
    {"a folder and the names appended to it",
     R"(icon = QString(":/res/Resource/") + file; add(icon("2.png")); add(icon("zoom in.png"));)",
     {":/res/Resource/2.png", ":/res/Resource/zoom in.png"},
     {}},
    {"a folder whose names the file does not show",
     R"(QString(":/res/Pictures/") + name + ".png")",
     {},
     {":/res/Pictures/"}},
    {"the console skin folders", R"(":/res/Config/TYPE1_CALDORA/VGA/skin_img/" + name + ".bmp")", {}, {}},
    {"text that names no resource", R"(QFile("osd.dat"); "/maps/f1.png";)", {}, {}},
};

TEST(ClientResourcesScan, FindsPathsAndFolderNames)
{
    for (const ScanCase& c : kScanCases) {
        const NamedPictures named = PicturesNamedIn(QString::fromUtf8(c.source));
        EXPECT_EQ(named.paths, c.paths) << c.what;
        EXPECT_EQ(named.unknownFolders, c.unknownFolders) << c.what;
    }
}

TEST(ClientResources, EveryPictureTheCodeNamesIsCompiledInAndLoads)
{
    InitClientResources();
    QSet<QString> pictures;
    QStringList unknownFolders;
    QDirIterator files(QStringLiteral(ZENT_SOURCE_DIR "/client"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        const NamedPictures named = PicturesNamedIn(QString::fromUtf8(file.readAll()));
        for (const QString& path : named.paths)
            pictures.insert(path);
        for (const QString& folder : named.unknownFolders)
            unknownFolders << file.fileName() + QStringLiteral(": ") + folder;
    }

    EXPECT_TRUE(unknownFolders.isEmpty()) << qPrintable(unknownFolders.join(QLatin1Char('\n')));
    ASSERT_FALSE(pictures.isEmpty()) << "the client sources were not found";
    for (const QString& path : qAsConst(pictures)) {
        EXPECT_TRUE(QFile::exists(path)) << qPrintable(path);
        EXPECT_FALSE(QImage(path).isNull()) << qPrintable(path);
    }
}

} // namespace
