#pragma once
// What a video grid needs of the main window, and nothing more: its slot in the grid table, the
// recorders it shows, the shared message box, the side panels that follow its current cell, the
// display switches, the keys held and its owner window's place. The composition root installs
// the client's (ClientGridHost); a grid takes the installed host when it is built (tests give
// their own).
#include <QString>

#include "shell/cameokind.h"
#include "shell/osdflags.h"

class CCameo;
class RecorderSession;

class GridHost
{
public:
    virtual ~GridHost() = default;

    // The grid table the sessions hand their pictures through.
    virtual int GetFreeCameoIndex() const = 0;
    virtual bool AddCameo(int index, CCameo* cameo) = 0;
    virtual bool RemoveCameo(int index) = 0;

    // Recorders: the session at a table index (null when none), by name (-1 when none); a
    // channel is cleared from every grid before a grid shows it.
    virtual RecorderSession* GetDevice(int index) const = 0;
    virtual int FindDeviceByName(const QString& name) const = 0;
    virtual void ClearDeviceCells(int deviceIndex, int channel, int kind) = 0;
    virtual void StopAllAudio() = 0;

    virtual void ShowMessageBox(const QString& title, const QString& text, const QString& option) = 0;
    // A passing notice in the main window's status bar (where a file went, ...).
    virtual void ShowNotice(const QString& text) = 0;
    virtual QString ProgramDirectory() const = 0;

    // The grid that acts on the side panels, and the one a favorite opens in.
    virtual void SetActiveCameoIndex(int index) = 0;
    virtual void SetFavoriteCameoIndex(int index) = 0;
    // The adjust panel shows the current cell's values.
    virtual void ShowAdjustValues(int brightness, int contrast, int frameRate) = 0;
    virtual void ShowCameraControl(int deviceIndex, int channel, int cameoIndex) = 0;
    virtual void SetPtzCameo(int deviceIndex, int channel) = 0;
    // A favorite of the grid goes into the site book ("live" or "search").
    virtual void AddGridFavorite(const QString& kind, int split, int first, const QString& names,
                                 const QString& channels) = 0;

    // The six display switches every grid shares.
    virtual OsdFlags GetOsdFlags() const = 0;
    virtual void SetOsdFlag(OsdFlag flag, quint8 value) = 0;

    virtual bool IsCtrlHeld() const = 0;
    virtual bool IsShiftHeld() const = 0;

    // The window that owns a grid of that kind, by its slot: popped out of the multi-document
    // area, and moved out or back.
    virtual bool IsGridOwnerPopup(CameoKind kind, int slot) const = 0;
    virtual void ToggleGridOwnerPopup(CameoKind kind, int slot) = 0;

    static GridHost* Instance();
    static void Install(GridHost* host);
};
