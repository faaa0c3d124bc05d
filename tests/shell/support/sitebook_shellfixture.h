#pragma once
// Site book fixtures on the real main window, for the tests that look at the windows it opens:
// the main window is made after the fixture's fakes and so becomes the hub, and it goes before
// the fixture leaves its program directory.
#include <QStringList>
#include <memory>

#include "shell/mainwindow.h"
#include "shell/support/composedwindow.h"
#include "shell/support/shell_hubfixture.h"
#include "sitebook/support/sitebook_menufixture.h"
#include "sitebook/support/sitebook_treefixture.h"

// The main window keeping the shared message box calls as "title|text|option" instead of
// opening the box, as the site book suite's fake does.
class SiteBookShellHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    QStringList boxCalls;
};

template <class Fixture>
class OnMainWindow : public Fixture
{
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        hub = std::make_unique<ComposedWindow<SiteBookShellHub>>();
        HoldProcessorLoadOff(*hub);
    }
    void TearDown() override
    {
        // The recorders leave the main window's table as the tree deletes them.
        this->tree.reset();
        hub.reset();
        Fixture::TearDown();
    }

    // Hides the fixture's fake: the tests here reach the main window.
    std::unique_ptr<SiteBookShellHub> hub;
};
