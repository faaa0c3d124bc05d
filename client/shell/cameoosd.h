#pragma once
// What a grid draws for one cell, worked out without a screen: the on-screen display texts of
// the cell's state and the picture fitted (4:3, 16:9) or digitally zoomed into the cell.
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "shell/cameokind.h"
#include "shell/osdflags.h"
#include "shell/playbackcontrol.h"

struct CameoOsdInput
{
    // What the cell shows.
    enum class Source { Unbound, Online, Local };
    Source source = Source::Unbound;
    CameoKind kind = CameoKind::Live;
    bool emap = false;   // e-map camera tile: never shows its cell number
    bool fpsOsd = false; // the grid's frame-rate display flag
    OsdFlags flags;      // the hub's six display switches

    int cell = 0; // 0-based
    int channel = 0;
    int cellWidth = 0;
    int osdDate = 0;
    int osdTime = 0;
    int fps = 0;
    bool frozen = false;
    bool videoLoss = false;
    bool sensor = false;
    bool motion = false;
    bool audio = false;
    bool audioIsThisChannel = false; // this channel plays the recorder's (playback) sound
    bool recording = false;          // the session records this channel (live or playback)
    bool ptz = false;

    QString dvrName;
    QString cameraTitle;
    QString localDataFile;
    // The recorder's playback of the channel, or the local playback control of the cell.
    PlaybackControl playbackState = PlaybackControl::Idle;
    int speed = 0;
};

struct CameoOsdTexts
{
    QString topLeft;
    QString topRight;
    QString bottomLeft;
    QString bottomRight;
    QString event;
    QString record;
    bool blankPicture = false; // the picture is replaced by the blank one and the zoom reset
    int fps = -1;              // the clamped frame rate to store back, -1 when not shown
};

class CameoOsd
{
public:
    static CameoOsdTexts BuildTexts(const CameoOsdInput& in);
    // Shortens the left-hand texts (with an ellipsis, line by line) so that each line of a left
    // corner leaves room for the same line of the right corner in a text area `width` pixels
    // wide: a long camera title stops before the date instead of running into it.
    static void FitCorners(CameoOsdTexts& texts, const QFontMetrics& metrics, int width);

    // Text of a playback state or local playback control: ">", "<", "||", "x%d >>", "x%d <<".
    static QString PlaybackText(PlaybackControl state, int speed);

    // The picture of a cell of size (width, height). At zoom 1.0 the pan becomes (0, 0) and an
    // online recorder's picture is fitted by its format code (below 5: 4:3, else 16:9) and
    // centred through offset; other pictures fill the cell. Any other zoom shows the region of
    // the pan, which is clamped and written back, scaled to the whole cell.
    static QImage RenderPicture(const QImage& picture, int width, int height, bool online, int formatCode,
                                float zoom, int& panX, int& panY, QPoint& offset);
    // Where the picture goes in a cell of size (width, height) at zoom 1.0: the aspect of the
    // format (4:3 below code 5, else 16:9) centred for online cells, the whole cell otherwise.
    // Empty for an empty cell.
    static QRect FitRect(int width, int height, bool online, int formatCode);
    // The format code of a decoded picture's size: wide pictures (nearer 16:9 than 4:3) are
    // 16:9, all others (D1 and CIF included, whose pixels are not square) 4:3. An empty size
    // is 4:3.
    static int FormatCodeOf(const QSize& picture);
    static constexpr int kFourToThree = 0;
    static constexpr int kSixteenToNine = 5;

    // Repaint timer and redraw thread intervals in milliseconds by split.
    static int RepaintInterval(int split, bool emap);
    static int RedrawInterval(int split, bool emap);

    static int IntegerSqrt(int value);
};
