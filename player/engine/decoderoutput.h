#pragma once
// The last step of the engine's own decoder: YCbCr planes (a slot's, or the layer stores of a
// layered picture) into the caller's picture, in one of seven output routines that share the
// colour tables and the geometry and differ in pixel format and in how they fill the odd rows of
// a two-layer picture.
#include <cstdint>

// The routine slots.
enum class OutputRoutine : int {
    Bgr24 = 0,
    Bgr24Too = 1,
    Rgb24 = 2,
    Bgrx32 = 3, // what the engine's picture buffers hold (drawn as RGB32)
    Rgbx32 = 4,
    Rgb565 = 5,
    Bgr565 = 6,
};

struct YCbCrPlanes
{
    const uint8_t* luma = nullptr;
    const uint8_t* cb = nullptr; // chroma planes: half width, half height
    const uint8_t* cr = nullptr;
};

struct OutputGeometry
{
    int width = 0; // of one plane (a layer)
    int height = 0;
    int layers = 1; // 1, 2 or 4
    bool layered = false;
    bool flip = false;
};

class DecoderOutput
{
public:
    DecoderOutput();

    static int BytesPerPixel(OutputRoutine routine);
    // Bytes the routine writes for geometry.
    static int64_t OutputBytes(OutputRoutine routine, const OutputGeometry& geometry);

    // planes: one entry for a single picture, else the layer stores 0 .. layers - 1. False when
    // output is smaller than the picture or the geometry is not one the decoder makes.
    bool Convert(OutputRoutine routine, const OutputGeometry& geometry, const YCbCrPlanes* planes, uint8_t* output,
                 int64_t outputCapacity) const;

private:
    void Pixel(int y, int cb, int cr, int* red, int* green, int* blue) const;
    static void Store(OutputRoutine routine, uint8_t* at, int red, int green, int blue);
    static void FillOddRows(OutputRoutine routine, uint8_t* output, int outWidth, int outHeight);

    int m_crToRed[256];
    int m_crToGreen[256];
    int m_cbToGreen[256];
    int m_cbToBlue[256];
};
