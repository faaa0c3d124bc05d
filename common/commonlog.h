#pragma once
// Debug output of the shared media code (decoder, recording writer) ("zent.media"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.media.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMedia)
