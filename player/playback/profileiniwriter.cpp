#include "playback/profileiniwriter.h"

#include "playback/profileini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <QStringList>
#include <sys/stat.h>

namespace {

// The section name of a "[name]" line, or a null string for other lines.
QString SectionOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    }
    return QString();
}

} // namespace

bool ProfileIniWriter::Write(const QString& path, const QString& section, const QString& key, const QString& value,
                             bool ownerOnly)
{
    QStringList lines;
    QFile existing(path);
    if (existing.exists()) {
        if (existing.size() > ProfileIni::kMaxFileSize || !existing.open(QIODevice::ReadOnly)) {
            return false;
        }
        lines = QString::fromLocal8Bit(existing.readAll()).split(QLatin1Char('\n'));
        for (QString& line : lines) {
            if (line.endsWith(QLatin1Char('\r'))) {
                line.chop(1);
            }
        }
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
    }
    const QString entry = key + QLatin1Char('=') + value;
    int sectionLine = -1;
    int insertAt = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString name = SectionOf(lines[i]);
        if (!name.isNull()) {
            if (sectionLine >= 0) {
                break; // the next section: the key was not in ours
            }
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionLine < 0) {
            continue;
        }
        const int equals = lines[i].indexOf(QLatin1Char('='));
        if (equals > 0 && lines[i].left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            done = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionLine < 0) {
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        } else {
            lines.insert(insertAt, entry);
        }
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Set on the temporary file, so that the secret is never readable by others, not even briefly.
    if (ownerOnly && fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        file.cancelWriting();
        return false;
    }
    file.write(lines.join(QStringLiteral("\r\n")).toLocal8Bit() + "\r\n");
    return file.commit();
}
