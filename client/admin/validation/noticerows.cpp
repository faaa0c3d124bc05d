#include "validation/noticerows.h"

#include "core/jsonhelper.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

QString NoticeRows::LocalDateTime(const QString& createdAt)
{
    QDateTime time = QDateTime::fromString(createdAt, QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
    if (!time.isValid())
        return QString();
    time.setTimeSpec(Qt::UTC);
    return time.toLocalTime().toString(QStringLiteral("MM-dd-yyyy HH:mm:ss"));
}

bool NoticeRows::IsReply(const QString& text)
{
    return QJsonDocument::fromJson(text.toUtf8()).isObject();
}

QVector<NoticeRows::Row> NoticeRows::ReadPage(const QString& text, int page, int* totalCount)
{
    int total = 0;
    QVector<Row> rows = Read(text, 0, &total);
    const int base = PageBase(total, page, rows.size());
    for (int i = 0; i < rows.size(); ++i)
        rows[i].number = QString::number(rows.size() + base - i);
    if (totalCount)
        *totalCount = total;
    return rows;
}

int NoticeRows::PageBase(int totalCount, int page, int rowCount)
{
    const qint64 base = qint64(totalCount) - qint64(std::max(page, 0)) * kPageRows - rowCount;
    return base > 0 ? int(base) : 0;
}

int NoticeRows::PageCount(int totalCount)
{
    return totalCount > 0 ? int((qint64(totalCount) + kPageRows - 1) / kPageRows) : 1;
}

bool NoticeRows::HasNextPage(int totalCount, int page)
{
    return (qint64(page) + 1) * kPageRows < totalCount;
}

QVector<NoticeRows::Row> NoticeRows::Read(const QString& text, int pageBase, int* totalCount)
{
    const QJsonObject object = JsonHelper().ToJsonObject(text);
    if (totalCount)
        *totalCount = std::max(0, object.value(QLatin1String("total_count")).toInt(0));
    const QJsonArray data = object.value(QLatin1String("data")).toArray();
    const int count = std::min(int(data.size()), kMaxRows);
    QVector<Row> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QJsonObject notice = data.at(i).toObject();
        Row row;
        row.number = QString::number(count + pageBase - i);
        row.title = notice.value(QLatin1String("title")).toString();
        row.dateTime = LocalDateTime(notice.value(QLatin1String("createdAt")).toString());
        row.contents = notice.value(QLatin1String("contents")).toString();
        row.id = notice.value(QLatin1String("id")).toInt(0);
        rows.append(row);
    }
    return rows;
}
