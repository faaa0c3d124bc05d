#include "sitebook/recorderlistfile.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

#include "importcore/xlsbook.h"
#include "sitebook/sitebooklog.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

constexpr int kWorkbookColumns = 6;

// The kinds of .ini header, by the header's second number.
enum class IniHeader {
    Folder = 1,
    Recorder = 2,
};

QList<QByteArray> WordsOf(const QByteArray& line)
{
    QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() == 1 && words.first().isEmpty())
        words.clear();
    for (QByteArray& word : words)
        word.truncate(RecorderListFile::kMaxWordBytes);
    return words;
}

QString WordAt(const QList<QByteArray>& words, int at)
{
    return at < words.size() ? QString::fromUtf8(words.at(at)) : QString();
}

// A user or password word: "`" stands for a blank.
QString SpacedWordAt(const QList<QByteArray>& words, int at)
{
    return WordAt(words, at).replace(QLatin1Char('`'), QLatin1Char(' '));
}

QString FolderNameOf(const QByteArray& word)
{
    QByteArray converted(word.size() + 1, '\0');
    SiteBookTreeWidget::ConvertLoadText(word.constData(), converted.data(), size_t(converted.size()));
    return QString::fromUtf8(converted.constData());
}

// "PORT": the decimal number that leads the word after the key (as "%d" reads it), rewritten as
// "%d"; the word as it stands when it does not start with one, so that the import's check names
// it instead of taking the recorder without a port.
QString PortOf(const QList<QByteArray>& words)
{
    if (words.size() < 2)
        return QString();
    static const QRegularExpression leadingNumber(QStringLiteral("^[+-]?[0-9]+"));
    const QString word = QString::fromLatin1(words.at(1));
    const QRegularExpressionMatch match = leadingNumber.match(word);
    bool ok = false;
    const int port = match.hasMatch() ? match.captured().toInt(&ok, 10) : 0;
    return ok ? QString::number(port) : word;
}

bool Is(const QByteArray& word, const char* key)
{
    return qstricmp(word.constData(), key) == 0;
}

// Reads the lines of a recorder block from `*at` up to and including its closing "}" or "*"
// line (or the end) into the entry.
void ReadRecorderBlock(const QList<QByteArray>& lines, int* at, RecorderListEntry* entry)
{
    for (; *at < lines.size(); ++*at) {
        const QList<QByteArray> words = WordsOf(lines.at(*at));
        if (words.isEmpty())
            continue;
        const QByteArray& key = words.first();
        if (key == "}" || key == "*") {
            ++*at;
            return;
        }
        if (Is(key, "IP"))
            entry->addr = WordAt(words, 1);
        else if (Is(key, "PORT"))
            entry->port = PortOf(words);
        else if (Is(key, "ID"))
            entry->id = SpacedWordAt(words, 1);
        else if (Is(key, "PASSWORD"))
            entry->password = SpacedWordAt(words, 1);
    }
}

} // namespace

QString RecorderListFile::CellText(const XlsFile::XlsCell* cell)
{
    if (!cell)
        return QString();
    switch (XlsFile::XlsCell::Kind(cell->kind())) {
    case XlsFile::XlsCell::Kind::Integer: return QString::asprintf("%d", cell->toInt());
    case XlsFile::XlsCell::Kind::Double: return QString::asprintf("%.0lf", cell->toDouble());
    case XlsFile::XlsCell::Kind::AnsiString: return QString::fromLatin1(cell->toAnsiString());
    case XlsFile::XlsCell::Kind::WideString: return QString::fromUtf16(cell->toWideString());
    case XlsFile::XlsCell::Kind::Empty: break;
    }
    return QString();
}

bool RecorderListFile::ReadWorkbook(const QString& fileName, std::vector<RecorderListEntry>* entries)
{
    XlsFile::XlsBook book;
    if (!book.loadFile(fileName.toUtf8().constData())) {
        qCWarning(lcSiteBook) << "excel: cannot read" << fileName << ":" << book.errorString();
        return false;
    }
    XlsFile::XlsSheet* sheet = book.sheetByName(kSheetName);
    if (!sheet) {
        qCWarning(lcSiteBook) << "excel:" << fileName << "has no worksheet" << kSheetName;
        return false;
    }
    const unsigned rows = sheet->rowCount();
    qCDebug(lcSiteBook) << "excel" << rows << sheet->columnCount();
    // Row 0 is the header; the first row with an empty cell ends the list.
    for (unsigned row = 1; row < rows; ++row) {
        QString fields[kWorkbookColumns];
        for (int column = 0; column < kWorkbookColumns; ++column) {
            const XlsFile::XlsCell* cell = sheet->cellAt(row, unsigned(column));
            if (!cell || cell->kind() == int(XlsFile::XlsCell::Kind::Empty))
                return true;
            fields[column] = CellText(cell);
        }
        entries->push_back({fields[0], true, fields[1], fields[2], fields[3], fields[4], fields[5], int(row) + 1});
    }
    return true;
}

bool RecorderListFile::ReadIniList(const QString& fileName, std::vector<RecorderListEntry>* entries)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcSiteBook) << " loadIniList: cannot open" << fileName << ":" << file.errorString();
        return false;
    }
    qCDebug(lcSiteBook) << " loadIniList:" << fileName;
    const std::vector<RecorderListEntry> read = ParseIniList(file.readAll());
    entries->insert(entries->end(), read.begin(), read.end());
    return true;
}

std::vector<RecorderListEntry> RecorderListFile::ParseIniList(const QByteArray& content)
{
    std::vector<RecorderListEntry> entries;
    const QList<QByteArray> lines = content.split('\n');
    QString currentFolder;
    bool haveFolder = false;
    int at = 0;
    while (at < lines.size()) {
        const int lineNumber = at + 1;
        const QList<QByteArray> words = WordsOf(lines.at(at++));
        if (words.size() < 4 || words.first() != "*")
            continue;
        bool ok = false;
        const int kind = words.at(3).toInt(&ok, 10);
        if (!ok)
            continue;
        const QString name = FolderNameOf(words.at(1));
        if (kind == int(IniHeader::Folder)) {
            currentFolder = name;
            haveFolder = true;
            entries.push_back({currentFolder, false, {}, {}, {}, {}, {}, lineNumber});
        } else if (kind == int(IniHeader::Recorder) && haveFolder) {
            RecorderListEntry entry{currentFolder, true, name, {}, {}, {}, {}, lineNumber};
            ReadRecorderBlock(lines, &at, &entry);
            entries.push_back(entry);
        }
    }
    return entries;
}
