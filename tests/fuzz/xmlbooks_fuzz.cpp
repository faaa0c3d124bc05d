// libFuzzer target for the three XML books: every input is loaded as the site book
// (SiteBookXmlReader: nested folders and recorders that become sessions), as the favorites book
// (FavoritesXmlReader) and as the e-map book (EmapXmlReader, which takes e-map slots), each
// through SiteBookFile's load from a file: the dry run, the emptying of the root and the real
// read into a site book tree.
//
// The tree and the hub are made once; every root is emptied after each input (sessions leave
// the recorder table, e-map entries free their slots), so nothing of one input reaches the next.
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/quietbookhub.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebooktreewidget.h"

#include <QFile>

#include <cstdint>

namespace {

QuietBookHub* g_hub = nullptr;
SiteBookTreeWidget* g_tree = nullptr;

QString BookFile()
{
    return g_hub->ProgramDirectory() + QStringLiteral("/fuzz-book.xml");
}

bool WriteBook(const uint8_t* data, size_t size)
{
    QFile file(BookFile());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Widgets);
    g_hub = QuietBookHub::Create();
    g_tree = new SiteBookTreeWidget;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteBook(data, size))
        return 0;
    const QString path = BookFile();
    SiteBookFile::LoadSiteBook(g_tree, path, true);
    SiteBookFile::LoadFavorites(g_tree, path, true);
    SiteBookFile::LoadEmap(g_tree, path, true);
    g_tree->clearSiteBook();
    g_tree->clearFavorites();
    g_tree->clearEmap();
    return 0;
}
