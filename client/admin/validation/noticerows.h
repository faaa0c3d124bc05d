#pragma once
#include <QString>
#include <QVector>

// The notice list reply read into rows: a running number (highest first), the title, the local
// date and time of "createdAt", and the contents and id the notice pop-up shows.
class NoticeRows
{
public:
    struct Row
    {
        QString number;
        QString title;
        QString dateTime;
        QString contents;
        int id = 0;
    };

    // At most this many rows are read from one reply.
    static constexpr int kMaxRows = 1000;

    static QVector<Row> Read(const QString& text, int pageBase, int* totalCount);
    // "yyyy-MM-ddTHH:mm:ss.zzzZ" in UTC as local "MM-dd-yyyy HH:mm:ss"; empty when unreadable.
    static QString LocalDateTime(const QString& createdAt);
};
