// The console's flat lists: the event log and its file, the monitoring rows, the notice rows.
#include "core/treemodel.h"
#include "validation/noticerows.h"
#include "validation/validationeventrows.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {
class EventRows : public ::testing::Test
{
protected:
    EventRows()
    {
        rows.SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 8, 7)); });
    }

    QStringList Row(int row) const
    {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        return cells;
    }

    QString WriteLog(const QByteArray& text)
    {
        const QString path = dir.filePath(QStringLiteral("validationlog.log"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    QTemporaryDir dir;
    TreeModel model{ValidationEventRows::EventHeaders()};
    ValidationEventRows rows{model};
};

TEST_F(EventRows, NewestOnTopWithTodayForEmptyDateAndTime)
{
    rows.InsertEventRow(QStringLiteral("parent"), QStringLiteral("first"), QStringLiteral("01/02/2026"),
                        QString());
    rows.InsertEventRow(QStringLiteral("kim"), QStringLiteral("second"), QString(), QStringLiteral("10:00:00"));
    EXPECT_EQ(Row(0), (QStringList{"12/10/2026", "10:00:00", "kim", "second"}));
    EXPECT_EQ(Row(1), (QStringList{"01/02/2026", "09:08:07", "root", "first"}));
}

TEST_F(EventRows, TheThousandAndFirstEventPushesTheOldestOut)
{
    for (int i = 0; i < ValidationEventRows::kMaxEvents + 1; ++i)
        rows.InsertEventRow(QStringLiteral("s"), QString::number(i), QStringLiteral("d"), QStringLiteral("t"));
    EXPECT_EQ(model.rowCount(), ValidationEventRows::kMaxEvents);
    EXPECT_EQ(Row(0).at(3), QStringLiteral("1000"));
    EXPECT_EQ(Row(ValidationEventRows::kMaxEvents - 1).at(3), QStringLiteral("1"));
}

struct LogCase
{
    const char* text;
    int rows;
};

class LogFiles : public EventRows, public ::testing::WithParamInterface<LogCase>
{};

TEST_P(LogFiles, ReadUpToTheFirstMalformedLine)
{
    EXPECT_EQ(rows.LoadLog(WriteLog(GetParam().text)), GetParam().rows);
    EXPECT_EQ(model.rowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Texts, LogFiles,
                         ::testing::Values(LogCase{"--start\n1^2^a^x\n1^2\n3^4^b^y\n", 1},
                                           LogCase{"--start\n1^2^a^x\n1^2^3^4^5\n", 1},
                                           LogCase{"--start\n1^2^a^x\n3^4^b^y\n--end\n5^6^c^z\n", 2},
                                           LogCase{"start\n1^2^a^x\n", 0}, LogCase{"", 0},
                                           LogCase{"--start\n^^parent^\n", 1}));

TEST_F(EventRows, TheLastEventOfAFileShowsFirst)
{
    rows.LoadLog(WriteLog("--start\n01/01/2026^10:00:00^kim^login\n01/01/2026^11:00:00^kim^logout\n"));
    EXPECT_EQ(Row(0).at(3), QStringLiteral("logout"));
}

TEST(MonitoringRows, AnIdKeepsItsRowAndANewIdAddsOne)
{
    TreeModel model{ValidationEventRows::MonitoringHeaders()};
    ValidationEventRows rows(model);
    const QStringList texts = {"4", "kim", "h", "1", "2", "3", "4", "5", "6", "7"};
    ASSERT_TRUE(rows.UpdateMonitoringRow(texts));
    QStringList changed = texts;
    changed[3] = QStringLiteral("9");
    ASSERT_TRUE(rows.UpdateMonitoringRow(changed));
    ASSERT_TRUE(rows.UpdateMonitoringRow({"8", "mia", "h", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("9"));
    EXPECT_EQ(rows.AccountIdOfRow(0), 4);
    EXPECT_EQ(rows.AccountIdOfRow(1), 8);
    EXPECT_EQ(rows.AccountIdOfRow(2), -1);
    EXPECT_FALSE(rows.UpdateMonitoringRow({"x", "a", "b", "c", "d", "e", "f", "g", "h", "i"}));
}

TEST(NoticeRows, NumberedHighestFirstWithLocalTimes)
{
    // A fixed zone nine hours ahead of UTC, for the whole process while the test runs.
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", "UTC-9");
    tzset();
    int total = 0;
    const QVector<NoticeRows::Row> rows = NoticeRows::Read(
        R"({"total_count":7,"data":[{"id":5,"title":"A","contents":"c","createdAt":)"
        R"("2014-03-05T10:20:30.000Z"},{"id":4,"title":"B","createdAt":"bad"}]})",
        0, &total);
    if (previous.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", previous);
    tzset();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(total, 7);
    EXPECT_EQ(rows[0].number, QStringLiteral("2"));
    EXPECT_EQ(rows[1].number, QStringLiteral("1"));
    EXPECT_EQ(rows[0].dateTime, QStringLiteral("03-05-2014 19:20:30"));
    EXPECT_EQ(rows[1].dateTime, QString());
    EXPECT_EQ(rows[0].contents, QStringLiteral("c"));
    EXPECT_EQ(rows[0].id, 5);
    EXPECT_TRUE(NoticeRows::Read(R"({"total_count":3})", 0, &total).isEmpty());
}
} // namespace
