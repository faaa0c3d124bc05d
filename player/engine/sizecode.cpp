#include "engine/sizecode.h"

namespace SizeCode {

int Encode(int width, int height)
{
    return height > 1000 ? width * 10000 + height : width * 1000 + height;
}

int Width(int code)
{
    return code > 10000000 ? code / 10000 : code / 1000;
}

int Height(int code)
{
    return code > 10000000 ? code % 10000 : code % 1000;
}

} // namespace SizeCode
