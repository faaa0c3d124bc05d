#pragma once
// Draws a tile's on-screen display: border, selection frame, tile number, names, date, time,
// play-state glyph and notices. Works on any QPainter (the composed tile image or the display
// front's composition), so it needs no window.
#include "ui/osdcontent.h"

#include <QColor>
#include <QFont>

class QPainter;

enum class TextAnchor { TopLeft, BottomLeft, TopRight, BottomRight, CentreBaseline };

class OsdPainter
{
public:
    static const QColor kBorderColour;
    static const QColor kSelectColour;
    static const QColor kPlaybackColour;
    static const QColor kAudioColour;

    OsdPainter();

    void SetOptions(const OsdStyle& options) { m_options = options; }
    const OsdStyle& Options() const { return m_options; }
    void SetEventWords(const OsdEventWords& words) { m_words = words; }
    const OsdEventWords& EventWords() const { return m_words; }

    void DrawOsd(QPainter& painter, const OsdContent& content) const;
    // The text in black one pixel down and right, then in the colour; returns the text's width.
    int DrawShadowText(QPainter& painter, int x, int y, const QColor& colour, const QString& text,
                       TextAnchor anchor) const;
    // The play-state glyph for marks 0..8 in the tile's lower right corner; false when the mark
    // has no glyph.
    bool DrawPlayStateGlyph(QPainter& painter, const QRect& rect, int mark, int speedStep) const;

private:
    void DrawFrame(QPainter& painter, const OsdContent& content) const;
    void DrawTexts(QPainter& painter, const OsdContent& content, int x) const;
    QString RecorderName(const OsdContent& content) const;
    QString CameraTitle(const OsdContent& content) const;
    QString EventText(const OsdCamera& camera) const;

    QFont m_font;
    OsdStyle m_options;
    OsdEventWords m_words;
};
