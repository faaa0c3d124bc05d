#include "sitebook/sitebooklog.h"

Q_LOGGING_CATEGORY(lcSiteBook, "zent.sitebook", QtInfoMsg)
