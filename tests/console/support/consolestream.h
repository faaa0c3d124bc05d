#pragma once
// The H.264 stream the simulator's cameras send in the tests of the console: ffmpeg's baseline
// stream as it comes (the one the demo uses too), so that the simulator's own console form is
// what the console decodes. Empty path, with the reason in `error`, when it cannot be made.
#include <QString>

namespace consolestream {

QString CameraStream(int width, int height, QString* error);

} // namespace consolestream
