#pragma once
// Grid tests against recorders that are logged in: each recorder session connects to a recorder
// simulator of four channels of its own, and grids are shown on screen at a given size. The
// simulators are stopped after the recorders have gone.
#include <QSize>
#include <QStringList>
#include <memory>
#include <vector>

#include "shell/support/grid_dvrsim.h"
#include "shell/support/grid_fixture.h"

class GridOnlineTest : public GridTest
{
protected:
    // A recorder session logged in to a simulator of four channels started with the options;
    // null (with a test failure) when it did not log in.
    CModuleDevice* LoggedInRecorder(const QString& name, const QStringList& options = {});
    // The simulator of a recorder made by LoggedInRecorder, in the same order.
    GridDvrSim* Simulator(int made) const;

    CCameo* ShownGrid(CameoKind kind, int cells, int split, QSize size);
    // A grid before InitCameo, laid out with the split and shown.
    CCameo* ShownFreshGrid(int split, QSize size);

    // Frames the cell counted since the last call.
    static int Counted(CCameo* grid, int cell);

private:
    CCameo* Show(CCameo* grid, QSize size);

    std::vector<std::unique_ptr<GridDvrSim>> m_sims;
};
