#pragma once
// The session's link to its recorder: the two connections (made at the first connect and kept),
// where the connect stands (ConnectSequence), the permissions copied from the site book and
// narrowed by the login, a failed connect told as its purpose wants, what a completed login was
// asked for (live on every channel, the remote console, remote playback, the next favorite
// cell, the e-map, the account and firmware managers), and whether the remote console shows
// this recorder.
#include <QString>

#include <memory>

#include "session/channelstate.h"
#include "session/connectsequence.h"
#include "session/permissionmasks.h"

class CModuleNetwork;
class QObject;
class QTreeWidgetItem;
class RecordListIntake;
class RemoteConsole;
class SiteBook;
struct PlaybackState;

// What the link asks of its session: its name, hub slot, login and channels, the live start and
// the disconnect, the wiring of a new connection's replies, and the end of a connect told.
class SessionLinkHost
{
public:
    virtual QString GetDvrName() const = 0;
    virtual int GetDeviceIndex() const = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual bool GetLoginOption() const = 0;
    virtual int GetChannelCount() const = 0;
    virtual int LiveChannelCount() const = 0;
    virtual QTreeWidgetItem* GetCameraItem(int ch) const = 0;
    virtual bool OnLiveStart(int mode) = 0;
    virtual bool Disconnect() = 0;
    virtual void WireConnection(CModuleNetwork* network, bool playbackConnection) = 0;
    virtual void ConnectEnded() = 0;

protected:
    ~SessionLinkHost() = default;
};

class SessionLink
{
public:
    // `session` is the session object (whose end a call into the connections may bring);
    // `lists` holds the box that waits on the recorder; `emapPath` is the recorder's e-map.
    SessionLink(SessionLinkHost& host, QObject& session, ChannelStates& channels, PlaybackState& playback,
                RecordListIntake& lists, const QString& emapPath);
    ~SessionLink();

    void CopyPermissions(const SiteBook& record);
    void CreateNetworkModules(const SiteBook& record, bool tls);
    // A connection's changed certificate waits for the user's answer.
    bool AwaitsCertificateAnswer() const;
    void ReportConnectFailure();
    // The grid opening a favorite (named in the hub) places its next recorder's cells; posted so
    // that it never runs inside this session's own connect or receive path.
    void PlaceNextFavoriteCell();
    void StartLiveOnAllChannels();
    // Connect purposes 5 and 6: the active e-map window shows this recorder.
    void OpenEmapOnActiveWindow();
    void RefreshActiveEmap();
    void AskForRemoteConfig();
    // Why the console is refused to a recorder that answered the login.
    QString RemoteConfigRefusal() const;
    void PrepareRemotePlayback(ConnectPurpose purpose);
    void SetFirmwareState(int code);
    void SetAccountState(int code);
    bool ConsoleShowsThisRecorder() const;
    // The open console window when it shows this logged-in recorder, else null.
    RemoteConsole* ShowingConsole() const;
    void RefuseRemoteConsole();

    // The connect's own steps: the live connection's delayed start and its end, the login's
    // time limit, and the user's answer about a changed certificate.
    void OnLiveConnectDue();
    void OnLiveConnectEnded(bool connected);
    void OnLoginDeadline();
    void OnCertificateAnswered();

    ConnectSequence sequence{ConnectSequence::kLoginTimeLimitMs};
    PermissionMasks masks;
    // Connections, made at the first connect and kept for the life of the session.
    std::unique_ptr<CModuleNetwork> liveNetwork;
    std::unique_ptr<CModuleNetwork> playbackNetwork;

private:
    SessionLinkHost& m_host;
    QObject& m_session;
    ChannelStates& m_channels;
    PlaybackState& m_playback;
    RecordListIntake& m_lists;
    const QString& m_emapPath;
};
