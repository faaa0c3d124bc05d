#include "playback/imageadjustrules.h"

#include <array>

namespace {

const std::array<AdjustSliderSpec, 4> kSpecs = {{
    {AdjustSlider::Brightness, 1069, -50, 50, 0, "BRIGHTNESS", 30},
    {AdjustSlider::FrameRate, 1070, 1, 30, 15, "FRAME_RATE", 7},
    {AdjustSlider::Contrast, 1071, -50, 50, 0, "CONTRAST", 52},
    {AdjustSlider::Filter, 1072, 0, 3, 0, "FILTER", 75},
}};

} // namespace

const AdjustSliderSpec& ImageAdjustRules::Spec(AdjustSlider slider)
{
    return kSpecs[size_t(slider)];
}

bool ImageAdjustRules::SliderOf(int control, AdjustSlider* slider)
{
    for (const AdjustSliderSpec& spec : kSpecs) {
        if (spec.control == control) {
            *slider = spec.slider;
            return true;
        }
    }
    return false;
}

ImageAdjustRules::ImageAdjustRules(ImageAdjustTarget* target)
    : m_target(target)
{}

int ImageAdjustRules::Moving(AdjustSlider slider, int value)
{
    for (int tile : m_target->SelectedTiles()) {
        switch (slider) {
        case AdjustSlider::Brightness:
            m_target->SetAdjust(tile, 1, value);
            m_target->SetH264Brightness(tile, value);
            break;
        case AdjustSlider::Contrast:
            m_target->SetAdjust(tile, 2, value);
            m_target->SetH264Contrast(tile, value + kH264ContrastOffset);
            break;
        case AdjustSlider::Filter: m_target->SetAdjust(tile, 3, value); break;
        case AdjustSlider::FrameRate: break; // applied when the thumb is released
        }
    }
    return Spec(slider).tipY;
}

void ImageAdjustRules::Moved(AdjustSlider slider, int value)
{
    for (int tile : m_target->SelectedTiles()) {
        if (slider == AdjustSlider::Brightness || slider == AdjustSlider::Contrast) {
            if (!m_target->IsHandingOff(tile)) {
                m_target->RedrawCameo(tile);
            }
        } else if (slider == AdjustSlider::FrameRate) {
            m_target->SetFrameRate(tile, value);
        }
    }
}
