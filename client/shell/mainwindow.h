#pragma once
// The main window and at once the program-wide hub: the recorder table, the grid table, the
// shared settings (program directory, OSD flags, processor load, message-box texts) and the
// child windows. Session objects and grids register themselves; the hub owns neither.
#include <QMainWindow>
#include <QString>

#include "net/hubservices.h"

class CModuleDevice;
class CCameo;
class CWaitDlg;
class cUccControl;
class SiteBookTreeWidget;
class ValidationView;
class EmapView;
class ConfigView;
class CFirmwareManager;
class CAccountManager;
class CScrSplit;
class CAdjust;
class microphone;
class CPTZCtrl;
class CAlarmOut;
class CPlaybackCtrl;
class LiveView;
class SearchView;
class SearchLocalView;
class CBackupView;
class CAVIConvert;

class MainWindow;
// The hub, from the first statement of the MainWindow constructor until its destructor.
extern MainWindow* g_pMainWindow;

class MainWindow : public QMainWindow, public HubServices
{
    Q_OBJECT

public:
    static constexpr int kDeviceSlots = 9999;
    static constexpr int kCameoSlots = 50;
    static constexpr int kLiveViews = 4;

    // The six OSD flags in the order of osd.dat.
    enum OsdFlag { OsdDvrName, OsdCameraName, OsdDate, OsdTime, OsdEvent, OsdCameoNumber, OsdFlagCount };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Recorder table. Every index is checked; a bad one gives null, false or nothing.
    CModuleDevice* GetDevice(int index) const;
    bool AddDevice(int index, CModuleDevice* device);
    bool RemoveDevice(int index);
    int GetFreeDeviceIndex() const;
    int FindDeviceByName(const QString& name) const;
    bool IsAnyDeviceConnected() const;

    // Grid table.
    CCameo* GetCameo(int index) const;
    bool AddCameo(int index, CCameo* cameo);
    bool RemoveCameo(int index);
    int GetFreeCameoIndex() const;
    void CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int a, int b);
    void ClearDeviceCells(int deviceIndex, int channel, int kind);

    void OnDeviceConnected(int deviceIndex, int unused);
    void OnDeviceDisconnected(int deviceIndex, int kind);

    // Child windows (null while not open).
    EmapView* GetEmapView(int index) const;
    ConfigView* GetConfigView() const { return m_pConfigView; }
    ValidationView* GetValidationView() const { return m_pValidationView; }

    // Forwarders; each does nothing while its window is not open.
    void AddEventLog(const QString& name, const QString& text);
    void ShowCameraControl(int deviceIndex, int channel, int value);

    // HubServices, reached by the protocol engine as well.
    QString ProgramDirectory() const override { return m_programDirectory; }
    QString FirmwarePath() const override { return m_firmwarePath; }
    void SetFirmwareState(int code) override;
    void SetAccountManagerState(int code) override;
    void SetFirmwareProgress(qint64 done, qint64 total) override;
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;

    void SetFirmwarePath(const QString& path) { m_firmwarePath = path; }
    void ShowModalMessage(const QString& title, const QString& text);

    // Shared settings.
    int GetProcessorLoad() const { return m_processorLoad; }
    quint8 GetOsdFlag(int flag) const;
    void SetOsdFlag(int flag, quint8 value);
    int GetActiveCameoIndex() const { return m_activeCameoIndex; }
    void SetActiveCameoIndex(int index) { m_activeCameoIndex = index; }

    // Shared message box: what the next or the open box shows.
    QString MessageTitle() const { return m_msgTitle; }
    QString MessageText() const { return m_msgText; }
    QString MessageOption() const { return m_msgOption; }
    quint8 GetWaitFlag() const { return m_waitFlag; }
    void SetWaitFlag(quint8 value) { m_waitFlag = value; }

    // True while any MessageDlg is open. Boxes report their opening and their closing (or
    // destruction, whichever comes first) so the state cannot outlive the last box.
    bool IsMessageBoxOpen() const { return m_openMessageBoxes > 0; }
    void MessageBoxOpened();
    void MessageBoxClosed();

public slots:
    void timerShowMessageBox();

private:
    struct DeviceSlot
    {
        quint8 inUse = 0;
        CModuleDevice* device = nullptr;
    };
    struct CameoSlot
    {
        quint8 inUse = 0;
        CCameo* cameo = nullptr;
    };

    static bool IsDeviceIndex(int index) { return static_cast<unsigned>(index) < unsigned(kDeviceSlots); }
    static bool IsCameoIndex(int index) { return static_cast<unsigned>(index) < unsigned(kCameoSlots); }

    CWaitDlg* m_pWaitDlg = nullptr;
    int m_processorLoad = 0;
    quint8 m_osdFlags[OsdFlagCount] = {1, 1, 1, 1, 1, 1};
    int m_activeCameoIndex = 0;
    int m_openMessageBoxes = 0;
    cUccControl* m_pCameraControl = nullptr;

    DeviceSlot m_devices[kDeviceSlots];
    CameoSlot m_cameos[kCameoSlots];

    QString m_programDirectory;
    QString m_firmwarePath;

    QString m_msgTitle;
    QString m_msgText;
    QString m_msgOption;
    quint8 m_waitFlag = 0;

    SiteBookTreeWidget* m_pSiteBook = nullptr;
    ValidationView* m_pValidationView = nullptr;
    CBackupView* m_pBackupView = nullptr;
    CScrSplit* m_pScrSplit = nullptr;
    CAdjust* m_pAdjust = nullptr;
    microphone* m_pMicrophone = nullptr;
    CPTZCtrl* m_pPtzCtrl = nullptr;
    CAlarmOut* m_pAlarmOut = nullptr;
    CPlaybackCtrl* m_pPlaybackCtrl = nullptr;
    LiveView* m_pLiveView[kLiveViews] = {};
    SearchView* m_pSearchView[2] = {};
    SearchLocalView* m_pSearchLocalView[2] = {};
    EmapView* m_pEmapView[2] = {};
    ConfigView* m_pConfigView = nullptr;
    CFirmwareManager* m_pFirmwareManager = nullptr;
    CAccountManager* m_pAccountManager = nullptr;
    CAVIConvert* m_pAviConvert = nullptr;
};
