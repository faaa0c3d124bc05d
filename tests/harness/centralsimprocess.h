#pragma once
// The central server simulator as a child process of a test: started on free ports with the
// test's options and a JSON-lines log, ready once it prints "LISTENING <http> <validation>",
// stopped by its own process id when the object goes. Its log is read back as JSON objects; its
// control paths switch misbehaviour and push lines while it runs.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class CentralSimProcess
{
public:
    explicit CentralSimProcess(const QStringList& options = {});
    ~CentralSimProcess();
    CentralSimProcess(const CentralSimProcess&) = delete;
    CentralSimProcess& operator=(const CentralSimProcess&) = delete;

    // Starts the simulator and waits for its ports; false (with the reason) when it did not come up.
    bool Start(QString* error);
    int HttpPort() const { return m_httpPort; }
    int ValidationPort() const { return m_validationPort; }

    // Every log line, in order.
    QList<QJsonObject> Log() const;
    // The HTTP requests received (method, path, body), of one path or all with an empty path.
    QList<QJsonObject> Requests(const QString& path = QString()) const;
    // The validation lines received, in order, of every connection or of one.
    QStringList Lines(int conn = -1) const;

    // Control requests, answered before they return (a test helper may block).
    bool SetFail(const QString& path, const QString& mode);
    bool Push(const QString& line, int conn = -1);
    // The next request to the path waits until Release(path) lets it be answered.
    bool Hold(const QString& path);
    bool Release(const QString& path);

private:
    bool Control(const QString& path, const QJsonObject& body);

    QStringList m_options;
    QString m_logPath;
    QProcess m_process;
    int m_httpPort = 0;
    int m_validationPort = 0;
};
