#pragma once
// The account manager's run: the entered accounts written into the checked recorders one after
// another. Per recorder: Wait, connect with purpose 7; 1 the session downloads the recorder's
// settings into download.ini; 2 downloaded: the accounts go into its [PASSWORD_CLIENT] section
// and the upload starts 100 ms later; the session reports 4 when the recorder has taken the
// upload; 3 the connection went away: "Finish" once the upload was taken, a failure before;
// -1 and -2 are failures. Every end moves on to the next checked row. States of another
// recorder, or while no run is active, are ignored.
#include <QObject>
#include <QString>

#include "managers/accountset.h"
#include "managers/managerrows.h"
#include "managers/recorderwalk.h"

class RecorderAdmin;
class QTimer;

class AccountRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int kUploadDelayMs = 100;
    static constexpr int kPurpose = 7;
    // The session's report that the recorder took the uploaded settings.
    static constexpr int kUploadedCode = 4;

    AccountRun(RecorderAdmin& admin, ManagerRows& rows, QObject* parent = nullptr);

    bool IsBusy() const { return m_busy; }
    int Current() const { return m_walk.Current(); }

    // Starts a run with these accounts; false when no checked row could be started.
    bool Start(const AccountSet& accounts);
    // Ends the run; the current recorder's session is left to itself, its later states ignored.
    void Stop();

    void SetAccountState(int recorder, int code);

    static QString StateText(int code);

signals:
    void busyChanged(bool busy);

private:
    void NextOrEnd();
    void EndRun();
    void Fail(const QString& status);
    void WriteAccounts();
    void StartUpload();

    RecorderAdmin& m_admin;
    ManagerRows& m_rows;
    RecorderWalk m_walk;
    QTimer* m_uploadTimer;
    AccountSet m_accounts;
    bool m_busy = false;
    bool m_uploadTaken = false;
};
