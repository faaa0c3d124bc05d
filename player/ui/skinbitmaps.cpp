#include "ui/skinbitmaps.h"

QString SkinBitmaps::PathOf(int id)
{
    return QStringLiteral(":/orvane/bmp/%1.png").arg(id);
}

QPixmap SkinBitmaps::Load(int id)
{
    return QPixmap(PathOf(id));
}
