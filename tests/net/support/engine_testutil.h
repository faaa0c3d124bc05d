#pragma once
// Helpers of the engine tests: hand-written message bytes, waiting on the event loop, a TLS
// certificate made at test time and a raw loopback peer (plain or TLS) that writes what a test
// gives it.
#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTcpServer>

#include "harness/testcertificate.h"

#include <functional>

class QSslSocket;
class QTcpSocket;

namespace enginetest {

// Bytes from hex text; spaces are skipped.
QByteArray Hex(const char* text);

// A recorder message written out field by field: big-endian length (total - 4), 00 A1, command,
// status, sub-code, 24-bit little-endian total, then the body. Used where a test needs many
// variants of a body; the fixed cases are spelled out in hex.
QByteArray Message(quint8 command, const QByteArray& body, quint8 status = 0, quint8 subCode = 0);

// Little-endian writers into a body under construction.
void Put8(QByteArray& b, int at, quint8 v);
void Put16(QByteArray& b, int at, quint16 v);
void Put32(QByteArray& b, int at, quint32 v);

// Runs the event loop until `done` is true or `timeoutMs` passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);
// Runs the event loop for a while (to show that something does NOT happen).
void Settle(int ms = 200);

// A self-signed certificate and key made with openssl, once per test program.
const TestCertificate& Tls();

// A loopback peer that accepts one connection and writes raw bytes to it.
class RawPeer : public QTcpServer
{
public:
    explicit RawPeer(bool tls);
    ~RawPeer() override;
    quint16 Port() const { return serverPort(); }
    // The accepted socket once the connection (and, under TLS, the handshake) is up.
    bool WaitReady(int timeoutMs = 10000);
    void Write(const QByteArray& bytes);
    QByteArray Received() const { return m_received; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool m_tls;
    QPointer<QTcpSocket> m_socket;
    bool m_ready = false;
    QByteArray m_received;
};

} // namespace enginetest
