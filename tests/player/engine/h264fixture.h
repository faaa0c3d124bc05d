#pragma once
// H.264 fixtures of the engine tests, made by ffmpeg (libx264, baseline, every picture a key
// picture at a fixed quantiser, no SEI) into the build folder; recorder_payload::Wrap puts
// their access units into the recorder's frame payload.
#include <QByteArray>
#include <QList>
#include <QString>

namespace h264fixture {

struct Stream
{
    QList<QByteArray> units; // access units, each from its first start code
    QByteArray rgb;          // ffmpeg's own decode, 24-bit red, green, blue, all pictures
    int width = 0;
    int height = 0;
    QString error;
};

// source: an ffmpeg lavfi source ("testsrc2", "smptebars", ...). keyInterval 1 makes every
// picture an IDR picture.
Stream Make(const QString& name, const QString& source, int width, int height, int frames, int keyInterval);

// Every 32-bit word byte-reversed, as recorder media store a payload.
QByteArray ReverseWords(QByteArray payload);

// The fixture folder of this test process (removed when it ends).
QString Folder();

// One 24-bit picture as the engine's 32-bit one (blue, green, red, 255).
QByteArray ToBgra(const QByteArray& rgb);

} // namespace h264fixture
