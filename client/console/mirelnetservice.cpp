#include "console/mirelnetservice.h"

#include "console/consolelog.h"
#include "console/mirelrequest.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

qint32 Le32(const unsigned char* p)
{
    return qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

// The VDA reply carries its mask from byte 28.
constexpr int kVdaHeader = 28;

} // namespace

MirelNetService::MirelNetService()
    : m_socket(new QTcpSocket(this))
    , m_aliveTimer(new QTimer(this))
{
    MirelAVFrame::Register();
    connect(m_socket, &QTcpSocket::readyRead, this, &MirelNetService::handleIncommingData);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &MirelNetService::didEventErrorOccurred);
    connect(m_socket, &QAbstractSocket::connected, this, &MirelNetService::handleConnectionOpened);
    connect(m_socket, &QAbstractSocket::disconnected, this, &MirelNetService::handleConnectionClosed);
    connect(m_aliveTimer, &QTimer::timeout, this, &MirelNetService::timerAliveEvent);
    m_aliveTimer->start(kAliveMs);
}

MirelNetService::~MirelNetService()
{
    shutdown();
}

void MirelNetService::shutdown()
{
    m_aliveTimer->stop();
    m_socket->disconnect(this);
    m_socket->abort();
}

void MirelNetService::openConnection(const QString& host, int port)
{
    if (!m_aliveTimer->isActive())
        m_aliveTimer->start(kAliveMs);
    qCDebug(lcConsole) << "+++++++++++++++++++++++++++++MirelNetService::openConnection:" << host << ":" << port;
    m_socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

bool MirelNetService::requestLogin(const QString& id, const QString& password)
{
    const QByteArray login = MirelRequest::Login(m_sequence, id, password);
    if (login.isEmpty())
        return false;
    send(login);
    return true;
}

void MirelNetService::requestModelInfo()
{
    send(MirelRequest::ModelInfo(m_sequence));
}

void MirelNetService::requestStartLive(int channelMask, int rate, bool)
{
    m_sequence = (m_sequence + 1) % 128;
    send(MirelRequest::StartLive(m_sequence, channelMask, rate));
}

void MirelNetService::requestVdaData(int channel)
{
    send(MirelRequest::VdaData(m_sequence, channel));
}

void MirelNetService::timerAliveEvent()
{
    if (m_connected)
        send(MirelRequest::KeepAlive(m_sequence));
}

bool MirelNetService::writable() const
{
    return m_socket->isOpen() && m_socket->isValid() && m_socket->isWritable()
           && m_socket->state() == QAbstractSocket::ConnectedState;
}

void MirelNetService::send(const QByteArray& message)
{
    sendData(reinterpret_cast<const unsigned char*>(message.constData()), message.size());
}

void MirelNetService::sendData(const unsigned char* data, int length)
{
    if (!writable() || !data || length <= 0) {
        qCDebug(lcConsole) << "MirelNetService::sendData Error";
        return;
    }
    m_socket->write(reinterpret_cast<const char*>(data), length);
}

void MirelNetService::handleIncommingData()
{
    // Everything buffered is taken at once: the socket signals again only for new bytes.
    const QByteArray bytes = m_socket->readAll();
    const bool framed = m_receiver.Feed(bytes.constData(), bytes.size(),
                                        [this](const unsigned char* m, int length) { handleNetEvent(m, length); });
    if (!framed)
        m_socket->abort();
}

void MirelNetService::handleNetEvent(const unsigned char* message, int length)
{
    switch (message[6]) {
    case 2:
        qCDebug(lcConsole) << "----------------------------- handle svc level";
        emit didReceiveSvcLevel(0, 0, 0);
        break;
    case 0x1D:
        qCDebug(lcConsole) << "----------------------------- handle model info";
        emit didReceiveModelInfo(0);
        break;
    case 0x29: handleAVFrame(message, length); break;
    case 0xB7: handleVdaData(message, length); break;
    case 5: qCDebug(lcConsole) << "----------------------------- handle avail chan"; break;
    case 35: qCDebug(lcConsole) << "----------------------------- handle dvr status"; break;
    case 45: qCDebug(lcConsole) << "----------------------------- handle async event"; break;
    case 47: qCDebug(lcConsole) << "----------------------------- handle cam info"; break;
    default:
        qCDebug(lcConsole) << "----------------------------- handle unhandled event :" << message[6]
                           << ", size=" << length;
        break;
    }
}

void MirelNetService::handleAVFrame(const unsigned char* message, int length)
{
    if (std::optional<MirelAVFrame> frame = m_gatherer.Take(message, length))
        emit didReceiveAVFrame(*frame);
}

void MirelNetService::handleVdaData(const unsigned char* message, int length)
{
    // A reply too short for its header carries no grid.
    if (length < kVdaHeader)
        return;
    emit didReceiveVdaData(message[12], Le32(message + 16), Le32(message + 20), Le32(message + 24),
                           QByteArray(reinterpret_cast<const char*>(message) + kVdaHeader, length - kVdaHeader));
}

void MirelNetService::handleConnectionOpened()
{
    m_connected = true;
    qCDebug(lcConsole) << "++++++++++++++++++++++++++++++MirelNetService::didConnectionOpened";
    emit hasConnectionOpened();
}

void MirelNetService::handleConnectionClosed()
{
    m_connected = false;
    qCDebug(lcConsole) << "MirelNetService closed; in the application's thread:"
                       << (QThread::currentThread() == QCoreApplication::instance()->thread());
    emit hasConnectionClosed();
}
