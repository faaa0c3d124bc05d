#include "shell/cadjust.h"
#include "ui_cadjust.h"

CAdjust::CAdjust(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CAdjust>())
{
    ui->setupUi(this);
    ui->ctrl_slider_frate->setRange(1, 30);
    ui->ctrl_slider_frate->setValue(1);
    ui->ctrl_slider_brightness->setRange(-50, 50);
    ui->ctrl_slider_brightness->setValue(0);
    connect(ui->ctrl_slider_brightness, &QSlider::valueChanged, this, &CAdjust::sliderBrightness);
    ui->ctrl_slider_contrast->setRange(-50, 50);
    ui->ctrl_slider_contrast->setValue(0);
    connect(ui->ctrl_slider_contrast, &QSlider::valueChanged, this, &CAdjust::sliderContrast);
    ui->label_1->hide();
    ui->ctrl_slider_frate->hide();
}

CAdjust::~CAdjust() = default;

void CAdjust::SetValues(int brightness, int contrast, int frameRate)
{
    ui->ctrl_slider_brightness->setValue(brightness);
    ui->ctrl_slider_contrast->setValue(contrast);
    ui->ctrl_slider_frate->setValue(frameRate);
}

void CAdjust::sliderBrightness(int value)
{
    emit SetBrightness(value);
}

void CAdjust::sliderContrast(int value)
{
    emit SetContrast(value);
}

void CAdjust::sliderFrate(int value)
{
    emit SetFrate(value);
}

void CAdjust::sliderBrightnessPress()
{
    emit SetBrightness(ui->ctrl_slider_brightness->value());
}
