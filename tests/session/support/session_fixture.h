#pragma once
// Session tests: the recorder simulator as a child process, a main window hub that records what
// the session asks of it, and a fixture that builds both in a temporary program directory.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "harness/dvrsimprocess.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/mainwindow.h"

// dvrsim started with the test's options; ready once it prints "LISTENING <port>"; stopped by
// its own process id.
class SessionDvrSim : public DvrSimProcess
{
public:
    explicit SessionDvrSim(const QStringList& options)
        : DvrSimProcess(options)
    {}
};

// One call of the shared message box.
struct BoxCall
{
    QString title;
    QString text;
    QString option;
    bool operator==(const BoxCall& o) const { return title == o.title && text == o.text && option == o.option; }
};
void PrintTo(const BoxCall& call, std::ostream* os);

// The hub, recording message box calls and the account and firmware manager codes instead of
// opening windows.
class SessionTestHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;
    void SetFirmwareState(int, int code) override { firmwareCodes.push_back(code); }
    void SetAccountManagerState(int, int code) override { accountCodes.push_back(code); }
    // Records the recorder each question about a changed certificate names, then answers with
    // `answerCertificate` (refused when there is none), which may run the event loop as the box
    // would.
    bool TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                 const QString& newFingerprint) override;

    // Set, the hub makes no health window, so the session has none to ask for.
    bool withoutHealthCheck = false;
    HealthCheckView* CreateHealthCheck() override
    {
        return withoutHealthCheck ? nullptr : MainWindow::CreateHealthCheck();
    }

    // Set, the hub keeps the last title given as the main window does, so that a session closes
    // a box of its own title.
    bool keepTitle = false;
    QString MessageTitle() const override { return keepTitle ? m_title : MainWindow::MessageTitle(); }

    std::vector<BoxCall> boxCalls;
    // Called after each box call is recorded.
    std::function<void(const BoxCall&)> onBox;
    std::vector<int> firmwareCodes;
    std::vector<int> accountCodes;
    std::vector<QString> certificateQuestions;
    std::function<bool()> answerCertificate;

private:
    QString m_title;
};

class SessionTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a simulator; fails the test when it does not come up.
    SessionDvrSim* StartSim(const QStringList& options);
    // A recorder session whose entry record points at the port.
    CModuleDevice* AddRecorder(const QString& name, int port, int useSsl = 0);
    void DeleteRecorder(CModuleDevice* device);
    SiteBook* RecordOf(CModuleDevice* device);

    // Runs the event loop until the condition holds (false after the safety limit).
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000);
    // Connects with the purpose and waits for the login.
    bool ConnectAndLogin(CModuleDevice* device, int purpose = 0);

    // A port on which nothing listens.
    static int ClosedPort();

    QString ProgramDir() const { return m_dir.path(); }

    std::unique_ptr<SessionTestHub> hub;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::vector<std::unique_ptr<SessionDvrSim>> m_sims;
    std::vector<std::unique_ptr<CModuleDevice>> m_devices;
    std::vector<std::unique_ptr<SiteBook>> m_records;
};

// The hex text of bytes, lower case, as the simulator logs them.
QString Hex(const QByteArray& bytes);
// Bytes from a hex text with optional blanks.
QByteArray FromHex(const char* text);
