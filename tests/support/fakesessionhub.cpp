#include "support/fakesessionhub.h"

#include <QDir>

void FakeHealthCheck::SetDvrName(const QString& text, int, int)
{
    dvrName = text;
}

void FakeHealthCheck::SetRecordInfo(const QString& addr, const QString&, const QString&, const QString&,
                                    const QString&, const QString&)
{
    address = addr;
}

FakeSessionHub::FakeSessionHub()
    : m_previous(SessionHub::Instance())
    , m_programDirectory(QDir::currentPath())
{
    SessionHub::Install(this);
}

FakeSessionHub::~FakeSessionHub()
{
    if (SessionHub::Instance() == this)
        SessionHub::Install(m_previous);
}

void FakeSessionHub::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    boxCalls.push_back({title, text, option});
    if (!title.isEmpty())
        m_title = title;
    if (onBox)
        onBox(boxCalls.back());
}

bool FakeSessionHub::TrustChangedCertificate(const QString& recorder, const QString&, const QString&)
{
    certificateQuestions.push_back(recorder);
    return answerCertificate ? answerCertificate() : false;
}

HealthCheckView* FakeSessionHub::CreateHealthCheck()
{
    if (withoutHealthCheck)
        return nullptr;
    m_healthChecks.push_back(std::make_unique<FakeHealthCheck>());
    return m_healthChecks.back().get();
}
