#include "shell/support/grid_dvrsim.h"

#include <QElapsedTimer>

GridDvrSim::GridDvrSim(const QStringList& options)
    : m_options(options)
{
}

GridDvrSim::~GridDvrSim()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString GridDvrSim::Start()
{
    QStringList args{QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim"), QStringLiteral("--port"),
                     QStringLiteral("0")};
    args << m_options;
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(10000))
        return QStringLiteral("dvrsim did not start: ") + m_process.errorString();
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
                return QString();
            break;
        }
    }
    return QStringLiteral("dvrsim printed no port: ") + QString::fromUtf8(out + m_process.readAllStandardError());
}
