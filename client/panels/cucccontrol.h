#pragma once
// The "UCC Control" pop-up: steers one camera of one recorder through the recorder's camera
// control message: a direction pad with "Enter", zoom, focus and iris buttons, the camera's own
// menu ("OSD"), four speeds and 50 presets. A live grid's "UCC Control" action binds it to the
// current cell's camera and shows it; "Close" unbinds it and returns the grid to its split.
#include "panels/ptzcode.h"
#include "widgets/cpopupdialog.h"

class QComboBox;
class QPushButton;
class RecorderSession;

class cUccControl : public CPopupDialog
{
    Q_OBJECT

public:
    explicit cUccControl(QWidget* parent = nullptr);

    // Binds the pop-up to a camera and tells the camera so (code 12).
    void SetCamera(int recorder, int channel, int cameoIndex);
    // A frame for the pop-up; it shows none.
    void SetImage(const QImage& image);

    int Recorder() const { return m_recorder; }
    int Channel() const { return m_channel; }
    int CameoIndex() const { return m_cameoIndex; }

public slots:
    void OnBtnUp();
    void OnBtnDown();
    void OnBtnLeft();
    void OnBtnRight();
    void OnBtnZoomIn();
    void OnBtnZoomOut();
    void OnBtnFocusNear();
    void OnBtnFocusFar();
    void OnBtnIrisOpen();
    void OnBtnIrisClose();
    void OnBtnEnter();
    void OnBtnSet();
    void OnBtnGoto();
    void OnBtnOSD();
    void OnBtnClose();
    void OnBtnRelease();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static constexpr int kFixedSpeed = 2;

    void BuildForm();
    QPushButton* AddButton(const QString& caption, const QRect& geometry, const char* name = nullptr);
    // A button that acts while pressed and stops the camera when released.
    void AddHeldButton(const QString& caption, const QRect& geometry, void (cUccControl::*slot)(),
                       const char* name = nullptr);
    RecorderSession* Device() const;
    // Stop first, then the code; nothing without a bound camera.
    void OnPTZControl(PtzCode code, int speed, int preset);
    void Direction(PtzCode code);

    int m_recorder = -1;
    int m_channel = -1;
    int m_cameoIndex = -1;
    int m_speed = 3;
    QComboBox* m_speedList = nullptr;
    QComboBox* m_presetList = nullptr;
};
