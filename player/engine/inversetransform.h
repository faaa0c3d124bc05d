#pragma once
// The integer 8 x 8 inverse DCT of Chen and Wang: rows, then columns, each result clipped to
// -256..255.
#include <cstdint>

namespace InverseTransform {

// In place, raster order.
void Apply(int16_t block[64]);

} // namespace InverseTransform
