#include "importcore/importcorelog.h"

Q_LOGGING_CATEGORY(lcImportCore, "zent.importcore", QtInfoMsg)
