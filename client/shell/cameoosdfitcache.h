#pragma once
// The fitted on-screen texts of each grid cell, kept between compositions: fitting measures
// every line of the corners (text shaping), while the texts themselves change about once a
// second. A cell's fit is worked out again only when its texts, its width or the font change.
// Widget-free; used by one composing thread at a time.
#include <QFont>

class QPainter;

#include <array>

#include "shell/cameoosd.h"

class CameoOsdFitCache
{
public:
    static constexpr int kCells = 64;

    // The texts as CameoOsd::FitCorners fits them into a text area `width` pixels wide in the
    // painter's font; a cell out of range is fitted without being kept.
    const CameoOsdTexts& Fit(int cell, const CameoOsdTexts& texts, const QPainter& painter, int width);
    // Fits measured since the cache was made (the others were reused).
    int Measured() const { return m_measured; }

private:
    struct Entry
    {
        bool valid = false;
        CameoOsdTexts texts;
        QFont font;
        int width = 0;
        CameoOsdTexts fitted;
    };
    static bool SameTexts(const CameoOsdTexts& a, const CameoOsdTexts& b);

    std::array<Entry, kCells> m_entries;
    Entry m_spare; // cells out of range
    int m_measured = 0;
};
