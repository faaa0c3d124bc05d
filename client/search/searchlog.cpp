#include "search/searchlog.h"

Q_LOGGING_CATEGORY(lcSearch, "zent.search", QtInfoMsg)
