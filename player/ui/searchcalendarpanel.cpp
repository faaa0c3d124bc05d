#include "ui/searchcalendarpanel.h"

#include <QLabel>

#include "ui/cskinbutton.h"

namespace {

constexpr int kDayWidth = 28;
constexpr int kDayHeight = 22;

} // namespace

SearchCalendarPanel::SearchCalendarPanel(SearchCalendar& calendar, HPImageManager& images,
                                         const QString& skinFolder, QWidget* parent)
    : QWidget(parent)
    , m_calendar(calendar)
{
    setFixedSize(kSize);
    m_previous = new CSkinButton(QStringLiteral("<<"), this);
    m_next = new CSkinButton(QStringLiteral(">>"), this);
    for (CSkinButton* button : {m_previous, m_next}) {
        button->LoadSkin(images, skinFolder, QStringLiteral("ButtonDay2.bmp"), QStringLiteral("ButtonDay3.bmp"),
                         QStringLiteral("ButtonDay3.bmp"), QStringLiteral("ButtonDay1.bmp"));
        button->SetDrawCaption(true);
        button->resize(kDayWidth + 6, kDayHeight);
    }
    m_previous->move(0, 0);
    m_next->move(kSize.width() - kDayWidth - 6, 0);
    m_month = new QLabel(QStringLiteral("0000 - 00"), this);
    m_month->setAlignment(Qt::AlignCenter);
    m_month->setGeometry(kDayWidth + 10, 0, kSize.width() - 2 * kDayWidth - 20, kDayHeight);
    m_month->setStyleSheet(QStringLiteral("color: white; background: rgb(100,100,100);"));
    connect(m_previous, &QPushButton::clicked, this, [this] {
        emit monthChanging();
        m_calendar.PreviousMonth();
        Refresh();
    });
    connect(m_next, &QPushButton::clicked, this, [this] {
        emit monthChanging();
        m_calendar.NextMonth();
        Refresh();
    });
    for (int cell = 0; cell < SearchCalendar::kCells; ++cell) {
        auto* day = new CSkinButton(QString(), this);
        day->LoadSkin(images, skinFolder, QStringLiteral("ButtonDay2.bmp"), QStringLiteral("ButtonDay3.bmp"),
                      QStringLiteral("ButtonDay1.bmp"), QStringLiteral("ButtonDay1.bmp"),
                      QStringLiteral("ButtonDay4.bmp"));
        day->SetDrawCaption(true);
        day->setGeometry((cell % 7) * (kDayWidth + 2), 28 + (cell / 7) * (kDayHeight + 2), kDayWidth, kDayHeight);
        connect(day, &QPushButton::clicked, this, [this, cell] { OnDay(cell); });
        m_days[size_t(cell)] = day;
    }
    Refresh();
}

QString SearchCalendarPanel::MonthText() const
{
    return m_month->text();
}

void SearchCalendarPanel::Refresh()
{
    if (m_calendar.Month() != 0)
        m_month->setText(m_calendar.MonthText());
    const int chosen = m_calendar.ChosenCell();
    for (int cell = 0; cell < SearchCalendar::kCells; ++cell) {
        CSkinButton* day = m_days[size_t(cell)];
        const bool enabled = m_calendar.ButtonEnabled(cell);
        day->setText(m_calendar.ButtonText(cell));
        day->setEnabled(enabled);
        day->SetOverride(!enabled);
        day->SetTextColours(enabled ? QColor(Qt::white) : QColor(150, 150, 150), QColor(Qt::yellow));
        day->SetCheck(enabled && cell == chosen);
    }
}

void SearchCalendarPanel::ClearSelection()
{
    m_calendar.ClearChosenDay();
    for (CSkinButton* day : m_days)
        day->SetCheck(false);
}

void SearchCalendarPanel::OnDay(int cell)
{
    if (!m_calendar.ChooseCell(cell))
        return;
    const QString text = m_days[size_t(cell)]->text();
    for (CSkinButton* day : m_days)
        day->SetCheck(day->text() == text);
    emit dayChosen(m_calendar.ChosenDay());
}
