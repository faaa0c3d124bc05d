#pragma once
// The "Network Status" pop-up of one recorder: the switches "Network Usage Limits" and "Network
// Usage Warning", a slider choosing the usage limit, and the limit and the data received so far.
// Every setting lives in the recorder's session; the pop-up shows and edits it.
#include "widgets/cpopupdialog.h"

class QCheckBox;
class QLabel;
class QSlider;
class RecorderSession;

class CModuleNetworkStatus : public CPopupDialog
{
    Q_OBJECT

public:
    explicit CModuleNetworkStatus(QWidget* parent = nullptr);

    void SetDevice(int recorder);

    QString LimitText() const;
    QString UsageText() const;
    QSlider* Slider() const { return m_slider; }
    QCheckBox* LimitBox() const { return m_limit; }
    QCheckBox* WarningBox() const { return m_warning; }

public slots:
    void UsageChanged(qlonglong bytes);
    void limitChanged(int position);
    void onBtnClickedLimit();
    void onBtnClickedNoti();

private:
    RecorderSession* Device() const;
    void EnableSlider();

    int m_recorder = -1;
    QCheckBox* m_limit = nullptr;
    QCheckBox* m_warning = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_limitLabel = nullptr;
    QLabel* m_usageLabel = nullptr;
};
