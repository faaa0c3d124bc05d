#pragma once
// The firmware manager's run: one package uploaded to the checked recorders one after another,
// or ("DVR Check") each checked recorder connected and checked without an upload.
//
// The session of the recorder being worked on reports numbered states (SetUpgradeState); a
// state of another recorder, or one that arrives when no run is active, is ignored. Per
// recorder: Wait, connect with purpose 8; 1 file check; 2 ready: the upload starts 100 ms later
// (in a check run the recorder is done: "Finish"); 3 the recorder took the package; 4 the
// connection went away: "Finish" once the package was taken, a failure before; negative codes
// are failures. Every end moves on to the next checked row.
//
// Every recorder of a run gets the package the user chose: its path is put back into the hub
// before each recorder, since a session replaces it by its firmware tool's output.
#include <QObject>
#include <QString>

#include "managers/managerrows.h"
#include "managers/recorderwalk.h"

class RecorderAdmin;
class QTimer;

class FirmwareRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int kUploadDelayMs = 100;
    static constexpr int kPurpose = 8;

    FirmwareRun(RecorderAdmin& admin, ManagerRows& rows, QObject* parent = nullptr);

    bool IsBusy() const { return m_busy; }
    bool IsCheckRun() const { return m_checkRun; }
    int Current() const { return m_walk.Current(); }
    int Progress() const { return m_progress; }

    // Starts an upload run of `package` over the checked rows; false when nothing started.
    bool Start(const QString& package);
    // Starts a check run with the package the hub holds; false when nothing started.
    bool Check();
    // Cancels the running upload run: the current row shows "Cancel", the hub's path is cleared
    // and its cancel flag set, so a session waiting for the firmware tool gives up.
    void Stop();

    void SetUpgradeState(int recorder, int code);
    void SetProgress(int recorder, qint64 done, qint64 total);

    static QString StateText(int code);

signals:
    void busyChanged(bool busy);
    void progressChanged(int percent);

private:
    bool Begin(const QString& package, bool check);
    void PrepareRecorder();
    void NextOrEnd();
    void EndRun();
    void SetProgressPercent(int percent);
    void StartUpload();

    RecorderAdmin& m_admin;
    ManagerRows& m_rows;
    RecorderWalk m_walk;
    QTimer* m_uploadTimer;
    QString m_package;
    int m_progress = 0;
    bool m_busy = false;
    bool m_checkRun = false;
    bool m_uploading = false; // the upload of the current recorder was asked for
    bool m_applied = false;   // the current recorder took the package (state 3)
};
