#include "net/certificatestore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMap>
#include <QSslCertificate>

#include "common/io/privatefile.h"

namespace {

// A store larger than this is not ours; it is ignored rather than read into memory.
constexpr qint64 kFileLimit = 1024 * 1024;
constexpr int kFingerprintBytes = 32;

QMap<QString, QByteArray> ReadStore(const QString& path)
{
    QMap<QString, QByteArray> entries;
    QFile file(path);
    if (file.size() > kFileLimit || !file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine(4096).trimmed().split(' ');
        if (fields.size() != 2)
            continue;
        const QByteArray fingerprint = QByteArray::fromHex(fields.at(1));
        if (fingerprint.size() != kFingerprintBytes || fields.at(0).isEmpty())
            continue;
        entries.insert(QString::fromUtf8(fields.at(0)), fingerprint);
    }
    return entries;
}

} // namespace

CertificateStore::CertificateStore(const QString& filePath)
    : m_filePath(filePath)
{}

QString CertificateStore::PeerKey(const QString& address, quint16 port)
{
    return address.trimmed().toLower() + QLatin1Char(':') + QString::number(port);
}

QByteArray CertificateStore::Fingerprint(const QSslCertificate& certificate)
{
    if (certificate.isNull())
        return QByteArray();
    return certificate.digest(QCryptographicHash::Sha256);
}

QString CertificateStore::Readable(const QByteArray& fingerprint)
{
    return QString::fromLatin1(fingerprint.toHex(':').toUpper());
}

CertificateStore::Verdict CertificateStore::Check(const QString& peerKey, const QByteArray& fingerprint) const
{
    const QByteArray known = Remembered(peerKey);
    if (known.isEmpty())
        return Verdict::FirstSeen;
    return known == fingerprint ? Verdict::Known : Verdict::Changed;
}

QByteArray CertificateStore::Remembered(const QString& peerKey) const
{
    return ReadStore(m_filePath).value(peerKey);
}

bool CertificateStore::Remember(const QString& peerKey, const QByteArray& fingerprint)
{
    if (peerKey.isEmpty() || peerKey.contains(QLatin1Char(' ')) || fingerprint.size() != kFingerprintBytes)
        return false;
    QMap<QString, QByteArray> entries = ReadStore(m_filePath);
    entries.insert(peerKey, fingerprint);
    QByteArray content;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        content += it.key().toUtf8() + ' ' + it.value().toHex() + '\n';
    return privatefile::Write(m_filePath, content);
}
