#pragma once
// One of the player's own recordings made at test time: pictures of the engine's own codec
// (336 × 224, flat grey, written by the test encoder from the bitstream's description), appended
// by the player's recording writer as its live recorder appends them. A group starts every
// keyEvery frames with a key picture; each frame after it adds to the key picture's grey, so
// every frame of a group shows a grey of its own.
#include <QByteArray>
#include <QString>

#include <functional>

namespace own_recording {

constexpr int kWidth = 336;
constexpr int kHeight = 224;

// The grey level frame i shows (keyEvery at most 6).
int Grey(int frame, int keyEvery);
// Frame i: a key picture at the start of each group, else a picture predicted from it.
QByteArray Frame(int frame, int keyEvery);
// Writes `frames` frames of channel 1 into folder (ending in "/") under nameText
// ("yyyymmddhhmmssx"), frame i with code(i); an empty text, or what went wrong.
QString Write(const QString& folder, const QString& nameText, int frames, int keyEvery,
              const std::function<int(int)>& code);

} // namespace own_recording
