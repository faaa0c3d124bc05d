#pragma once
// Loading and saving the books as files, for the main window's load and save slots: the file
// is opened, the book's reader or writer runs, and a failure is shown in a fixed message box
// titled "ZENT". A book file whose read failed is never overwritten afterwards (see
// BookFileGuard); writes go through a temporary file that replaces the book only when complete.
//
// The main window's slots resolve the path and call these:
//   loadSiteBook(path, clear): an empty path asks with the open-file dialog first (cancel ends);
//     then LoadSiteBook(tree, path, clear).
//   saveSiteBook(path): "save" is ProgramDirectory() + "/sitebook.xml"; an empty path asks with
//     the save-file dialog (cancel ends), and since the user chose that file knowingly, the guard
//     is lifted for it first (tree->FileGuard().Release(path)); then SaveSiteBook(tree, path).
//     At shut-down a Protected result is expected after a failed read and needs no box.
//   loadSiteBook_Favorites(path, clear) and loadSiteBook_Emap(path, clear): the same as
//     loadSiteBook, with LoadFavorites / LoadEmap ("Open Favorites File" / "Open eMap File").
//   saveSiteBook_Favorites(path) and saveSiteBook_Emap(path): the same as saveSiteBook, with
//     "favorites.xml" / "emap.xml" for "save", then SaveFavorites / SaveEmap.
// The site book tree's own actions write the books directly: SaveSiteBook(tree,
// BookPath(kSiteBookFileName)) and its twins.
#include <QString>
#include <functional>

class QIODevice;
class SiteBookTreeWidget;
class XmlBookReader;

class SiteBookFile
{
public:
    enum class LoadResult {
        Loaded,     // read whole
        NotOpened,  // no such file, or it could not be opened: skipped without a message
        ParseError, // the reader failed; the tree is left as it was
    };
    enum class SaveResult {
        Saved,
        CannotWrite, // the file could not be opened, written or replaced
        Protected,   // its last read failed; left untouched
    };

    // The site book: loadSiteBook(path, clear) and saveSiteBook(path) of the main window, with
    // the path already resolved ("sitebook.xml" of the program directory, or the file the user
    // chose). With clear set the site book root is emptied first.
    static LoadResult LoadSiteBook(SiteBookTreeWidget* tree, const QString& path, bool clear);
    static SaveResult SaveSiteBook(SiteBookTreeWidget* tree, const QString& path);

    // The favorites book fills the favorites root, the e-map book the e-map root; with clear set
    // the root is emptied first (e-map entries free their slots), otherwise entries are appended.
    static LoadResult LoadFavorites(SiteBookTreeWidget* tree, const QString& path, bool clear);
    static SaveResult SaveFavorites(SiteBookTreeWidget* tree, const QString& path);
    static LoadResult LoadEmap(SiteBookTreeWidget* tree, const QString& path, bool clear);
    static SaveResult SaveEmap(SiteBookTreeWidget* tree, const QString& path);

    static constexpr const char* kSiteBookFileName = "sitebook.xml";
    static constexpr const char* kFavoritesFileName = "favorites.xml";
    static constexpr const char* kEmapFileName = "emap.xml";
    // A book file of the program directory (the hub's; the working directory without a hub).
    static QString BookPath(const QString& fileName);

    // The common steps of every book, for the e-map and favorites books as well. A load reads
    // the whole file, reads it once dry (every check, nothing added), and only then empties the
    // root (`clear`, when given) and reads it into the tree: a file that is not a book leaves the
    // tree, and so every book file written from it, as it was. The message names the file and
    // where the reader stopped.
    using WriteBook = std::function<bool(QIODevice*)>;
    static LoadResult Load(SiteBookTreeWidget* tree, const QString& path, XmlBookReader& reader,
                           const std::function<void()>& clear, const QString& parseErrorText);
    static SaveResult Save(SiteBookTreeWidget* tree, const QString& path, const WriteBook& write,
                           const QString& writeErrorText);

private:
    static void Report(const QString& text);
};
