#pragma once
// What ffprobe and ffmpeg say about a container file the muxer wrote: container, codec, size,
// the video packets with their time stamps and key flags, the decoded frame count, and the
// decoded pictures in grey for comparing regions.
#include <QByteArray>
#include <QString>
#include <QVector>

namespace mediaprobe {

struct Packet
{
    qint64 pts = 0;
    qint64 dts = 0;
    bool key = false;
};

struct Probe
{
    QString error; // empty when ffprobe read the file
    QString formatName;
    QString codecName;
    int width = 0;
    int height = 0;
    QString frameRate;   // the stream's r_frame_rate, "25/1"
    int timeBaseNum = 0; // the stream's time base
    int timeBaseDen = 1;
    int decodedFrames = -1; // nb_read_frames
    QVector<Packet> packets;

    // Presentation time of packet i in milliseconds.
    double Milliseconds(int i) const { return 1000.0 * packets[i].pts * timeBaseNum / timeBaseDen; }
};

Probe Run(const QString& path);

// Decodes the file's pictures into 8-bit grey, one width x height block per picture.
QByteArray GreyPictures(const QString& path, QString* error);

// Mean absolute difference of the grey pixels of a rectangle in picture i of both sets.
double RegionDifference(const QByteArray& a, const QByteArray& b, int width, int height, int picture, int x, int y,
                        int w, int h);

} // namespace mediaprobe
