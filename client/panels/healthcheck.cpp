#include "panels/healthcheck.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStringList>

#include <algorithm>

#include "panels/panelshub.h"

namespace {

constexpr int kGridWidth = 421;
constexpr int kGridHeight = 141;
constexpr int kRow = 20;
constexpr int kColumnsAt = 100;
constexpr int kRows = 7;
constexpr int kNotShown = 255;
const QColor kGridBackground(0x35, 0x53, 0x7C);

enum class Mark { None, Yellow, Blue, Red };

QImage MarkImage(Mark mark)
{
    QImage image(15, 15, QImage::Format_RGB32);
    switch (mark) {
    case Mark::Yellow: image.fill(QColor(0xC8, 0xC8, 0x00)); break;
    case Mark::Blue: image.fill(QColor(0x00, 0x00, 0xC8)); break;
    case Mark::Red: image.fill(QColor(0xC8, 0x00, 0x00)); break;
    case Mark::None: break;
    }
    return image;
}

Mark OnOff(int value)
{
    return value == 1 ? Mark::Red : Mark::Blue;
}

Mark DiskMark(int state)
{
    switch (state) {
    case 1: return Mark::Blue;
    case 2: return Mark::Red;
    case 3: return Mark::Yellow;
    default: return Mark::None;
    }
}

// The mark of a grid cell; the first row (numbers) has none.
Mark CellMark(const HealthState& s, int row, int column)
{
    const bool channel = column < s.ChannelCount();
    const bool shown = channel && s.CameraState(column) != kNotShown;
    switch (row) {
    case 1: return shown ? OnOff(s.Motion(column)) : Mark::None;
    case 2: return shown ? OnOff(s.Sensor(column)) : Mark::None;
    case 3: return column < s.RelayCount() ? OnOff(s.Relay(column)) : Mark::None;
    case 4: return shown ? OnOff(s.CameraState(column)) : Mark::None;
    case 5: return shown ? OnOff(s.VideoLoss(column)) : Mark::None;
    case 6: return column < HealthState::kDisks ? DiskMark(s.DiskState(column)) : Mark::None;
    default: return Mark::None;
    }
}

// The grid's bold font, made smaller until every text fits its room: "Lucida" is not on every
// machine, and the sans font that stands in for it is wider.
QFont FittedFont(const QStringList& texts, int room)
{
    QFont font(QStringLiteral("Lucida"), 9, QFont::Bold);
    if (!QFontInfo(font).exactMatch())
        font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    for (int points = 9; points > 5; --points) {
        font.setPointSize(points);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return metrics.horizontalAdvance(text) <= room;
        });
        if (fits)
            break;
    }
    return font;
}

} // namespace

healthCheck::healthCheck(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Health Check"));
    setFixedSize(441, 361);
    m_gridLabel = new QLabel(this);
    m_gridLabel->setGeometry(10, 10, kGridWidth, kGridHeight);
    auto* frame = new QLabel(this);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(10, 160, 421, 191);
    static const char* const captions[kLines] = {
        "DVR Name :",        "IP Address :",    "DVR Version :",      "Mac Address :", "HDD Usage :",
        "Earliest Record :", "Latest Record :", "Chipset Status : -", "Fan RPM : -"};
    for (int i = 0; i < kLines; ++i) {
        m_lines[i] = new QLabel(QLatin1String(captions[i]), this);
        // As wide as the frame, so that long values (a full disk usage line) are not cut.
        m_lines[i]->setGeometry(15, 165 + 20 * i, 411, 20);
    }
    m_grid = DrawGrid(m_state);
    m_gridLabel->setPixmap(m_grid);
}

QString healthCheck::LineText(int line) const
{
    return line >= 0 && line < kLines ? m_lines[line]->text() : QString();
}

void healthCheck::SetDvrName(const QString& text, int channelCount, int relayCount)
{
    m_lines[Name]->setText(text);
    m_recorderText = text;
    m_state.SetCounts(channelCount, relayCount);
}

void healthCheck::SetRecordInfo(const QString& address, const QString& mac, const QString& version,
                                const QString& earliest, const QString& latest, const QString& diskUsage)
{
    m_lines[Address]->setText(address);
    m_lines[Version]->setText(version);
    m_lines[Mac]->setText(mac);
    m_lines[DiskUsage]->setText(diskUsage);
    m_lines[Earliest]->setText(earliest);
    m_lines[Latest]->setText(latest);
}

void healthCheck::SetHealthState(const HealthRecord& record)
{
    const QStringList events = m_state.Apply(record);
    const QString chipset = m_state.ChipsetText();
    if (!chipset.isEmpty())
        m_lines[Chipset]->setText(chipset);
    const QString fan = m_state.FanText();
    if (!fan.isEmpty())
        m_lines[Fan]->setText(fan);
    if (PanelsHub* hub = PanelsHub::Instance()) {
        for (const QString& event : events)
            hub->AddEventLog(m_recorderText, event);
    }
    if (m_visible)
        Redraw();
}

void healthCheck::showEvent(QShowEvent* event)
{
    m_visible = true;
    Redraw();
    QDialog::showEvent(event);
}

void healthCheck::hideEvent(QHideEvent* event)
{
    m_visible = false;
    QDialog::hideEvent(event);
}

void healthCheck::Redraw()
{
    m_grid = DrawGrid(m_state);
    m_gridLabel->setPixmap(m_grid);
}

QPixmap healthCheck::DrawGrid(const HealthState& state)
{
    QPixmap grid(kGridWidth, kGridHeight);
    grid.fill(kGridBackground);
    QPainter painter(&grid);
    static const char* const titles[kRows] = {"Channel",      "Motion Event", "Sensor Event", "Relay State",
                                              "Camera State", "Video State",  "HDD State"};
    QStringList titleTexts;
    for (const char* title : titles)
        titleTexts << QLatin1String(title);
    // Two-digit channel numbers keep a pixel clear on each side, so that 10 to 16 stay apart.
    painter.setFont(FittedFont({QString::number(HealthState::kChannels)}, kRow - 4));
    for (int c = 0; c < HealthState::kChannels; ++c) {
        const int x = 119 + 20 * c;
        for (int r = 0; r < kRows; ++r) {
            const QRect cell(kColumnsAt + 20 * c, kRow * r, 20, 20);
            if (r == 0) {
                painter.setPen(c < state.ChannelCount() ? Qt::white : Qt::black);
                painter.drawText(cell, Qt::AlignCenter, QString::number(c + 1));
            } else {
                const Mark mark = CellMark(state, r, c);
                if (mark != Mark::None)
                    painter.drawImage(x - 16, kRow * r + 3, MarkImage(mark));
            }
            painter.setPen(Qt::black);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        }
    }
    painter.setFont(FittedFont(titleTexts, kColumnsAt - 8));
    for (int r = 0; r < kRows; ++r) {
        painter.setPen(Qt::black);
        painter.drawRect(0, kRow * r, kColumnsAt - 1, kRow - 1);
        painter.setPen(Qt::white);
        painter.drawText(QRect(5, 2 + kRow * r, kColumnsAt - 5, kRow - 2), Qt::AlignLeft | Qt::AlignTop,
                         QLatin1String(titles[r]));
    }
    return grid;
}
