#pragma once
// Debug output of the workbook and compound file readers ("zent.importcore"): off at debug level
// unless switched on with QT_LOGGING_RULES="zent.importcore.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcImportCore)
