#include "ui/csearchtime.h"
#include "ui/controlbarlogic.h"
#include "ui/ctimeslider.h"
#include "ui/playgroups.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kBarLeft = 188;
constexpr int kRowTop = 26;
constexpr int kRowPitch = 15;
constexpr int kRowHeight = 13;
} // namespace

CSearchTime::CSearchTime(std::function<bool(int)> isPlaying, QWidget* parent)
    : QWidget(parent)
    , m_isPlaying(std::move(isPlaying))
    , m_groups(QStringLiteral(":/orvane/bmp/timegroups.png"))
{
    resize(kSize);
    auto* selectDate = new QPushButton(QStringLiteral("Select Date"), this);
    selectDate->setGeometry(10, 26, 110, 24);
    connect(selectDate, &QPushButton::clicked, this, &CSearchTime::OnSelectDate);
    auto* up = new QPushButton(QStringLiteral("\u25b2"), this);
    up->setGeometry(10, 56, 24, 24);
    connect(up, &QPushButton::clicked, this, &CSearchTime::PageUp);
    auto* down = new QPushButton(QStringLiteral("\u25bc"), this);
    down->setGeometry(38, 56, 24, 24);
    connect(down, &QPushButton::clicked, this, &CSearchTime::PageDown);
    m_slider = new CTimeSlider(this);
    m_slider->setRange(0, TimeBarModel::kPositions);
    m_slider->setGeometry(kBarLeft - 6, 90, TimeBarModel::kPositions + 12, 20);
    m_time = new QLabel(QStringLiteral("00:00:00"), this);
    m_time->setGeometry(kBarLeft + TimeBarModel::kPositions + 10, 26, 60, 16);
    m_caption = new QLabel(this);
    m_caption->setGeometry(10, 4, 300, 16);
    ResetSelection();
}

QString CSearchTime::TimeText() const
{
    return m_time->text();
}

QString CSearchTime::CaptionText() const
{
    return m_caption->text();
}

void CSearchTime::UpdateTimeBar()
{
    const int position = m_slider->value();
    m_time->setText(ControlBarLogic::SliderText(position));
    const int old = m_marker;
    m_marker = position;
    update(QRect(kBarLeft + old, 23, 1, 66));
    update(QRect(kBarLeft + position, 23, 1, 66));
}

void CSearchTime::ShowGroupTime(int hhmmss)
{
    if (m_slider->IsDragging())
        return;
    const int position = PlayGroups::BarPosition(hhmmss);
    if (m_slider->value() != position) {
        m_slider->setValue(position);
        UpdateTimeBar();
    }
    // After the marker: the cell's own text has no seconds.
    m_time->setText(PlayGroups::TimeText(hhmmss));
}

void CSearchTime::ResetSelection()
{
    m_model.Reset();
    m_caption->setText(QStringLiteral("Not Select"));
    update();
}

void CSearchTime::OnSelectDate()
{
    // The calendar search needs a recorder connection, which the player never opens.
    if (m_openCalendar && m_openCalendar())
        return;
    QApplication::beep();
    emit beepRequested();
}

void CSearchTime::PageUp()
{
    if (m_model.PageUp())
        update();
}

void CSearchTime::PageDown()
{
    if (m_model.PageDown())
        update();
}

void CSearchTime::MarkFileCells(int tile, int firstCell, int count)
{
    for (int cell = 0; cell < TimeBarModel::kCells; ++cell)
        m_model.SetCell(TimeBarModel::Source::File, tile, cell, 0);
    for (int cell = firstCell; cell < firstCell + count; ++cell)
        m_model.SetCell(TimeBarModel::Source::File, tile, cell, 1);
    update();
}

void CSearchTime::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

void CSearchTime::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), TimeBarModel::kBackground);
    const int frame = m_model.FirstRow() / 4;
    if (!m_groups.isNull())
        painter.drawPixmap(QPoint(129 - 60, kRowTop), m_groups, QRect(frame * 100, 0, 100, 60));
    for (int k = 0; k < 4; ++k) {
        const int row = m_model.FirstRow() + k;
        const bool playing = m_isPlaying && m_isPlaying(row);
        for (int p = 0; p < TimeBarModel::kPositions; ++p) {
            painter.setPen(m_model.ColumnColour(row, p, playing, false));
            const int y = kRowTop + kRowPitch * k;
            painter.drawLine(kBarLeft + p, y, kBarLeft + p, y + kRowHeight - 1);
        }
    }
    painter.setPen(QColor(0, 255, 0));
    painter.drawLine(kBarLeft + m_marker, 23, kBarLeft + m_marker, 88);
}
