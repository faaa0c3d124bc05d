#pragma once
// The two looks of a switch button of the side panels (relay outputs, the talk-back microphone):
// dark blue while on, grey while off.
#include <QString>

namespace RelayLook {
QString On();
QString Off();
} // namespace RelayLook
