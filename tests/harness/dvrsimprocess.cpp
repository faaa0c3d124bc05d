#include "harness/dvrsimprocess.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>

namespace {
QAtomicInt g_logCounter;
}

DvrSimProcess::DvrSimProcess(const QStringList& options, const QString& logPath)
    : m_options(options)
    , m_logPath(logPath)
{
    const int given = m_options.indexOf(QStringLiteral("--log"));
    if (given >= 0 && given + 1 < m_options.size()) {
        m_logPath = m_options.at(given + 1);
        return;
    }
    if (m_logPath.isEmpty()) {
        const QString dir = QStringLiteral(ZENT_BINARY_DIR "/test-dvrsim");
        QDir().mkpath(dir);
        m_logPath = QStringLiteral("%1/log-%2-%3.jsonl")
                        .arg(dir)
                        .arg(QCoreApplication::applicationPid())
                        .arg(g_logCounter.fetchAndAddOrdered(1));
        m_ownLog = true;
        QFile::remove(m_logPath);
    }
    m_options << QStringLiteral("--log") << m_logPath;
}

DvrSimProcess::~DvrSimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    if (m_ownLog)
        QFile::remove(m_logPath);
}

bool DvrSimProcess::Start(QString* error)
{
    QStringList args{QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim"), QStringLiteral("--port"),
                     QStringLiteral("0")};
    args << m_options;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("dvrsim did not start: ") + m_process.errorString();
        return false;
    }
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        if (!m_process.waitForReadyRead(200) && m_process.state() == QProcess::NotRunning)
            break;
        out += m_process.readAllStandardOutput();
        const int at = out.indexOf("LISTENING ");
        const int end = at >= 0 ? out.indexOf('\n', at) : -1;
        if (end > at) {
            m_port = out.mid(at + 10, end - at - 10).trimmed().toInt();
            if (m_port > 0)
                return true;
            break;
        }
    }
    if (error)
        *error = QStringLiteral("dvrsim did not listen: ")
                 + QString::fromLocal8Bit(out + m_process.readAllStandardError());
    return false;
}

QList<QJsonObject> DvrSimProcess::Log() const
{
    QList<QJsonObject> lines;
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (doc.isObject())
            lines.append(doc.object());
    }
    return lines;
}

QList<QJsonObject> DvrSimProcess::Messages(int cmd) const
{
    QList<QJsonObject> messages;
    for (const QJsonObject& line : Log()) {
        if (line.contains(QStringLiteral("cmd")) && !line.contains(QStringLiteral("event"))
            && (cmd < 0 || line.value(QStringLiteral("cmd")).toInt() == cmd))
            messages.append(line);
    }
    return messages;
}

QList<int> DvrSimProcess::Commands() const
{
    QList<int> commands;
    for (const QJsonObject& m : Messages())
        commands.append(m.value(QStringLiteral("cmd")).toInt());
    return commands;
}

QList<QJsonObject> DvrSimProcess::Events(const QString& event) const
{
    QList<QJsonObject> lines;
    for (const QJsonObject& line : Log())
        if (line.value(QStringLiteral("event")).toString() == event)
            lines.append(line);
    return lines;
}
