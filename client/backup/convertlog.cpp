#include "backup/convertlog.h"

Q_LOGGING_CATEGORY(lcConvert, "zent.backup.convert", QtInfoMsg)
