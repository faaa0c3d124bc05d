#pragma once
// The on-screen texts of each grid cell as pictures, kept between compositions. Drawing a text
// lays it out again (shaping, line breaking) each time, while a cell's texts change about once
// a second: each cell keeps its texts drawn into small transparent pictures, one for each group
// of texts whose areas touch, and a composition lays those over the cell. They are drawn again
// only when the fitted texts, the font or the cell's size change.
// Widget-free; used by one composing thread at a time.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <vector>

#include "shell/cameoosd.h"

class QPainter;

class CameoOsdOverlay
{
public:
    static constexpr int kCells = 64;

    // Lays the cell's fitted texts over `rect` in the painter's font, as
    // CameoCellPainter::DrawFittedTexts draws them; a cell out of range is drawn directly.
    void Draw(QPainter& painter, int cell, const CameoOsdTexts& fitted, const QRect& rect);
    // Times the texts of a cell were drawn into its pictures since the overlay was made.
    int Rendered() const { return m_rendered; }

private:
    struct Piece
    {
        QPoint at; // in the cell
        QImage image;
    };
    struct Entry
    {
        bool valid = false;
        CameoOsdTexts texts;
        QFont font;
        QSize size;
        std::vector<Piece> pieces;
    };
    static bool SameTexts(const CameoOsdTexts& a, const CameoOsdTexts& b);
    static std::vector<Piece> Render(const CameoOsdTexts& texts, const QFont& font, const QSize& size);

    std::array<Entry, kCells> m_entries;
    int m_rendered = 0;
};
