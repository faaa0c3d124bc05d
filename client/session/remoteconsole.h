#pragma once
// What a recorder session calls of the open configuration console window. The session calls
// only while it is logged in and the console shows its recorder (SessionHub::ConsoleDeviceIndex).
// The console window implements it; the hub hands it out (SessionHub::GetConfigView).
class RemoteConsole
{
public:
    virtual ~RemoteConsole() = default;

    // The recorder granted the console (its settings file has arrived): enter console mode and
    // ask for the first layout.
    virtual void startRemoteConsole() = 0;
    // The recorder refused the console: leave console mode.
    virtual void stopRemoteConsole() = 0;
    // A whole layout is in the session's console buffer.
    virtual void OnRecvGuiData(int size, int originX, int originY, int width, int height, int resolutionWidth,
                               int resolutionHeight) = 0;
    virtual void OnAsyncEvent() = 0;
    virtual void OnConsoleLockCanceled() = 0;
    virtual void OnDisconnected() = 0;
};
