#pragma once
// A hub for the network tests: a program directory and firmware path of the test's choosing, and
// a record of every state and progress report. Installed for the lifetime of the object.
#include "net/hubservices.h"

#include <QList>
#include <QPair>
#include <QString>

class RequestsFakeHub : public HubServices
{
public:
    RequestsFakeHub(const QString& programDirectory, const QString& firmwarePath = QString());
    ~RequestsFakeHub() override;

    QString ProgramDirectory() const override { return programDirectory; }
    QString FirmwarePath() const override { return firmwarePath; }
    void SetFirmwareState(int code) override { firmwareStates.append(code); }
    void SetAccountManagerState(int code) override { accountStates.append(code); }
    void SetFirmwareProgress(qint64 done, qint64 total) override { progress.append({done, total}); }
    void ShowMessageBox(const QString&, const QString&, const QString&) override {}

    QString programDirectory;
    QString firmwarePath;
    QList<int> firmwareStates;
    QList<int> accountStates;
    QList<QPair<qint64, qint64>> progress; // (done, total)

private:
    HubServices* m_previous = nullptr;
};
