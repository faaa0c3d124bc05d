#include "net/support/engine_dvrsim.h"

#include "net/support/engine_testutil.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {
QAtomicInt g_runs;
}

EngineDvrSim::EngineDvrSim(const QStringList& options) : m_options(options)
{
    const QString dir = QStringLiteral(ZENT_BINARY_DIR "/test-engine-dvrsim");
    QDir().mkpath(dir);
    m_logPath = QString("%1/log-%2-%3.jsonl").arg(dir).arg(QCoreApplication::applicationPid()).arg(g_runs.fetchAndAddOrdered(1));
    QFile::remove(m_logPath);
}

EngineDvrSim::~EngineDvrSim()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

bool EngineDvrSim::Start(QString* error)
{
    QStringList args{QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim"), "--port", "0", "--log", m_logPath};
    args += m_options;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start("/usr/bin/python3", args);
    if (!m_process.waitForStarted(10000)) {
        *error = "dvrsim did not start: " + m_process.errorString();
        return false;
    }
    QByteArray out;
    const bool ready = enginetest::WaitFor([&] {
        out += m_process.readAllStandardOutput();
        const int at = out.indexOf("LISTENING ");
        if (at < 0 || out.indexOf('\n', at) < 0)
            return m_process.state() == QProcess::NotRunning;
        m_port = out.mid(at + 10, out.indexOf('\n', at) - at - 10).trimmed().toInt();
        return true;
    }, 20000);
    if (!ready || m_port <= 0) {
        *error = "dvrsim did not listen: " + QString::fromLocal8Bit(out + m_process.readAllStandardError());
        return false;
    }
    return true;
}

QList<QJsonObject> EngineDvrSim::Log() const
{
    QList<QJsonObject> lines;
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            lines.append(doc.object());
    }
    return lines;
}

QList<QJsonObject> EngineDvrSim::Messages() const
{
    QList<QJsonObject> messages;
    for (const QJsonObject& line : Log())
        if (line.contains("cmd") && !line.contains("event"))
            messages.append(line);
    return messages;
}

QList<int> EngineDvrSim::Commands() const
{
    QList<int> commands;
    for (const QJsonObject& m : Messages())
        commands.append(m.value("cmd").toInt());
    return commands;
}

QList<QJsonObject> EngineDvrSim::Events(const QString& event) const
{
    QList<QJsonObject> lines;
    for (const QJsonObject& line : Log())
        if (line.value("event").toString() == event)
            lines.append(line);
    return lines;
}
