#include "backup/jobrules.h"

#include "backup/backupclock.h"
#include "backup/backupitem.h"
#include "backup/listmodel.h"

#include <QStringList>

namespace JobRules {

QString ChannelText(int channel, const QString& cameraTitle)
{
    return QString::asprintf("Ch - %02d (", channel + 1) + cameraTitle + QLatin1Char(')');
}

QString WeekText(int weekDays)
{
    static const char* const kNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    QStringList names;
    for (int day = 0; day < 7; ++day) {
        if (weekDays & (1 << day))
            names << QLatin1String(kNames[day]);
    }
    return names.join(QLatin1Char('/'));
}

bool Conflicts(const BackupItem& listed, int dayMask, quint32 channelMask, int begin, int end)
{
    if (listed.state != JobState::Wait && listed.state != JobState::Stop && listed.state != JobState::Downloading)
        return false;
    if (!(listed.weekDays & dayMask) || listed.channel < 0 || listed.channel > 15
        || !(channelMask & (1u << listed.channel)))
        return false;
    const int b = listed.begin;
    const int e = listed.end;
    return b == begin || e == end || b == end || e == begin || (begin < b && b < end) || (begin < e && e < end);
}

bool ClearConflicts(const ListModel& model, int dayMask, quint32 channelMask, int begin, int end,
                    const std::function<bool()>& confirmOverlap, const std::function<void(int row)>& removeRow)
{
    bool asked = false;
    for (int row = 0; row < model.rowCount();) {
        const BackupItem* item = model.Item(row);
        if (!item || !Conflicts(*item, dayMask, channelMask, begin, end)) {
            ++row;
            continue;
        }
        if (!asked) {
            asked = true;
            if (!confirmOverlap || !confirmOverlap())
                return false;
        }
        removeRow(row);
    }
    return true;
}

void SetupColumns(ListModel& model, std::initializer_list<Column> columns)
{
    model.SetColumnCount(int(columns.size()));
    int c = 0;
    for (const Column& column : columns) {
        model.SetHeaderText(c, QString::fromLatin1(column.header));
        model.SetColumnAlignment(c, column.alignment);
        ++c;
    }
    model.SetModelCount(int(columns.size()));
}

void FillJobRow(ListModel& model, int row, BackupItem& item, int channel, int weekDays, int begin, int end,
                const QString& cameraTitle)
{
    model.SetText(row, 0, ChannelText(channel, cameraTitle));
    model.SetText(row, 1, WeekText(weekDays));
    model.SetText(row, 2, BackupClock::HmsText(begin));
    model.SetText(row, 3, BackupClock::HmsText(end));
    item.channel = channel;
    item.weekDays = weekDays;
    item.begin = begin;
    item.end = end;
    item.startDate = 0;
}

void RemoveRowsIn(const ListModel& model, JobState state, const std::function<void(int row)>& removeRow)
{
    for (int row = 0; row < model.rowCount();) {
        const BackupItem* item = model.Item(row);
        if (item && item->state == state)
            removeRow(row);
        else
            ++row;
    }
}

QString AddProblem(int dayMask, quint32 channelMask, int begin, int end)
{
    if (channelMask == 0)
        return QStringLiteral("Choose at least one channel.");
    if (dayMask == 0)
        return QStringLiteral("Choose at least one day of the week.");
    if (begin >= end)
        return QStringLiteral("The begin time must be before the end time.");
    return QString();
}

bool AddJobs(const ListModel& model, int dayMask, quint32 channelMask, int begin, int end, int channels,
             const std::function<bool()>& confirmOverlap, const std::function<void(int row)>& removeRow,
             const std::function<void(int channel)>& addRow)
{
    if (!AddProblem(dayMask, channelMask, begin, end).isEmpty())
        return false;
    if (!ClearConflicts(model, dayMask, channelMask, begin, end, confirmOverlap, removeRow))
        return false;
    for (int channel = 0; channel < channels && channel < 32; ++channel) {
        if (channelMask & (1u << channel))
            addRow(channel);
    }
    return true;
}

void SetState(ListModel& model, int row, int statusColumn, BackupItem& item, int state, const QString& text)
{
    item.state = JobState(state);
    model.SetText(row, statusColumn, text.isEmpty() ? StateText(state) : text);
}

QString StateText(int state)
{
    switch (JobState(state)) {
    case JobState::Wait: return QStringLiteral("Wait");
    case JobState::Stop: return QStringLiteral("Stop");
    case JobState::Downloading: return QStringLiteral("Downloading");
    case JobState::Complete: return QStringLiteral("Complete");
    case JobState::Failed: return QStringLiteral("Failed");
    case JobState::Timeout: return QStringLiteral("Timeout");
    }
    return QString();
}

QString FailureStatus(bool diskFull)
{
    return diskFull ? QStringLiteral("Disk full") : QStringLiteral("Write failed");
}

} // namespace JobRules
