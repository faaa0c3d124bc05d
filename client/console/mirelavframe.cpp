#include "console/mirelavframe.h"

void MirelAVFrame::Register()
{
    static const int id = qRegisterMetaType<MirelAVFrame>("MirelAVFrame");
    Q_UNUSED(id);
}
