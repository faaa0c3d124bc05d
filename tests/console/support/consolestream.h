#pragma once
// The H.264 stream a recorder sends its console: ffmpeg's baseline stream with the recorder's
// 10-bit frame numbering, written once per process into the fixture folder for the simulator's
// --video. Empty path, with the reason in `error`, when it cannot be made.
#include <QString>

namespace consolestream {

QString RecorderStream(int width, int height, QString* error);

} // namespace consolestream
