#pragma once
// The skinned menu's measuring, colours, look choice, shortcut alignment and glyphs, without a
// menu: the menu widget asks these for every item it measures and draws.
#include <QColor>
#include <QSize>
#include <QStringList>
#include <QVector>
#include <functional>

// The system colours the looks are made of.
struct SkinMenuColours
{
    QColor buttonFace;
    QColor menu;
    QColor highlight;
    QColor highlightText;
    QColor menuText;
    QColor grayText;
};

// Colours of the flat look for one state of the display.
struct SkinMenuFlatColours
{
    QColor column;
    QColor background;
    QColor selection;      // the selected item's fill
    QColor selectionFrame; // its frame
    QColor checkBox;       // behind the image of a checked item
    QColor disabledText;
};

enum class SkinMenuStyleKind { Flat, Classic };

struct SkinMenuOptions
{
    bool flatWhenColoursEqual = false;
    bool flatWhenColoursDiffer = true;
};

class SkinMenuLook
{
public:
    // c + f x (255 - c) per channel, truncated; f outside (0, 1] leaves the colour unchanged.
    static QColor LightenColour(const QColor& colour, double factor);
    // Classic on palette displays (256 colours or fewer) or when the option that applies is off.
    static SkinMenuStyleKind ChooseLook(int displayColours, const SkinMenuColours& colours,
                                        const SkinMenuOptions& options);
    static SkinMenuFlatColours FlatColours(const SkinMenuColours& colours);
    // A separator is half a menu line high and has no width; other items fit the text and two images.
    static QSize MeasureSeparator(int menuHeight);
    static QSize MeasureItem(int textWidth, const QSize& image, int menuHeight);
    // Pads the parts before a tab with spaces until each is as wide as the widest, measured by
    // `width`, so that the shortcut parts start in one column. Texts without a tab stay.
    static QStringList AlignShortcuts(const QStringList& texts, const std::function<int(const QString&)>& width);
    // The tick: for each of seven columns the row of its 3-pixel stroke's top.
    static QVector<int> CheckGlyphTops();
    // The pixels of a glyph (7 x 7 tick, 6 x 6 filled circle) as rows of '#' and '.'.
    static QStringList CheckGlyph();
    static QStringList RadioGlyph();
    // Where an item's image goes in the flat look.
    static int ImageTop(int itemTop, int itemHeight, int imageHeight);
};
