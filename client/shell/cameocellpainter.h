#pragma once
// How a grid cell's decorations are drawn over its picture: the texts of the on-screen display
// with their shadow, the cell's edge and the frame of the selected cell, and the display font.
// Widget-free: it draws with any QPainter, into the grid's back buffer or a test picture.
#include <QFont>
#include <QRect>

#include "shell/cameoosd.h"

class QPainter;

class CameoCellPainter
{
public:
    // The cell's texts, first as a black shadow one pixel down and right, then in white (the
    // event and record texts in red).
    static void DrawTexts(QPainter& painter, CameoOsdTexts texts, const QRect& cell);
    // A grey line on the cell's edge; the selected cell gets a cyan frame inside it.
    static void DrawFrame(QPainter& painter, const QRect& cell, bool selected);
    // The display font "Lucida" in bold 9 points, a sans font where it is missing.
    static QFont OsdFont();
};
