#include "net/certificatetrust.h"

#include <QDir>

#include "net/certificatestore.h"
#include "net/hubservices.h"
#include "net/netlog.h"

namespace {

QString QuestionKey(const QString& peerKey, const QByteArray& fingerprint)
{
    return peerKey + QLatin1Char(' ') + QString::fromLatin1(fingerprint.toHex());
}

void RememberOrSay(CertificateStore& store, const QString& peerKey, const QByteArray& fingerprint)
{
    if (!store.Remember(peerKey, fingerprint))
        qCWarning(lcNet) << "the certificate of" << peerKey << "could not be remembered";
}

} // namespace

CertificateTrust* CertificateTrust::Instance()
{
    static CertificateTrust trust;
    return &trust;
}

QString CertificateTrust::StorePath()
{
    const HubServices* hub = HubServices::Instance();
    const QDir dir(hub ? hub->ProgramDirectory() : QDir::currentPath());
    return dir.filePath(QString::fromLatin1(CertificateStore::kFileName));
}

bool CertificateTrust::AskUser(const QString& recorder, const QByteArray& known, const QByteArray& offered)
{
    HubServices* hub = HubServices::Instance();
    if (!hub) {
        qCWarning(lcNet) << recorder << "presents another certificate and there is nobody to ask: refused";
        return false;
    }
    return hub->TrustChangedCertificate(recorder, CertificateStore::Readable(known),
                                        CertificateStore::Readable(offered));
}

CertificateTrust::Decision CertificateTrust::Decide(const QString& recorder, const QString& peerKey,
                                                    const QByteArray& fingerprint)
{
    if (fingerprint.isEmpty()) {
        qCWarning(lcNet) << recorder << "presented no certificate: refused";
        return Decision::Refused;
    }
    CertificateStore store(StorePath());
    switch (store.Check(peerKey, fingerprint)) {
    case CertificateStore::Verdict::Known: return Decision::Trusted;
    case CertificateStore::Verdict::FirstSeen:
        qCDebug(lcNet) << "first certificate of" << peerKey << "remembered";
        RememberOrSay(store, peerKey, fingerprint);
        return Decision::Trusted;
    case CertificateStore::Verdict::Changed: break;
    }
    const QString question = QuestionKey(peerKey, fingerprint);
    if (m_openQuestions.contains(question))
        return Decision::AwaitAnswer;
    m_openQuestions.insert(question);
    const bool trusted = AskUser(recorder, store.Remembered(peerKey), fingerprint);
    m_openQuestions.remove(question);
    qCDebug(lcNet) << "changed certificate of" << peerKey << (trusted ? "trusted" : "refused");
    if (trusted)
        RememberOrSay(store, peerKey, fingerprint);
    emit Answered(peerKey, fingerprint, trusted);
    return trusted ? Decision::Trusted : Decision::Refused;
}
