#include "harness/centralsimprocess.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTcpSocket>

namespace {
QAtomicInt g_logCounter;
constexpr int kStartLimitMs = 20000;
constexpr int kControlLimitMs = 10000;
} // namespace

CentralSimProcess::CentralSimProcess(const QStringList& options)
    : m_options(options)
{
    const QString dir = QStringLiteral(ZENT_BINARY_DIR "/test-centralsim");
    QDir().mkpath(dir);
    m_logPath = QStringLiteral("%1/log-%2-%3.jsonl")
                    .arg(dir)
                    .arg(QCoreApplication::applicationPid())
                    .arg(g_logCounter.fetchAndAddOrdered(1));
    QFile::remove(m_logPath);
}

CentralSimProcess::~CentralSimProcess()
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

bool CentralSimProcess::Start(QString* error)
{
    QStringList args{QStringLiteral(ZENT_SOURCE_DIR "/tools/centralsim/centralsim"), QStringLiteral("--log"),
                     m_logPath};
    args << m_options;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(kStartLimitMs)) {
        if (error)
            *error = QStringLiteral("centralsim did not start: ") + m_process.errorString();
        return false;
    }
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartLimitMs) {
        if (!m_process.waitForReadyRead(200) && m_process.state() == QProcess::NotRunning)
            break;
        out += m_process.readAllStandardOutput();
        const int at = out.indexOf("LISTENING ");
        const int end = at >= 0 ? out.indexOf('\n', at) : -1;
        if (end > at) {
            const QList<QByteArray> ports = out.mid(at + 10, end - at - 10).trimmed().split(' ');
            if (ports.size() == 2) {
                m_httpPort = ports[0].toInt();
                m_validationPort = ports[1].toInt();
            }
            if (m_httpPort > 0 && m_validationPort > 0)
                return true;
            break;
        }
    }
    if (error)
        *error = QStringLiteral("centralsim did not listen: ")
                 + QString::fromLocal8Bit(out + m_process.readAllStandardError());
    return false;
}

QList<QJsonObject> CentralSimProcess::Log() const
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

QList<QJsonObject> CentralSimProcess::Requests(const QString& path) const
{
    QList<QJsonObject> requests;
    for (const QJsonObject& line : Log()) {
        if (line.value(QStringLiteral("side")).toString() != QLatin1String("http"))
            continue;
        if (path.isEmpty() || line.value(QStringLiteral("path")).toString() == path)
            requests.append(line);
    }
    return requests;
}

QStringList CentralSimProcess::Lines(int conn) const
{
    QStringList lines;
    for (const QJsonObject& line : Log()) {
        if (!line.contains(QStringLiteral("line")))
            continue;
        if (conn < 0 || line.value(QStringLiteral("conn")).toInt() == conn)
            lines.append(line.value(QStringLiteral("line")).toString());
    }
    return lines;
}

bool CentralSimProcess::SetFail(const QString& path, const QString& mode)
{
    return Control(QStringLiteral("/_sim/fail"), {{QStringLiteral("path"), path}, {QStringLiteral("mode"), mode}});
}

bool CentralSimProcess::Push(const QString& line, int conn)
{
    QJsonObject body{{QStringLiteral("line"), line}};
    if (conn >= 0)
        body.insert(QStringLiteral("conn"), conn);
    return Control(QStringLiteral("/_sim/push"), body);
}

bool CentralSimProcess::Hold(const QString& path)
{
    return Control(QStringLiteral("/_sim/hold"), {{QStringLiteral("path"), path}});
}

bool CentralSimProcess::Release(const QString& path)
{
    return Control(QStringLiteral("/_sim/release"), {{QStringLiteral("path"), path}});
}

// A blocking request on its own socket: test code only, and it must not depend on the event loop
// of the client under test.
bool CentralSimProcess::Control(const QString& path, const QJsonObject& body)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_httpPort));
    if (!socket.waitForConnected(kControlLimitMs))
        return false;
    const QByteArray data = QJsonDocument(body).toJson(QJsonDocument::Compact);
    socket.write("POST " + path.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: "
                 + QByteArray::number(data.size()) + "\r\nConnection: close\r\n\r\n" + data);
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    while (!reply.contains("\"ok\"") && clock.elapsed() < kControlLimitMs) {
        if (!socket.waitForReadyRead(200) && socket.state() != QAbstractSocket::ConnectedState)
            break;
        reply += socket.readAll();
    }
    return reply.contains("\"ok\": true");
}
