#include "search/searchhub.h"

namespace {
SearchHub* g_hub = nullptr;
}

SearchHub* SearchHub::Instance()
{
    return g_hub;
}

void SearchHub::Install(SearchHub* hub)
{
    g_hub = hub;
}
