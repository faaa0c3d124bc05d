#pragma once
// Message box texts as tests compare them: a book's parse error names the file and the place
// the reader stopped on the lines after its first.
#include <QStringList>

inline QStringList FirstLines(const QStringList& texts)
{
    QStringList out;
    for (const QString& text : texts)
        out << text.section(QLatin1Char('\n'), 0, 0);
    return out;
}
