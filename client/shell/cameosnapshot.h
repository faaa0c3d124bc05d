#pragma once
// A snapshot of one grid cell: the cell's picture with its on-screen texts burned in, saved as a
// JPEG file under the program directory's snapshot folder, one folder per recorder and per day.
// Widget-free (pictures and painting only), so the texts, the picture and the path can be
// checked without a screen.
#include <QFont>
#include <QImage>
#include <QString>

class CameoSnapshot
{
public:
    // What the snapshot shows of the cell.
    struct Cell
    {
        int cell = 0;        // 0-based; shown from 1
        QString cameraTitle; // of the cell's channel
        QString recorderName;
        int osdDate = 0; // YYYYMMDD of the picture
        int osdTime = 0; // HHMMSS
        bool videoLoss = false;
        bool sensor = false;
        bool motion = false;
        QImage picture;
    };

    // "%02d " of the cell number and the camera title.
    static QString CameraText(int cell, const QString& cameraTitle);
    // "MM/DD/YYYY" and "HH:MM:SS".
    static QString DateText(int date);
    static QString TimeText(int time);
    // The day folder "YYYYMMDD" and the file name prefix "HHMMSS_".
    static QString DateFolder(int date);
    static QString FilePrefix(int time);
    // "Video loss" alone; else "Sensor", "Motion" or "Sensor & Motion"; else empty.
    static QString EventText(bool videoLoss, bool sensor, bool motion);

    // A snapshot is taken only of a picture with a real date and time: the date and time become
    // the file's folder and name.
    static bool CanTake(const Cell& cell);

    // The picture with the texts burned in. A picture more than twice as wide as high (a field
    // of interlaced video) is stretched to twice its height.
    static QImage Render(const Cell& cell, const QFont& font);

    // program directory + "/backup/SnapShot/" + recorder + "/" + YYYYMMDD; recorder name and
    // camera title each reduced to one safe path component.
    static QString Folder(const QString& programDirectory, const QString& recorderName, int date);
    static QString FilePath(const QString& programDirectory, const Cell& cell);

    // Renders the cell and writes the JPEG file, creating the folders; the path written, or an
    // empty text when the cell cannot be taken or the file could not be written. The file is
    // written under a temporary name beside it and takes its name only when whole; when it
    // cannot be written, nothing is left and `error` says which file and why (the disk is full).
    static QString Save(const QString& programDirectory, const Cell& cell, const QFont& font,
                        QString* error = nullptr);
};
