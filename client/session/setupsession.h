#pragma once
// A recorder session as the remote setup, firmware, console and e-map windows see it.
#include <QByteArray>
#include <QString>

class SetupSession
{
public:
    virtual ~SetupSession() = default;

    // ---- configuration and firmware
    virtual void SetConfigData() = 0;
    virtual void SetFirmwareData() = 0;

    // ---- console
    // The console layout the session gathered: at most `size` bytes, up to its ending zero byte.
    virtual QByteArray GetConsoleLayout(int size) const = 0;
    virtual void SendConsoleMode(int value) = 0;
    virtual void RequestConsoleData(int value) = 0;
    virtual void SendMousePos(int x, int y, int button, int flag) = 0;

    // ---- e-map
    virtual QString GetEmapPath() const = 0;
    virtual void SetEmapPath(const QString& path) = 0;
    virtual QString GetCameraEmapPath(int ch) const = 0;
    virtual void SetCameraEmapPath(const QString& path, int camera) = 0;
    virtual float GetCameraOwnX(int ch) const = 0;
    virtual float GetCameraOwnY(int ch) const = 0;
    virtual void SetEmapDevicePos(int camera, float x, float y) = 0;
    virtual void SetEmapCameraPos(int camera, float x, float y) = 0;
};
