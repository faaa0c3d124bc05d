#include "panels/panelslog.h"

Q_LOGGING_CATEGORY(lcPanels, "zent.panels", QtInfoMsg)
