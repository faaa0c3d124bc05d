#include "ui/uilog.h"

Q_LOGGING_CATEGORY(lcPlayerUi, "orvane.ui", QtInfoMsg)
