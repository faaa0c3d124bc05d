#pragma once
// What the tiles' display is handed in tests: a host with no tile playing and nothing to show or
// capture, and solid 32-bit pictures (bytes in B, G, R, A order, as the engine hands them over).
#include "ui/cameodisplayhost.h"

#include <QColor>

#include <cstdint>
#include <optional>
#include <vector>

class QuietDisplayHost : public CameoDisplayHost
{
public:
    void SetCurrentTile(int) override {}
    bool IsTilePlaying(int) const override { return false; }
    bool ShowCurrentFrame(int) override { return false; }
    std::optional<OsdPlayerText> PlayerText(int) const override { return std::nullopt; }
    bool CaptureForExport(int, int, const uint8_t*, int, int, int, int, int) override { return false; }
    bool HoldsPresenting() const override { return false; }
    bool IsDirectDraw() const override { return false; }
};

inline std::vector<uint8_t> SolidPicture(int width, int height, QRgb colour)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < bytes.size(); i += 4) {
        bytes[i] = static_cast<uint8_t>(qBlue(colour));
        bytes[i + 1] = static_cast<uint8_t>(qGreen(colour));
        bytes[i + 2] = static_cast<uint8_t>(qRed(colour));
        bytes[i + 3] = 255;
    }
    return bytes;
}
