#pragma once
// A tile's OSD drawn once and laid over each new picture until what it shows changes (its texts,
// the date or time, the tile's size, the style or the event words). The OSD is drawn without
// antialiasing, so its pixels are either untouched or covered whole: the overlay keeps the
// covered runs of each row and copies them over the picture, the same pixels a painter would
// have drawn. Should a drawing ever leave a pixel partly covered, the OSD is painted over each
// picture again instead.
#include "ui/osdcontent.h"

#include <QImage>

#include <cstdint>
#include <vector>

class OsdPainter;

class OsdOverlay
{
public:
    // Draws the painter's OSD for content (its rect in target's coordinates) over target, as
    // painting it clipped to the rect with the rect's corner as origin would.
    void Draw(const OsdPainter& painter, const OsdContent& content, QImage& target);
    // How many times the OSD was drawn afresh (for tests and benchmarks).
    int Renders() const { return m_renders; }

private:
    struct Run
    {
        int row = 0;
        int column = 0;
        int length = 0;
        size_t first = 0; // into m_pixels
    };
    bool Matches(const OsdPainter& painter, const OsdContent& local) const;
    void Render(const OsdPainter& painter, const OsdContent& local);
    static void Paint(const OsdPainter& painter, const OsdContent& content, QImage& target);

    bool m_valid = false;
    bool m_runsExact = false; // every drawn pixel covered whole
    OsdContent m_content;     // its rect at 0,0
    OsdStyle m_style;
    OsdEventWords m_words;
    std::vector<Run> m_runs;
    std::vector<uint32_t> m_pixels;
    int m_renders = 0;
};
