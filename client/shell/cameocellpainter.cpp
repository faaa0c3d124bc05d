#include "shell/cameocellpainter.h"

#include <QFontInfo>
#include <QPainter>

namespace {

QRect TextRect(const QRect& cell)
{
    return QRect(cell.topLeft() + QPoint(4, 2), QPoint(cell.right() - 4, cell.bottom() - 2));
}

QRect ShadowRect(const QRect& cell)
{
    return QRect(cell.topLeft() + QPoint(5, 3), TextRect(cell).bottomRight());
}

bool Drawn(const QString& s)
{
    // Texts of line breaks only draw nothing; they are skipped.
    return !s.trimmed().isEmpty();
}

} // namespace

int CameoCellPainter::TextWidth(const QRect& cell)
{
    return TextRect(cell).width();
}

void CameoCellPainter::DrawTexts(QPainter& painter, CameoOsdTexts t, const QRect& cell)
{
    CameoOsd::FitCorners(t, painter.fontMetrics(), TextWidth(cell));
    DrawFittedTexts(painter, t, cell);
}

QVector<QRect> CameoCellPainter::TextAreas(const CameoOsdTexts& t, const QFontMetrics& metrics, const QRect& cell)
{
    const QRect text = TextRect(cell);
    const QRect shadow = ShadowRect(cell);
    QVector<QRect> areas;
    const auto add = [&](int flags, const QString& s) {
        if (Drawn(s))
            areas.push_back(metrics.boundingRect(text, flags, s) | metrics.boundingRect(shadow, flags, s));
    };
    add(Qt::AlignLeft | Qt::AlignTop, t.topLeft);
    add(Qt::AlignRight | Qt::AlignTop, t.topRight);
    add(Qt::AlignLeft | Qt::AlignBottom, t.bottomLeft);
    add(Qt::AlignRight | Qt::AlignBottom, t.bottomRight);
    add(Qt::AlignCenter, t.event);
    add(Qt::AlignHCenter | Qt::AlignBottom, t.record);
    return areas;
}

void CameoCellPainter::DrawFittedTexts(QPainter& painter, const CameoOsdTexts& t, const QRect& cell)
{
    const QRect text = TextRect(cell);
    const QRect shadow = ShadowRect(cell);
    const auto draw = [&painter](const QRect& r, int flags, const QString& s) {
        if (Drawn(s))
            painter.drawText(r, flags, s);
    };
    const auto drawCorners = [&](const QRect& r) {
        draw(r, Qt::AlignLeft | Qt::AlignTop, t.topLeft);
        draw(r, Qt::AlignRight | Qt::AlignTop, t.topRight);
        draw(r, Qt::AlignLeft | Qt::AlignBottom, t.bottomLeft);
        draw(r, Qt::AlignRight | Qt::AlignBottom, t.bottomRight);
    };
    painter.setPen(Qt::black);
    drawCorners(shadow);
    draw(shadow, Qt::AlignCenter, t.event);
    draw(shadow, Qt::AlignHCenter | Qt::AlignBottom, t.record);
    painter.setPen(Qt::white);
    drawCorners(text);
    painter.setPen(Qt::red);
    draw(text, Qt::AlignCenter, t.event);
    draw(text, Qt::AlignHCenter | Qt::AlignBottom, t.record);
}

void CameoCellPainter::DrawEdge(QPainter& painter, const QRect& rect, const QColor& color)
{
    if (rect.isEmpty())
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
}

void CameoCellPainter::DrawFrame(QPainter& painter, const QRect& cell, bool selected)
{
    DrawEdge(painter, cell, Qt::gray);
    if (!selected)
        return;
    // The ring inside the edge, thicker at its right and bottom: the inner edge of the frame
    // lies 3 pixels in at the top and left, 5 at the right and bottom.
    const QRect outer = cell.adjusted(1, 1, -1, -1);
    const QRect inner = cell.adjusted(3, 3, -4, -4);
    if (outer.isEmpty())
        return;
    if (inner.isEmpty()) {
        painter.fillRect(outer, Qt::cyan);
        return;
    }
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), inner.top() - outer.top()), Qt::cyan);
    painter.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), outer.bottom() - inner.bottom()),
                     Qt::cyan);
    painter.fillRect(QRect(outer.left(), inner.top(), inner.left() - outer.left(), inner.height()), Qt::cyan);
    painter.fillRect(QRect(inner.right() + 1, inner.top(), outer.right() - inner.right(), inner.height()),
                     Qt::cyan);
}

QFont CameoCellPainter::OsdFont()
{
    QFont font(QStringLiteral("Lucida"), 9, QFont::Bold);
    if (!QFontInfo(font).exactMatch())
        font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}
