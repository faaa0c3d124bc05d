#include "support/fakepanelshub.h"

FakePanelsHub::FakePanelsHub()
    : m_previous(PanelsHub::Instance())
{
    PanelsHub::Install(this);
}

FakePanelsHub::~FakePanelsHub()
{
    if (PanelsHub::Instance() == this)
        PanelsHub::Install(m_previous);
}
