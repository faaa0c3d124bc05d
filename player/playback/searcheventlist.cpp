#include "playback/searcheventlist.h"

#include <QList>

namespace {

int ChannelOf(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return 10 + c - 'A';
    if (c >= 'a' && c <= 'f')
        return 10 + c - 'a';
    return -1;
}

} // namespace

QString SearchEventList::OnEventList(const QByteArray& text, int channel)
{
    if (channel < 0 || channel > 15)
        return QString();
    QByteArray normalised = text;
    normalised.replace('\r', '\n');
    const QList<QByteArray> lines = normalised.split('\n');
    QString events;
    int taken = 0;
    for (const QByteArray& raw : lines) {
        if (taken >= kMaxLines)
            break;
        const QByteArray line = raw.trimmed();
        // Leading time characters: the digits and colons before the first blank.
        int timeEnd = 0;
        while (timeEnd < line.size() && (line[timeEnd] == ':' || (line[timeEnd] >= '0' && line[timeEnd] <= '9')))
            ++timeEnd;
        if (timeEnd == 0 || timeEnd == line.size())
            continue;
        bool names = false;
        for (int i = timeEnd; i < line.size() && !names; ++i)
            names = ChannelOf(line[i]) == channel;
        if (!names)
            continue;
        if (!events.isEmpty())
            events += QLatin1Char('\n');
        events += QString::fromLatin1(line.left(timeEnd));
        ++taken;
    }
    return events;
}
