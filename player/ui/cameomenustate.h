#pragma once
// How the grid's context menu looks when it opens: texts, greyed and checked entries.
#include <QString>

struct CameoMenuEntry
{
    QString text;
    bool enabled = true;
    bool checked = false;
};

struct CameoMenuState
{
    // False for a click outside every tile: only the entries that do not act on a tile are shown.
    bool onTile = false;
    CameoMenuEntry viewSingle;
    CameoMenuEntry zoomIn;
    CameoMenuEntry zoomOut;
    CameoMenuEntry audioOut;
    CameoMenuEntry osdSetup;
    CameoMenuEntry useDirectX;
    CameoMenuEntry printSave;
};
