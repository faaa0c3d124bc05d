#include "search/searchcalendar.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cstring>

#include "search/calendarmonth.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

const char kDisabledStyle[] = "QPushButton {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 "
                              "#838383, stop:1 #5a5a5a);}";
const char kRecordedStyle[] = "QPushButton {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 "
                              "#7ba5de, stop:1 #466b9e);}";
const char kPickedStyle[] = "QPushButton {background-color: #13233b; color:#d4e6ff;}";
// White on the dark blue of a picked day: the window behind it is light grey.
const char kTimeLabelStyle[] = "QLabel{background-color : #13233b; color : white; font-weight : bold;font-size "
                               ": 12px; border: 1px solid gray;}";
const char kGrayStyle[] = "QLabel {color : gray;}";

constexpr int kMinutesPerPixel = 3;
constexpr int kRowTop = 15;
constexpr int kRowStep = 13;
constexpr int kRowRight = 481;
constexpr int kCameraLabelWidth = 48;
constexpr int kLabelGap = 6;
constexpr int kDayButtonWidth = 48;

} // namespace

searchCalendar::searchCalendar(QWidget* parent)
    : CPopupDialog(parent)
    , m_table(new quint8[size_t(kRows) * kMinutes]())
{
    setWindowTitle(QStringLiteral("Search Calendar"));
    setMinimumSize(890, 362);
    BuildWidgets();
    connect(this, &searchCalendar::dateSetText, m_monthLabel, &QLabel::setText);
    connect(this, &searchCalendar::timeSetText, m_timeLabel, &QLabel::setText);
    connect(this, &searchCalendar::OnDrawTimeList, this, &searchCalendar::SetDrawTimeList);
    connect(m_slider, &QSlider::valueChanged, this, &searchCalendar::ChangeTimeSlider);
}

searchCalendar::~searchCalendar() = default;

void searchCalendar::BuildWidgets()
{
    auto* prev = new QPushButton(QStringLiteral("<<"), this);
    auto* next = new QPushButton(QStringLiteral(">>"), this);
    m_monthLabel = new QLabel(this);
    m_monthLabel->setAlignment(Qt::AlignCenter);
    connect(prev, &QPushButton::clicked, this, &searchCalendar::onDatePrevButtonClicked);
    connect(next, &QPushButton::clicked, this, &searchCalendar::onDateNextButtonClicked);
    auto* monthRow = new QHBoxLayout;
    monthRow->addWidget(prev);
    monthRow->addWidget(m_monthLabel, 1);
    monthRow->addWidget(next);

    auto* days = new QGridLayout;
    static const char* const kWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int d = 0; d < 7; ++d) {
        auto* label = new QLabel(QLatin1String(kWeekdays[d]), this);
        label->setAlignment(Qt::AlignCenter);
        if (d == 0)
            label->setStyleSheet(QStringLiteral("QLabel {color : red;}"));
        else if (d == 6)
            label->setStyleSheet(QStringLiteral("QLabel {color : blue;}"));
        days->addWidget(label, 0, d);
    }
    for (int n = 0; n < CalendarMonth::kButtons; ++n) {
        auto* button = new QPushButton(this);
        button->setFixedWidth(kDayButtonWidth);
        button->setEnabled(false);
        button->setStyleSheet(QLatin1String(kDisabledStyle));
        connect(button, &QPushButton::clicked, this, [this, n] { OnSelectDate(n); });
        days->addWidget(button, 1 + n / 7, n % 7);
        m_dayButtons[size_t(n)] = button;
    }
    auto* left = new QVBoxLayout;
    left->addLayout(monthRow);
    left->addLayout(days);

    // The minute table with its hour labels above and camera labels at the left.
    auto* hours = new QHBoxLayout;
    hours->setSpacing(0);
    for (int h = 0; h <= 24; ++h) {
        auto* label = new QLabel(QString::asprintf("%02d", h), this);
        label->setFixedWidth(h == 24 ? 13 : 20);
        label->setStyleSheet(QStringLiteral("QLabel {color : gray; font-size : 9px;}"));
        hours->addWidget(label);
    }
    // Each camera label stands level with its row bar (rows from y 15, 13 pixels apart).
    auto* cameras = new QVBoxLayout;
    cameras->setSpacing(0);
    cameras->setContentsMargins(0, kRowTop - kRowStep / 2, 0, 0);
    for (int c = 1; c <= 16; ++c) {
        auto* label = new QLabel(QString::asprintf("Cam %02d", c), this);
        label->setFixedSize(kCameraLabelWidth, kRowStep);
        label->setStyleSheet(QStringLiteral("QLabel {font-size : 10px;}"));
        cameras->addWidget(label);
    }
    auto* audio = new QLabel(QStringLiteral("AUDIO"), this);
    audio->setFixedSize(kCameraLabelWidth, kRowStep);
    audio->setStyleSheet(QStringLiteral("QLabel {font-size : 10px;}"));
    cameras->addStretch(1);
    cameras->addWidget(audio);
    m_tableLabel = new QLabel(this);
    m_tableLabel->setFixedSize(kTableWidth, kTableHeight);
    m_tableLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* tableRow = new QHBoxLayout;
    tableRow->setSpacing(kLabelGap);
    tableRow->addLayout(cameras);
    tableRow->addWidget(m_tableLabel);

    m_timeLabel = new QLabel(QStringLiteral("00:00"), this);
    m_timeLabel->setStyleSheet(QLatin1String(kTimeLabelStyle));
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, CalendarMonth::kMinutesPerDay);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(m_timeLabel);
    sliderRow->addWidget(m_slider, 1);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_okButton->setEnabled(false);
    connect(m_okButton, &QPushButton::clicked, this, &searchCalendar::onOKButtonClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &searchCalendar::onCancelButtonClicked);
    auto* buttons = new QHBoxLayout;
    // The legend of the minute table.
    for (const char* text : {"Blue : recorded", "Red : event", "Green : chosen time"}) {
        auto* label = new QLabel(QLatin1String(text), this);
        label->setStyleSheet(QLatin1String(kGrayStyle));
        buttons->addWidget(label);
    }
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* hourRow = new QHBoxLayout;
    hourRow->setSpacing(0);
    // The first hour label starts over the table's left edge.
    hourRow->addSpacing(kCameraLabelWidth + kLabelGap - 6);
    hourRow->addLayout(hours);
    hourRow->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addLayout(hourRow);
    right->addLayout(tableRow);
    right->addLayout(sliderRow);
    right->addLayout(buttons);

    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right);
    top->setSizeConstraint(QLayout::SetMinimumSize);
}

RecorderSession* searchCalendar::Device() const
{
    const SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_device) : nullptr;
}

QPushButton* searchCalendar::DayButton(int n) const
{
    return n >= 0 && n < CalendarMonth::kButtons ? m_dayButtons[size_t(n)] : nullptr;
}

quint8 searchCalendar::TableValue(int row, int minute) const
{
    if (!m_table || row < 0 || row >= kRows || minute < 0 || minute >= kMinutes)
        return 0;
    return m_table[size_t(row) * kMinutes + size_t(minute)];
}

void searchCalendar::ZeroTable()
{
    if (m_table)
        std::memset(m_table.get(), 0, size_t(kRows) * kMinutes);
}

void searchCalendar::FreeTable()
{
    m_table.reset();
}

int searchCalendar::PickedDate() const
{
    return m_year * 10000 + m_month * 100 + m_day;
}

void searchCalendar::SetCalendar(int year, int month, int device)
{
    m_year = year;
    m_month = month;
    m_day = 0;
    if (device >= 0)
        m_device = device;
    const RecorderSession* session = Device();
    if (!session)
        return;
    emit dateSetText(CalendarMonth::MonthText(year, month));
    for (QPushButton* button : m_dayButtons) {
        button->setEnabled(false);
        button->setText(QString());
        button->setStyleSheet(QLatin1String(kDisabledStyle));
    }
    const int days = CalendarMonth::DaysInMonth(year, month);
    for (int d = 1; d <= days; ++d) {
        QPushButton* button = m_dayButtons[size_t(CalendarMonth::ButtonOfDay(year, month, d))];
        button->setText(QString::asprintf("%d", d));
        button->show();
        if (session->HasRecordDay(year * 10000 + month * 100 + d)) {
            button->setEnabled(true);
            button->setStyleSheet(QLatin1String(kRecordedStyle));
        }
    }
    ZeroTable();
    ChangeTimeSlider(-1);
    m_okButton->setEnabled(false);
    update();
}

void searchCalendar::OnSelectDate(int n)
{
    QPushButton* picked = DayButton(n);
    if (!picked || !m_table)
        return;
    for (QPushButton* button : m_dayButtons) {
        if (button != picked && button->isEnabled())
            button->setStyleSheet(QLatin1String(kRecordedStyle));
    }
    picked->setStyleSheet(QLatin1String(kPickedStyle));
    m_day = picked->text().toInt();
    ZeroTable();
    emit getTimeList(PickedDate());
}

void searchCalendar::SetTimeList()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    const RecorderSession* session = Device();
    if (session && m_table) {
        for (int row = 0; row < kRows; ++row) {
            quint8* to = m_table.get() + size_t(row) * kMinutes;
            if (const quint8* from = session->GetMinuteTable(row))
                std::memcpy(to, from, kMinutes);
            else
                std::memset(to, 0, kMinutes);
        }
    }
    ChangeTimeSlider(-1);
    m_okButton->setEnabled(true);
}

void searchCalendar::ChangeTimeSlider(int minute)
{
    if (minute < 0)
        minute = m_slider->value();
    emit OnDrawTimeList(minute / kMinutesPerPixel);
    emit timeSetText(CalendarMonth::MinuteText(minute));
    m_time = CalendarMonth::TimeOfMinute(minute);
}

void searchCalendar::SetDrawTimeList(int x)
{
    QImage picture(kTableWidth, kTableHeight, QImage::Format_RGB32);
    picture.fill(QColor(Qt::lightGray));
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawLine(0, 5, kRowRight, 5);
    for (int tick = 10; tick <= 470; tick += 10)
        painter.drawLine(tick, 0, tick, 5);
    painter.setPen(QPen(Qt::darkGray, 10));
    for (int row = 0; row < kRows; ++row)
        painter.drawLine(0, kRowTop + kRowStep * row, kRowRight, kRowTop + kRowStep * row);
    if (m_table) {
        // Recorded minutes first, events over them.
        for (const bool events : {false, true}) {
            painter.setPen(QPen(events ? Qt::red : Qt::blue, 1));
            for (int row = 0; row < kRows; ++row) {
                const int y = kRowTop + kRowStep * row;
                for (int m = 0; m < kMinutes; ++m) {
                    const quint8 value = m_table[size_t(row) * kMinutes + size_t(m)];
                    if (events ? value > 1 : (value & 1) != 0)
                        painter.drawLine(m / kMinutesPerPixel, y - 4, m / kMinutesPerPixel, y + 4);
                }
            }
        }
    }
    painter.setPen(QPen(Qt::green, 1));
    painter.drawLine(x, 0, x, kTableHeight);
    painter.end();
    m_tablePicture = picture;
    m_tableLabel->setPixmap(QPixmap::fromImage(picture));
}

void searchCalendar::onDatePrevButtonClicked()
{
    int year = m_year;
    int month = m_month;
    CalendarMonth::PreviousMonth(year, month);
    SetCalendar(year, month, -1);
}

void searchCalendar::onDateNextButtonClicked()
{
    int year = m_year;
    int month = m_month;
    CalendarMonth::NextMonth(year, month);
    SetCalendar(year, month, -1);
}

void searchCalendar::onOKButtonClicked()
{
    FreeTable();
    if (RecorderSession* session = Device())
        session->ChoosePlayStart(PickedDate(), m_time);
    done(1);
}

void searchCalendar::onCancelButtonClicked()
{
    FreeTable();
    done(0);
}
