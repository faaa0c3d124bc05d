#pragma once
// What the protocol engine reaches of the main window hub: the program directory, the firmware
// package path, the administration windows' state forwarders, the shared message box and the
// question about a recorder's changed certificate.
// The client's recorder hub installs itself with it; without a hub these calls do nothing.
#include <QString>
#include <QtGlobal>

class HubServices
{
public:
    virtual ~HubServices() = default;
    virtual QString ProgramDirectory() const = 0;
    virtual QString FirmwarePath() const = 0;
    // The firmware and account managers' reports carry the recorder (its index in the recorder
    // table) they belong to, so that a late report of another recorder is told apart.
    virtual void SetFirmwareState(int recorderIndex, int code) = 0;
    virtual void SetAccountManagerState(int recorderIndex, int code) = 0;
    virtual void SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total) = 0;
    virtual void ShowMessageBox(const QString& title, const QString& text, const QString& option) = 0;
    // A known recorder presents a certificate other than the remembered one: asks the user
    // (modally) whether to trust the new one. Fingerprints come in readable form.
    virtual bool TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                         const QString& newFingerprint) = 0;

    // The installed hub, or null.
    static HubServices* Instance();
    static void Install(HubServices* hub);
};
