#pragma once
// A recorder session's identity, connection and status as the site book, the status panels and
// the health and network windows see it. Channels are 0-based.
#include <QImage>
#include <QString>

#include "session/connectpurpose.h"
#include "session/networkusage.h"

class HealthCheckView;
class QTreeWidgetItem;

class SessionStatus
{
public:
    virtual ~SessionStatus() = default;

    // ---- identity and state
    virtual QString GetDvrName() const = 0;
    virtual QString GetDvrAddr() const = 0;
    virtual int GetDeviceIndex() const = 0;
    // True from the first status reply after login until the connection goes down.
    virtual bool IsLoggedIn() const = 0;
    virtual int GetRecorderKind() const = 0;
    virtual QTreeWidgetItem* GetCameraItem(int ch) const = 0;

    // ---- status queries
    virtual bool GetChannelActive(int ch) const = 0;
    virtual QString GetCameraTitle(int ch) const = 0;
    virtual int GetChannelFps(int ch) const = 0;
    virtual QImage GetChannelImage(int ch) const = 0;
    virtual int GetAlarmOutCount() const = 0;
    virtual int GetModelCode() const = 0;
    virtual int GetModelType() const = 0;
    virtual int GetChannelCount() const = 0;
    // The recorder's channel count for a grid; -1 before the login, when the grid is remembered
    // and handed the recorder as soon as it logs in.
    virtual int GetChannelCount(int grid) = 0;
    virtual bool GetMotionState(int ch) const = 0;
    virtual bool GetSensorState(int ch) const = 0;
    virtual bool GetVideoLoss(int ch) const = 0;
    virtual bool GetRelayState(int relay) const = 0;
    virtual bool IsPtzChannel(int ch) const = 0;

    // ---- connection
    // The option is a ConnectPurpose value, or kDelayedConnect and more for a silent connect
    // after (option - 500) ms.
    virtual void StartConnect(int option) = 0;
    void StartConnect(ConnectPurpose purpose) { StartConnect(int(purpose)); }
    virtual bool Disconnect() = 0;
    virtual void OnConnectionOption(ConnectPurpose purpose) = 0;
    virtual void LoadSiteBookInfo() = 0;

    // ---- health check and network status
    virtual void ShowHealthCheck(bool quiet) = 0;
    // The recorder's health window, made at the first login; null before.
    virtual HealthCheckView* GetHealthCheck() const = 0;
    // Opens the network status pop-up of this recorder modally.
    virtual void ShowNetworkStatus() = 0;
    virtual NetworkUsage& GetNetworkUsage() = 0;
    // The firmware version the recorder reported at login ("" while not connected).
    virtual QString GetFirmwareVersion() const = 0;
};
