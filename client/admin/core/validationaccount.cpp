#include "core/validationaccount.h"

void ValidationAccount::RegisterMetaType()
{
    static const int registered = qRegisterMetaType<ValidationAccount*>("ValidationAccount*");
    Q_UNUSED(registered)
}
