#pragma once
// H.264 fixtures for the decoder tests: elementary streams made by ffmpeg
// (libx264) into the build folder, split into access units, and ffmpeg's own RGB decode of
// them for comparison.
#include <QByteArray>
#include <QList>
#include <QString>

namespace decoder_streams {

struct Stream
{
    QString path;                // the .264 file
    QList<QByteArray> frames;    // its access units, in decode order
    QByteArray referenceRgb;     // ffmpeg's decode, rgb24 through the fast bilinear scaler
    int width = 0;
    int height = 0;
    QString error;               // empty when the fixture was made
};

// Makes (once per process) a stream of the given size and frame count in the build folder,
// with a key frame every keyInterval frames and no B-frames (as recorders send them).
const Stream& Make(int width, int height, int frames = 30, int keyInterval = 10);

// Splits an Annex B stream into access units; each starts with its first start code
// (four bytes when the stream wrote four).
QList<QByteArray> SplitAccessUnits(const QByteArray& stream);

// Runs ffmpeg with the arguments; returns its standard error when it fails, else empty.
QString RunFfmpeg(const QStringList& arguments);

// Folder of the fixtures.
QString FixtureFolder();

} // namespace decoder_streams
