#pragma once
// Everything the on-screen display of one tile shows, gathered before drawing so that the drawing
// itself reads no other object.
#include "engine/liveframe.h"

#include <QRect>
#include <QString>
#include <QtGui/qrgb.h>
#include <optional>

// The OSD options of the engine as the painter uses them.
struct OsdStyle
{
    bool showCameraTitle = true;
    bool showRecorderName = true;
    bool showDate = true;
    bool showTime = true;
    bool showEvent = true;
    bool showTileNumber = true;
    QRgb textColour = qRgb(255, 255, 255);
};

// The event words of the language table, copied when the display is set up.
struct OsdEventWords
{
    QString motion = QStringLiteral("MOTION");
    QString sensor = QStringLiteral("SENSOR");
    QString videoLoss = QStringLiteral("VIDEO_LOSS");
    QString rec = QStringLiteral("REC");
    QString ptz = QStringLiteral("PTZ");
};

// The camera record of a recorder client. This program opens no recorder connection, so a tile
// shows one only when a caller supplies it.
struct OsdCamera
{
    QString recorderName;
    QString title;
    bool covert = false;
    bool motion = false;
    bool sensor = false;
    bool signal = true;
};

// What the tile's player reports about the recording it plays.
struct OsdPlayerText
{
    QString recorderName;
    QString cameraText;
    QString dataPath;
    bool remote = false;
    int audio = 0;
    int requestResult = 0;
    int speedStep = 0;
};

struct OsdContent
{
    int tile = 0;
    QRect rect;
    bool selected = false;
    bool multiTile = false;
    int layoutCode = 0;
    // -1 none, 0..8 the player's play state, 99 no data.
    int mark = -1;
    int date = 0;
    int time = 0;
    bool fileTile = false;
    int liveRecordState = 0;
    std::optional<OsdCamera> camera;
    std::optional<OsdPlayerText> player;
};
