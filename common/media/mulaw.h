#pragma once
// G.711 mu-law sample codec and the in-place byte swap of 32-bit words applied to audio and
// recorded payloads.
#include <QtGlobal>

// One 16-bit linear sample to one mu-law byte.
quint8 LinearToMuLaw(int sample);

// One mu-law byte to a 16-bit linear sample.
qint16 MuLawToLinear(quint8 code);

// Reverses the byte order of each 32-bit word of data in place, for (n + 3) / 4 words: a length
// that is not a multiple of 4 is rounded up, so the buffer must reach the next multiple of 4.
// A null buffer or a length of 0 or less does nothing.
void SwapWords(void* data, int n);
