#pragma once
// The H.264 decoder library loaded at run time and its 32 decoder contexts (16 tiles and the
// second field of each). The library's three entry points are looked up by name (and the optional
// ones that hand pictures out unconverted, or held); the engine reads only the decoded width and
// height words of a context and sets two set-up words before it initialises one.
#include "engine/keptpicture.h"

#include <QLibrary>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

// A decoder context as the library sees it: 12 words, of which the engine sets words 5 and 6 and
// reads words 2 (width) and 3 (height); the rest belongs to the library.
struct H264Context
{
    int32_t words[12] = {};
};
static_assert(sizeof(H264Context) == 48, "decoder context is 48 bytes");

constexpr int kH264Contexts = 32;

// Results of the library's decode entry point.
enum class H264Status : int {
    Picture = 0,
    PictureToo = 5,
    Again = 1,
    ResetA = 2,
    ResetB = 3,
    ResetC = 4,
    ResetRetry = -5,
    NoLibrary = -1,
};

class H264Library
{
public:
    H264Library();
    ~H264Library();
    H264Library(const H264Library&) = delete;
    H264Library& operator=(const H264Library&) = delete;

    // Loads the first candidate that loads; false when none does.
    bool Load(const QStringList& candidates);
    bool IsLoaded() const;
    QString FileName() const;

    // Sets the set-up words and initialises the context; false on a failure of the library.
    bool InitContext(int context);
    // The decode loop: decodes one frame into the 24-bit output (red, green, blue) of
    // outputCapacity bytes; the size code of the picture, or the library's failure value (-1
    // without a library). Reset values release and initialise the context again.
    int Decode(int context, const uint8_t* data, int length, uint8_t* output, int outputCapacity);
    void ReleaseContext(int context);
    // Whether the library keeps pictures unconverted: a decode with no output (null, capacity 0)
    // then leaves the picture for Planes. Optional: without it every decode converts.
    bool CanKeepPictures() const;
    // The planes of the picture the last decode without output kept; false when none. Where the
    // library can hand the picture out, the view holds it (valid after the next decode).
    bool Planes(int context, PlaneView* view);
    // Releases every context and frees the library (once no picture is held out of it).
    void Release();

    int Width(int context) const;
    int Height(int context) const;

private:
    void LoadHolding();

    using InitFn = int (*)(void*);
    using DecodeFn = int (*)(void*, const uint8_t*, int, uint8_t*, int);
    using ReleaseFn = void (*)(void*);
    using PlanesFn = int (*)(void*, const uint8_t**, int*);
    using HoldPlanesFn = int (*)(void*, const uint8_t**, int*, void**);
    using ReleasePictureFn = void (*)(void*);

    QLibrary m_library;
    PlanesFn m_planes = nullptr;
    HoldPlanesFn m_holdPlanes = nullptr;
    ReleasePictureFn m_releasePicture = nullptr;
    // A second load of the library, shared by the pictures held out of it: the library stays
    // loaded until the last of them is let go, whenever the engine releases it.
    std::shared_ptr<QLibrary> m_keeper;
    std::array<H264Context, kH264Contexts> m_contexts{};
    std::array<bool, kH264Contexts> m_initialised{};
};
