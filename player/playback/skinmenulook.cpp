#include "playback/skinmenulook.h"

#include <algorithm>

QColor SkinMenuLook::LightenColour(const QColor& colour, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0)) {
        return colour;
    }
    auto up = [factor](int c) { return int(c + factor * (255 - c)); };
    return QColor(up(colour.red()), up(colour.green()), up(colour.blue()));
}

SkinMenuStyleKind SkinMenuLook::ChooseLook(int displayColours, const SkinMenuColours& colours,
                                           const SkinMenuOptions& options)
{
    if (displayColours > 0 && displayColours <= 256) {
        return SkinMenuStyleKind::Classic;
    }
    const bool equal = colours.buttonFace.rgb() == colours.menu.rgb();
    const bool flat = equal ? options.flatWhenColoursEqual : options.flatWhenColoursDiffer;
    return flat ? SkinMenuStyleKind::Flat : SkinMenuStyleKind::Classic;
}

SkinMenuFlatColours SkinMenuLook::FlatColours(const SkinMenuColours& colours)
{
    SkinMenuFlatColours flat;
    flat.column = colours.buttonFace;
    flat.background = colours.menu;
    const bool equal = flat.column.rgb() == flat.background.rgb();
    if (equal) {
        flat.column = LightenColour(flat.column, 0.35);
        flat.background = Qt::white;
    }
    flat.selection = LightenColour(colours.highlight, equal ? 0.85 : 0.7);
    flat.selectionFrame = colours.highlight;
    flat.checkBox = LightenColour(colours.highlight, 0.85);
    flat.disabledText = equal ? LightenColour(colours.grayText, 0.55) : colours.grayText;
    return flat;
}

QSize SkinMenuLook::MeasureSeparator(int menuHeight)
{
    return QSize(0, menuHeight / 2);
}

QSize SkinMenuLook::MeasureItem(int textWidth, const QSize& image, int menuHeight)
{
    return QSize(textWidth + 2 * image.width() + 1, std::max(image.height() + 4, menuHeight));
}

QStringList SkinMenuLook::AlignShortcuts(const QStringList& texts, const std::function<int(const QString&)>& width)
{
    int widest = 0;
    for (const QString& text : texts) {
        const int tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            widest = std::max(widest, width(text.left(tab)));
        }
    }
    QStringList aligned;
    for (const QString& text : texts) {
        const int tab = text.indexOf(QLatin1Char('\t'));
        if (tab < 0) {
            aligned << text;
            continue;
        }
        QString head = text.left(tab);
        // A space that adds no width (a font without it) must not loop for ever.
        for (int guard = 0; width(head) < widest && guard < 1000; ++guard) {
            head += QLatin1Char(' ');
        }
        aligned << head + text.mid(tab);
    }
    return aligned;
}

QVector<int> SkinMenuLook::CheckGlyphTops()
{
    return {2, 3, 4, 3, 2, 1, 0};
}

QStringList SkinMenuLook::CheckGlyph()
{
    QStringList rows;
    for (int y = 0; y < 7; ++y) {
        rows << QString(7, QLatin1Char('.'));
    }
    const QVector<int> tops = CheckGlyphTops();
    for (int x = 0; x < tops.size(); ++x) {
        for (int y = tops[x]; y < tops[x] + 3; ++y) {
            rows[y][x] = QLatin1Char('#');
        }
    }
    return rows;
}

QStringList SkinMenuLook::RadioGlyph()
{
    return {QStringLiteral(".####."), QStringLiteral("######"), QStringLiteral("######"),
            QStringLiteral("######"), QStringLiteral("######"), QStringLiteral(".####.")};
}

int SkinMenuLook::ImageTop(int itemTop, int itemHeight, int imageHeight)
{
    return itemTop + 2 + std::max(0, (itemHeight - imageHeight - 4) / 2);
}
