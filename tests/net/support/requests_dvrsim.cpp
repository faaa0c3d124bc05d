#include "net/support/requests_dvrsim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>

RequestsDvrSim::RequestsDvrSim(const QStringList& options, const QString& logPath)
    : m_options(options)
    , m_logPath(logPath)
{
}

RequestsDvrSim::~RequestsDvrSim()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate(); // SIGTERM to this child only
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool RequestsDvrSim::Start(QString* error)
{
    const QString script = QStringLiteral(ZENT_SOURCE_DIR) + "/tools/dvrsim/dvrsim";
    QStringList args{script, "--port", "0", "--log", m_logPath};
    args += m_options;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start("/usr/bin/python3", args);
    if (!m_process.waitForStarted(10000)) {
        *error = "dvrsim did not start: " + m_process.errorString();
        return false;
    }
    QByteArray out;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(200)) {
            if (m_process.state() == QProcess::NotRunning)
                break;
            continue;
        }
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            out += line + '\n';
            if (line.startsWith("LISTENING ")) {
                m_port = line.mid(10).toInt();
                return m_port > 0;
            }
        }
    }
    *error = "dvrsim printed no port: " + QString::fromUtf8(out + m_process.readAllStandardError());
    return false;
}

QList<QJsonObject> RequestsDvrSim::Log() const
{
    QList<QJsonObject> lines;
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QList<QByteArray> raw = file.readAll().split('\n');
    for (const QByteArray& line : raw) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            lines.append(doc.object()); // a half-written last line is simply not yet there
    }
    return lines;
}

QList<QJsonObject> RequestsDvrSim::Messages() const
{
    QList<QJsonObject> out;
    const QList<QJsonObject> lines = Log();
    for (const QJsonObject& o : lines) {
        if (o.contains("cmd") && !o.contains("event"))
            out.append(o);
    }
    return out;
}

QList<int> RequestsDvrSim::Commands() const
{
    QList<int> out;
    const QList<QJsonObject> messages = Messages();
    for (const QJsonObject& o : messages)
        out.append(o.value("cmd").toInt());
    return out;
}

QList<QJsonObject> RequestsDvrSim::Events(const QString& event) const
{
    QList<QJsonObject> out;
    const QList<QJsonObject> lines = Log();
    for (const QJsonObject& o : lines) {
        if (o.value("event").toString() == event)
            out.append(o);
    }
    return out;
}

bool RequestsWaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}
