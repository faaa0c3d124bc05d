// The site book on the real main window: what its double clicks and quick menu open there.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/liveview.h"
#include "shell/support/sitebook_shellfixture.h"
#include "sitebook/support/sitebook_doubleclick.h"
#include "sitebook/support/sitebook_recorderfixture.h"

namespace {

QTreeWidgetItem* Plain(QTreeWidgetItem* parent, const QString& kind, const QString& name)
{
    return AddPlainItem(parent, kind, name);
}

using SiteBookDoubleClickTest = SiteBookDoubleClickOn<OnMainWindow<SiteBookTreeTest>>;

TEST_F(SiteBookDoubleClickTest, AFavoriteOpensInALiveWindowWithItsLayout)
{
    QTreeWidgetItem* favorite = Plain(tree->GetFavoritesRoot(), QStringLiteral("favorites_item"),
                                      QStringLiteral("Night"));
    SiteBook::FromItem(favorite)->cameomode = QStringLiteral("902");
    Show();
    DoubleClick(favorite);
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr) << "a live window opened";
    EXPECT_EQ(view->GetCameo()->GetSplit(), 9);
}

TEST_F(SiteBookDoubleClickTest, EmptySpaceAndPlainItemsOpenNothing)
{
    QTreeWidgetItem* archive = Plain(AddRecorder(QStringLiteral("Gate")), QStringLiteral("archive"),
                                     QStringLiteral("Archive"));
    Show();
    DoubleClick(archive);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 390));
    EXPECT_EQ(hub->LiveViewSlots()->Window(0), nullptr);
    EXPECT_TRUE(tree->PendingPlayerCommand().isEmpty());
}

using SiteBookRecorderTest = SiteBookRecorderTestOn<OnMainWindow<SiteBookMenuTest>>;

// The backup entries of a connected recorder's menu ask its session for the matching window,
// which opens titled with the recorder's name.
TEST_F(SiteBookRecorderTest, BackupEntriesAskTheSessionForTheirWindow)
{
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim);
    ASSERT_TRUE(gate);
    const auto shownTitles = [] {
        QStringList titles;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                titles << w->windowTitle();
        }
        return titles;
    };
    for (const BackupEntry& c : kGateBackupEntries) {
        EXPECT_FALSE(shownTitles().contains(QLatin1String(c.title))) << c.entry;
        QAction* action = MenuEntry(gate, QLatin1String(c.entry));
        ASSERT_TRUE(action) << c.entry;
        action->trigger();
        const QStringList shown = shownTitles();
        EXPECT_TRUE(shown.contains(QLatin1String(c.title))) << c.entry << " " << shown.join(", ").toStdString();
    }
}

// "Live" of the quick menu: the recorder connects (it is not logged in yet) and a live window
// shows its channels once the login completes.
TEST_F(SiteBookRecorderTest, LiveFromTheMenuShowsTheRecordersChannelsInALiveWindow)
{
    SiteBookDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    PointAt(gate);
    tree->liveStartAct();

    LiveView* view = hub->GetActiveLiveView();
    if (!view)
        view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr) << "no live window was opened";
    CCameo* grid = view->GetCameo();
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(WaitFor([gate] { return gate->IsLoggedIn(); }));
    ASSERT_TRUE(WaitFor([&] {
        for (int ch = 0; ch < 4; ++ch) {
            const CameoCell cell = grid->GetCell(ch);
            if (cell.recorder != gate->GetDeviceIndex() || cell.channel != ch)
                return false;
        }
        return true;
    })) << "the recorder's channels were not placed in the grid";
    EXPECT_EQ(gate->GetCameoRoute(0)->liveGrid.load(), grid->GetCameoIndex());
}

// A connected recorder's menu opens its network status pop-up, set to that recorder.
TEST_F(SiteBookRecorderTest, NetworkStatusEntryOpensThePopUpOfTheRecorder)
{
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim);
    ASSERT_TRUE(gate);
    QAction* action = EnabledMenuEntry(gate, QStringLiteral("Network Status"));
    ASSERT_TRUE(action);
    QString seen;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&seen] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            seen = dialog->windowTitle();
            dialog->reject();
        }
    });
    closer.start();
    action->trigger();
    closer.stop();
    EXPECT_EQ(seen, QStringLiteral("Network Status"));
}

} // namespace
