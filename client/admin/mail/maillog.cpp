#include "mail/maillog.h"

Q_LOGGING_CATEGORY(lcMail, "zent.mail", QtInfoMsg)
