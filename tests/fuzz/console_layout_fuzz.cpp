// libFuzzer target for the configuration console's layout reader (ConfigLayoutParser): every
// input is read as a recorder's layout document under four console areas (no area, a small
// centred one, a wide one scaled to the frame, a wide one narrower than the screen), and what it
// yields is checked against the reader's bounds.
//
// The reader keeps nothing between reads, so a finding replays from its file alone.
#include "console/configlayoutparser.h"
#include "fuzz/support/fuzzapplication.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void ReadUnder(const ConsoleArea& area, const QByteArray& document)
{
    ConfigLayoutParser parser(area);
    const ConsoleLayout layout = parser.Read(document);
    Check(layout.elements.size() <= ConsoleLayout::kMaxElements);
    Check(layout.restartZones.size() <= ConsoleLayout::kMaxRestartZones);
    Check(layout.rootAccepted || layout.elements.isEmpty());
    for (const ConsoleElement& e : layout.elements) {
        Check(e.images.size() <= ConsoleLayout::kMaxImages);
        Check(e.images.size() <= e.imageCount);
        Check(e.text.size() <= ConsoleLayout::kMaxText && e.id.size() <= ConsoleLayout::kMaxText);
        for (const ConsoleElement& other : layout.elements)
            Check(&other == &e || other.id != e.id);
    }
    for (const ConsoleElement& e : layout.elements)
        (void)area.ToRecorder(e.rect.center());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), int(size));
    ReadUnder(ConsoleArea(), document);
    ReadUnder(ConsoleArea(0, 0, 800, 600, 800, 600), document);
    ReadUnder(ConsoleArea(0, 40, 1280, 720, 1280, 720), document);
    ReadUnder(ConsoleArea(0, 0, 1280, 720, 1920, 0), document);
    return 0;
}
