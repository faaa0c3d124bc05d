#pragma once
// The recorder simulator as a child process of a test: started on a free port with the test's
// options and a JSON-lines log, ready once it prints "LISTENING <port>", stopped by its own
// process id when the object goes. The log is read back as JSON objects.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class DvrSimProcess
{
public:
    // Without a log path (and no "--log" among the options) the log goes to a file of its own in
    // the build folder, removed with the object.
    explicit DvrSimProcess(const QStringList& options = {}, const QString& logPath = QString());
    ~DvrSimProcess();
    DvrSimProcess(const DvrSimProcess&) = delete;
    DvrSimProcess& operator=(const DvrSimProcess&) = delete;

    // Starts the simulator and waits for its port; false (with the reason) when it did not come up.
    bool Start(QString* error);
    int Port() const { return m_port; }
    // The simulator's process id, for a test that stops and continues it.
    qint64 ProcessId() const { return m_process.processId(); }
    QString LogPath() const { return m_logPath; }

    // Every log line, in order.
    QList<QJsonObject> Log() const;
    // The received messages (lines with "cmd"), of one command or all with -1.
    QList<QJsonObject> Messages(int cmd = -1) const;
    // Commands of the received messages, in order.
    QList<int> Commands() const;
    // Log lines with this "event" ("connect", "login", "disconnect", ...).
    QList<QJsonObject> Events(const QString& event) const;

private:
    QStringList m_options;
    QString m_logPath;
    bool m_ownLog = false;
    QProcess m_process;
    int m_port = 0;
};
