#include "session/backuphosts.h"

namespace {
BackupHostFactory* g_factory = nullptr;
}

BackupHostFactory* BackupHostFactory::Instance()
{
    return g_factory;
}

void BackupHostFactory::Install(BackupHostFactory* factory)
{
    g_factory = factory;
}
