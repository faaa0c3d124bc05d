#include "ui/viewergeometry.h"

FrameHit ViewerGeometry::HitTest(const QPoint& point, const QSize& size, bool maximised)
{
    if (maximised)
        return FrameHit::Caption;
    const int x = point.x();
    const int y = point.y();
    const int w = size.width();
    const int h = size.height();
    FrameHit hit = FrameHit::Client;
    if (x < 3)
        hit = y <= 9 ? FrameHit::TopLeft : (y > h - 10 ? FrameHit::BottomLeft : FrameHit::Left);
    if (y <= 2 && x >= 3)
        hit = x <= 9 ? FrameHit::TopLeft : (x > w - 10 ? FrameHit::TopRight : FrameHit::Top);
    if (x >= w - 3)
        hit = y <= 9 ? FrameHit::TopRight : (y > h - 10 ? FrameHit::BottomRight : FrameHit::Right);
    if (y >= h - 3)
        hit = x <= 9 ? FrameHit::BottomLeft : (x > w - 10 ? FrameHit::BottomRight : FrameHit::Bottom);
    return hit == FrameHit::Client ? FrameHit::Caption : hit;
}

QSize ViewerGeometry::MaximumSize(const QSize& desktop)
{
    int w = desktop.width();
    int h = desktop.height();
    if (h / 5 < w / 8)
        w = (h / 5) * 8;
    else
        h = (w / 8) * 5;
    return {w, h};
}

ViewerRects ViewerGeometry::Layout(const QSize& window)
{
    const int w = window.width();
    const int h = window.height();
    ViewerRects r;
    r.grid = QRect(18, 18, w - 231, h - 132);
    r.minimise = QPoint(w - 47, 10);
    r.close = QPoint(w - 27, 10);
    r.tree = QRect(w - 176, 93, 141, h - 296);
    r.img = QPoint(w - 180, h - 168);
    r.play = QPoint(w - 131, h - 168);
    r.etc = QPoint(w - 81, h - 168);
    r.panel = QRect(w - 177, h - 128, 140, 100);
    const int xs[3] = {w - 171, w - 127, w - 83};
    for (int i = 0; i < 3; ++i) {
        r.layoutButtons[i] = QPoint(xs[i], h - 118);
        r.layoutButtons[i + 3] = QPoint(xs[i], h - 77);
    }
    r.controlBar = QPoint((w - 200) / 2 - 245, h - 73);
    r.playSlider = QRect(16, h - 112, w - 228, 21);
    r.volume = QRect(w - 176, h - 199, 141, 20);
    return r;
}
