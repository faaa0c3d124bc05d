#include "support/fakesitebookhub.h"

FakeSiteBookHub::FakeSiteBookHub()
    : m_previous(SiteBookHub::Instance())
{
    SiteBookHub::Install(this);
}

FakeSiteBookHub::~FakeSiteBookHub()
{
    if (SiteBookHub::Instance() == this)
        SiteBookHub::Install(m_previous);
}
