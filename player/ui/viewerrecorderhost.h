#pragma once
// The main dialog's side of the player hub and the calendar search: tiles redrawn, replies
// routed to the calendar search, the request counter, the wait box and the time search bar's
// cells. The player opens no recorder connection, so most of this waits for one.
#include <functional>

#include <QMutex>

#include "playback/hubhost.h"
#include "ui/searchdialoghost.h"

class CLanguage;
class CMsgDlg;
class CSearchMulti;
class CSearchTime;
class HPLiveControl;
class HPNetwork;

class ViewerRecorderHost : public HubHost, public SearchDialogHost
{
public:
    struct Parts
    {
        const CLanguage* language = nullptr;
        HPLiveControl* engine = nullptr;
        CMsgDlg* waitBox = nullptr;
        CSearchTime* timeBar = nullptr;
        // Switches the main dialog's layout code.
        std::function<void(int code)> setLayout;
    };

    explicit ViewerRecorderHost(Parts parts);
    void Attach(HPNetwork* hub, CSearchMulti* calendar);

    // HubHost.
    void RedrawAllTiles() override;
    void ClearTilesOf(int recorderId, const QVector<int>& cameras) override;
    void ToTilePlayer(int tile, const QByteArray& reply) override;
    void ToSearchDialog(const QByteArray& reply) override;
    void CamerasCreated(int count) override;

    // SearchDialogHost.
    HPNetServer* SearchRecorder() override;
    quint32 NextRequestId() override;
    void ShowSearchWaitBox(int steps, const char* key) override;
    void StepSearchWaitBox() override;
    QString Text(const char* key) const override;
    void SetTimeBarCell(int row, int cell, int value) override;
    void PlayRecorderDay(HPNetServer& recorder, const QString& day, int position,
                         const QString& timeText) override;

private:
    Parts m_parts;
    HPNetwork* m_hub = nullptr;
    CSearchMulti* m_calendar = nullptr;
    QMutex m_requestLock;
    quint32 m_requestId = 0;
};
