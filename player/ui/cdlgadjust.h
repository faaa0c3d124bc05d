#pragma once
// The image adjust panel: four skinned sliders (brightness, frame rate, contrast, filter) that act
// on every selected tile through ImageAdjustRules, with a value tip beside the moving slider.
#include "playback/imageadjustrules.h"

#include <QWidget>
#include <array>
#include <functional>

class CSkinSlider;
class CTipPopup;

class CDlgAdjust : public QWidget
{
    Q_OBJECT
public:
    // text: the language text of a key (the sliders' tooltips).
    CDlgAdjust(ImageAdjustTarget* target, std::function<QString(const QString&)> text, QWidget* parent = nullptr);
    ~CDlgAdjust() override;

    // Called with the first selected tile's values when the selection changes.
    void SetValues(int frameRate, int brightness, int contrast, int filter);
    CSkinSlider* Slider(AdjustSlider slider) const { return m_sliders[size_t(slider)]; }
    CTipPopup* Tip() const { return m_tip; }

    void OnSliderMoving(int control, int position);
    void OnSliderMoved(int control, int position);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageAdjustRules m_rules;
    std::array<CSkinSlider*, 4> m_sliders{};
    CTipPopup* m_tip;
};
