#pragma once
// A test server written in Python, run for the life of the object: it is started with its
// arguments and must print "LISTENING <port>" once it accepts connections (port stays 0 when it
// does not); it is stopped with SIGTERM.
#include <QProcess>
#include <QStringList>

#include "../waitfor.h"

class ScriptServer
{
public:
    ScriptServer(const QString& script, const QStringList& arguments)
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + arguments);
        QByteArray out;
        WaitFor([&] {
            out += m_process.readAllStandardOutput();
            return out.contains('\n') || m_process.state() == QProcess::NotRunning;
        });
        if (out.startsWith("LISTENING "))
            port = out.mid(10).trimmed().toInt();
    }
    ~ScriptServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    ScriptServer(const ScriptServer&) = delete;
    ScriptServer& operator=(const ScriptServer&) = delete;

    int port = 0;

private:
    QProcess m_process;
};
