#pragma once
// Recordings in the client recording layout for the tile tests, written by the client's own
// writer from ffmpeg-made H.264 (ten frames a second unless a test asks for more).
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

struct ClientRecording
{
    QString folder;   // the day folder
    QString dataName; // "h080510.003"
    QList<QByteArray> units;
    QString error;
};

// Writes frames[i] at times[i] (hhmmss) on channel 3 of 2026-12-10, a key frame every
// keyInterval frames, into root; the recording is named by the first time. streamKind is the
// recorder's stream kind the client records with (2 marks the index for key-frame stepping).
ClientRecording WriteClientRecording(const QString& root, const QVector<int>& times, int keyInterval,
                                     int streamKind = 1);

// times for `seconds` seconds of ten frames each from start (hhmmss).
QVector<int> TenPerSecond(int start, int seconds);
// times for `seconds` seconds of `frames` frames each from start (hhmmss).
QVector<int> PerSecond(int start, int seconds, int frames);
