#include "widgets/widgetslog.h"

Q_LOGGING_CATEGORY(lcWidgets, "zent.widgets", QtInfoMsg)
