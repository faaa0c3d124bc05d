#pragma once
// A short H.264 stream for the recorder simulator to send as live video, made by ffmpeg
// (libx264, baseline, a key frame every second) into a folder of the test's.
#include <QString>

// The path of the stream written into the folder; empty when ffmpeg failed.
QString MakeLiveStream(const QString& folder);
