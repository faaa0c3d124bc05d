#pragma once
// The certificate each recorder presented the first time we connected to it over TLS.
// Recorders carry self-signed certificates, so there is no authority to ask: an unknown
// recorder is trusted on first use and its certificate's SHA-256 fingerprint remembered; a known
// recorder that later presents another certificate may be a machine in the middle, and the login
// must not go out until the user has decided.
//
// Recorders are keyed by address and port (the name is the user's and can change). The file
// holds one "address:port fingerprint" line per recorder and is written through QSaveFile,
// readable by its owner only. Unreadable lines are skipped; the rest of the file still counts.
#include <QByteArray>
#include <QString>

class QSslCertificate;

class CertificateStore
{
public:
    static constexpr const char* kFileName = "recorder_certificates.dat";

    enum class Verdict { FirstSeen, Known, Changed };

    explicit CertificateStore(const QString& filePath);

    // The key of a recorder in the store.
    static QString PeerKey(const QString& address, quint16 port);
    // SHA-256 of the certificate's DER form; empty for a null certificate.
    static QByteArray Fingerprint(const QSslCertificate& certificate);
    // "AB:CD:…" as a user compares fingerprints.
    static QString Readable(const QByteArray& fingerprint);

    Verdict Check(const QString& peerKey, const QByteArray& fingerprint) const;
    // The remembered fingerprint, empty when the recorder is not known.
    QByteArray Remembered(const QString& peerKey) const;
    // Remembers (or replaces) a recorder's fingerprint; false when the file could not be written.
    bool Remember(const QString& peerKey, const QByteArray& fingerprint);

private:
    QString m_filePath;
};
