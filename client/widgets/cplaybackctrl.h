#pragma once
// The playback control bar: five buttons, each emitting one playback control code that the main
// window passes on to the playback window of its active grid.
#include <QWidget>

#include <memory>

namespace Ui {
class CPlaybackCtrl;
}

class CPlaybackCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CPlaybackCtrl(QWidget* parent = nullptr);
    ~CPlaybackCtrl() override;

signals:
    void SetPlaybackControl(int control);

public slots:
    void btnFBackward();
    void btnBackward();
    void btnPause();
    void btnForward();
    void btnFForward();

private:
    std::unique_ptr<Ui::CPlaybackCtrl> ui;
};
