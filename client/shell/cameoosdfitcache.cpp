#include "shell/cameoosdfitcache.h"

#include <QPainter>

bool CameoOsdFitCache::SameTexts(const CameoOsdTexts& a, const CameoOsdTexts& b)
{
    return a.topLeft == b.topLeft && a.topRight == b.topRight && a.bottomLeft == b.bottomLeft
           && a.bottomRight == b.bottomRight && a.event == b.event && a.record == b.record;
}

const CameoOsdTexts& CameoOsdFitCache::Fit(int cell, const CameoOsdTexts& texts, const QPainter& painter,
                                           int width)
{
    const QFont& font = painter.font();
    Entry& e = cell >= 0 && cell < kCells ? m_entries[size_t(cell)] : m_spare;
    const bool kept = &e != &m_spare;
    if (kept && e.valid && e.width == width && SameTexts(e.texts, texts) && e.font == font)
        return e.fitted;
    e.texts = texts;
    e.font = font;
    e.width = width;
    e.fitted = texts;
    CameoOsd::FitCorners(e.fitted, painter.fontMetrics(), width);
    e.valid = kept;
    ++m_measured;
    return e.fitted;
}
