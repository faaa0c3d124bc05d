#pragma once
// Debug output of the recorder account and firmware managers ("zent.managers").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcManagers)
