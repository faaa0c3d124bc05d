// The docks, the menu bar and the multi-document area's tab actions of the main window.
#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>

#include <memory>

#include "platform/cpuload.h"
#include "platform/process.h"
#include "shell/childwindowslots.h"
#include "shell/mainwindow.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

QStringList Texts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (QAction* a : actions)
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QMenu* TopMenu(MainWindow* hub, const QString& title)
{
    for (QAction* a : hub->menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

QAction* Entry(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

} // namespace

TEST_F(MainWinTest, SevenDocksWithTheirTitlesOnTheLeft)
{
    StartHub();
    const QList<QDockWidget*>& docks = hub->DockWidgets();
    QStringList titles;
    for (QDockWidget* d : docks) {
        titles << d->windowTitle();
        EXPECT_EQ(d->objectName(), d->windowTitle());
        EXPECT_EQ(d->allowedAreas(), Qt::AllDockWidgetAreas);
        EXPECT_EQ(hub->dockWidgetArea(d), Qt::LeftDockWidgetArea) << qPrintable(d->windowTitle());
    }
    EXPECT_EQ(titles, MainWinDockTitles());
    ASSERT_EQ(docks.size(), 7);

    // The site book tree fills the first dock, without a header.
    auto* tree = qobject_cast<SiteBookTreeWidget*>(docks[0]->widget());
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree, hub->GetSiteBookTree());
    EXPECT_TRUE(tree->isHeaderHidden());

    // The panels keep their fixed sizes; only "Screen Split" starts hidden.
    for (int i = 1; i < 7; ++i) {
        const QSize expected = (i == 6) ? QSize(315, 70) : QSize(315, 153);
        ASSERT_NE(docks[i]->widget(), nullptr);
        EXPECT_EQ(docks[i]->widget()->minimumSize(), expected) << i;
        EXPECT_EQ(docks[i]->widget()->maximumSize(), expected) << i;
        EXPECT_EQ(docks[i]->isHidden(), i == 1) << qPrintable(docks[i]->windowTitle());
    }
    EXPECT_FALSE(docks[0]->isHidden());

    // P/T/Z, Alarm Out and MicroPhone are tabs beside Adjust.
    const QList<QDockWidget*> beside = hub->tabifiedDockWidgets(docks[2]);
    EXPECT_TRUE(beside.contains(docks[3]));
    EXPECT_TRUE(beside.contains(docks[4]));
    EXPECT_TRUE(beside.contains(docks[5]));
    EXPECT_FALSE(beside.contains(docks[6]));
}

TEST_F(MainWinTest, MenuBarHoldsTheFourMenus)
{
    StartHub();
    EXPECT_EQ(hub->menuBar()->objectName(), QStringLiteral("menuBar1"));
    EXPECT_EQ(Texts(hub->menuBar()->actions()), (QStringList{"&View", "Tool bar", "&Window", "Setup"}));
    EXPECT_EQ(Texts(TopMenu(hub.get(), "&View")->actions()),
              (QStringList{"Live View", "Search View", "Local Backup", "Emap View", "Remote Backup",
                           "Backup Player", "Config View", "Information", "-", "&Quit"}));
    QStringList bars = QStringList{"Tool Bar", "-"} + MainWinDockTitles() + QStringList{"-", "Default"};
    EXPECT_EQ(Texts(TopMenu(hub.get(), "Tool bar")->actions()), bars);
    EXPECT_EQ(Texts(TopMenu(hub.get(), "&Window")->actions()),
              (QStringList{"FullScreen Mode", "-", "Next View", "Prev View"}));
    EXPECT_EQ(Texts(TopMenu(hub.get(), "Setup")->actions()), (QStringList{"Email Setup", "Validation"}));
    EXPECT_GT(hub->MenuBarHeight(), 0);
}

// Entries whose window this client does not have yet are shown greyed, so that no click of the
// user is swallowed without a sign; every other entry stays enabled. The backup player's entry
// follows its program, which the build may or may not have put beside the tests.
TEST_F(MainWinTest, MenuEntriesWaitingForTheirWindowsAreGreyed)
{
    StartHub();
    const bool player = hub->IsBackupPlayerPresent();
    struct Case
    {
        const char* menu;
        const char* entry;
        bool enabled;
    };
    const Case cases[] = {
        {"&View", "Live View", true},         {"&View", "Search View", true},   {"&View", "Emap View", true},
        {"&View", "Local Backup", true},      {"&View", "Remote Backup", true}, {"&View", "Backup Player", player},
        {"&View", "Config View", true},       {"&View", "Information", true},   {"&View", "&Quit", true},
        {"&Window", "FullScreen Mode", true}, {"&Window", "Next View", true},   {"Setup", "Email Setup", true},
    };
    for (const Case& c : cases) {
        QAction* entry = Entry(TopMenu(hub.get(), c.menu), c.entry);
        ASSERT_NE(entry, nullptr) << c.entry;
        EXPECT_EQ(entry->isEnabled(), c.enabled) << c.entry;
    }
}

TEST_F(MainWinTest, ToolBarMenuEntriesToggleTheirDock)
{
    StartHub();
    QMenu* bars = TopMenu(hub.get(), "Tool bar");
    QDockWidget* adjust = hub->DockWidgets()[2];
    QDockWidget* split = hub->DockWidgets()[1];

    Entry(bars, "Adjust")->trigger();
    EXPECT_TRUE(adjust->isHidden());
    Entry(bars, "Adjust")->trigger();
    EXPECT_FALSE(adjust->isHidden());

    Entry(bars, "Screen Split")->trigger();
    EXPECT_FALSE(split->isHidden());

    // "Default" matches no dock; it brings back the layout of the start.
    Entry(bars, "P/T/Z")->trigger();
    EXPECT_TRUE(hub->DockWidgets()[3]->isHidden());
    Entry(bars, "Default")->trigger();
    EXPECT_TRUE(split->isHidden());
    EXPECT_FALSE(hub->DockWidgets()[3]->isHidden());
    EXPECT_FALSE(adjust->isHidden());
}

TEST_F(MainWinTest, QuitClosesTheMainWindow)
{
    StartHub();
    hub->show();
    Entry(TopMenu(hub.get(), "&View"), "&Quit")->trigger();
    EXPECT_TRUE(hub->IsClosing());
    EXPECT_FALSE(hub->isVisible());
}

TEST_F(MainWinTest, MultiDocumentAreaAndItsTabActions)
{
    StartHub();
    QMdiArea* area = hub->GetMdiArea();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(hub->centralWidget(), area);
    EXPECT_EQ(area->viewMode(), QMdiArea::SubWindowView);
    EXPECT_TRUE(area->tabsClosable());
    EXPECT_TRUE(area->tabsMovable());
    EXPECT_EQ(area->background().color(), QColor(40, 40, 40));
    EXPECT_EQ(area->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_FALSE(hub->statusBar()->isVisibleTo(hub.get()));

    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts << hub->TabAction(i)->text();
    EXPECT_EQ(texts, (QStringList{"Windows Mode", "NormalScreen Mode", "Popup Mode", "Close"}));
    EXPECT_EQ(hub->TabAction(4), nullptr);

    // "Windows Mode" brings the tabbed area back to sub-windows.
    hub->SetupTabBar(false);
    EXPECT_EQ(area->viewMode(), QMdiArea::TabbedView);
    ASSERT_NE(hub->GetTabBar(), nullptr);
    EXPECT_EQ(hub->GetTabBar()->contextMenuPolicy(), Qt::CustomContextMenu);
    hub->TabAction(0)->trigger();
    EXPECT_EQ(area->viewMode(), QMdiArea::SubWindowView);
    EXPECT_TRUE(hub->IsSubWindowView());
    EXPECT_EQ(hub->GetTabBar(), nullptr);
}

TEST_F(MainWinTest, InformationShowsTheVersion)
{
    StartHub();
    WatchBoxes([this] { hub->exeInfoView(); });
    EXPECT_EQ(boxes, (QStringList{"ZENT Information|Velumar (Ver 1.0.3.4)\nBuild number 1.0"}));
}

// The local backup window is reached from the View menu, beside the other window kinds; a third
// request finds both of its slots taken.
TEST_F(MainWinTest, LocalBackupEntryOpensTheLocalBackupWindow)
{
    StartHub();
    QAction* entry = Entry(TopMenu(hub.get(), "&View"), "Local Backup");
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->icon().isNull());
    ChildWindowSlots* localSlots = hub->SearchLocalViewSlots();
    EXPECT_EQ(localSlots->Window(0), nullptr);
    entry->trigger();
    ASSERT_NE(localSlots->Window(0), nullptr);
    EXPECT_EQ(localSlots->Window(0)->windowTitle(), QStringLiteral("Backup Player"));
    entry->trigger();
    EXPECT_NE(localSlots->Window(1), nullptr);
    EXPECT_EQ(hub->exeSearchLocalView(), -1);
}

// The backup player's entry is greyed while its program is missing and comes alive when the
// program appears; a start that finds it missing says so on the status bar, where it looked.
TEST_F(MainWinTest, BackupPlayerEntryFollowsItsProgram)
{
    StartHub();
    // Only the test's program directory is looked at, not the folder of the built player.
    hub->SetPlayerLookup([this] { return platform::Process::FindProgramIn("Orvane.exe", {programDir.path()}); });
    QMenu* view = TopMenu(hub.get(), "&View");
    QAction* entry = Entry(view, "Backup Player");
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->isEnabled());

    hub->exeOrvane();
    const QString notice = hub->statusBar()->currentMessage();
    EXPECT_TRUE(notice.contains(QStringLiteral("Backup Player is not available"))) << qPrintable(notice);
    EXPECT_TRUE(notice.contains(QStringLiteral("orvane"))) << qPrintable(notice);
    EXPECT_TRUE(notice.contains(QDir::toNativeSeparators(programDir.path()))) << qPrintable(notice);

    WriteFile("orvane", "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(QFile::setPermissions(Path("orvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    emit view->aboutToShow();
    EXPECT_TRUE(entry->isEnabled());
}

// Above 70 % processor load live video drops to key frames; the status bar says so while the
// rule holds (until the load falls below 50 %) and the text goes with it.
TEST_F(MainWinTest, ProcessorLoadRuleIsShownWhileItHolds)
{
    StartHub();
    // Each sample adds 100 ticks, of which `idle` are idle: the load is 100 - idle.
    auto idle = std::make_shared<int>(100);
    auto total = std::make_shared<quint64>(0);
    auto idleSum = std::make_shared<quint64>(0);
    hub->SetCpuLoad(platform::CpuLoad([idle, total, idleSum] {
        *total += 100;
        *idleSum += quint64(*idle);
        return QByteArrayLiteral("cpu  ") + QByteArray::number(*total - *idleSum) + " 0 0 "
               + QByteArray::number(*idleSum) + " 0 0 0 0 0 0\n";
    }));
    struct Step
    {
        int load;
        bool shown;
    };
    const Step steps[] = {{20, false}, {70, false}, {85, true}, {60, true}, {50, true}, {40, false}, {71, true}};
    for (const Step& s : steps) {
        *idle = 100 - s.load;
        hub->OnTimerGetCPU();
        EXPECT_EQ(hub->GetProcessorLoad(), s.load);
        EXPECT_EQ(hub->IsProcessorLoadRuleShown(), s.shown) << s.load;
        const QString text = hub->statusBar()->currentMessage();
        EXPECT_EQ(text.contains(QStringLiteral("key frames only")), s.shown) << s.load << " " << qPrintable(text);
        if (s.shown) {
            EXPECT_TRUE(text.startsWith(QStringLiteral("Processor load %1 %").arg(s.load))) << qPrintable(text);
        }
    }
}
