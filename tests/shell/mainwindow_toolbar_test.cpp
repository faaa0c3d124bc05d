// The main window's tool bar: its buttons, its placement menu, its style sheet and what its
// buttons ask of the hub.
#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/mainwin_fixture.h"
#include "shell/toolbar.h"

namespace {

class MainWinToolBar : public MainWinTest
{
protected:
    void Start()
    {
        StartHub();
        hub->show();
        ASSERT_EQ(hub->ToolBars().size(), 1);
        bar = qobject_cast<ToolBar*>(hub->ToolBars().first());
        ASSERT_NE(bar, nullptr);
    }

    QAction* Button(const QString& text) const
    {
        for (QAction* a : bar->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }

    QAction* Placement(const QString& text) const
    {
        for (QAction* a : bar->Menu()->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }

    QStringList Checked() const
    {
        QStringList checked;
        for (QAction* a : bar->Menu()->actions()) {
            if (a->isCheckable() && a->isChecked() && a != bar->toggleViewAction())
                checked << a->text();
        }
        return checked;
    }

    ToolBar* bar = nullptr;
};

} // namespace

TEST_F(MainWinToolBar, ButtonsInOrder)
{
    Start();
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Tool Bar"));
    EXPECT_EQ(bar->objectName(), QStringLiteral("Tool Bar"));
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));
    EXPECT_EQ(hub->toolBarArea(bar), Qt::TopToolBarArea);
    QStringList texts;
    for (QAction* a : bar->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts,
              (QStringList{"Live View", "Remote Search View", "Local Backup", "Emap View", "Remote Backup",
                           "Backup Player", "DVR Config View", "ZENT Information", "-", "Split - 1", "Split - 4",
                           "Split - 9", "Split - 16", "Split - 25", "Split - 36", "Split - 49", "Split - 64"}));
}

// Buttons whose window this client does not have yet are shown greyed; the others work.
TEST_F(MainWinToolBar, ButtonsWaitingForTheirWindowsAreGreyed)
{
    Start();
    QStringList greyed;
    // The backup player's button follows its program, which the build may have put beside the tests.
    if (!hub->IsBackupPlayerPresent())
        greyed << QStringLiteral("Backup Player");
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        EXPECT_EQ(a->isEnabled(), !greyed.contains(a->text())) << qPrintable(a->text());
    }
}

TEST_F(MainWinToolBar, ItsMenuHeadsTheToolBarMenu)
{
    Start();
    QMenu* menu = nullptr;
    for (QAction* top : hub->menuBar()->actions()) {
        if (top->text() == QLatin1String("Tool bar"))
            menu = top->menu();
    }
    ASSERT_NE(menu, nullptr);
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions().first()->menu(), bar->Menu());
    EXPECT_EQ(bar->Menu()->title(), QStringLiteral("Tool Bar"));

    QStringList texts;
    for (QAction* a : bar->Menu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts, (QStringList{"Tool Bar", "-", "Place on Left", "Place on Right", "Place on Top",
                                  "Place on Bottom", "-"}));
}

TEST_F(MainWinToolBar, PlacementMovesTheBarAndIsCheckedWhereItLies)
{
    Start();
    Placement("Place on Left")->trigger();
    EXPECT_EQ(hub->toolBarArea(bar), Qt::LeftToolBarArea);
    emit bar->Menu()->aboutToShow();
    EXPECT_EQ(Checked(), QStringList{"Place on Left"});
    for (const char* text : {"Place on Left", "Place on Right", "Place on Top", "Place on Bottom"})
        EXPECT_TRUE(Placement(text)->isEnabled()) << text;

    // The area where it already lies keeps it there.
    Placement("Place on Left")->trigger();
    EXPECT_EQ(hub->toolBarArea(bar), Qt::LeftToolBarArea);
    emit bar->Menu()->aboutToShow();
    EXPECT_EQ(Checked(), QStringList{"Place on Left"});

    // A placement slot told "false" changes nothing.
    bar->placeBottom(false);
    EXPECT_EQ(hub->toolBarArea(bar), Qt::LeftToolBarArea);
    bar->placeBottom(true);
    EXPECT_EQ(hub->toolBarArea(bar), Qt::BottomToolBarArea);
    emit bar->Menu()->aboutToShow();
    EXPECT_EQ(Checked(), QStringList{"Place on Bottom"});
}

TEST_F(MainWinToolBar, HiddenAndShownAgainKeepsAreaAndButtons)
{
    Start();
    bar->placeRight(true);
    const int buttons = bar->actions().size();
    bar->toggleViewAction()->trigger();
    EXPECT_TRUE(bar->isHidden());
    bar->toggleViewAction()->trigger();
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(hub->toolBarArea(bar), Qt::RightToolBarArea);
    EXPECT_EQ(bar->actions().size(), buttons);

    // The hub's own toggle does the same.
    hub->ShowToolBarManu();
    EXPECT_TRUE(bar->isHidden());
    hub->ShowToolBarManu();
    EXPECT_FALSE(bar->isHidden());
}

TEST_F(MainWinToolBar, StyleSheetFromTheQssFolder)
{
    WriteFile("qss/toolbar.qss", "QToolBar { background: #10\xe9\x30; }");
    Start();
    EXPECT_EQ(bar->styleSheet(), QString::fromLatin1("QToolBar { background: #10\xe9\x30; }"));
}

TEST_F(MainWinToolBar, WithoutStyleSheetTheDefaultLook)
{
    Start();
    EXPECT_TRUE(bar->styleSheet().isEmpty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainWinToolBar, LiveViewButtonOpensLiveWindowsAndSplitButtonsReachTheActiveGrid)
{
    Start();
    Button("Live View")->trigger();
    ASSERT_EQ(hub->GetMdiArea()->subWindowList().size(), 1);
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr);
    CCameo* grid = view->GetCameo();
    ASSERT_NE(grid, nullptr);
    hub->Sessions()->SetActiveCameoIndex(grid->GetCameoIndex());

    const struct
    {
        const char* button;
        int split;
    } splits[] = {{"Split - 1", 1},   {"Split - 4", 4},   {"Split - 9", 9},   {"Split - 16", 16},
                  {"Split - 25", 25}, {"Split - 36", 36}, {"Split - 49", 49}, {"Split - 64", 64}};
    for (const auto& s : splits) {
        Button(s.button)->trigger();
        EXPECT_EQ(grid->GetSplit(), s.split) << s.button;
    }

    // Without an active grid the split buttons do nothing.
    hub->Sessions()->SetActiveCameoIndex(-1);
    Button("Split - 4")->trigger();
    EXPECT_EQ(grid->GetSplit(), 64);
}

TEST_F(MainWinToolBar, FullScreenHidesTheBarAndBringsItBack)
{
    Start();
    hub->FullScreenWindows();
    EXPECT_TRUE(bar->isHidden());
    hub->FullScreenWindows();
    EXPECT_FALSE(bar->isHidden());

    // A bar the user had hidden stays hidden.
    bar->hide();
    hub->FullScreenWindows();
    hub->FullScreenWindows();
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(MainWinToolBar, InformationButtonShowsTheVersion)
{
    Start();
    WatchBoxes([this] { Button("ZENT Information")->trigger(); });
    EXPECT_EQ(boxes, (QStringList{"ZENT Information|Velumar (Ver 1.0.3.4)\nBuild number 1.0"}));
}

TEST_F(MainWinToolBar, ButtonWithoutPictureShowsItsText)
{
    Start();
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        ASSERT_NE(button, nullptr) << qPrintable(a->text());
        const Qt::ToolButtonStyle expected = a->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly;
        EXPECT_EQ(button->toolButtonStyle(), expected) << qPrintable(a->text());
    }
}

// The local backup window has a button of its own, with its own picture, beside the remote one.
TEST_F(MainWinToolBar, LocalBackupButtonOpensTheLocalBackupWindow)
{
    Start();
    QAction* button = Button("Local Backup");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_NE(button->icon().pixmap(32).toImage(), Button("Backup Player")->icon().pixmap(32).toImage());
    button->trigger();
    QWidget* window = hub->SearchLocalViewSlots()->Window(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Backup Player"));
}
