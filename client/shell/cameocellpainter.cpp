#include "shell/cameocellpainter.h"

#include <QFontInfo>
#include <QPainter>

void CameoCellPainter::DrawTexts(QPainter& painter, CameoOsdTexts t, const QRect& cell)
{
    const QPoint end(cell.right() - 4, cell.bottom() - 2);
    const QRect shadow(cell.topLeft() + QPoint(5, 3), end);
    const QRect text(cell.topLeft() + QPoint(4, 2), end);
    CameoOsd::FitCorners(t, painter.fontMetrics(), text.width());
    // Texts of line breaks only draw nothing; they are skipped.
    const auto draw = [&painter](const QRect& r, int flags, const QString& s) {
        if (!s.trimmed().isEmpty())
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

void CameoCellPainter::DrawFrame(QPainter& painter, const QRect& cell, bool selected)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(cell.x(), cell.y(), cell.width() - 1, cell.height() - 1);
    if (!selected)
        return;
    painter.setPen(QPen(Qt::cyan, 1));
    painter.drawRect(cell.x() + 1, cell.y() + 1, cell.width() - 3, cell.height() - 3);
    painter.setPen(QPen(Qt::cyan, 2));
    painter.drawRect(cell.x() + 2, cell.y() + 2, cell.width() - 5, cell.height() - 5);
}

QFont CameoCellPainter::OsdFont()
{
    QFont font(QStringLiteral("Lucida"), 9, QFont::Bold);
    if (!QFontInfo(font).exactMatch())
        font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}
