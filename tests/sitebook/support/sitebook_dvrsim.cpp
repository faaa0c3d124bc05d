#include "sitebook/support/sitebook_dvrsim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>

SiteBookDvrSim::SiteBookDvrSim(const QStringList& options)
    : m_options(options)
{
    static int counter = 0;
    m_logPath = QStringLiteral(ZENT_BINARY_DIR "/sitebook_dvrsim_%1_%2.log")
                    .arg(QCoreApplication::applicationPid())
                    .arg(++counter);
    QFile::remove(m_logPath);
}

SiteBookDvrSim::~SiteBookDvrSim()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    QFile::remove(m_logPath);
}

bool SiteBookDvrSim::Start(QString* error)
{
    QStringList args{QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim"), QStringLiteral("--port"),
                     QStringLiteral("0"), QStringLiteral("--log"), m_logPath};
    args << m_options;
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(10000)) {
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
            return m_port > 0;
        }
    }
    *error = QStringLiteral("dvrsim printed no port: ") + QString::fromUtf8(out + m_process.readAllStandardError());
    return false;
}

QList<QJsonObject> SiteBookDvrSim::Log() const
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

QList<QJsonObject> SiteBookDvrSim::Messages(int cmd) const
{
    QList<QJsonObject> out;
    for (const QJsonObject& o : Log()) {
        if (o.contains(QStringLiteral("cmd")) && !o.contains(QStringLiteral("event"))
            && (cmd < 0 || o.value(QStringLiteral("cmd")).toInt() == cmd))
            out.append(o);
    }
    return out;
}

QList<QJsonObject> SiteBookDvrSim::Events(const QString& event) const
{
    QList<QJsonObject> out;
    for (const QJsonObject& o : Log()) {
        if (o.value(QStringLiteral("event")).toString() == event)
            out.append(o);
    }
    return out;
}
