#include "session/recordinfo.h"

namespace {

QString RecordText(int date, int time)
{
    const QString d = QString::asprintf("%08d", date);
    const QString t = QString::asprintf("%06d", time);
    return d.left(4) + QLatin1Char('/') + d.mid(4, 2) + QLatin1Char('/') + d.mid(6) + QLatin1Char(' ') + t.left(2)
           + QLatin1Char(':') + t.mid(2, 2) + QLatin1Char(':') + t.mid(4);
}

} // namespace

void RecordInfo::SetTexts(int firstDate, int firstTime, int lastDate, int lastTime)
{
    earliestText = RecordText(firstDate, firstTime);
    latestText = RecordText(lastDate, lastTime);
}
