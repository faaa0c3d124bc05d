#pragma once
// The one integer every decoder reports a picture size in: width x 1000 + height, or
// width x 10000 + height when the height is above 1000. Values up to 999 are errors or mean that
// no picture was made; 336224 is the default 336 x 224.
#include <cstdint>

namespace SizeCode {

constexpr int kDefault = 336224;
constexpr int kKeepSize = 999;

int Encode(int width, int height);
int Width(int code);
int Height(int code);
// A code that names a picture (above 999).
inline bool IsPicture(int code)
{
    return code > kKeepSize;
}

// A code that names a picture that can be shown: a width and a height of at least one pixel.
// Any width counts; a picture narrower than 300 pixels is shown like any other.
inline bool HasPicture(int code)
{
    return IsPicture(code) && Width(code) > 0 && Height(code) > 0;
}

} // namespace SizeCode
