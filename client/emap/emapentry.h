#pragma once
// The texts of an e-map entry: three ";"-joined lists of 16 items in camera order (recorder
// names, channels, positions) and the position text "%f;%f;" of one camera (x then y, each a
// fraction of the window's width or height). Free of widgets so the book format is testable.
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>

class EmapEntry
{
public:
    static constexpr int kPositions = 16;
    // The icon's size; a drop point is the icon's centre.
    static constexpr int kIconWidth = 34;
    static constexpr int kIconHeight = 38;
    static constexpr int kDropOffsetX = 17;
    static constexpr int kDropOffsetY = 18;

    struct Position
    {
        QString recorderName; // empty: no camera here
        int channel = -1;
        float x = -1.0f;
        float y = -1.0f;
        bool IsPlaced() const { return !recorderName.isEmpty() && channel >= 0; }
    };
    using Positions = std::array<Position, kPositions>;

    struct Lists
    {
        QString devices;
        QString channels;
        QString positions;
    };

    // "%f;%f;" of one position.
    static QString PositionText(float x, float y);
    // The three lists of an entry: a placed camera gives "name;", "%d;" and "%f;%f;", an empty
    // position ";", "-1;" and "-1;-1;".
    static Lists Build(const Positions& positions);
    // Reads the three lists back. Missing items (short or hand-edited books) and channels outside
    // 0..15 (the window has 16 icon slots) are empty positions.
    static Positions Parse(const QString& devices, const QString& channels, const QString& positions);

    // The fraction of the window at which a dropped icon lands: its centre is the drop point.
    static QPointF DropFraction(const QPoint& point, const QSize& window);
    // The top-left of an icon released at topLeft, kept inside the window (at least one pixel
    // from the left and top edges).
    static QPoint ClampRelease(const QPoint& topLeft, const QSize& window, const QSize& icon);
};
