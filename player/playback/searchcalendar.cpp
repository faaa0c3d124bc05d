#include "playback/searchcalendar.h"

#include <QDate>

namespace {

constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool IsLeap(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

} // namespace

SearchCalendar::SearchCalendar(int capacity)
    : m_capacity(capacity)
{}

int SearchCalendar::DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeap(year) ? 29 : kMonthLength[month - 1];
}

int SearchCalendar::FirstWeekday(int year, int month)
{
    if (year < 1 || month < 1 || month > 12)
        return 0;
    const int y = year - 1;
    int weekday = (year + y / 4 - y / 100 + y / 400) % 7;
    for (int m = 1; m < month; ++m) {
        int b = 42 - DaysInMonth(year, m) - weekday;
        if (b > 6)
            b %= 7;
        weekday = b < 1 ? b : 7 - b;
    }
    return weekday;
}

QString SearchCalendar::MarkerTimeText(int position)
{
    const int minutes = 3 * qBound(0, position, 480);
    return QString::asprintf("%02d:%02d:00", minutes / 60, minutes % 60);
}

void SearchCalendar::FillCalendar(int year, int month)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        return;
    m_cells.fill(QString());
    const int first = FirstWeekday(year, month);
    const int length = DaysInMonth(year, month);
    for (int day = 1; day <= length; ++day) {
        const QString key = QString::asprintf("%04d%02d", year, month) + QString::asprintf("%02d", day);
        m_cells[size_t(first + day - 1)] = HasDay(key) ? QStringLiteral("[%1]").arg(day) : QString::number(day);
    }
    m_year = year;
    m_month = month;
}

void SearchCalendar::PreviousMonth()
{
    if (m_month <= 1)
        FillCalendar(m_year - 1, 12);
    else
        FillCalendar(m_year, m_month - 1);
}

void SearchCalendar::NextMonth()
{
    if (m_month >= 12)
        FillCalendar(m_year + 1, 1);
    else
        FillCalendar(m_year, m_month + 1);
}

QString SearchCalendar::MonthText() const
{
    return QString::asprintf("%d - %02d", m_year, m_month);
}

QString SearchCalendar::ButtonText(int cell) const
{
    if (cell < 0 || cell >= kCells)
        return QString();
    const QString& text = m_cells[size_t(cell)];
    return text.startsWith(QLatin1Char('[')) ? text.mid(1, text.size() - 2) : text;
}

bool SearchCalendar::ButtonEnabled(int cell) const
{
    return cell >= 0 && cell < kCells && m_cells[size_t(cell)].startsWith(QLatin1Char('['));
}

int SearchCalendar::OnDayList(const QByteArray& text)
{
    QByteArray flat = text;
    flat.replace('\r', QByteArray()).replace('\n', QByteArray());
    int added = 0;
    for (int at = 0; at + 8 <= flat.size(); at += 8) {
        const QByteArray piece = flat.mid(at, 8);
        if (piece[0] < '0' || piece[0] > '9')
            continue;
        // The recorder's list is peer data: only eight digits naming a real date count.
        const QDate date = QDate::fromString(QString::fromLatin1(piece), QStringLiteral("yyyyMMdd"));
        if (!date.isValid())
            continue;
        const QString day = QString::fromLatin1(piece);
        if (m_daySet.contains(day) || m_days.size() >= m_capacity)
            continue;
        m_days.append(day);
        m_daySet.insert(day);
        ++added;
    }
    if (!m_days.isEmpty())
        FillCalendar(m_days.first().left(4).toInt(), m_days.first().mid(4, 2).toInt());
    return added;
}

void SearchCalendar::ClearDays()
{
    m_days.clear();
    m_daySet.clear();
}

bool SearchCalendar::ChooseCell(int cell)
{
    if (!ButtonEnabled(cell))
        return false;
    m_chosen = QString::asprintf("%04d%02d%02d", m_year, m_month, ButtonText(cell).toInt());
    return true;
}

void SearchCalendar::ClearChosenDay()
{
    m_chosen.clear();
}

int SearchCalendar::ChosenCell() const
{
    if (m_chosen.size() != 8 || m_chosen.left(4).toInt() != m_year || m_chosen.mid(4, 2).toInt() != m_month)
        return -1;
    return FirstWeekday(m_year, m_month) + m_chosen.mid(6, 2).toInt() - 1;
}
