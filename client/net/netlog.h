#pragma once
// The network layer's debug output category ("zent.net").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcNet)
