#pragma once
// The "Adjust" panel: brightness and contrast sliders (-50..50) for the selected grid cell, and a
// frame-rate slider that stays hidden.
#include <QWidget>

#include <memory>

namespace Ui {
class CAdjust;
}

class CAdjust : public QWidget
{
    Q_OBJECT

public:
    explicit CAdjust(QWidget* parent = nullptr);
    ~CAdjust() override;

    // Shows a cell's values; each is clamped to its slider, and a slider that moves announces
    // its new value.
    void SetValues(int brightness, int contrast, int frameRate);

signals:
    void SetBrightness(int value);
    void SetContrast(int value);
    void SetFrate(int value);

public slots:
    void sliderBrightness(int value);
    void sliderContrast(int value);
    void sliderFrate(int value);
    void sliderBrightnessPress();

private:
    std::unique_ptr<Ui::CAdjust> ui;
};
