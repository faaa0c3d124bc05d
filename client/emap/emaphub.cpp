#include "emap/emaphub.h"

namespace {
EmapHub* g_emapHub = nullptr;
} // namespace

EmapHub* EmapHub::Instance()
{
    return g_emapHub;
}

void EmapHub::Install(EmapHub* hub)
{
    g_emapHub = hub;
}
