#pragma once
// Sound of a recorder session on its way to the hub's one audio output.
#include <QByteArray>

namespace sessionsound {

// Writes 16-bit samples to the hub's audio output under the recorder's index (nothing without a
// hub or bytes).
void Write(const char* data, int bytes, int recorder);
// 8-bit linear or mu-law bytes to 16-bit little-endian samples.
QByteArray ToSamples(const char* data, int bytes, bool mulaw);

} // namespace sessionsound
