#include "ui/skinmenustyle.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

SkinMenuStyle::SkinMenuStyle()
{
    // Switched on at start-up: the flat look whether or not the column and menu colours differ.
    m_options.flatWhenColoursEqual = true;
    m_options.flatWhenColoursDiffer = true;
}

SkinMenuColours SkinMenuStyle::ColoursOf(const QPalette& palette)
{
    return {palette.color(QPalette::Button),     palette.color(QPalette::Window),
            palette.color(QPalette::Highlight),  palette.color(QPalette::HighlightedText),
            palette.color(QPalette::WindowText), palette.color(QPalette::Disabled, QPalette::WindowText)};
}

QSize SkinMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item) {
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    const int menuHeight = QFontMetrics(item->font).height() + 4;
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        return SkinMenuLook::MeasureSeparator(menuHeight).expandedTo(QSize(1, 1));
    }
    const QFontMetrics metrics(item->font);
    const int textWidth = metrics.horizontalAdvance(item->text) + 3 + 3 * metrics.averageCharWidth();
    return SkinMenuLook::MeasureItem(textWidth, QSize(kImageWidth, kImageHeight), menuHeight);
}

void SkinMenuStyle::DrawGlyph(QPainter* painter, const QStringList& glyph, const QPoint& at, const QColor& colour)
{
    for (int y = 0; y < glyph.size(); ++y) {
        for (int x = 0; x < glyph[y].size(); ++x) {
            if (glyph[y][x] == QLatin1Char('#')) {
                painter->fillRect(at.x() + x, at.y() + y, 1, 1, colour);
            }
        }
    }
}

void SkinMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const SkinMenuColours colours = ColoursOf(item->palette);
    const int depth = painter->device() ? painter->device()->depth() : 32;
    const SkinMenuStyleKind look = SkinMenuLook::ChooseLook(depth <= 8 ? (1 << depth) : 1 << 24, colours,
                                                            m_options);
    const SkinMenuFlatColours flat = SkinMenuLook::FlatColours(colours);
    const QRect rect = item->rect;
    const bool flatLook = look == SkinMenuStyleKind::Flat;
    const QColor background = flatLook ? flat.background : colours.menu;
    const QColor column = flatLook ? flat.column : colours.menu;
    const int columnWidth = kImageWidth + 5;
    painter->save();
    painter->fillRect(rect, background);
    painter->fillRect(QRect(rect.left(), rect.top(), columnWidth, rect.height()), column);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = flatLook ? rect.center().y() : rect.top() + rect.height() / 2;
        painter->setPen(colours.grayText);
        painter->drawLine(rect.left() + columnWidth + 2, y, rect.right(), y);
        painter->setPen(Qt::white);
        painter->drawLine(rect.left() + columnWidth + 2, y + 1, rect.right(), y + 1);
        painter->restore();
        return;
    }
    const bool enabled = item->state & State_Enabled;
    const bool selected = (item->state & State_Selected) && enabled;
    if (selected) {
        if (flatLook) {
            painter->fillRect(rect.adjusted(0, 0, -1, -1), flat.selection);
            painter->setPen(flat.selectionFrame);
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
        } else {
            painter->fillRect(rect.adjusted(columnWidth, 0, 0, 0), colours.highlight);
        }
    }
    const bool checked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;
    const int imageTop = SkinMenuLook::ImageTop(rect.top(), rect.height(), kImageHeight);
    if (!item->icon.isNull()) {
        if (checked) {
            painter->fillRect(QRect(rect.left() + 1, imageTop - 1, kImageWidth + 3, kImageHeight + 2),
                              flat.checkBox);
        }
        item->icon.paint(painter, QRect(rect.left() + 3, imageTop, kImageWidth, kImageHeight), Qt::AlignCenter,
                         enabled ? QIcon::Normal : QIcon::Disabled);
    } else if (checked) {
        const QColor glyphColour = flatLook ? colours.menuText : colours.menuText;
        if (item->checkType == QStyleOptionMenuItem::Exclusive) {
            DrawGlyph(painter, SkinMenuLook::RadioGlyph(), QPoint(rect.left() + 7, imageTop + 4), glyphColour);
        } else {
            DrawGlyph(painter, SkinMenuLook::CheckGlyph(), QPoint(rect.left() + 6, imageTop + 4), glyphColour);
        }
    }
    QColor text = colours.menuText;
    if (!enabled) {
        text = flatLook ? flat.disabledText : colours.grayText;
    } else if (selected && !flatLook) {
        text = colours.highlightText;
    }
    painter->setPen(text);
    painter->setFont(item->font);
    const QRect textRect = rect.adjusted(columnWidth + 4, 0, -6, 0);
    const int tab = item->text.indexOf(QLatin1Char('\t'));
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;
    painter->drawText(textRect, flags | Qt::AlignLeft, tab < 0 ? item->text : item->text.left(tab));
    if (tab >= 0) {
        painter->drawText(textRect, flags | Qt::AlignRight, item->text.mid(tab + 1));
    }
    painter->restore();
}
