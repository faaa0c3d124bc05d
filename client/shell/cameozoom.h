#pragma once
// The digital zoom and pan of one grid cell: wheel steps, the menu's steps and texts, and the pan
// offsets. Zoom runs from 1.0 (the whole picture) to 3.0 in steps of 0.1; comparisons go by the
// printed value ("%0.1f"), so that sums of tenths land on their marks. Widget-free.
#include <QPoint>
#include <QString>

class CameoZoom
{
public:
    static constexpr float kStep = 0.1f;
    static constexpr float kMin = 1.0f;
    static constexpr float kMax = 3.0f;

    // The zoom as the menu and the checks print it.
    static QString Text(float zoom);
    static bool IsWhole(float zoom) { return Text(zoom) == QLatin1String("1.0"); }
    static bool IsMost(float zoom) { return Text(zoom) == QLatin1String("3.0"); }

    // A wheel turn: a step of at least one notch (delta / 8 / 15, each division truncating)
    // zooms in, anything less zooms out; the result stays within 1.0 .. 3.0.
    static float Wheel(float zoom, int delta);
    // A menu step, in or out; the menu disables the step at its limit, so it is not clamped.
    static float Step(float zoom, bool in) { return in ? zoom + kStep : zoom - kStep; }

    // Dragging a zoomed picture: the offsets follow the pointer the other way and never go below 0.
    static QPoint Pan(QPoint pan, QPoint previous, QPoint now);

    // The menu entries: "Zoom In\tx2.1" while a step in is possible, else "Zoom In" (disabled).
    static QString ZoomInText(float zoom);
    static QString ZoomOutText(float zoom);
};
