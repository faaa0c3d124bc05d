#pragma once
// The recorder simulator as a child process for the engine tests: started with the test's options
// and a JSON-lines log in the build folder, ready when it prints "LISTENING <port>", stopped by
// its own process id.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class EngineDvrSim
{
public:
    explicit EngineDvrSim(const QStringList& options);
    ~EngineDvrSim();

    bool Start(QString* error);
    int Port() const { return m_port; }

    // Received messages (log lines with "cmd"), in order.
    QList<QJsonObject> Messages() const;
    QList<int> Commands() const;
    // Log lines with this "event".
    QList<QJsonObject> Events(const QString& event) const;

private:
    QList<QJsonObject> Log() const;

    QStringList m_options;
    QString m_logPath;
    QProcess m_process;
    int m_port = 0;
};
