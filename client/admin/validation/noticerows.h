#pragma once
#include "validation/centralrequests.h"

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
    // Notices the server is asked for per page: the request's page size, so that the numbers
    // follow what was asked.
    static constexpr int kPageRows = CentralRequests::kNoticePage;

    static QVector<Row> Read(const QString& text, int pageBase, int* totalCount);
    // Whether the text is a reply at all (a JSON object); a transport failure delivers none.
    static bool IsReply(const QString& text);
    // The reply to the request for `page`, numbered within the whole list: the first row of page
    // p shows total_count - 30 p, so the numbers run on from page to page down to 1.
    static QVector<Row> ReadPage(const QString& text, int page, int* totalCount);
    // The page base that numbering gives; 0 when the total does not reach this page (a missing
    // or short total numbers the page by itself, its last row 1).
    static int PageBase(int totalCount, int page, int rowCount);
    static int PageCount(int totalCount);
    static bool HasNextPage(int totalCount, int page);
    // "yyyy-MM-ddTHH:mm:ss.zzzZ" in UTC as local "MM-dd-yyyy HH:mm:ss"; empty when unreadable.
    static QString LocalDateTime(const QString& createdAt);
};
