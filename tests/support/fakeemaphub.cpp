#include "support/fakeemaphub.h"

FakeEmapHub::FakeEmapHub()
    : m_previous(EmapHub::Instance())
{
    EmapHub::Install(this);
}

FakeEmapHub::~FakeEmapHub()
{
    if (EmapHub::Instance() == this)
        EmapHub::Install(m_previous);
}
