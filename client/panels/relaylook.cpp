#include "panels/relaylook.h"

QString RelayLook::On()
{
    return QStringLiteral("QPushButton {background-color: #13233b; color:#d4e6ff;}");
}

QString RelayLook::Off()
{
    return QStringLiteral(
        "QPushButton {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 #838383, stop:1 #5a5a5a);} "
        "QPushButton:hover {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 #7ba5de, stop:1 "
        "#466b9e);color:#d4e6ff;}");
}
