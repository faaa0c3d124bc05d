#pragma once
// The hub of the fuzz targets that build sessions: the fake session hub (the real recorder
// table, a fresh temporary folder as the program directory) with every message box dropped
// instead of kept.
#include <QString>

#include "support/fakesessionhub.h"

// While it lives, the working directory is the fuzz run's program directory, a temporary folder
// that lasts as long as the process (sessions make their recording folders in it). A hub takes
// the working directory as its program directory when it is built; the previous one is then
// given back, where libFuzzer finds its corpus folders.
class FuzzProgramDirectory
{
public:
    FuzzProgramDirectory();
    ~FuzzProgramDirectory();
    FuzzProgramDirectory(const FuzzProgramDirectory&) = delete;
    FuzzProgramDirectory& operator=(const FuzzProgramDirectory&) = delete;

private:
    QString m_previous;
};

class QuietHub : public FakeSessionHub
{
public:
    // Builds the hub with a fresh temporary folder as its program directory.
    static QuietHub* Create();

    void ShowMessageBox(const QString&, const QString&, const QString&) override {}
    void SetFirmwareState(int, int) override {}
    void SetAccountManagerState(int, int) override {}

protected:
    QuietHub() = default;
};
