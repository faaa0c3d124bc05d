#pragma once
// Debug output of the mail client ("zent.mail"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.mail.debug=true".
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMail)
