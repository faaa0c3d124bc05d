#include "widgets/messageboxhub.h"

#include <atomic>

namespace {
std::atomic<MessageBoxHub*> g_messageBoxHub{nullptr};
std::atomic<quint64> g_installs{0};
} // namespace

MessageBoxHub* MessageBoxHub::Instance()
{
    return g_messageBoxHub.load();
}

void MessageBoxHub::Install(MessageBoxHub* hub)
{
    g_messageBoxHub.store(hub);
    ++g_installs;
}

quint64 MessageBoxHub::Installs()
{
    return g_installs.load();
}
