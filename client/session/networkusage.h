#pragma once
// Network status settings, kept per recorder and edited by the network status pop-up; reset
// whenever the recorder's site book settings are loaded.
#include <QtGlobal>

struct NetworkUsage
{
    bool limitOn = false;
    bool warningOn = false;
    qint64 limitPosition = 36;
    qint64 usage = 0;
};
