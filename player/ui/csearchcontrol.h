#pragma once
// The playback control bar of the main dialog: nine skinned buttons that run a play operation
// on every selected tile (the work is ControlBarLogic's), and the bar's time slider with its
// time text.
#include <QWidget>

#include "ui/controlbarlogic.h"

class CSkinButton;
class CTimeSlider;
class QLabel;

class CSearchControl : public QWidget
{
    Q_OBJECT
public:
    static constexpr QPoint kPlace{55, 527};
    static constexpr QSize kSize{490, 47};

    CSearchControl(ControlBarHost& host, TilePlayers& players, QWidget* parent = nullptr);

    void ShowPanel(bool show);
    void EnableButtons(bool enable);

    void OnGoFirst() { m_logic.Run(PlayOperation::GoFirst); }
    void OnGoLast() { m_logic.Run(PlayOperation::GoLast); }
    void OnFastBackward() { m_logic.Run(PlayOperation::FastBackward); }
    void OnFastForward() { m_logic.Run(PlayOperation::FastForward); }
    void OnStepBackward() { m_logic.Run(PlayOperation::StepBackward); }
    void OnStepForward() { m_logic.Run(PlayOperation::StepForward); }
    void OnPlayBackward() { m_logic.Run(PlayOperation::PlayBackward); }
    void OnPlayForward() { m_logic.Run(PlayOperation::PlayForward); }
    void OnPause() { m_logic.Pause(); }
    void OnStopAll() { m_logic.StopAll(); }

    // The button of a command id (1036, 1006, 1102, 1104, 1103, 1099, 1052, 1101, 1100), or null.
    CSkinButton* Button(int id) const;
    CTimeSlider* Slider() const { return m_slider; }
    QString TimeText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ControlBarLogic m_logic;
    QVector<QPair<int, CSkinButton*>> m_buttons;
    CSkinButton* m_stopAll = nullptr;
    CTimeSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
};
