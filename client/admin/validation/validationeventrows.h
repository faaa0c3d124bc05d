#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TreeModel;

// The rows of the console's flat lists over a tree model: the event list (newest on top, at most
// 1000 rows, filled from a log file too) and the monitoring list (one row per account id, the
// ids kept in a table of 9999 slots).
class ValidationEventRows
{
public:
    static constexpr int kMaxEvents = 1000;
    static constexpr int kMonitoringSlots = 9999;

    static QStringList EventHeaders();
    static QStringList MonitoringHeaders();

    explicit ValidationEventRows(TreeModel& model);

    // The clock of empty dates and times; tests set a fixed one.
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    void InsertEventRow(const QString& source, const QString& text, const QString& date, const QString& time);
    // Reads a log file ("--start", then date^time^source^text lines, "--end"); stops quietly at
    // the first line that is not four fields. The number of rows read.
    int LoadLog(const QString& path);

    // Adds or rewrites the row of the account id (first text) with the nine other texts; false
    // when the id is not a number or the table is full.
    bool UpdateMonitoringRow(const QStringList& texts);
    // The account id of a monitoring row; -1 when none.
    int AccountIdOfRow(int row) const;

private:
    void SetRow(int row, const QStringList& texts);

    TreeModel& m_model;
    std::function<QDateTime()> m_clock;
    std::vector<int> m_ids;
};
