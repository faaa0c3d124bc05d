#pragma once
// The recorder simulator as a child process for the network module tests: started with the
// test's options and a log file, ready once it printed "LISTENING <port>", stopped by its own
// process id when the object goes. The log is read back as JSON objects.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class RequestsDvrSim
{
public:
    // `logPath` receives the simulator's JSON-lines log.
    RequestsDvrSim(const QStringList& options, const QString& logPath);
    ~RequestsDvrSim();

    // Starts the simulator and waits for its port; false (with the reason) when it did not come up.
    bool Start(QString* error);
    int Port() const { return m_port; }

    // Every log line, in order; and only the received messages (lines with "cmd").
    QList<QJsonObject> Log() const;
    QList<QJsonObject> Messages() const;
    // Commands of the received messages, in order.
    QList<int> Commands() const;
    // Log lines with this "event".
    QList<QJsonObject> Events(const QString& event) const;

private:
    QStringList m_options;
    QString m_logPath;
    QProcess m_process;
    int m_port = 0;
};

// Runs the event loop until `condition` holds or `timeoutMs` passed; returns the condition.
bool RequestsWaitFor(const std::function<bool()>& condition, int timeoutMs = 15000);
