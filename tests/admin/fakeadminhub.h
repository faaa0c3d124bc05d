#pragma once
#include "core/adminhub.h"

#include <QList>

// Records what the clients tell the main window.
class FakeAdminHub : public AdminHub
{
public:
    bool IsClosing() const override { return closing; }
    void OnDatabaseServerProbe(bool connected) override { probes.append(connected); }
    void SetValidationConnected(bool connected) override { validationConnected = connected; }

    bool closing = false;
    QList<bool> probes;
    bool validationConnected = false;
};
