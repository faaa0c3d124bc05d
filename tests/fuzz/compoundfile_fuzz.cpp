// libFuzzer target for the compound file reader: every input is written to a file and opened as
// the workbook reader opens it (read only); when it opens, every entry of the storage tree is read
// by its path, every storage is made current and left again, and the "Workbook" stream is loaded
// as a workbook. The reader promises that a stream it reads is exactly its entry's size; a
// broken promise aborts, which libFuzzer reports as a crash.
//
// The input is the file itself (seeds in corpus/compoundfile are small .xls files).
#include "fuzz/support/fuzzapplication.h"
#include "importcore/olecompoundfile.h"
#include "importcore/xlsbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

QTemporaryDir* g_dir = nullptr;

QString InputFile()
{
    return g_dir->filePath(QStringLiteral("fuzz.xls"));
}

bool WriteInput(const uint8_t* data, size_t size)
{
    QFile file(InputFile());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

void Require(bool promise)
{
    if (!promise)
        std::abort();
}

// Reads every entry below the root by its full path, and visits every storage.
void ReadEveryEntry(OleCompoundFile* file)
{
    std::vector<std::pair<const OleDirectoryNode*, QString>> pending{{file->Root(), QString()}};
    while (!pending.empty()) {
        const auto [node, path] = pending.back();
        pending.pop_back();
        for (const auto& child : node->Children()) {
            const QString childPath = path + QLatin1Char('\\') + child->Entry().Name();
            QByteArray bytes;
            if (file->readEntry(childPath, &bytes) == OleResult::Ok)
                Require(quint32(bytes.size()) == child->Entry().size);
            if (!child->Children().empty()) {
                if (file->changeDirectory(childPath) == OleResult::Ok)
                    file->changeDirectory(QStringLiteral(".."));
                pending.emplace_back(child.get(), childPath);
            }
        }
    }
    QByteArray root;
    file->readEntry(QStringLiteral("\\"), &root);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteInput(data, size))
        return 0;
    OleCompoundFile file;
    if (file.open(InputFile(), OleBlockFile::Mode::Read))
        ReadEveryEntry(&file);
    XlsFile::XlsBook book;
    if (book.loadFile(InputFile().toUtf8().constData()))
        book.sheetByName("Import to KRO");
    return 0;
}
