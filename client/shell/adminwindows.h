#pragma once
// The main window's side of the administration windows: it builds the e-mail settings and send
// dialogs and the firmware and account managers, keeps the one open manager of each kind, hands
// them the recorders of a site-book item, forwards the sessions' state codes and progress to the
// manager they belong to, and is the windows' RecorderAdmin, MailHub and ModalMessages over the
// main window. It keeps the firmware cancel flag the sessions poll.
#include <QObject>
#include <QPointer>
#include <QString>

#include "adminui/mailhub.h"
#include "adminui/modalmessages.h"
#include "managers/recorderadmin.h"

class CAccountManager;
class CFirmwareManager;
class MainWindow;
class RecorderSession;
class QTreeWidgetItem;

class AdminWindows : public QObject, public RecorderAdmin, public MailHub, public ModalMessages
{
    Q_OBJECT
public:
    explicit AdminWindows(MainWindow& hub);
    ~AdminWindows() override;

    // Opens the manager (or raises the open one) and adds the item's recorders.
    void exeFirmwareManager(QTreeWidgetItem* item);
    void exeAccountManager(QTreeWidgetItem* item);
    void activateEmailSetup();
    void sendEmail(const QString& path, int kind);

    void SetFirmwareState(int recorderIndex, int code);
    void SetAccountManagerState(int recorderIndex, int code);
    void SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total);
    bool IsFirmwareCancelled() const { return m_firmwareCancel; }

    CFirmwareManager* FirmwareManager() const;
    CAccountManager* AccountManager() const;

    // RecorderAdmin
    QList<int> RecordersOfItem(QTreeWidgetItem* item) const override;
    bool HasRecorder(int index) const override;
    QString RecorderName(int index) const override;
    QString RecorderAddress(int index) const override;
    QString RecorderFirmwareVersion(int index) const override;
    bool StartConnect(int index, int purpose) override;
    bool SetConfigData(int index) override;
    bool SetFirmwareData(int index) override;
    QString ProgramDirectory() const override;
    QString FirmwarePath() const override;
    void SetFirmwarePath(const QString& path) override;
    void SetFirmwareCancel(bool cancel) override { m_firmwareCancel = cancel; }

    // MailHub
    SmtpSettings GetSmtpSettings() const override;
    void SetSmtpSettings(const SmtpSettings& settings) override;

    // ModalMessages
    void ShowModalMessage(const QString& title, const QString& text) override;

private:
    // The recorder at an index of the recorder hub, or null.
    RecorderSession* Device(int index) const;

    MainWindow& m_hub;
    QPointer<CFirmwareManager> m_firmware;
    QPointer<CAccountManager> m_account;
    bool m_firmwareCancel = false;
};
