#pragma once
// The tile display's host in the player's display benchmarks: every tile plays a file with a
// recorder name and a camera text (so that the OSD draws them), nothing captures for an export,
// drawing goes through the composed road.
#include "ui/cameodisplayhost.h"

class BenchDisplayHost : public CameoDisplayHost
{
public:
    void SetCurrentTile(int) override {}
    bool IsTilePlaying(int) const override { return true; }
    bool ShowCurrentFrame(int) override { return true; }
    std::optional<OsdPlayerText> PlayerText(int) const override
    {
        OsdPlayerText text;
        text.recorderName = QStringLiteral("Depot");
        text.cameraText = QStringLiteral("Gate");
        return text;
    }
    bool CaptureForExport(int, int, const uint8_t*, int, int, int, int, int) override { return false; }
    bool MayCaptureForExport(int, int) const override { return false; }
    bool HoldsPresenting() const override { return false; }
    bool IsDirectDraw() const override { return false; }
};
