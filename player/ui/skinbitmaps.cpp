#include "ui/skinbitmaps.h"

// The resources of a static library are registered by a call from outside any namespace.
static void RegisterSkinResources()
{
    Q_INIT_RESOURCE(skins);
}

QString SkinBitmaps::PathOf(int id)
{
    return QStringLiteral(":/orvane/bmp/%1.png").arg(id);
}

void SkinBitmaps::Init()
{
    static const bool registered = [] {
        RegisterSkinResources();
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap SkinBitmaps::Load(int id)
{
    Init();
    return QPixmap(PathOf(id));
}
