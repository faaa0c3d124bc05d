#pragma once
// One cell of a video grid: what it is bound to, where the current split places it, its zoom
// and pan, the on-screen display state of the picture it shows, and the picture itself.
// Every field is written under the grid's cells lock, as decode threads read them.
#include <QImage>
#include <QRect>
#include <QString>

#include "shell/playbackcontrol.h"

struct CameoCell
{
    quint8 active = 0; // laid out by the current split
    quint8 selected = 0;
    int recorder = -1; // hub recorder index; -1 none; 999 a local recording
    int channel = -1;  // 0..15; -1 none
    int column = 0;
    int row = 0;
    int rememberedRecorder = -1; // the last pair placed into the cell, for "Restore Cameo"
    int rememberedChannel = -1;
    int panX = 0; // top-left of the zoomed region, in picture pixels
    int panY = 0;
    float zoom = 1.0f; // 1.0 = the whole picture
    quint8 pressed = 0;
    quint8 frozen = 0;      // keeps its picture; the display shows " - F"
    int osdDate = 0;        // YYYYMMDD of the picture shown; -1 after a new binding
    int osdTime = 0;        // HHMMSS
    quint8 liveStarted = 0; // this grid asked the recorder for the channel's live stream
    quint8 videoLoss = 0;
    quint8 sensor = 0;
    quint8 motion = 0;
    quint8 audio = 0;
    QString localFolder;
    QString localDataFile;  // "h..."
    QString localIndexFile; // "i" + data file name
    int localDate = 0;
    int localTime = 0;
    PlaybackControl playbackControl = PlaybackControl::Idle; // local playback mode
    int speed = 0;                                           // 2..8 in the fast modes
    QImage picture;                                          // the last picture of the cell
    // The picture was converted at the size it is shown (zoom 1.0) and goes to this place in
    // the cell as it is; otherwise it is scaled when composed.
    bool fitted = false;
    QRect fittedRect;
    // A newer picture waits in the cell's decoder: it is converted when the grid composes, so
    // that only pictures that reach the screen are converted, and not on the decode thread.
    bool pending = false;
    bool pendingCrop = false; // the bottom 8 rows are cut off when it is converted
    // The aspect the picture is shown at (CameoOsd::FormatCodeOf of the decoded size).
    int formatCode = 0;

    bool IsBound() const { return recorder != -1 && channel != -1; }
};
