#pragma once
// The main window as the hub of the fuzz targets that build sessions and site book trees: the
// recorder table and the program directory are the real ones (the program directory a fresh
// temporary folder), and every message box, modal or not, is dropped instead of shown.
#include <QTemporaryDir>

#include <memory>

#include "shell/mainwindow.h"

class QuietHub : public MainWindow
{
public:
    // Builds the hub with a fresh temporary folder as its program directory.
    static QuietHub* Create();

    void ShowMessageBox(const QString&, const QString&, const QString&) override {}
    void ShowModalMessage(const QString&, const QString&) override {}
    void SetFirmwareState(int, int) override {}
    void SetAccountManagerState(int, int) override {}

private:
    QuietHub() = default;
};
