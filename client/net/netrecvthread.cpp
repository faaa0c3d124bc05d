#include "net/netrecvthread.h"

#include "net/certificatestore.h"
#include "net/certificatetrust.h"
#include "net/netlog.h"
#include "net/nettypemirel.h"
#include "net/recordermessageheader.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QMutexLocker>
#include <QPointer>
#include <QSslCipher>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

#include <cstring>

NetRecvThread::NetRecvThread(CNetTypeMirel* engine, bool tls)
    : m_engine(engine)
    , m_tls(tls)
{
    if (m_tls) {
        m_ssl = new QSslSocket(this);
        m_ssl->setPeerVerifyMode(QSslSocket::VerifyNone);
        connect(m_ssl, &QSslSocket::readyRead, this, &NetRecvThread::NetRecvData);
        connect(m_ssl, &QSslSocket::errorOccurred, this, &NetRecvThread::NetErrorData);
        connect(m_ssl, &QSslSocket::connected, this, &NetRecvThread::NetConnected);
        connect(m_ssl, &QSslSocket::disconnected, this, &NetRecvThread::NetDisconnected);
        connect(m_ssl, QOverload<const QList<QSslError>&>::of(&QSslSocket::sslErrors), this,
                &NetRecvThread::sslErrors);
        connect(m_ssl, &QSslSocket::stateChanged, this, &NetRecvThread::socketStateChanged);
        connect(m_ssl, &QSslSocket::encrypted, this, &NetRecvThread::socketEncrypted);
        connect(CertificateTrust::Instance(), &CertificateTrust::Answered, this,
                &NetRecvThread::OnCertificateAnswered);
    } else {
        m_tcp = new QTcpSocket(this);
        connect(m_tcp, &QTcpSocket::readyRead, this, &NetRecvThread::NetRecvData);
        connect(m_tcp, &QTcpSocket::errorOccurred, this, &NetRecvThread::NetErrorData);
        connect(m_tcp, &QTcpSocket::connected, this, &NetRecvThread::NetConnected);
        connect(m_tcp, &QTcpSocket::disconnected, this, &NetRecvThread::NetDisconnected);
    }
    m_connectTimer = new QTimer(this);
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        // A busy window thread may see the time limit before the socket's own news: the failure
        // is decided one turn of the event loop later, after the socket has been heard.
        const int attempt = m_connectAttempt;
        QTimer::singleShot(0, this, [this, attempt] {
            if (attempt == m_connectAttempt)
                FailConnect("no connection within the time limit");
        });
    });
    connect(this, &NetRecvThread::OnStartSendThread, this, &NetRecvThread::StartSendThread);
    connect(this, &NetRecvThread::OnNetSendDataSignal, this, &NetRecvThread::OnNetSendData, Qt::DirectConnection);
}

NetRecvThread::~NetRecvThread()
{
    // The socket goes with this object; it must not call back into a thread being destroyed.
    if (QAbstractSocket* socket = Socket()) {
        socket->disconnect(this);
        socket->abort();
    }
    m_running.store(false);
    quit();
    wait();
}

void NetRecvThread::run()
{
    {
        QMutexLocker lock(&m_startMutex);
        m_running.store(true);
        m_started.wakeAll();
    }
    exec();
    m_running.store(false);
}

bool NetRecvThread::WaitUntilRunning(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_startMutex);
    while (!m_running.load() && !deadline.hasExpired())
        m_started.wait(&m_startMutex, deadline);
    return m_running.load();
}

QAbstractSocket* NetRecvThread::Socket() const
{
    if (m_ssl)
        return m_ssl;
    return m_tcp;
}

void NetRecvThread::SetHost(const QString& host, quint16 port)
{
    m_host = host;
    m_port = port;
}

bool NetRecvThread::Connect()
{
    // On a busy machine a connect right after the engine was made can come before the thread has
    // been given its first turn: it waits for that (a moment, normally nothing) instead of
    // failing the connect. A thread that is stopping or never started still refuses.
    if (!m_running.load() && !(isRunning() && WaitUntilRunning(kStartLimitMs)))
        return false;
    CancelConnect();
    m_pending = 0;
    m_readSoFar = 0;
    // The window thread never waits for a recorder: the connect goes on in the background and
    // ends in NetConnected, or in FailConnect on an error or after the time limit.
    m_connectPending = true;
    ++m_connectAttempt;
    m_connectTimer->start(kConnectTimeLimitMs);
    if (!m_tls) {
        m_tcp->connectToHost(m_host, m_port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
        return true;
    }
    ClearTlsState();
    m_certificateWait = CertificateWait::None;
    // The login follows the handshake and the certificate check (socketEncrypted).
    m_ssl->connectToHostEncrypted(m_host, m_port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    return true;
}

void NetRecvThread::CancelConnect()
{
    if (!m_connectPending)
        return;
    m_connectPending = false;
    m_connectTimer->stop();
    if (QAbstractSocket* socket = Socket(); socket && socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
}

void NetRecvThread::FailConnect(const char* why)
{
    if (!m_connectPending)
        return;
    qCDebug(lcNet) << "NetRecvThread: connect to" << RecorderLabel() << "failed:" << why;
    CancelConnect();
    m_engine->OnConnectFailed();
}

void NetRecvThread::Disconnect(int waitMs)
{
    CancelConnect();
    QAbstractSocket* socket = Socket();
    if (!socket || m_engine->GetNetState() == -1)
        return;
    // A TLS session still in its handshake has nothing to close politely; waiting for it would
    // hold the caller for the whole timeout.
    if (m_ssl && !m_ssl->isEncrypted()) {
        m_ssl->abort();
        return;
    }
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->waitForDisconnected(waitMs);
}

void NetRecvThread::Abort(const char* why)
{
    qCDebug(lcNet) << "NetRecvThread: closing the connection:" << why;
    ++m_generation;
    m_pending = 0;
    m_readSoFar = 0;
    m_certificateWait = CertificateWait::None;
    ClearTlsState();
    if (QAbstractSocket* socket = Socket())
        socket->abort();
}

void NetRecvThread::NetSendData(char* data, int length)
{
    if (m_engine && m_running.load()) {
        emit OnNetSendDataSignal(data, length, m_sendArgument);
        return;
    }
    qCDebug(lcNet) << " NetRecvThread::NetSendData error";
}

void NetRecvThread::OnNetSendData(char* data, int length, int)
{
    if (m_engine->GetNetState() == -1)
        return;
    if (length > 0)
        RecorderMessageHeader::WriteLength(data, quint32(length - 4));
    QAbstractSocket* socket = Socket();
    if (!socket || !socket->isValid() || length <= 0)
        return;
    m_engine->AddSentBytes(length);
    socket->write(data, length);
    if (m_ssl)
        m_ssl->flush();
}

void NetRecvThread::StartSendThread() {}

void NetRecvThread::NetRecvData()
{
    if (m_tls)
        ReceiveTls();
    else
        ReceivePlain();
}

bool NetRecvThread::CheckLength(quint32 length)
{
    if (length >= quint32(CNetTypeMirel::kMinFrameLength) && length <= quint32(CNetTypeMirel::kMaxFrameLength))
        return true;
    qCDebug(lcNet) << "NetRecvThread: framed length" << length << "outside" << CNetTypeMirel::kMinFrameLength
                   << "to" << CNetTypeMirel::kMaxFrameLength;
    Abort("bad length");
    return false;
}

bool NetRecvThread::CheckMessage(const char* message, int total)
{
    if (!RecorderMessageHeader::HasMarker(message)) {
        qCDebug(lcNet) << "NetRecvThread: message without marker dropped, length" << total;
        return false;
    }
    const int headerTotal = RecorderMessageHeader::ReadTotal(message);
    if (headerTotal != total) {
        qCDebug(lcNet) << "NetRecvThread: header total" << headerTotal << "differs from framed length" << total;
        Abort("total mismatch");
        return false;
    }
    return true;
}

void NetRecvThread::ReceivePlain()
{
    // A nested readyRead (from a wait inside a handler) leaves the reading to the outer loop.
    if (m_inPlainReceive)
        return;
    m_inPlainReceive = true;
    const int generation = m_generation;
    char* buffer = m_engine->RecvBuffer();
    for (;;) {
        if (m_pending == 0) {
            if (m_tcp->bytesAvailable() < 4)
                break;
            char field[4];
            if (m_tcp->read(field, 4) != 4)
                break;
            const quint32 length = qFromBigEndian<quint32>(field);
            if (!CheckLength(length))
                break;
            m_pending = int(length) + 4;
            m_readSoFar = 4;
            std::memcpy(buffer, field, 4);
        }
        if (m_tcp->bytesAvailable() + m_readSoFar < m_pending)
            break;
        const qint64 want = m_pending - m_readSoFar;
        if (m_tcp->read(buffer + m_readSoFar, want) != want) {
            Abort("short read");
            break;
        }
        const int total = m_pending;
        m_pending = 0;
        m_readSoFar = 0;
        if (CheckMessage(buffer, total))
            m_engine->OnRecvData(buffer, total);
        if (generation != m_generation || m_tcp->state() != QAbstractSocket::ConnectedState)
            break;
    }
    m_inPlainReceive = false;
}

void NetRecvThread::ReceiveTls()
{
    FeedReceivedBytes(m_ssl->readAll());
}

void NetRecvThread::FeedReceivedBytes(const QByteArray& data)
{
    {
        QMutexLocker lock(&m_chunkMutex);
        m_chunks.append(data);
    }
    if (m_reentry != 0)
        return;
    const int generation = m_generation;
    char* buffer = m_engine->RecvBuffer();
    for (;;) {
        QByteArray chunk;
        {
            QMutexLocker lock(&m_chunkMutex);
            if (m_chunks.isEmpty())
                break;
            chunk = m_chunks.takeFirst();
        }
        ++m_reentry;
        m_reassembly.append(chunk);
        // Whole messages are taken from the front by an offset, and the bytes they held are
        // removed once per chunk: a large chunk (a backlog read at once) is not moved again
        // for every message in it.
        const int clears = m_tlsClears;
        int used = 0;
        while (m_reassembly.size() - used > 6) {
            const quint32 length = qFromBigEndian<quint32>(m_reassembly.constData() + used);
            if (!CheckLength(length)) {
                m_reentry = 0;
                return;
            }
            const int total = int(length) + 4;
            if (m_reassembly.size() - used < total)
                break;
            std::memcpy(buffer, m_reassembly.constData() + used, size_t(total));
            used += total;
            m_pending = total;
            if (CheckMessage(buffer, total))
                m_engine->OnRecvData(buffer, total);
            m_pending = 0;
            if (generation != m_generation) {
                // The connection has ended: its bytes went with it.
                m_reentry = 0;
                return;
            }
        }
        // A handler that started the connection again has cleared what was left of the old one.
        if (clears == m_tlsClears)
            m_reassembly.remove(0, used);
    }
    m_reentry = 0;
}

void NetRecvThread::ClearTlsState()
{
    ++m_tlsClears;
    m_reassembly.clear();
    QMutexLocker lock(&m_chunkMutex);
    m_chunks.clear();
}

void NetRecvThread::NetErrorData(QAbstractSocket::SocketError error)
{
    if (m_connectPending) {
        // Reported once the signal has returned: the socket is still inside its own call.
        QTimer::singleShot(0, this, [this] { FailConnect("refused or unreachable"); });
        return;
    }
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::HostNotFoundError: qCDebug(lcNet) << "error" << int(error); break;
    default: qCDebug(lcNet) << "error else:" << int(error); break;
    }
    // A TLS peer that ends the session with its close notice leaves the socket connected: close
    // it once the event loop is back, after what was received before the notice is dispatched.
    if (m_ssl && error == QAbstractSocket::RemoteHostClosedError)
        QTimer::singleShot(0, this, &NetRecvThread::CloseAfterPeerClosed);
}

void NetRecvThread::CloseAfterPeerClosed()
{
    if (!m_ssl || m_ssl->state() == QAbstractSocket::UnconnectedState)
        return;
    if (m_ssl->bytesAvailable() > 0)
        ReceiveTls();
    if (m_ssl->state() != QAbstractSocket::UnconnectedState)
        m_ssl->abort();
}

void NetRecvThread::NetConnected()
{
    m_connectPending = false;
    m_connectTimer->stop();
    m_pending = 0;
    m_readSoFar = 0;
    m_engine->OnSocketConnected();
}

void NetRecvThread::NetDisconnected()
{
    ++m_generation;
    m_pending = 0;
    m_readSoFar = 0;
    m_certificateWait = CertificateWait::None;
    if (m_tls)
        ClearTlsState();
    m_engine->OnSocketDisconnected();
}

void NetRecvThread::sslErrors(const QList<QSslError>& errors)
{
    for (const QSslError& error : errors)
        qCDebug(lcNet) << error.errorString() << int(error.error());
}

void NetRecvThread::socketStateChanged(QAbstractSocket::SocketState) {}

void NetRecvThread::socketEncrypted()
{
    const QSslCipher cipher = m_ssl->sessionCipher();
    qCDebug(lcNet) << QString("%1, %2 (%3/%4)")
                          .arg(cipher.name(), cipher.authenticationMethod())
                          .arg(cipher.usedBits())
                          .arg(cipher.supportedBits());
    // The check may ask the user, which runs a nested event loop. Not from inside this signal:
    // the socket has yet to send the end of our handshake, and the recorder would wait for it
    // as long as the user reads.
    m_certificateWait = CertificateWait::Asking;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_certificateWait == CertificateWait::Asking)
            CheckRecorderCertificate();
    });
}

QString NetRecvThread::RecorderLabel() const
{
    const QString endpoint = m_host + QLatin1Char(':') + QString::number(m_port);
    const QString name = m_engine->RecorderName();
    return name.isEmpty() ? endpoint : QStringLiteral("%1 (%2)").arg(name, endpoint);
}

void NetRecvThread::CheckRecorderCertificate()
{
    const int generation = m_generation;
    m_pendingPeerKey = CertificateStore::PeerKey(m_host, m_port);
    m_pendingFingerprint = CertificateStore::Fingerprint(m_ssl->peerCertificate());
    QPointer<NetRecvThread> self(this);
    const CertificateTrust::Decision decision = CertificateTrust::Instance()->Decide(
        RecorderLabel(), m_pendingPeerKey, m_pendingFingerprint);
    // A question runs a nested event loop: meanwhile this connection may have been closed, or
    // closed and followed by another one. Neither may receive this connection's login.
    if (!self || generation != m_generation) {
        qCDebug(lcNet) << "the connection went while its certificate was being decided";
        return;
    }
    if (decision == CertificateTrust::Decision::AwaitAnswer) {
        m_certificateWait = CertificateWait::AnswerOfAnotherConnection;
        return;
    }
    TakeCertificateDecision(decision == CertificateTrust::Decision::Trusted);
}

void NetRecvThread::OnCertificateAnswered(const QString& peerKey, const QByteArray& fingerprint, bool trusted)
{
    // Every connection closed or replaced clears the wait, so a waiting one is still the one
    // that presented this certificate.
    if (m_certificateWait != CertificateWait::AnswerOfAnotherConnection || peerKey != m_pendingPeerKey
        || fingerprint != m_pendingFingerprint)
        return;
    TakeCertificateDecision(trusted);
}

void NetRecvThread::TakeCertificateDecision(bool trusted)
{
    m_certificateWait = CertificateWait::None;
    if (!m_ssl->isEncrypted())
        return;
    if (!trusted) {
        Abort("the recorder's certificate was refused");
        return;
    }
    m_engine->OnCertificateAccepted();
    // The engine remembers the login, so the state-1 path does not repeat it.
    m_engine->SendLogin(false);
}
