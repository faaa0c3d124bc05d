#pragma once
// Draws and measures the items of a CSkinMenu in the flat or classic look that SkinMenuLook
// chooses: the image column, the lightened selection, check and radio glyphs of their own and the
// shortcut part right-aligned.
#include "playback/skinmenulook.h"

#include <QProxyStyle>

class SkinMenuStyle : public QProxyStyle
{
    Q_OBJECT
public:
    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;

    SkinMenuStyle();

    void SetOptions(const SkinMenuOptions& options) { m_options = options; }
    const SkinMenuOptions& Options() const { return m_options; }
    // The system colours of the palette.
    static SkinMenuColours ColoursOf(const QPalette& palette);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    static void DrawGlyph(QPainter* painter, const QStringList& glyph, const QPoint& at, const QColor& colour);

    SkinMenuOptions m_options;
};
