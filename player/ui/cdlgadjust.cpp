#include "ui/cdlgadjust.h"

#include "ui/cskinslider.h"
#include "ui/ctippopup.h"
#include "ui/skinbitmaps.h"
#include "ui/skintooltip.h"

#include <QPainter>

namespace {

constexpr QRgb kPanelColour = qRgb(139, 139, 139);
constexpr int kBackground = 294;
constexpr int kChannel = 133;
constexpr int kActiveChannel = 134;
constexpr int kThumb = 135;
constexpr int kPressedThumb = 136;

} // namespace

CDlgAdjust::CDlgAdjust(ImageAdjustTarget* target, std::function<QString(const QString&)> text, QWidget* parent)
    : QWidget(parent)
    , m_rules(target)
    , m_tip(new CTipPopup(this, font().family()))
{
    setFixedSize(160, 100);
    for (AdjustSlider slider :
         {AdjustSlider::Brightness, AdjustSlider::FrameRate, AdjustSlider::Contrast, AdjustSlider::Filter}) {
        const AdjustSliderSpec& spec = ImageAdjustRules::Spec(slider);
        auto* control = new CSkinSlider(spec.control, this);
        control->SetLimits(spec.minimum, spec.maximum, false);
        control->SetPosition(spec.start);
        control->SetMargins(2, 2, 2, 0);
        control->SetFocusFrame(false, false);
        // Loading the channel sizes the control to it; the top-left pixel is the see-through colour.
        control->LoadChannelBitmaps(kChannel, kActiveChannel, true, CSkinSlider::kPixelColour, 0, 0);
        control->LoadThumbBitmaps(kThumb, kPressedThumb, true, CSkinSlider::kPixelColour, 0, 0);
        control->move(30, spec.tipY);
        control->setToolTip(text ? text(QString::fromLatin1(spec.tooltipKey)) : QString());
        connect(control, &CSkinSlider::sliderMoving, this, &CDlgAdjust::OnSliderMoving);
        connect(control, &CSkinSlider::sliderMoved, this, &CDlgAdjust::OnSliderMoved);
        m_sliders[size_t(slider)] = control;
    }
    SkinTooltip::Apply(this, {m_sliders[0], m_sliders[1], m_sliders[2], m_sliders[3]});
}

CDlgAdjust::~CDlgAdjust() = default;

void CDlgAdjust::SetValues(int frameRate, int brightness, int contrast, int filter)
{
    Slider(AdjustSlider::FrameRate)->SetPosition(frameRate);
    Slider(AdjustSlider::Brightness)->SetPosition(brightness);
    Slider(AdjustSlider::Contrast)->SetPosition(contrast);
    Slider(AdjustSlider::Filter)->SetPosition(filter);
}

void CDlgAdjust::OnSliderMoving(int control, int position)
{
    AdjustSlider slider;
    if (!ImageAdjustRules::SliderOf(control, &slider)) {
        return;
    }
    const int y = m_rules.Moving(slider, position);
    m_tip->SetText(QString::asprintf("%2d", position));
    m_tip->SetPosition(QPoint(4, y));
    m_tip->Show();
}

void CDlgAdjust::OnSliderMoved(int control, int position)
{
    AdjustSlider slider;
    if (ImageAdjustRules::SliderOf(control, &slider)) {
        m_rules.Moved(slider, position);
    }
    m_tip->Hide();
}

void CDlgAdjust::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap background = SkinBitmaps::Load(kBackground);
    if (background.isNull())
        painter.fillRect(rect(), QColor(kPanelColour));
    else
        painter.drawPixmap(rect(), background);
}
