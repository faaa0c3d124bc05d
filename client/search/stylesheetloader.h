#pragma once
// The style sheet loader of the playback and live windows: the program directory + "/qss/" + the
// name in lower case + ".qss", read whole as Latin-1; a missing file gives an empty style sheet.
#include <QString>

class QWidget;

void loadStyleSheet(QWidget* widget, const QString& name);
// The file loadStyleSheet reads for a name.
QString StyleSheetPath(const QString& programDirectory, const QString& name);
