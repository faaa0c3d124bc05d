#include "shell/cameoosdoverlay.h"

#include <QPainter>
#include <QVector>

#include "shell/cameocellpainter.h"

bool CameoOsdOverlay::SameTexts(const CameoOsdTexts& a, const CameoOsdTexts& b)
{
    return a.topLeft == b.topLeft && a.topRight == b.topRight && a.bottomLeft == b.bottomLeft
           && a.bottomRight == b.bottomRight && a.event == b.event && a.record == b.record;
}

std::vector<CameoOsdOverlay::Piece> CameoOsdOverlay::Render(const CameoOsdTexts& texts, const QFont& font,
                                                            const QSize& size)
{
    const QRect cell(QPoint(0, 0), size);
    // The areas the texts cover, a pixel wider for antialiasing; touching areas become one
    // piece, so that texts drawn over each other keep their order.
    QVector<QRect> areas = CameoCellPainter::TextAreas(texts, QFontMetrics(font), cell);
    for (QRect& area : areas)
        area = area.adjusted(-1, -1, 1, 1) & cell;
    for (bool merged = true; merged;) {
        merged = false;
        for (int i = 0; i < areas.size() && !merged; ++i) {
            for (int j = i + 1; j < areas.size(); ++j) {
                if (areas[i].intersects(areas[j])) {
                    areas[i] |= areas[j];
                    areas.remove(j);
                    merged = true;
                    break;
                }
            }
        }
    }
    std::vector<Piece> pieces;
    for (const QRect& area : areas) {
        if (area.isEmpty())
            continue;
        Piece piece{area.topLeft(), QImage(area.size(), QImage::Format_ARGB32_Premultiplied)};
        piece.image.fill(Qt::transparent);
        QPainter painter(&piece.image);
        painter.setFont(font);
        painter.translate(-area.topLeft());
        CameoCellPainter::DrawFittedTexts(painter, texts, cell);
        painter.end();
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

void CameoOsdOverlay::Draw(QPainter& painter, int cell, const CameoOsdTexts& fitted, const QRect& rect)
{
    if (cell < 0 || cell >= kCells) {
        CameoCellPainter::DrawFittedTexts(painter, fitted, rect);
        return;
    }
    Entry& e = m_entries[size_t(cell)];
    const QFont& font = painter.font();
    if (!e.valid || e.size != rect.size() || !SameTexts(e.texts, fitted) || e.font != font) {
        e.texts = fitted;
        e.font = font;
        e.size = rect.size();
        e.pieces = Render(fitted, font, rect.size());
        e.valid = true;
        ++m_rendered;
    }
    for (const Piece& piece : e.pieces)
        painter.drawImage(rect.topLeft() + piece.at, piece.image);
}
