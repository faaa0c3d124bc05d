#pragma once
// What the image adjust panel's four sliders do to the selected tiles, without the panel: while a
// thumb is dragged brightness, contrast and filter are applied at once (the frame rate waits for
// the release); when a move ends the adjusted tiles are redrawn or the frame rate is set.
#include <QVector>

// What the rules reach: the grid's selection and adjust values and the engine's tile settings.
class ImageAdjustTarget
{
public:
    virtual ~ImageAdjustTarget() = default;

    virtual QVector<int> SelectedTiles() const = 0;
    // which: 1 brightness, 2 contrast, 3 filter (the grid's adjust values; redecodes and redraws).
    virtual void SetAdjust(int tile, int which, int value) = 0;
    virtual void SetFrameRate(int tile, int frameRate) = 0;
    // The engine's brightness and contrast applied after H.264 decoding.
    virtual void SetH264Brightness(int tile, int value) = 0;
    virtual void SetH264Contrast(int tile, int value) = 0;
    // True while the tile's player is handing a frame over (the redraw would race it).
    virtual bool IsHandingOff(int tile) const = 0;
    virtual void RedrawCameo(int tile) = 0;
};

enum class AdjustSlider { Brightness, FrameRate, Contrast, Filter };

struct AdjustSliderSpec
{
    AdjustSlider slider;
    int control;
    int minimum;
    int maximum;
    int start;
    const char* tooltipKey;
    int tipY; // where the value tip shows, in the panel
};

class ImageAdjustRules
{
public:
    static constexpr int kH264ContrastOffset = 30;

    static const AdjustSliderSpec& Spec(AdjustSlider slider);
    // The slider of a control id; false for ids that are not the panel's.
    static bool SliderOf(int control, AdjustSlider* slider);

    explicit ImageAdjustRules(ImageAdjustTarget* target);

    // While dragging; returns the value tip's y.
    int Moving(AdjustSlider slider, int value);
    void Moved(AdjustSlider slider, int value);

private:
    ImageAdjustTarget* m_target;
};
