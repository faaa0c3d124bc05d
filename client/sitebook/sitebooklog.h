#pragma once
// Debug output of the site book ("zent.sitebook"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.sitebook.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSiteBook)
