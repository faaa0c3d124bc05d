#pragma once
// What a recorder session does as its login completes and as its connection drops: at login the
// decoders, buffers, tree items, granted permissions, schedulers, backup windows and session
// threads, and the grid waiting for the recorder; at the status refresh the channel icons and
// the health window; at the disconnect everything closed again in order (threads joined before
// their decoders and buffers go); and a refused login told to the user.
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

#include "session/channelstate.h"
#include "session/connectpurpose.h"
#include "session/playbackslot.h"

class MediaIntake;
class QObject;
class QTreeWidgetItem;
class RecordListIntake;
class RequestPacing;
class SessionBuffers;
class SessionHealth;
class SessionLink;
class SessionRecording;
class SessionTreeItems;
struct PlaybackState;
struct SearchState;

// What the login asks of its session: its name, hub slot and camera titles, the live start and
// what the connect was asked for.
class SessionLoginHost
{
public:
    virtual QString GetDvrName() const = 0;
    virtual int GetDeviceIndex() const = 0;
    virtual QString GetCameraTitle(int ch) const = 0;
    virtual bool OnLiveStart(int mode) = 0;
    virtual void OnConnectionOption(ConnectPurpose purpose) = 0;

protected:
    ~SessionLoginHost() = default;
};

class SessionLogin
{
public:
    // A login opens, and a disconnect closes, nearly all of the session: these are its parts.
    // `object` is the session object (whose end a call out may bring), `item` its tree item;
    // `pacing` is none for a folder.
    struct Session
    {
        SessionLoginHost& host;
        QObject& object;
        QTreeWidgetItem& item;
        SessionLink& link;
        MediaIntake& media;
        RecordListIntake& lists;
        SessionRecording& recording;
        SessionTreeItems& treeItems;
        const std::unique_ptr<RequestPacing>& pacing;
        SessionBuffers& buffers;
        SessionHealth& health;
        ChannelStates& channels;
        PlaybackSlots& playbackSlots;
        SearchState& search;
        PlaybackState& playback;
        std::atomic<int>& playbackGrid;
        int& liveAudioChannel;
    };

    explicit SessionLogin(const Session& session)
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

    const Session m_s;
};
