#pragma once
// The backup fixture around the real main window, for the remote backup window it makes and
// keeps; its shared message box calls are kept as "title|text|option", not shown.
#include <QStringList>

#include "backup/support/backup_fixture_on.h"
#include "shell/mainwindow.h"
#include "shell/support/composedwindow.h"

class ShellBackupHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    QStringList boxCalls;
};

using BackupFixture = BackupFixtureOn<ComposedWindow<ShellBackupHub>>;
