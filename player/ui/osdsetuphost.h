#pragma once
// What the OSD setup dialog needs: the engine's OSD options, read and stored as one set, a redraw
// of every tile, language texts and the colour chooser. The main dialog implements it over the
// video engine; tests give a fake.
#include "engine/hplivecontrol.h"

#include <QString>

class OsdSetupHost
{
public:
    virtual ~OsdSetupHost() = default;

    virtual OsdOptions GetOsdOptions() const = 0;
    virtual void SetOsdOptions(const OsdOptions& options) = 0;
    virtual void RedrawAll() = 0;
    virtual QString Text(const QString& key) const = 0;
    // The chosen colour (0xRRGGBB) in *chosen; false when the chooser was cancelled.
    virtual bool ChooseColour(int current, int* chosen) = 0;
};
