#pragma once
// Where the main dialog's parts go for a window size, how a point of its frameless surface is
// used (resize edge or move), and the largest size it may take on a desktop.
#include <QPoint>
#include <QRect>
#include <QSize>

enum class FrameHit {
    Client,
    Caption,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

struct ViewerRects
{
    QRect grid;
    QPoint minimise, close;
    QRect tree;
    QPoint img, play, etc;
    QRect panel;             // image adjust panel and tools popup
    QPoint layoutButtons[6]; // "1", "4", "9", "16", select all, full screen
    QPoint controlBar;
    QRect playSlider;
    QRect volume; // the master volume slider, between the tree and the panel buttons
};

class ViewerGeometry
{
public:
    static constexpr QSize kMinimumSize{800, 600};

    // The hit of a point in client coordinates of a window of `size`.
    static FrameHit HitTest(const QPoint& point, const QSize& size, bool maximised);
    // The largest window on a desktop: the desktop reduced to the ratio 8:5.
    static QSize MaximumSize(const QSize& desktop);
    static ViewerRects Layout(const QSize& window);
};
