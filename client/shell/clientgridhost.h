#pragma once
// What the client's grids reach of the program: the grid and recorder tables of the recorder hub,
// and of the main window the shared message box, the side panels that follow a grid's current
// cell, the display switches, the keys held and the windows that own the grids. The composition
// root makes it and installs it.
#include "shell/gridhost.h"

class ClientSessionHub;
class MainWindow;

class ClientGridHost : public GridHost
{
public:
    ClientGridHost(ClientSessionHub& sessions, MainWindow& window);

    int GetFreeCameoIndex() const override;
    bool AddCameo(int index, CCameo* cameo) override;
    bool RemoveCameo(int index) override;

    RecorderSession* GetDevice(int index) const override;
    int FindDeviceByName(const QString& name) const override;
    void ClearDeviceCells(int deviceIndex, int channel, int kind) override;
    void StopAllAudio() override;

    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;
    void ShowNotice(const QString& text) override;
    QString ProgramDirectory() const override;

    void SetActiveCameoIndex(int index) override;
    void SetFavoriteCameoIndex(int index) override;
    void ShowAdjustValues(int brightness, int contrast, int frameRate) override;
    // Binds the camera control pop-up to a grid cell's camera and shows it.
    void ShowCameraControl(int deviceIndex, int channel, int cameoIndex) override;
    // The grid's chosen camera for the pan/tilt/zoom panel ((-1, -1) for none).
    void SetPtzCameo(int deviceIndex, int channel) override;
    void AddGridFavorite(const QString& kind, int split, int first, const QString& names,
                         const QString& channels) override;

    OsdFlags GetOsdFlags() const override;
    void SetOsdFlag(OsdFlag flag, quint8 value) override;

    bool IsCtrlHeld() const override;
    bool IsShiftHeld() const override;

    bool IsGridOwnerPopup(CameoKind kind, int slot) const override;
    void ToggleGridOwnerPopup(CameoKind kind, int slot) override;

private:
    ClientSessionHub& m_sessions;
    MainWindow& m_window;
};
