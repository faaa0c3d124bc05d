#pragma once
// How a grid cell's decorations are drawn over its picture: the texts of the on-screen display
// with their shadow, the cell's edge and the frame of the selected cell, and the display font.
// Widget-free: it draws with any QPainter, into the grid's back buffer or a test picture.
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QVector>

#include "shell/cameoosd.h"

class QPainter;

class CameoCellPainter
{
public:
    // The cell's texts, first as a black shadow one pixel down and right, then in white (the
    // event and record texts in red). The corners are fitted first (CameoOsd::FitCorners).
    static void DrawTexts(QPainter& painter, CameoOsdTexts texts, const QRect& cell);
    // The same with corners already fitted to TextWidth(cell).
    static void DrawFittedTexts(QPainter& painter, const CameoOsdTexts& texts, const QRect& cell);
    // The areas DrawFittedTexts covers with the texts that are drawn, shadows included.
    static QVector<QRect> TextAreas(const CameoOsdTexts& texts, const QFontMetrics& metrics, const QRect& cell);
    // The width of the text area of a cell.
    static int TextWidth(const QRect& cell);
    // A grey line on the cell's edge; the selected cell gets a cyan frame inside it: one pixel
    // wide at its top and left, two at its right and bottom, with a second ring of one pixel
    // inside it (filled, not stroked: the frame is drawn with every composition).
    static void DrawFrame(QPainter& painter, const QRect& cell, bool selected);
    // A line one pixel wide just inside `rect`'s edge.
    static void DrawEdge(QPainter& painter, const QRect& rect, const QColor& color);
    // The display font "Lucida" in bold 9 points, a sans font where it is missing.
    static QFont OsdFont();
};
