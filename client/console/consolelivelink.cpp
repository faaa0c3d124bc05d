#include "console/consolelivelink.h"

#include "console/consolelog.h"
#include "console/decodingtask.h"
#include "console/mirelnetservice.h"

#include <QTimer>

ConsoleLiveLink::ConsoleLiveLink(QObject* parent)
    : QObject(parent)
{}

ConsoleLiveLink::~ConsoleLiveLink()
{
    StopAll();
}

void ConsoleLiveLink::SetRecorder(const QString& address, int port, const QString& id, const QString& password)
{
    m_address = address;
    m_port = port;
    m_id = id;
    m_password = password;
}

bool ConsoleLiveLink::isDecoding() const
{
    return m_task && m_task->running() > 0;
}

void ConsoleLiveLink::checkAndStartStopLive(int channel)
{
    qCDebug(lcConsole) << "##########ConfigView::checkAndStartStopLive:" << channel;
    if (channel < 0) {
        StopAll();
        m_channel = -1;
        return;
    }
    m_channel = channel;
    if (!m_client)
        StartClient();
    if (!m_task)
        StartTask();
}

void ConsoleLiveLink::StartClient()
{
    m_client = new MirelNetService();
    connect(m_client, &MirelNetService::hasConnectionOpened, this, &ConsoleLiveLink::hasConnectionOpened);
    connect(m_client, &MirelNetService::hasConnectionClosed, this, &ConsoleLiveLink::hasConnectionClosed);
    connect(m_client, &MirelNetService::didReceiveModelInfo, this, &ConsoleLiveLink::didReceiveModelInfo);
    connect(m_client, &MirelNetService::didReceiveSvcLevel, this, &ConsoleLiveLink::didReceiveSvcLevel);
    connect(m_client, &MirelNetService::didReceiveVdaData, this, &ConsoleLiveLink::didReceiveVdaData);
    m_client->openConnection(m_address, m_port);
}

void ConsoleLiveLink::StartTask()
{
    m_task = new DecodingTask();
    // Straight calls in the user-interface thread; the pictures come back queued.
    connect(m_client, &MirelNetService::hasConnectionClosed, m_task, &DecodingTask::hasConnectionClosed,
            Qt::DirectConnection);
    connect(m_client, &MirelNetService::didReceiveAVFrame, m_task, &DecodingTask::didReceiveAVFrame,
            Qt::DirectConnection);
    connect(m_task, &DecodingTask::didAVFrameDecoded, this, &ConsoleLiveLink::pictureDecoded,
            Qt::QueuedConnection);
    m_task->start();
}

void ConsoleLiveLink::StopTask()
{
    if (!m_task)
        return;
    DecodingTask* task = m_task;
    m_task = nullptr;
    task->disconnect(this);
    if (m_client)
        m_client->disconnect(task);
    task->stop();
    // The thread ends after at most the frame it decodes; it is deleted once it has, so the
    // user-interface thread never waits for it.
    if (task->isRunning()) {
        connect(task, &QThread::finished, task, &QObject::deleteLater);
        // It may have ended between the test and the connection.
        if (task->isFinished())
            task->deleteLater();
    } else {
        delete task;
    }
}

void ConsoleLiveLink::StopAll()
{
    if (m_vdaTimer) {
        m_vdaTimer->stop();
        delete m_vdaTimer;
        m_vdaTimer = nullptr;
    }
    if (m_client) {
        m_client->shutdown();
        m_client->disconnect(this);
    }
    StopTask();
    delete m_client;
    m_client = nullptr;
}

void ConsoleLiveLink::hasConnectionOpened()
{
    if (!m_client)
        return;
    if (!m_client->requestLogin(m_id, m_password)) {
        qCWarning(lcConsole) << "console live login: id and password longer than the login message holds";
        emit loginRefused(QStringLiteral("The user id and password are too long for the live picture's login."));
    }
}

void ConsoleLiveLink::hasConnectionClosed()
{
    // The menu keeps working without the picture; the client stays until the next stop.
    StopTask();
}

void ConsoleLiveLink::didReceiveSvcLevel(int, int, int)
{
    if (m_client)
        m_client->requestModelInfo();
}

void ConsoleLiveLink::didReceiveModelInfo(int)
{
    if (!m_client || m_channel < 0)
        return;
    m_client->requestStartLive(1 << m_channel, kLiveRate, false);
    if (!m_vdaTimer) {
        m_vdaTimer = new QTimer(this);
        connect(m_vdaTimer, &QTimer::timeout, this, &ConsoleLiveLink::timerVdaRequest);
    }
    m_vdaTimer->start(kVdaMs);
}

void ConsoleLiveLink::timerVdaRequest()
{
    if (m_client && m_channel >= 0)
        m_client->requestVdaData(m_channel);
}

void ConsoleLiveLink::didReceiveVdaData(int, int columns, int rows, int rowBytes, QByteArray mask)
{
    emit vdaGrid(columns, rows, rowBytes, mask);
}
