#pragma once
// One still for printing or saving: the tile's last picture with its zoom, pan and texts.
#include <QImage>
#include <QString>

struct StillRecord
{
    QImage picture; // 32-bit, width x height
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    float zoomX = 1.0f;
    float zoomY = 1.0f;
    int panX = 0;
    int panY = 0;
    QString recorderName;
    QString address;
    QString cameraName;
    QString dateTime;
    QString cameraNumber;
    QString imageFolder;
};
