#pragma once
// The playback control codes live with the playback bar that emits them.
#include "widgets/playbackcontrol.h"
