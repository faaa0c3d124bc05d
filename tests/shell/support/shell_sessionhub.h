#pragma once
// The real main window as the hub of session tests that need its grids, its audio output or its
// processor-load rule; it records message box calls and the account and firmware manager codes
// instead of opening windows.
#include <QByteArray>
#include <functional>
#include <vector>

#include "shell/mainwindow.h"
#include "support/boxcall.h"

class ShellSessionHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls.push_back({title, text, option});
        if (onBox)
            onBox(boxCalls.back());
    }
    void SetFirmwareState(int, int code) override { firmwareCodes.push_back(code); }
    void SetAccountManagerState(int, int code) override { accountCodes.push_back(code); }
    // The processor counter reads idle from the next tick on.
    void ReadIdleProcessor()
    {
        SetCpuLoad(platform::CpuLoad([] { return QByteArray("cpu  0 0 0 1000 0 0 0 0 0 0\n"); }));
    }

    std::vector<BoxCall> boxCalls;
    std::function<void(const BoxCall&)> onBox;
    std::vector<int> firmwareCodes;
    std::vector<int> accountCodes;
};
