#pragma once
// The date and time that a conversion burns into each picture: the two drawtext graph
// descriptions and the font they draw with.
#include <QByteArray>
#include <QString>

class TimeOverlay
{
public:
    // The font file named "Arial.ttf" in the program directory when it is there; otherwise the
    // file fontconfig chooses for "Arial" (a sans font such as DejaVu Sans). Empty when none.
    static QString FontFile(const QString& programDirectory);

    // The text as one option value of a filter graph description, in single quotes: it comes
    // back unchanged through both levels of the graph syntax.
    static QString QuoteFilterValue(const QString& value);

    // date YYYYMMDD shown as month/day/year at (10, 10); time HHMMSS as hours:minutes:seconds
    // at (10, 60).
    static QByteArray DateDescription(int date, const QString& fontFile);
    static QByteArray TimeDescription(int time, const QString& fontFile);
};
