#include "widgets/cplaybackctrl.h"
#include "ui_cplaybackctrl.h"

#include "widgets/playbackcontrol.h"

CPlaybackCtrl::CPlaybackCtrl(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CPlaybackCtrl>())
{
    ui->setupUi(this);
    connect(ui->btnFBackward, &QPushButton::clicked, this, &CPlaybackCtrl::btnFBackward);
    connect(ui->btnBackward, &QPushButton::clicked, this, &CPlaybackCtrl::btnBackward);
    connect(ui->btnPause, &QPushButton::clicked, this, &CPlaybackCtrl::btnPause);
    connect(ui->btnForward, &QPushButton::clicked, this, &CPlaybackCtrl::btnForward);
    connect(ui->btnFForward, &QPushButton::clicked, this, &CPlaybackCtrl::btnFForward);
}

CPlaybackCtrl::~CPlaybackCtrl() = default;

void CPlaybackCtrl::btnFBackward()
{
    emit SetPlaybackControl(int(PlaybackControl::FastBackward));
}
void CPlaybackCtrl::btnBackward()
{
    emit SetPlaybackControl(int(PlaybackControl::Backward));
}
void CPlaybackCtrl::btnPause()
{
    emit SetPlaybackControl(int(PlaybackControl::Pause));
}
void CPlaybackCtrl::btnForward()
{
    emit SetPlaybackControl(int(PlaybackControl::Forward));
}
void CPlaybackCtrl::btnFForward()
{
    emit SetPlaybackControl(int(PlaybackControl::FastForward));
}
