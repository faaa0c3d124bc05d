#pragma once
// The part of a recorder's screen that its console layout describes, and the conversions between
// that screen and the console window's fixed 1000 x 680 frame: element rectangles one way, mouse
// points the other. Widget-free.
#include <QPoint>
#include <QRect>

class ConsoleArea
{
public:
    static constexpr int kFrameWidth = 1000;
    static constexpr int kFrameHeight = 680;
    // The largest recorder screen, per side, whose menu the console mirrors. Recorders drive
    // monitors up to 8K; a larger word is no screen at all and would make the window build and
    // scale pictures of gigabytes.
    static constexpr int kMaxScreenSide = 8192;

    ConsoleArea() = default;
    ConsoleArea(int originX, int originY, int width, int height, int resolutionWidth, int resolutionHeight);

    void SetOrigin(int x, int y);
    void SetSize(int width, int height);
    // An area wider than the frame is scaled from the top of the screen: its origin y then counts
    // as 0 (the recorder reports the y of its own title bar there).
    void SetResolution(int width, int height);

    int OriginX() const { return m_originX; }
    int OriginY() const { return m_originY; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int ResolutionWidth() const { return m_resolutionWidth; }
    int ResolutionHeight() const { return m_resolutionHeight; }

    // A rectangle in recorder screen pixels as the window places it.
    QRect ToWindow(int x, int y, int width, int height) const;
    // A point of the window in recorder screen pixels.
    QPoint ToRecorder(const QPoint& point) const;
    // Where the live picture of the layout's channel lies in the window; never outside the frame.
    QRect BackgroundRect() const;
    // False when the area or resolution is beyond any screen the console mirrors.
    bool Showable() const;

private:
    bool Wide() const { return m_width > kFrameWidth; }
    bool Centred() const { return !Wide() && m_height < kFrameHeight; }

    int m_originX = 0;
    int m_originY = 0;
    int m_width = 0;
    int m_height = 0;
    int m_resolutionWidth = 0;
    int m_resolutionHeight = 0;
};
