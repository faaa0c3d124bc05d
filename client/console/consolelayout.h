#pragma once
// One console layout as read from the recorder's XML: the elements to build, in document order,
// with their rectangles already converted into the console window's frame. Widget-free, so that
// the reader is tested and fuzzed without a screen.
#include <QColor>
#include <QRect>
#include <QString>
#include <QVector>

enum class ConsoleElementKind { Window, Label, Button, Edit, Image, ScrollBar, Slider, ProgressBar };

struct ConsoleImageSlot
{
    QString name;
    QRect rect; // converted like its parent's
};

struct ConsoleElement
{
    ConsoleElementKind kind = ConsoleElementKind::Label;
    QString id;
    QString imageName;
    QString text;
    QString type;
    QString align;      // "check_button" for a check button
    QRect rect;         // where the element is placed in the window
    QPoint textPos;     // the converted position handed to the caption setters
    int imageCount = 0; // image slots of a window or button, 0..kMaxImages
    QVector<ConsoleImageSlot> images;
    bool colourButton = false;
    QColor colour;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};

struct ConsoleLayout
{
    // Bounds of what one layout may hold; larger values are cut to these.
    static constexpr int kMaxElements = 2000;
    static constexpr int kMaxImages = 8;
    static constexpr int kMaxRestartZones = 9;
    static constexpr int kMaxText = 1024;
    static constexpr int kMaxCoordinate = 100000;

    bool rootAccepted = false; // the root was a "zent" 1.0 frame: elements replace the old layout
    bool ok = false;           // the whole document was read without an error
    QString error;
    int channel = -1;          // the live channel behind the menu, -1 for none
    bool shutdownPage = false; // the last label is the recorder's shutdown caption
    // Later elements with the id of an earlier one have replaced it (the earlier one is gone).
    QVector<ConsoleElement> elements;
    // The table buttons of a shutdown page, in window coordinates, at most kMaxRestartZones.
    QVector<QRect> restartZones;

    bool HasBackground() const { return channel >= 0 && channel <= 15; }
};
