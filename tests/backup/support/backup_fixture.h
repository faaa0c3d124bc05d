#pragma once
// The backup suite's fixture: sessions around a fake hub that keeps the shared message box calls
// as "title|text|option".
#include <QStringList>

#include "backup/support/backup_fixture_on.h"
#include "support/fakesessionhub.h"

class BackupTestHub : public FakeSessionHub
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    QStringList boxCalls;
};

using BackupFixture = BackupFixtureOn<BackupTestHub>;
