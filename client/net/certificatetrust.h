#pragma once
// Whether the certificate a recorder presented over TLS may carry our login. An unknown recorder
// is trusted on first use and its certificate remembered (CertificateStore, in the program
// directory of the hub, else in the current directory); a known recorder that presents another
// certificate is trusted only when the user says so through the hub, and that certificate then
// replaces the remembered one. Without a hub a changed certificate is refused.
//
// A session opens two connections to its recorder, the second shortly after the first. While the
// user is being asked about a certificate, another connection that presents the same certificate
// to the same address does not ask again: it is told to wait, and the answer reaches it through
// Answered.
//
// User-interface thread only: the question is a modal box.
#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>

class CertificateTrust : public QObject
{
    Q_OBJECT
public:
    enum class Decision { Trusted, Refused, AwaitAnswer };

    static CertificateTrust* Instance();

    // `recorder` names the recorder to the user, `peerKey` is CertificateStore::PeerKey and
    // `fingerprint` the SHA-256 of the presented certificate (empty: none was presented, refused).
    // Runs a nested event loop while the user is asked.
    Decision Decide(const QString& recorder, const QString& peerKey, const QByteArray& fingerprint);

signals:
    // The user's answer about a changed certificate, for the connections told to wait for it.
    void Answered(const QString& peerKey, const QByteArray& fingerprint, bool trusted);

private:
    static QString StorePath();
    static bool AskUser(const QString& recorder, const QByteArray& known, const QByteArray& offered);

    // Peer key and offered fingerprint of every question the user has open.
    QSet<QString> m_openQuestions;
};
