#pragma once
// The firmware preparation of one recorder: for a model that takes its package through the
// firmware tool, the tool turns the chosen file into the package and a timer waits for the tool's
// output; every other model takes the chosen file as it is. The states go to the hub's firmware
// manager (1 preparing, 2 ready, -3 failed or stopped).
#include <QObject>
#include <QString>
#include <QTimer>

class FirmwarePreparation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWaitMs = 1000;
    static constexpr int kAttempts = 31;

    explicit FirmwarePreparation(QObject* parent = nullptr);

    void Start(int deviceIndex, bool toolModel);
    // Ends the wait without a state (the session goes).
    void Stop() { m_timer.stop(); }

private:
    void CheckOutput();
    void Finish(int code);
    void SetState(int code);

    QTimer m_timer;
    QString m_output;
    int m_attempts = 0;
    int m_deviceIndex = -1;
};
