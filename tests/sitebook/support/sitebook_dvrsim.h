#pragma once
// The recorder simulator as a child process for the site book's recorder actions: started with
// the test's options, ready once it prints "LISTENING <port>", stopped by its own process id.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class SiteBookDvrSim
{
public:
    explicit SiteBookDvrSim(const QStringList& options = {});
    ~SiteBookDvrSim();

    bool Start(QString* error);
    int Port() const { return m_port; }

    // Received messages (log lines with "cmd") of one command, or all with -1.
    QList<QJsonObject> Messages(int cmd = -1) const;
    // Log lines with this "event" ("connect", "login", "disconnect").
    QList<QJsonObject> Events(const QString& event) const;

private:
    QList<QJsonObject> Log() const;

    QStringList m_options;
    QString m_logPath;
    QProcess m_process;
    int m_port = 0;
};
