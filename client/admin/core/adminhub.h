#pragma once
// What the central-server and validation clients need of the main window. MainWindow implements
// it; tests pass a fake.

class AdminHub
{
public:
    virtual ~AdminHub() = default;
    // True from the first step of the main window's close: queued requests are then dropped.
    virtual bool IsClosing() const = 0;
    // The answer of the "/about" probe: whether the central server answered.
    virtual void OnDatabaseServerProbe(bool connected) = 0;
    // Mirrors the validation connection; the account tree's menu opens only while it is true.
    virtual void SetValidationConnected(bool connected) = 0;
};
