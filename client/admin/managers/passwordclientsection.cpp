#include "managers/passwordclientsection.h"
#include "managers/descrypt.h"

#include <QList>
#include <QVector>

namespace {

const QByteArray kSection = "[PASSWORD_CLIENT]";

struct Line
{
    QByteArray content;
    QByteArray end; // "\r\n", "\n", or empty for a last line without one
};

QVector<Line> SplitLines(const QByteArray& text)
{
    QVector<Line> lines;
    int at = 0;
    while (at < text.size()) {
        const int newline = text.indexOf('\n', at);
        if (newline < 0) {
            lines.append({text.mid(at), QByteArray()});
            break;
        }
        const bool cr = newline > at && text.at(newline - 1) == '\r';
        lines.append({text.mid(at, newline - at - (cr ? 1 : 0)), cr ? QByteArray("\r\n") : QByteArray("\n")});
        at = newline + 1;
    }
    return lines;
}

QByteArray OneLine(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

struct Entry
{
    QByteArray key;
    QByteArray value;
    bool written = false;
};

bool IsSectionHeader(const QByteArray& content)
{
    return content.trimmed().startsWith('[');
}

} // namespace

namespace PasswordClientSection {

bool Apply(const QByteArray& text, const AccountSet& accounts, QByteArray* out)
{
    if (text.size() > kMaxSize)
        return false;
    QVector<Entry> entries;
    for (int slot = 0; slot < AccountSet::kSlots; ++slot) {
        if (!accounts.IsSet(slot))
            continue;
        const QByteArray hash = DesCrypt::Hash(accounts.passwords[size_t(slot)]);
        if (hash.isEmpty())
            return false;
        entries.append({"clientId" + QByteArray::number(slot) + "_0", OneLine(accounts.ids[size_t(slot)])});
        entries.append({"clientPasswd" + QByteArray::number(slot) + "_0", hash});
    }

    QVector<Line> lines = SplitLines(text);
    QByteArray eol = "\n";
    for (const Line& line : lines) {
        if (!line.end.isEmpty()) {
            eol = line.end;
            break;
        }
    }

    int header = -1;
    for (int i = 0; i < lines.size() && header < 0; ++i) {
        if (lines[i].content.trimmed() == kSection)
            header = i;
    }
    if (header < 0) {
        if (entries.isEmpty()) {
            *out = text;
            return true;
        }
        if (!lines.isEmpty() && lines.last().end.isEmpty())
            lines.last().end = eol;
        lines.append({kSection, eol});
        header = lines.size() - 1;
    }

    int lastEntry = header;
    int i = header + 1;
    for (; i < lines.size() && !IsSectionHeader(lines[i].content); ++i) {
        QByteArray& content = lines[i].content;
        if (!content.trimmed().isEmpty())
            lastEntry = i;
        const int equals = content.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = content.left(equals).trimmed();
        for (Entry& entry : entries) {
            if (entry.key == key) {
                content = content.left(equals + 1) + entry.value;
                entry.written = true;
            }
        }
    }

    QVector<Line> added;
    for (const Entry& entry : entries) {
        if (!entry.written)
            added.append({entry.key + '=' + entry.value, eol});
    }
    if (!added.isEmpty()) {
        if (lines[lastEntry].end.isEmpty())
            lines[lastEntry].end = eol;
        for (int k = 0; k < added.size(); ++k)
            lines.insert(lastEntry + 1 + k, added[k]);
    }

    QByteArray result;
    result.reserve(text.size() + added.size() * 40 + 32);
    for (const Line& line : lines)
        result += line.content + line.end;
    *out = result;
    return true;
}

} // namespace PasswordClientSection
