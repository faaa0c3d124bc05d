#pragma once
// A session hub for tests: the real recorder table, the working directory at construction as the
// program directory, and a record of what the sessions report (message boxes, manager codes,
// certificate questions, the chosen audio recorder) instead of windows. It has no grids, so the
// grid calls go nowhere. It installs itself while it lives and gives the previous hub back.
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "session/healthcheckview.h"
#include "session/recordertable.h"
#include "session/sessionhub.h"
#include "support/boxcall.h"

// A hidden window that keeps the last record it was given.
class FakeHealthCheck : public HealthCheckView
{
public:
    QWidget* Widget() override { return &window; }
    void SetDvrName(const QString& text, int channelCount, int relayCount) override;
    void SetRecordInfo(const QString& address, const QString& mac, const QString& version, const QString& earliest,
                       const QString& latest, const QString& diskUsage) override;
    void SetHealthState(const HealthRecord& record) override { last = record; }

    QWidget window;
    QString dvrName;
    QString address;
    HealthRecord last;
};

class FakeSessionHub : public SessionHub
{
public:
    FakeSessionHub();
    ~FakeSessionHub() override;
    FakeSessionHub(const FakeSessionHub&) = delete;
    FakeSessionHub& operator=(const FakeSessionHub&) = delete;

    static constexpr int kDeviceSlots = RecorderTable::kSlots;

    RecorderSession* GetDevice(int index) const override { return m_devices.GetDevice(index); }
    bool AddDevice(int index, CModuleDevice* device) override { return m_devices.AddDevice(index, device); }
    bool RemoveDevice(int index) override { return m_devices.RemoveDevice(index); }
    int GetFreeDeviceIndex() const override { return m_devices.GetFreeDeviceIndex(); }
    int FindDeviceByName(const QString& name) const override { return m_devices.FindDeviceByName(name); }
    bool IsAnyDeviceConnected() const override { return m_devices.IsAnyDeviceConnected(); }

    void OnDeviceConnected(int, int) override {}
    void OnDeviceDisconnected(int, int) override {}
    void ReportConnectionLost(int, const QString& recorderName) override { lostRecorders.push_back(recorderName); }

    QString ProgramDirectory() const override { return m_programDirectory; }
    QString FirmwarePath() const override { return m_firmwarePath; }
    void SetFirmwarePath(const QString& path) override { m_firmwarePath = path; }
    void SetFirmwareState(int, int code) override { firmwareCodes.push_back(code); }
    void SetAccountManagerState(int, int code) override { accountCodes.push_back(code); }
    void SetFirmwareProgress(int, qint64, qint64) override {}
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;
    // Records the recorder each question names, then answers with `answerCertificate` (refused
    // when there is none), which may run the event loop as the box would.
    bool TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                 const QString& newFingerprint) override;
    // With keepTitle set, the last title given, as the main window keeps it; else none.
    QString MessageTitle() const override { return keepTitle ? m_title : QString(); }
    bool IsClosing() const override { return false; }

    void SetAudioDeviceIndex(int deviceIndex) override { m_audioDeviceIndex.store(deviceIndex); }
    int GetAudioDeviceIndex() const { return m_audioDeviceIndex.load(); }
    void WriteAudioOutput(const char*, qint64, int) override {}
    int GetProcessorLoad() const override { return processorLoad.load(); }
    void ReadIdleProcessor() { processorLoad.store(0); }

    void CountCameoFrame(int, int, int, int, int, int) override {}
    void ContinueFavorite() override {}
    void GridTakesRecorder(int, int, int, bool) override {}
    void RedrawCameo(int) override {}
    int ConsoleDeviceIndex() const override { return -1; }

    // A hidden fake window, unless withoutHealthCheck is set.
    HealthCheckView* CreateHealthCheck() override;
    void ShowNetworkStatus(int deviceIndex) override { networkStatusAsked.push_back(deviceIndex); }

    bool keepTitle = false;
    bool withoutHealthCheck = false;
    std::atomic<int> processorLoad{0};
    std::vector<BoxCall> boxCalls;
    // Called after each box call is recorded.
    std::function<void(const BoxCall&)> onBox;
    std::vector<int> firmwareCodes;
    std::vector<int> accountCodes;
    std::vector<QString> certificateQuestions;
    std::function<bool()> answerCertificate;
    std::vector<QString> lostRecorders;
    std::vector<int> networkStatusAsked;

private:
    SessionHub* m_previous = nullptr;
    RecorderTable m_devices;
    QString m_programDirectory;
    QString m_firmwarePath;
    QString m_title;
    std::atomic<int> m_audioDeviceIndex{-1};
    std::vector<std::unique_ptr<FakeHealthCheck>> m_healthChecks;
};
