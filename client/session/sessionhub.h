#pragma once
// What a recorder session reaches of the main window hub: the recorder table it registers in,
// the connect and disconnect reports, the one audio output, the processor load, and the grids
// that show its channels. The main window implements it and installs itself; without a hub the
// session runs on its own (every call is skipped).
#include <QString>
#include <QtGlobal>

#include "net/hubservices.h"

class CModuleDevice;
class RecorderSession;
class HealthCheckView;
class RemoteConsole;

class SessionHub : public HubServices
{
public:
    // Recorder table. Every index is checked; a bad one gives null, false or -1.
    virtual RecorderSession* GetDevice(int index) const = 0;
    virtual bool AddDevice(int index, CModuleDevice* device) = 0;
    virtual bool RemoveDevice(int index) = 0;
    virtual int GetFreeDeviceIndex() const = 0;
    virtual int FindDeviceByName(const QString& name) const = 0;
    virtual bool IsAnyDeviceConnected() const = 0;

    // A recorder finished its login, or went away (kind 0 a dropped connection, 1 refused).
    virtual void OnDeviceConnected(int deviceIndex, int unused) = 0;
    virtual void OnDeviceDisconnected(int deviceIndex, int kind) = 0;
    // A logged-in recorder went away without being asked to (it closed, or fell silent): the
    // user is told without anything that blocks the window.
    virtual void ReportConnectionLost(int deviceIndex, const QString& recorderName) = 0;

    virtual void SetFirmwarePath(const QString& path) = 0;
    // The firmware manager's cancel flag, polled while a session waits for the firmware tool.
    virtual bool IsFirmwareCancelled() const { return false; }
    // The title of the shared message box, so a session closes only a box it opened.
    virtual QString MessageTitle() const = 0;
    // Whether the shared message box is open; read by the search threads too.
    virtual bool IsMessageBoxOpen() const { return false; }
    virtual bool IsClosing() const = 0;

    // The one audio output; only the chosen recorder's sound is played.
    virtual void SetAudioDeviceIndex(int deviceIndex) = 0;
    virtual void WriteAudioOutput(const char* data, qint64 length, int deviceIndex) = 0;
    // Read without a lock by the sessions' live threads.
    virtual int GetProcessorLoad() const = 0;

    // Grids, on a decode thread: a channel's picture is ready for a grid cell.
    virtual void CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int a, int b) = 0;
    // Grids, on the user-interface thread: the grid opening a favorite places the next
    // recorder's cells (posted, never run inside the caller); a grid that asked for this
    // recorder's channel count before the login takes it now; a playback grid redraws.
    virtual void ContinueFavorite() = 0;
    virtual void GridTakesRecorder(int cameoIndex, int channels, int deviceIndex, bool closeAllFirst) = 0;
    virtual void RedrawCameo(int cameoIndex) = 0;

    // The recorder whose remote configuration console is open, -1 when none is.
    virtual int ConsoleDeviceIndex() const = 0;
    // The open configuration console window, null when none is.
    virtual RemoteConsole* GetConfigView() const { return nullptr; }

    // A hidden health window for a recorder, owned by the hub's widgets; null without one.
    virtual HealthCheckView* CreateHealthCheck() { return nullptr; }
    // Opens a recorder's network status pop-up modally; nothing without a hub that has one.
    virtual void ShowNetworkStatus(int /*deviceIndex*/) {}

    // The installed hub, or null.
    static SessionHub* Instance();
    // Installs the hub for the session and for the protocol engine below it.
    static void Install(SessionHub* hub);
};
