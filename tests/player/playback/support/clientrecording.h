#pragma once
// Recordings in the client recording layout for the tile tests, written by the client's own
// writer from ffmpeg-made H.264 (ten frames a second).
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
// keyInterval frames, into root; the recording is named by the first time.
ClientRecording WriteClientRecording(const QString& root, const QVector<int>& times, int keyInterval);

// times for `seconds` seconds of ten frames each from start (hhmmss).
QVector<int> TenPerSecond(int start, int seconds);
