#pragma once
// Debug output of the side panels and pop-ups ("zent.panels"): off at debug level unless switched
// on with QT_LOGGING_RULES="zent.panels.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPanels)
