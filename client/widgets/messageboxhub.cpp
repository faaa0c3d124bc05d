#include "widgets/messageboxhub.h"

#include <atomic>

namespace {
std::atomic<MessageBoxHub*> g_messageBoxHub{nullptr};
}

MessageBoxHub* MessageBoxHub::Instance()
{
    return g_messageBoxHub.load();
}

void MessageBoxHub::Install(MessageBoxHub* hub)
{
    g_messageBoxHub.store(hub);
}
