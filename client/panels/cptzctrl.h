#pragma once
// The "P/T/Z" dock panel: steers the pan, tilt and zoom camera of the grid cell chosen last.
// Eight direction buttons and two zoom buttons move the camera while they are held, the centre
// and "Stop" buttons stop it, and 50 presets can be stored, gone to, or visited in a tour that
// takes one step every 6 seconds. Every command goes out through the recorder's session, with a
// stop before it.
#include <QWidget>

#include "panels/ptzcode.h"
#include "panels/ptztour.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class RecorderSession;

class CPTZCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CPTZCtrl(QWidget* parent = nullptr);
    ~CPTZCtrl() override;

    // The grid's chosen camera; a new pair ends any tour.
    void SetActiveCameo(int recorder, int channel);

    int Recorder() const { return m_recorder; }
    int Channel() const { return m_channel; }
    const PtzTour& Tour() const { return m_tour; }

public slots:
    void on_btn_Move_LU_pressed();
    void on_btn_Move_U_pressed();
    void on_btn_Move_RU_pressed();
    void on_btn_Move_L_pressed();
    void on_btn_Move_R_pressed();
    void on_btn_Move_LD_pressed();
    void on_btn_Move_D_pressed();
    void on_btn_Move_RD_pressed();
    void on_btn_Zoom_IN_pressed();
    void on_btn_Zoom_OUT_pressed();
    void on_btn_Move_LU_clicked();
    void on_btn_Move_U_clicked();
    void on_btn_Move_RU_clicked();
    void on_btn_Move_L_clicked();
    void on_btn_Move_R_clicked();
    void on_btn_Move_LD_clicked();
    void on_btn_Move_D_clicked();
    void on_btn_Move_RD_clicked();
    void on_btn_Zoom_IN_clicked();
    void on_btn_Zoom_OUT_clicked();
    void on_btn_Stop_clicked();
    void on_btn_goto_clicked();
    void on_btn_set_clicked();
    void on_btn_tour_clicked();
    void on_btn_config_clicked();
    void OnPresetTour();

private:
    void BuildForm();
    QPushButton* AddButton(const char* name, const QString& caption, const QRect& geometry);
    RecorderSession* Device() const;
    bool CameraValid() const { return Device() && m_channel >= 0; }
    // Stop, then the code, at the chosen speed; nothing without a camera.
    void SendPtz(PtzCode code);
    void SendPreset(PtzCode code, int preset);
    void Move(PtzCode code);
    void EndTour();
    // Stops the camera and ends any tour; false (after the camera guard) without a camera.
    bool StopAndEndTour();
    void CameraGuard();
    int ChosenPreset() const;
    // Asks for a preset number; false when the operator cancelled.
    bool AskPreset(const QString& title, int initial, int& preset);

    QPushButton* btn_Move_LU = nullptr;
    QPushButton* btn_Move_U = nullptr;
    QPushButton* btn_Move_RU = nullptr;
    QPushButton* btn_Move_L = nullptr;
    QPushButton* btn_Stop = nullptr;
    QPushButton* btn_Move_R = nullptr;
    QPushButton* btn_Move_LD = nullptr;
    QPushButton* btn_Move_D = nullptr;
    QPushButton* btn_Move_RD = nullptr;
    QPushButton* btn_Zoom_IN = nullptr;
    QPushButton* btn_Zoom_OUT = nullptr;
    QLabel* label = nullptr;
    QComboBox* comboBox_speed = nullptr;
    QLabel* label_2 = nullptr;
    QComboBox* comboBox_preset = nullptr;
    QPushButton* btn_goto = nullptr;
    QPushButton* btn_set = nullptr;
    QPushButton* btn_tour = nullptr;
    QPushButton* btn_config = nullptr;

    PtzTour m_tour;
    QTimer* m_tourTimer = nullptr;
    int m_speedCode = 5;
    int m_recorder = -1;
    int m_channel = -1;
};
