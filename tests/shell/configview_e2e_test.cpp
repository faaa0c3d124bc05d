// End to end: the main window starts against the recorder simulator; the operator opens the
// configuration console from the View menu and drops the recorder on it from the site book. The
// recorder's menu appears with its channel live behind it; presses and releases reach the
// recorder in its coordinates and change its page; the shutdown page's restart buttons follow
// the recorder's settings; a recorder that refuses the console, and one that is offline, are
// reported. With ZENT_CONSOLE_SHOTS set to a folder, pictures of each step are saved there
// (for a look under a real display).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "console/configview.h"
#include "console/consolelivelink.h"
#include "console/support/consolestream.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/mainwin_fixture.h"
#include "shell/support/shell_hubfixture.h"
#include "sitebook/sitebooktreewidget.h"
#include "widgets/messagedlg.h"

namespace {

constexpr int kLimitMs = 30000;

class ConfigViewE2E : public MainWinTest
{
protected:
    // Starts the simulator and the main window with the simulator's recorder in the site book.
    void StartWith(const QStringList& options, bool offline = false)
    {
        sim = std::make_unique<GridDvrSim>(options);
        const QString error = sim->Start();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        const QByteArray port = offline ? QByteArray("1") : QByteArray::number(sim->Port());
        WriteFile(QStringLiteral("sitebook.xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
                  "    <device name=\"Console DVR\" addr=\"127.0.0.1\" port=\""
                      + port + "\" id=\"admin\" password=\"1234\"/>\n</zent>\n");
        StartHub();
        ASSERT_TRUE(hub);
        hub->show();
        recorder = hub->Sessions()->FindDeviceByName(QStringLiteral("Console DVR"));
        ASSERT_GE(recorder, 0);
        device = static_cast<CModuleDevice*>(hub->Sessions()->GetDevice(recorder));
    }

    // "Config View" of the View menu, then the recorder dragged from the site book onto it.
    void OpenAndDrop()
    {
        QAction* entry = nullptr;
        for (QAction* top : hub->menuBar()->actions())
            if (top->text() == QLatin1String("&View"))
                for (QAction* a : top->menu()->actions())
                    if (a->text() == QLatin1String("Config View"))
                        entry = a;
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        view = hub->GetConsoleWindow();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        EXPECT_EQ(view->size(), QSize(1000, 680));
        // What the site book's drag of the recorder carries.
        std::unique_ptr<QMimeData> dragged(hub->GetSiteBookTree()->DragData(device));
        ASSERT_NE(dragged, nullptr);
        QMimeData& mime = *dragged;
        QDragEnterEvent enter(QPoint(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drop);
        ASSERT_TRUE(drop.isAccepted());
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Config Viewer : Console DVR-127.0.0.1"));
    }

    // A left click in the window; the recorder ignores presses less than 500 ms apart, so the
    // click waits until that long has passed since the last one.
    void Click(const QPoint& at)
    {
        if (sinceClick.isValid()) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return sinceClick.elapsed() > 600; }, kLimitMs));
        }
        QWidget* target = view->childAt(at) ? view->childAt(at) : view.data();
        const QPoint local = target->mapFrom(view, at);
        QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, local);
        QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local);
        sinceClick.start();
    }

    QList<QJsonObject> Events(const QString& name) const { return sim->Events(name); }

    bool PageShows(const QString& id) const { return view && view->consoleWidget(id) != nullptr; }

    void Shot(const QString& name)
    {
        const QString folder = qEnvironmentVariable("ZENT_CONSOLE_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0);
        if (picture.isNull() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            picture = view ? view->grab() : hub->grab();
        picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    // Records every message box, takes a picture while it is open, then closes it.
    std::unique_ptr<BoxWatcher> WatchAndShoot(const QString& name)
    {
        return std::make_unique<BoxWatcher>([this, name](MessageDlg* box, const BoxSample& sample) {
            // One shared box shows the steps of a connection one after the other.
            const QString seen = QString::number(sample.id) + QLatin1Char('|') + sample.text;
            if (!sample.visible || seenBoxes.contains(seen))
                return;
            seenBoxes.insert(seen);
            boxes << sample.title + QLatin1Char('|') + sample.text;
            if (!qEnvironmentVariableIsEmpty("ZENT_CONSOLE_SHOTS")) {
                // The picture shows the box once the display has drawn it.
                if (QTest::qWaitForWindowExposed(box, 5000)) {
                    box->repaint();
                    QCoreApplication::processEvents();
                }
                Shot(name + QString::number(seenBoxes.size()));
            }
            // A box that waits for the recorder stays until the answer replaces its text.
            if (sample.text.startsWith(QLatin1String("Information Loading"))
                || sample.text.startsWith(QLatin1String("Network Connecting")))
                return;
            box->done(0);
        });
    }

    std::unique_ptr<GridDvrSim> sim;
    int recorder = -1;
    CModuleDevice* device = nullptr;
    QPointer<ConfigView> view;
    QElapsedTimer sinceClick;
    QSet<QString> seenBoxes;
};

TEST_F(ConfigViewE2E, MenuLivePicturePressesAndShutdownPage)
{
    QString made;
    const QString video = consolestream::CameraStream(352, 240, &made);
    ASSERT_FALSE(video.isEmpty()) << made.toStdString();
    StartWith({"--channels", "4", "--video", video, "--fps", "15", "--option-flag", "--level", "0x10", "--console",
               "config", "--console-vda", "10,8,12,10"});
    auto watcher = WatchAndShoot(QStringLiteral("menu-box"));
    OpenAndDrop();

    // Logged in, the settings file arrived: console mode 0, 1 and the first layout.
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("record")); }, kLimitMs))
        << boxes.join(QLatin1String("; ")).toStdString();
    const QList<QJsonObject> modes = Events(QStringLiteral("console-mode"));
    ASSERT_GE(modes.size(), 2);
    EXPECT_EQ(modes[0].value(QStringLiteral("mode")).toInt(), 0);
    EXPECT_EQ(modes[1].value(QStringLiteral("mode")).toInt(), 1);
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("recv.xml"))));
    EXPECT_TRUE(ReadFile(QStringLiteral("config.ini")).contains("csReboot=0"));
    // The 800 x 600 menu centred in the 1000 x 680 frame.
    EXPECT_EQ(view->consoleWidget(QStringLiteral("record"))->geometry(), QRect(360, 220, 280, 50));
    EXPECT_EQ(view->consoleWidget(QStringLiteral("menu"))->geometry(), QRect(300, 140, 400, 400));

    // Channel 0 live behind the menu from the console's own connection, with the VDA cells.
    ASSERT_NE(view->background(), nullptr);
    EXPECT_EQ(view->background()->geometry(), QRect(100, 40, 800, 600));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return view->background() && !view->background()->pixmap(Qt::ReturnByValue).isNull(); }, kLimitMs))
        << "no live picture behind the menu";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Events(QStringLiteral("console-vda")).isEmpty(); }, kLimitMs));
    // The 352 x 240 picture fills 800 x 545 of the background; the grid of 22 x 15 cells frames
    // cell (10, 8) in red: its left edge lies at x = 10 * 800 / 22 + 2, over the yellow bar of the
    // test picture.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage shown = view->background() ? view->background()->pixmap(Qt::ReturnByValue).toImage()
                                                    : QImage();
            if (shown.size() != QSize(800, 545))
                return false;
            const QColor edge = shown.pixelColor(366, 310);
            return edge.red() > 200 && edge.green() < 80 && edge.blue() < 80;
        },
        kLimitMs))
        << "the VDA cells are not drawn over the live picture";
    const QList<QJsonObject> starts = Events(QStringLiteral("live-start"));
    ASSERT_FALSE(starts.isEmpty());
    EXPECT_EQ(starts.last().value(QStringLiteral("mask")).toInt(), 1);
    EXPECT_EQ(starts.last().value(QStringLiteral("mode")).toInt(), 3);
    Shot(QStringLiteral("menu-live"));

    // SYSTEM (recorder 260..540 x 250..300) pressed in the window at (500, 315).
    Click(QPoint(500, 315));
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("list")); }, kLimitMs))
        << "the system page never came";
    QList<QJsonObject> mouse = Events(QStringLiteral("console-mouse"));
    ASSERT_GE(mouse.size(), 2);
    EXPECT_EQ(mouse[0].value(QStringLiteral("button")).toInt(), 1);
    EXPECT_EQ(mouse[0].value(QStringLiteral("x")).toInt(), 400);
    EXPECT_EQ(mouse[0].value(QStringLiteral("y")).toInt(), 275);
    EXPECT_EQ(mouse[0].value(QStringLiteral("element")).toString(), QStringLiteral("system"));
    EXPECT_EQ(mouse[1].value(QStringLiteral("button")).toInt(), 0);
    // Byte for byte: 0x9A, 20 bytes, 12-13 = 1, button 1, extra 0, x 400, y 275.
    const QList<QJsonObject> raw = sim->Messages(0x9A);
    ASSERT_FALSE(raw.isEmpty());
    EXPECT_EQ(raw[0].value(QStringLiteral("hex")).toString().mid(8), QStringLiteral("00a19a0000140000"
                                                                                    "0100"
                                                                                    "01"
                                                                                    "00"
                                                                                    "9001"
                                                                                    "1301"));
    EXPECT_EQ(view->channel(), -1) << "the system page names no channel";
    EXPECT_EQ(view->liveLink()->client(), nullptr);

    // BACK (260..540 x 420..470), then SHUTDOWN (260..540 x 320..370).
    Click(QPoint(500, 485));
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("shutdown")); }, kLimitMs));
    Click(QPoint(500, 385));
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("caption")); }, kLimitMs));
    EXPECT_TRUE(view->restartBlocked()) << "csReboot=0";
    EXPECT_EQ(view->zoneCount(), 2);
    Shot(QStringLiteral("shutdown-page"));

    // RESTART (240..560 x 200..250 → window 340..660 x 240..290): refused, nothing sent.
    const int sent = sim->Messages(0x9A).size();
    boxes.clear();
    Click(QPoint(500, 265));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kLimitMs));
    EXPECT_EQ(boxes.first(), QStringLiteral("Remote Config|No Remote restart permissions"));
    EXPECT_EQ(sim->Messages(0x9A).size(), sent);
    EXPECT_TRUE(Events(QStringLiteral("console-restart")).isEmpty());

    // Closing the window tells the recorder to leave the console.
    view->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.isNull(); }, kLimitMs));
    EXPECT_EQ(hub->GetConsoleWindow(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<QJsonObject> m = Events(QStringLiteral("console-mouse"));
            return !m.isEmpty() && m.last().value(QStringLiteral("button")).toInt() == -1;
        },
        kLimitMs));
    EXPECT_EQ(Events(QStringLiteral("console-mouse")).last().value(QStringLiteral("word12")).toString(),
              QStringLiteral("00a4"));
}

TEST_F(ConfigViewE2E, RestartPermittedByTheRecordersSettings)
{
    StartWith({"--option-flag", "--level", "0x10", "--console", "reboot"});
    auto watcher = WatchAndShoot(QStringLiteral("reboot-box"));
    OpenAndDrop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("shutdown")); }, kLimitMs));
    Click(QPoint(500, 385));
    ASSERT_TRUE(QTest::qWaitFor([&] { return PageShows(QStringLiteral("caption")); }, kLimitMs));
    EXPECT_FALSE(view->restartBlocked());
    Click(QPoint(500, 265));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Events(QStringLiteral("console-restart")).isEmpty(); }, kLimitMs));
    EXPECT_EQ(Events(QStringLiteral("console-restart")).first().value(QStringLiteral("by")).toString(),
              QStringLiteral("restart"));
}

TEST_F(ConfigViewE2E, RecorderWithoutConsolePermission)
{
    StartWith({"--console", "config"});
    auto watcher = WatchAndShoot(QStringLiteral("refused-box"));
    OpenAndDrop();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return boxes.contains(QStringLiteral("Remote Configuration|Don't have permision.")); }, kLimitMs))
        << boxes.join(QLatin1String("; ")).toStdString();
    // The refused console leaves console mode and asks for no layout.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Events(QStringLiteral("console-mode")).isEmpty(); }, kLimitMs));
    EXPECT_EQ(Events(QStringLiteral("console-mode")).size(), 1);
    EXPECT_EQ(Events(QStringLiteral("console-mode")).first().value(QStringLiteral("mode")).toInt(), 0);
    EXPECT_TRUE(Events(QStringLiteral("console-layout")).isEmpty());
    EXPECT_EQ(view->consoleWidgetCount(), 0);
    Shot(QStringLiteral("refused"));
}

TEST_F(ConfigViewE2E, OfflineRecorder)
{
    StartWith({"--console", "config"}, true);
    auto watcher = WatchAndShoot(QStringLiteral("offline-box"));
    OpenAndDrop();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const QString& b : qAsConst(boxes))
                if (b.contains(QLatin1String("fail"), Qt::CaseInsensitive))
                    return true;
            return false;
        },
        kLimitMs))
        << boxes.join(QLatin1String("; ")).toStdString();
    EXPECT_EQ(view->consoleWidgetCount(), 0);
    EXPECT_FALSE(device->IsLoggedIn());
    Shot(QStringLiteral("offline"));
}

} // namespace
