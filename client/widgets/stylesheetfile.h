#pragma once
// A panel's style sheet: the file named after it in lower case with ".qss" in the "qss" folder of
// the current directory, read whole as Latin-1; empty when the file is missing.
#include <QString>

QString ReadPanelStyleSheet(const QString& name);
