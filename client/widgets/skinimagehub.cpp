#include "widgets/skinimagehub.h"

#include <atomic>

namespace {
std::atomic<SkinImageHub*> g_skinImageHub{nullptr};
}

SkinImageHub* SkinImageHub::Instance()
{
    return g_skinImageHub.load();
}

void SkinImageHub::Install(SkinImageHub* hub)
{
    g_skinImageHub.store(hub);
}

QPixmap SkinImageHub::Load(const QString& name, SkinFolder folder)
{
    const SkinImageHub* hub = Instance();
    return hub ? hub->LoadSkinImage(name, folder) : QPixmap();
}
