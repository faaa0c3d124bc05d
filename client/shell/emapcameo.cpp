#include "shell/emapcameo.h"

#include "session/cameoroute.h"
#include "session/recordersession.h"
#include "shell/cameocell.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"

emapCameo::emapCameo(QWidget* window)
    : CCameo(window)
{
    setParent(window);
    SetEmapFlag(true);
    InitCameo(int(CameoKind::Live), 1, -1);
    SetCellEnable(0, false);
    hide();
}

int emapCameo::ShownRecorder() const
{
    return GetCell(0).recorder;
}

int emapCameo::ShownChannel() const
{
    return GetCell(0).channel;
}

void emapCameo::ShowChannel(int recorder, int channel, const QRect& geometry)
{
    setGeometry(geometry);
    SetCellEnable(0, true);
    show();
    raise();
    SetCameoChannel(channel, recorder, 0);
}

bool emapCameo::LiveInAnotherGrid(int recorder, int channel) const
{
    const ClientSessionHub* sessions = g_pMainWindow ? g_pMainWindow->Sessions() : nullptr;
    if (!sessions)
        return false;
    RecorderSession* device = sessions->GetDevice(recorder);
    CameoRoute* route = device && channel >= 0 && channel < kRoutedChannels ? device->GetCameoRoute(channel)
                                                                            : nullptr;
    if (!route)
        return false;
    const CCameo* grid = sessions->GetCameo(route->liveGrid.load());
    if (!grid || grid == this)
        return false;
    const CameoCell cell = grid->GetCell(route->liveCell.load());
    return cell.recorder == recorder && cell.channel == channel && cell.liveStarted;
}

void emapCameo::CloseTile()
{
    const int recorder = ShownRecorder();
    const int channel = ShownChannel();
    SetCellEnable(0, false);
    hide();
    // A live window still showing the channel keeps its stream: the tile only lets go of it.
    if (recorder >= 0 && LiveInAnotherGrid(recorder, channel))
        ResetCell(-1);
    CloseAllCameo();
}
