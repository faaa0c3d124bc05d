#include "net/support/engine_testutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

namespace enginetest {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QByteArray Message(quint8 command, const QByteArray& body, quint8 status, quint8 subCode)
{
    const int total = 12 + body.size();
    QByteArray m(12, '\0');
    qToBigEndian<quint32>(quint32(total - 4), m.data());
    m[4] = char(0x00);
    m[5] = char(0xA1);
    m[6] = char(command);
    m[7] = char(status);
    m[8] = char(subCode);
    m[9] = char(total & 0xFF);
    m[10] = char((total >> 8) & 0xFF);
    m[11] = char((total >> 16) & 0xFF);
    return m + body;
}

void Put8(QByteArray& b, int at, quint8 v)
{
    b[at] = char(v);
}

void Put16(QByteArray& b, int at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

void Put32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

void Settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
}

const TestCertificate& Tls()
{
    static QTemporaryDir dir;
    static const TestCertificate material = MakeTestCertificate(dir.path(), QStringLiteral("localhost"));
    return material;
}

RawPeer::RawPeer(bool tls)
    : m_tls(tls)
{
    listen(QHostAddress::LocalHost, 0);
}

RawPeer::~RawPeer()
{
    if (m_socket)
        m_socket->abort();
}

void RawPeer::incomingConnection(qintptr descriptor)
{
    if (m_socket)
        return;
    if (!m_tls) {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        m_socket = socket;
        m_ready = true;
    } else {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(Tls().cert);
        socket->setPrivateKey(Tls().key);
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        connect(socket, &QSslSocket::encrypted, this, [this] { m_ready = true; });
        socket->startServerEncryption();
        m_socket = socket;
    }
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { m_received += m_socket->readAll(); });
}

bool RawPeer::WaitReady(int timeoutMs)
{
    return WaitFor([this] { return m_ready && m_socket; }, timeoutMs);
}

void RawPeer::Write(const QByteArray& bytes)
{
    if (!m_socket)
        return;
    m_socket->write(bytes);
    m_socket->flush();
}

} // namespace enginetest
