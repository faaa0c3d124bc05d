#include "ui/openpath.h"

SplitPath OpenPath::Split(const QString& path)
{
    const int cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    if (cut < 0)
        return {};
    return {path.left(cut + 1), path.mid(cut + 1)};
}

QString OpenPath::DataName(const QString& name)
{
    if (name.startsWith(QLatin1String("ix"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("is"), Qt::CaseInsensitive))
        return name.mid(1);
    return name;
}

bool OpenPath::IsFileList(const QString& name)
{
    return name.toLower() == QLatin1String("file.lst");
}

QVector<FileListEntry> OpenPath::ParseList(const QByteArray& text)
{
    QVector<FileListEntry> entries;
    QString current;
    bool collecting = false;
    for (const char byte : text) {
        if (byte == '\0')
            break;
        const QChar c = QLatin1Char(byte);
        const QChar lower = c.toLower();
        if (lower == QLatin1Char('x') || lower == QLatin1Char('s')) {
            current.clear();
            collecting = true;
        }
        if (c != QLatin1Char(' ')) {
            if (collecting) {
                current.append(c);
                continue;
            }
        } else {
            collecting = false;
        }
        const bool hexDigit = c.isDigit() || (lower >= QLatin1Char('a') && lower <= QLatin1Char('f'));
        if (hexDigit && !current.isEmpty())
            entries.append({current, c});
    }
    return entries;
}

QStringList OpenPath::Candidates(const FileListEntry& entry)
{
    const QString& name = entry.name;
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1String("..")))
        return {};
    bool ok = false;
    const int value = QString(entry.digit).toInt(&ok, 16);
    if (!ok)
        return {};
    return {name + QLatin1Char('.') + entry.digit,
            name + QLatin1Char('.') + QStringLiteral("%1").arg(value + 1, 3, 10, QLatin1Char('0'))};
}

ListFiles OpenPath::ResolveList(const QByteArray& text, const QString& folder,
                                const std::function<bool(const QString&)>& exists, int limit,
                                const std::atomic<bool>* stop)
{
    ListFiles files;
    const QVector<FileListEntry> entries = ParseList(text);
    for (int i = 0; i < entries.size(); ++i) {
        if (stop && stop->load())
            return {};
        if (files.paths.size() >= limit) {
            files.skipped = entries.size() - i;
            break;
        }
        for (const QString& candidate : Candidates(entries.at(i))) {
            if (exists(folder + candidate)) {
                files.paths.append(folder + candidate);
                break;
            }
        }
    }
    return files;
}
