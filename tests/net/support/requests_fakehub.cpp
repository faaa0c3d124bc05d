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
