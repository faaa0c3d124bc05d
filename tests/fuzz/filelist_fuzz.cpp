// libFuzzer target for the reading of a "file.lst" list and the names tried for its entries.
// The whole input is the list's text. Checked promises:
//   - every entry's name begins with "x" or "s" (any case) and its digit is hexadecimal;
//   - a name that is tried on disk stays in the list's own folder (no separator, no "..")
//     and is neither "." nor "..";
//   - text after a NUL byte changes nothing.
// A broken promise aborts, which libFuzzer reports as a crash.
#include "ui/openpath.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool promise)
{
    if (!promise)
        std::abort();
}

bool IsHex(QChar c)
{
    const QChar lower = c.toLower();
    return c.isDigit() || (lower >= QLatin1Char('a') && lower <= QLatin1Char('f'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    const QVector<FileListEntry> entries = OpenPath::ParseList(text);
    for (const FileListEntry& entry : entries) {
        Require(!entry.name.isEmpty());
        const QChar first = entry.name.at(0).toLower();
        Require(first == QLatin1Char('x') || first == QLatin1Char('s'));
        Require(IsHex(entry.digit));
        const QStringList names = OpenPath::Candidates(entry);
        Require(names.isEmpty() || names.size() == 2);
        for (const QString& name : names) {
            Require(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
            Require(name != QLatin1String(".") && name != QLatin1String(".."));
            Require(name.startsWith(entry.name + QLatin1Char('.')));
        }
    }
    const int nul = text.indexOf('\0');
    if (nul >= 0) {
        const QVector<FileListEntry> head = OpenPath::ParseList(text.left(nul));
        Require(head.size() == entries.size());
        for (int i = 0; i < head.size(); ++i)
            Require(head[i].name == entries[i].name && head[i].digit == entries[i].digit);
    }
    return 0;
}
