#include "net/support/requests_fakehub.h"

RequestsFakeHub::RequestsFakeHub(const QString& programDirectory, const QString& firmwarePath)
    : programDirectory(programDirectory)
    , firmwarePath(firmwarePath)
    , m_previous(HubServices::Instance())
{
    HubServices::Install(this);
}

RequestsFakeHub::~RequestsFakeHub()
{
    HubServices::Install(m_previous);
}

bool RequestsFakeHub::TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                              const QString& newFingerprint)
{
    const CertificateQuestion question{recorder, knownFingerprint, newFingerprint};
    certificateQuestions.append(question);
    return answerCertificate ? answerCertificate(question) : false;
}
