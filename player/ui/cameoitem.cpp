#include "ui/cameoitem.h"

void CameoItem::Reset(int tileIndex)
{
    *this = CameoItem();
    index = tileIndex;
}
