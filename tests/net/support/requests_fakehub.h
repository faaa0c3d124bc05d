#pragma once
// A hub for the network tests: a program directory and firmware path of the test's choosing, a
// record of every state and progress report, and of every question about a changed certificate,
// which the test answers. Installed for the lifetime of the object.
#include "net/hubservices.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class RequestsFakeHub : public HubServices
{
public:
    RequestsFakeHub(const QString& programDirectory, const QString& firmwarePath = QString());
    ~RequestsFakeHub() override;

    QString ProgramDirectory() const override { return programDirectory; }
    QString FirmwarePath() const override { return firmwarePath; }
    void SetFirmwareState(int, int code) override { firmwareStates.append(code); }
    void SetAccountManagerState(int, int code) override { accountStates.append(code); }
    void SetFirmwareProgress(int, qint64 done, qint64 total) override { progress.append({done, total}); }
    void ShowMessageBox(const QString&, const QString&, const QString&) override {}

    struct CertificateQuestion
    {
        QString recorder;
        QString knownFingerprint;
        QString newFingerprint;
    };
    // Records the question, then answers with `answerCertificate` (refused when there is none).
    bool TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                 const QString& newFingerprint) override;

    QString programDirectory;
    QString firmwarePath;
    QList<int> firmwareStates;
    QList<int> accountStates;
    QList<QPair<qint64, qint64>> progress; // (done, total)
    QList<CertificateQuestion> certificateQuestions;
    // Called while the question is open, as a modal box would be: it may run the event loop.
    std::function<bool(const CertificateQuestion&)> answerCertificate;

private:
    HubServices* m_previous = nullptr;
};
