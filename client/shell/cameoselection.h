#pragma once
// Which cells a mouse press on a grid leaves selected, and which cell becomes the current one:
// a plain click selects one cell, Ctrl toggles a cell in or out of the selection, Shift selects
// the run between the current cell and the clicked one. Widget-free, so the rules can be tested
// on their own.
#include <QVector>

class CameoSelection
{
public:
    // `selected` holds one flag per cell in use and is changed in place. Returns the new current
    // cell; a clicked cell outside the flags changes nothing and keeps the current cell.
    static int Press(QVector<bool>& selected, int current, int clicked, bool ctrl, bool shift);
};
