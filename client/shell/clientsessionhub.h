#pragma once
// The client's recorder hub: the recorder table the sessions register in, the grid table they
// hand their pictures through, the grid that acts on the side panels and the one a favorite
// opens in, and the firmware package path. What a session asks of the windows (the panels that
// list logged-in recorders, the status bar, the shared message box, the administration windows,
// the audio output, the configuration console) is handed to the main window's parts.
//
// The composition root makes it beside the main window and installs it; it owns no session and
// no grid.
#include <QString>

#include "session/recordertable.h"
#include "session/sessionhub.h"
#include "shell/gridtable.h"

class CCameo;
class MainWindow;

class ClientSessionHub : public SessionHub
{
public:
    explicit ClientSessionHub(MainWindow& window);

    // Recorder table.
    RecorderSession* GetDevice(int index) const override;
    bool AddDevice(int index, CModuleDevice* device) override;
    bool RemoveDevice(int index) override;
    int GetFreeDeviceIndex() const override;
    int FindDeviceByName(const QString& name) const override;
    bool IsAnyDeviceConnected() const override;
    // Stops live and playback sound of every recorder, so that another channel can play.
    void StopAllAudio() const { m_devices.StopAllAudio(); }

    // Grid table.
    CCameo* GetCameo(int index) const;
    bool AddCameo(int index, CCameo* cameo);
    bool RemoveCameo(int index);
    int GetFreeCameoIndex() const;
    void CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int keepPicture,
                         int cropPicture) override;
    // The kind is not looked at: every grid clears the channel.
    void ClearDeviceCells(int deviceIndex, int channel, int kind);
    // The grid the side panels act on, and the grid whose favorite is being opened (the
    // sessions asked to connect for it call its OnFavoriteNext; -1 before the first favorite).
    int GetActiveCameoIndex() const { return m_activeCameoIndex; }
    void SetActiveCameoIndex(int index) { m_activeCameoIndex = index; }
    int GetFavoriteCameoIndex() const { return m_favoriteCameoIndex; }
    void SetFavoriteCameoIndex(int index) { m_favoriteCameoIndex = index; }

    void OnDeviceConnected(int deviceIndex, int unused) override;
    void OnDeviceDisconnected(int deviceIndex, int kind) override;
    // Shown for a while on the status bar, which appears only while it has something to say.
    void ReportConnectionLost(int deviceIndex, const QString& recorderName) override;

    void ContinueFavorite() override;
    void GridTakesRecorder(int cameoIndex, int channels, int deviceIndex, bool closeAllFirst) override;
    void RedrawCameo(int cameoIndex) override;
    int ConsoleDeviceIndex() const override;
    RemoteConsole* GetConfigView() const override;
    HealthCheckView* CreateHealthCheck() override;
    void ShowNetworkStatus(int deviceIndex) override;

    QString MessageTitle() const override;
    bool IsMessageBoxOpen() const override;
    bool IsClosing() const override;
    void SetAudioDeviceIndex(int deviceIndex) override;
    void WriteAudioOutput(const char* data, qint64 length, int deviceIndex) override;
    int GetProcessorLoad() const override;

    // HubServices, reached by the protocol engine as well.
    QString ProgramDirectory() const override;
    QString FirmwarePath() const override { return m_firmwarePath; }
    void SetFirmwarePath(const QString& path) override { m_firmwarePath = path; }
    bool IsFirmwareCancelled() const override;
    void SetFirmwareState(int recorderIndex, int code) override;
    void SetAccountManagerState(int recorderIndex, int code) override;
    void SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total) override;
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;
    // A modal OK/Cancel question that names the recorder and shows both fingerprints; OK trusts.
    bool TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                 const QString& newFingerprint) override;

private:
    MainWindow& m_window;
    RecorderTable m_devices;
    GridTable m_cameos;
    int m_activeCameoIndex = 0;
    int m_favoriteCameoIndex = -1;
    QString m_firmwarePath;
};
