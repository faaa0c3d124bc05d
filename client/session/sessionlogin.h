#pragma once
// What a recorder session does as its login completes and as its connection drops: at login the
// decoders, buffers, tree items, granted permissions, schedulers, backup windows and session
// threads, and the grid waiting for the recorder; at the status refresh the channel icons and
// the health window; at the disconnect everything closed again in order (threads joined before
// their decoders and buffers go); and a refused login told to the user.
#include <QtGlobal>

#include <atomic>

#include "session/connectpurpose.h"

class CModuleDevice;

class SessionLogin
{
public:
    explicit SessionLogin(CModuleDevice& session)
        : m_s(session)
    {}

    void OnLoggedIn();
    void OnStatusRefreshed();
    void OnDisconnected();

    // Set when the recorder has logged in (first status reply), cleared when it disconnects;
    // read by the hub and by the session threads.
    std::atomic<quint8> loggedIn{0};
    std::atomic<quint8> socketConnected{0};
    std::atomic<int> channelCount{0};

private:
    void ShowLoginMessage(ConnectPurpose purpose);
    // The request timers start; no search is on.
    void StartRequestPacing();
    void OpenChannelDecoders(int channels);
    // Only what the recorder grants in its login reply stays; returns the live mask.
    quint32 KeepGrantedPermissions();
    void BuildChannelItems(int channels, quint32 liveMask);
    void MarkLoggedIn();
    void WantPermittedChannels(int channels, quint32 liveMask);
    void HandRecorderToWaitingGrid(int channels, ConnectPurpose purpose);
    void CloseSearchBoxes();
    void CloseChannels();
    void CloseSearchSlot();
    void ReportLoginFailure();

    CModuleDevice& m_s;
};
