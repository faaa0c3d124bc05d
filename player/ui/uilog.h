#pragma once
// Debug output of the player's windows ("orvane.ui"): off at debug level unless switched on with
// QT_LOGGING_RULES="orvane.ui.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlayerUi)
