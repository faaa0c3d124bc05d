#include "ui/csearchcontrol.h"
#include "ui/cskinbutton.h"
#include "ui/ctimeslider.h"

#include <QLabel>
#include <QPainter>

namespace {

struct ButtonSpec
{
    int id;
    const char* caption;
    int firstBitmap; // four consecutive state bitmaps
    int x;
    void (CSearchControl::*handler)();
};

// clang-format off
const ButtonSpec kButtons[] = {
    {1036, "|<", 258, 13, &CSearchControl::OnGoFirst},
    {1102, "<<", 266, 61, &CSearchControl::OnFastBackward},
    {1103, "<|", 274, 109, &CSearchControl::OnStepBackward},
    {1052, "<", 282, 169, &CSearchControl::OnPlayBackward},
    {1100, "||", 290, 217, &CSearchControl::OnPause},
    {1101, ">", 286, 277, &CSearchControl::OnPlayForward},
    {1099, "|>", 278, 325, &CSearchControl::OnStepForward},
    {1104, ">>", 270, 385, &CSearchControl::OnFastForward},
    {1006, ">|", 262, 433, &CSearchControl::OnGoLast},
};
// clang-format on

} // namespace

CSearchControl::CSearchControl(ControlBarHost& host, TilePlayers& players, QWidget* parent)
    : QWidget(parent)
    , m_logic(host, players)
{
    setWindowTitle(host.Text("SEARCH_CONTROL"));
    resize(kSize);
    for (const ButtonSpec& spec : kButtons) {
        auto* button = new CSkinButton(QString::fromLatin1(spec.caption), this);
        button->LoadBitmaps(spec.firstBitmap, spec.firstBitmap + 1, spec.firstBitmap + 2, spec.firstBitmap + 3);
        button->setGeometry(spec.x, 3, 45, 40);
        button->setToolTip(QString::fromLatin1(spec.caption));
        connect(button, &QPushButton::clicked, this, spec.handler);
        m_buttons.append({spec.id, button});
    }
    // Stop all, the slider and its time text have no room on the bar; they stay hidden.
    m_stopAll = new CSkinButton(QStringLiteral("Button2"), this);
    m_stopAll->hide();
    connect(m_stopAll, &QPushButton::clicked, this, &CSearchControl::OnStopAll);
    m_slider = new CTimeSlider(this);
    m_slider->setRange(0, 480);
    m_slider->hide();
    m_time = new QLabel(QStringLiteral("00:00:00"), this);
    m_time->hide();
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int position) { m_time->setText(ControlBarLogic::SliderText(position)); });
    connect(m_slider, &CTimeSlider::pauseRequested, this, &CSearchControl::OnPause);
}

void CSearchControl::ShowPanel(bool show)
{
    if (show) {
        setGeometry(QRect(kPlace, kSize));
        this->show();
    } else {
        hide();
    }
}

void CSearchControl::EnableButtons(bool enable)
{
    for (const auto& entry : m_buttons)
        entry.second->setEnabled(enable);
    m_stopAll->setEnabled(enable);
}

CSkinButton* CSearchControl::Button(int id) const
{
    for (const auto& entry : m_buttons) {
        if (entry.first == id)
            return entry.second;
    }
    return nullptr;
}

QString CSearchControl::TimeText() const
{
    return m_time->text();
}

void CSearchControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(139, 139, 139));
}
