// The console window with a fake host: layouts become widgets at their places, presses and
// releases go to the recorder in its coordinates, the shutdown page's restart buttons follow the
// recorder's settings, and the live picture lies behind the menu.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "console/configview.h"
#include "console/consolelivelink.h"
#include "console/support/fakeconsolehost.h"
#include "session/sitebook.h"
#include "widgets/imagefontlabel.h"
#include "widgets/imagelabel.h"
#include "widgets/imagepushbutton.h"
#include "widgets/skinimagehub.h"

namespace {

const QByteArray kMenu =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
    "<WINDOW id=\"menu\" image_count=\"1\" x=\"200\" y=\"100\" width=\"400\" height=\"400\">"
    "<IMAGE image_name=\"win_bg\" x=\"200\" y=\"100\" width=\"400\" height=\"400\"/></WINDOW>\n"
    "<LABEL id=\"title\" text=\"MAIN MENU\" type=\"LABEL\" align_text=\"center\" x=\"280\" y=\"115\" width=\"240\" height=\"30\"/>\n"
    "<BUTTON id=\"record\" text=\"RECORD\" image_count=\"2\" x=\"260\" y=\"180\" width=\"280\" height=\"50\">"
    "<IMAGE image_name=\"btn_normal\" x=\"260\" y=\"180\" width=\"280\" height=\"50\"/>"
    "<IMAGE image_name=\"btn_focus\" x=\"260\" y=\"180\" width=\"280\" height=\"50\"/></BUTTON>\n"
    "<IMAGE id=\"logo\" image_name=\"logo\" x=\"220\" y=\"110\" width=\"8\" height=\"8\"/>\n"
    "<IMAGE id=\"missing\" image_name=\"nothing\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"/>\n"
    "<SCROLL_BAR id=\"list\" min=\"0\" max=\"20\" value=\"2\" rows=\"5\" x=\"570\" y=\"180\" width=\"20\" height=\"200\"/>\n"
    "<SLIDER id=\"fps\" min=\"1\" max=\"30\" value=\"15\" x=\"240\" y=\"300\" width=\"320\" height=\"24\"/>\n"
    "<PROGRESSBAR id=\"disk\" min=\"0\" max=\"10\" value=\"40\" x=\"240\" y=\"330\" width=\"320\" height=\"20\"/>\n"
    "</zent>\n";

const QByteArray kShutdown =
    "<?xml version=\"1.0\"?>\n<zent version=\"1.0\">"
    "<BUTTON id=\"restart\" image_name=\"btn_table_each_normal\" image_count=\"1\" text=\"RESTART\" x=\"240\" y=\"200\" width=\"320\" height=\"50\"/>"
    "<BUTTON id=\"back\" image_name=\"btn_normal\" text=\"BACK\" x=\"260\" y=\"420\" width=\"280\" height=\"50\"/>"
    "<LABEL id=\"caption\" text=\"SHUTDOWN\" type=\"LABEL\" x=\"280\" y=\"115\" width=\"240\" height=\"30\"/>"
    "</zent>";

// Every skin bitmap of the image widgets is a small grey picture.
class GreySkins : public SkinImageHub
{
public:
    QPixmap LoadSkinImage(const QString&, SkinFolder) const override
    {
        QPixmap p(8, 8);
        p.fill(Qt::gray);
        return p;
    }
};

class ConfigViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SkinImageHub::Install(&skins);
        view = new ConfigView(&host, nullptr, [this] { return now; });
        SiteBook record;
        record.name = QStringLiteral("Yard");
        record.addr = QStringLiteral("127.0.0.1");
        record.port = QStringLiteral("1");
        record.index = host.recorder;
        view->setRecorder(record);
        now += 1000;
    }
    void TearDown() override
    {
        delete view.data();
        SkinImageHub::Install(nullptr);
    }

    void Show(const QByteArray& layout, int ox = 0, int oy = 0, int w = 800, int h = 600, int rw = 800,
              int rh = 600)
    {
        host.layout = layout + '\0' + "garbage after the end";
        view->OnRecvGuiData(layout.size() + 1, ox, oy, w, h, rw, rh);
    }
    void Click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view, button, Qt::NoModifier, at);
        QTest::mouseRelease(view, button, Qt::NoModifier, at);
        now += 1000;
    }

    qint64 now = 0;
    GreySkins skins;
    FakeConsoleHost host;
    QPointer<ConfigView> view;
};

// The window as it opens, before any recorder: the shipped style sheet paints it dark like the
// recorder's own monitor, and a hint in the middle says what to do with it.
TEST_F(ConfigViewTest, EmptyWindowSaysWhatToDoInTheShippedStyle)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("qss")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENT_SOURCE_DIR "/client/qss/config.qss"),
                            dir.path() + QStringLiteral("/qss/config.qss")))
        << "the console's style sheet is shipped with the client's others";
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ConfigView empty(&host);
    QDir::setCurrent(before);
    empty.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&empty));
    QLabel* hint = empty.hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("Drag a recorder from the site book")))
        << hint->text().toStdString();
    const QImage shot = empty.grab().toImage();
    EXPECT_LT(qGray(shot.pixel(5, 5)), 48) << "the frame is dark";
    // The hint is centred and its text shows: light pixels about the middle of the window.
    EXPECT_LT(qAbs(hint->geometry().center().x() - empty.width() / 2), 4);
    EXPECT_LT(qAbs(hint->geometry().center().y() - empty.height() / 2), 4);
    int light = 0;
    const QRect around = hint->geometry();
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            light += qGray(shot.pixel(x, y)) > 128 ? 1 : 0;
    EXPECT_GT(light, 50);

    // A dropped recorder: the hint says what the window waits for; its menu replaces the hint.
    SiteBook record;
    record.name = QStringLiteral("Gate");
    record.addr = QStringLiteral("10.0.0.9");
    record.index = host.recorder;
    empty.setRecorder(record);
    EXPECT_TRUE(hint->text().contains(QStringLiteral("Gate"))) << hint->text().toStdString();
    host.layout = kMenu + '\0';
    empty.OnRecvGuiData(kMenu.size() + 1, 0, 0, 800, 600, 800, 600);
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(ConfigViewTest, DropChoosesTheRecorder)
{
    ConfigView other(&host);
    SiteBook record;
    record.name = QStringLiteral("Gate");
    record.addr = QStringLiteral("10.0.0.9");
    record.index = host.recorder;
    other.show();
    QMimeData data;
    data.setData(QLatin1String(SiteBook::MimeType), record.ToDragData());
    QDragEnterEvent offer(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&other, &offer);
    EXPECT_TRUE(offer.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&other, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(other.recorderIndex(), host.recorder);
    EXPECT_EQ(other.windowTitle(), QStringLiteral("Config Viewer : Gate-10.0.0.9"));
    EXPECT_EQ(host.calls.last(), QStringLiteral("connect 2"));

    QMimeData plain;
    plain.setText(QStringLiteral("x"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&other, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(ConfigViewTest, LayoutBecomesWidgetsAtTheirPlaces)
{
    Show(kMenu);
    struct Expected
    {
        const char* id;
        const char* type;
        QRect geometry;
    };
    const Expected expected[] = {
        {"menu", "imageLabel", {300, 140, 400, 400}},       {"title", "imageFontLabel", {390, 155, 240, 30}},
        {"record", "imagePushButton", {360, 220, 280, 50}}, {"logo", "QLabel", {320, 150, 8, 8}},
        {"list", "imageScrollBar", {670, 220, 20, 200}},    {"fps", "imageSlider", {340, 340, 320, 24}},
        {"disk", "QProgressBar", {340, 370, 320, 20}},
    };
    EXPECT_EQ(view->consoleWidgetCount(), int(std::size(expected))) << "the missing picture builds nothing";
    for (const Expected& e : expected) {
        QWidget* w = view->consoleWidget(QLatin1String(e.id));
        ASSERT_NE(w, nullptr) << e.id;
        EXPECT_STREQ(w->metaObject()->className(), e.type) << e.id;
        EXPECT_EQ(w->geometry(), e.geometry) << e.id;
        EXPECT_EQ(w->parentWidget(), view.data());
    }
    auto* button = qobject_cast<imagePushButton*>(view->consoleWidget(QStringLiteral("record")));
    EXPECT_EQ(button->ImageName(1), QStringLiteral("btn_focus"));
    EXPECT_EQ(qobject_cast<QScrollBar*>(view->consoleWidget(QStringLiteral("list")))->maximum(), 16);
    EXPECT_EQ(qobject_cast<QProgressBar*>(view->consoleWidget(QStringLiteral("disk")))->maximum(), 100);
    // The skin picture with its magenta made transparent.
    const QImage logo =
        qobject_cast<QLabel*>(view->consoleWidget(QStringLiteral("logo")))->pixmap(Qt::ReturnByValue).toImage();
    EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
    EXPECT_EQ(logo.pixel(3, 3), qRgba(0, 200, 0, 255));
    EXPECT_TRUE(host.skinRequests.contains(QStringLiteral("logo 0 4")));
    // The layout as it came, up to its ending zero byte.
    QFile saved(host.ProgramDirectory() + QStringLiteral("/recv.xml"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), kMenu);
    EXPECT_TRUE(host.modal.isEmpty());
}

TEST_F(ConfigViewTest, NewLayoutReplacesTheOldWidgets)
{
    Show(kMenu);
    QPointer<QWidget> old = view->consoleWidget(QStringLiteral("record"));
    Show(kShutdown);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(view->consoleWidgetCount(), 3);
}

TEST_F(ConfigViewTest, BadLayoutsAreReported)
{
    Show(kMenu);
    Show("<zent version=\"7\"><LABEL id=\"a\"/></zent>");
    EXPECT_EQ(host.modal, QStringList{QStringLiteral("Remote Config|Parse Error")});
    EXPECT_EQ(view->consoleWidgetCount(), 7) << "a layout that is none leaves the old one";
    Show("<zent version=\"1.0\"><LABEL id=\"a\"/><BUTTON id=\"b\" x=");
    EXPECT_EQ(host.modal.size(), 2);
    EXPECT_EQ(view->consoleWidgetCount(), 1) << "what came before the error stays";
}

TEST_F(ConfigViewTest, PressesAndReleasesInRecorderCoordinates)
{
    Show(kMenu, 100, 50, 800, 600, 800, 600);
    host.calls.clear();
    Click(QPoint(150, 100));
    EXPECT_EQ(host.calls, (QStringList{"mouse 150 110 1 0", "mouse 150 110 0 0", "data 0"}));
    EXPECT_TRUE(view->refreshRunning());

    host.calls.clear();
    Show(kMenu, 0, 40, 1280, 720, 1280, 720);
    Click(QPoint(500, 340), Qt::RightButton);
    EXPECT_EQ(host.calls, (QStringList{"mouse 640 360 2 0", "mouse 640 360 0 0", "data 0"}));

    host.calls.clear();
    Show(kMenu, 0, 0, 1920, 1080, 1280, 720);
    Click(QPoint(500, 340));
    EXPECT_EQ(host.calls, (QStringList{"mouse 0 0 1 0", "mouse 0 0 0 0", "data 0"}));
}

TEST_F(ConfigViewTest, PressesOnChildWidgetsReachTheWindow)
{
    Show(kMenu);
    host.calls.clear();
    QWidget* button = view->consoleWidget(QStringLiteral("record"));
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(host.calls, (QStringList{"mouse 270 190 1 0", "mouse 270 190 0 0", "data 0"}));
}

TEST_F(ConfigViewTest, DebouncedPressSendsNeitherPressNorRelease)
{
    Show(kMenu);
    host.calls.clear();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    now += 400;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_EQ(host.calls.size(), 3) << host.calls.join(", ").toStdString();
}

TEST_F(ConfigViewTest, RestartNeedsThePermissionOfThisRecordersSettings)
{
    struct Case
    {
        const char* what;
        bool granted;   // the console was started after the settings arrived
        QString reboot; // csReboot in config.ini ("" absent)
        bool refused;
    };
    const Case cases[] = {
        {"settings not arrived", false, QStringLiteral("1"), true},
        {"csReboot 1", true, QStringLiteral("1"), false},
        {"csReboot 0", true, QStringLiteral("0"), true},
        {"csReboot absent", true, QString(), true},
    };
    for (const Case& c : cases) {
        TearDown();
        host.calls.clear();
        host.boxes.clear();
        SetUp();
        host.WriteSettings(c.reboot);
        if (c.granted) {
            view->startRemoteConsole();
            EXPECT_EQ(host.calls.mid(host.calls.size() - 3), (QStringList{"mode 0", "mode 1", "data 0"}));
        }
        Show(kShutdown);
        EXPECT_EQ(view->zoneCount(), 1) << c.what;
        host.calls.clear();
        Click(QPoint(400, 270)); // on RESTART (240 + 100, 200 + 40 ... 320 x 50)
        if (c.refused) {
            EXPECT_TRUE(host.calls.isEmpty()) << c.what;
            EXPECT_EQ(host.boxes, QStringList{QStringLiteral("Remote Config|No Remote restart permissions|stop")})
                << c.what;
        } else {
            EXPECT_EQ(host.calls.first(), QStringLiteral("mouse 300 230 1 0")) << c.what;
            EXPECT_TRUE(host.boxes.isEmpty()) << c.what;
        }
        host.calls.clear();
        Click(QPoint(400, 490)); // BACK is no restart button
        EXPECT_EQ(host.calls.size(), 3) << c.what;
    }
}

TEST_F(ConfigViewTest, RefusedConsoleLeavesConsoleModeAndForgetsPermission)
{
    host.WriteSettings(QStringLiteral("1"));
    view->startRemoteConsole();
    host.calls.clear();
    view->stopRemoteConsole();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("mode 0")});
    Show(kShutdown);
    Click(QPoint(400, 270));
    EXPECT_FALSE(host.boxes.isEmpty());
}

TEST_F(ConfigViewTest, LivePictureLiesBehindTheMenuApartFromTheLayoutIds)
{
    host.channelPicture = QImage(320, 240, QImage::Format_RGB888);
    host.channelPicture.fill(Qt::blue);
    QByteArray layout = kMenu;
    layout.replace("<zent version=\"1.0\">", "<zent version=\"1.0\" channel=\"2\">");
    layout.replace("</zent>", "<LABEL id=\"bg\" text=\"not the picture\"/></zent>");
    Show(layout);
    QLabel* bg = view->background();
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->geometry(), QRect(100, 40, 800, 600));
    EXPECT_EQ(bg->pixmap(Qt::ReturnByValue).size(), QSize(800, 600));
    ASSERT_NE(qobject_cast<QGraphicsOpacityEffect*>(bg->graphicsEffect()), nullptr);
    EXPECT_DOUBLE_EQ(qobject_cast<QGraphicsOpacityEffect*>(bg->graphicsEffect())->opacity(), 0.6);
    EXPECT_EQ(view->consoleWidget(QStringLiteral("bg"))->metaObject()->className(), QByteArray("QLabel"));
    EXPECT_NE(view->consoleWidget(QStringLiteral("bg")), bg);
    // Lowest of the window's children: every menu widget lies above it.
    const QObjectList children = view->children();
    const int below = children.indexOf(bg);
    for (QObject* o : children) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w != bg && !w->isWindow()) {
            EXPECT_GT(children.indexOf(o), below) << w->metaObject()->className();
        }
    }
    EXPECT_EQ(view->channel(), 2);
    EXPECT_NE(view->liveLink()->client(), nullptr);
    EXPECT_NE(view->liveLink()->task(), nullptr);

    // A layout without a channel stops the live picture.
    Show(kMenu);
    EXPECT_EQ(view->channel(), -1);
    EXPECT_EQ(view->background(), nullptr);
    EXPECT_EQ(view->liveLink()->client(), nullptr);
    EXPECT_EQ(view->liveLink()->task(), nullptr);
}

TEST_F(ConfigViewTest, ScreenBeyondAnyMonitorIsRefusedAndLeavesTheMenu)
{
    QByteArray layout = kMenu;
    layout.replace("<zent version=\"1.0\">", "<zent version=\"1.0\" channel=\"1\">");
    Show(layout);
    QPointer<QWidget> menu = view->consoleWidget(QStringLiteral("record"));
    ASSERT_FALSE(menu.isNull());
    struct Screen
    {
        int w, h, rw, rh;
    };
    const Screen screens[] = {{1000, 680, 16000, 16000}, {800, 600, 46341, 46341}, {65535, 65535, 65535, 65535}};
    for (const Screen& s : screens) {
        host.modal.clear();
        Show(layout, 0, 0, s.w, s.h, s.rw, s.rh);
        ASSERT_EQ(host.modal.size(), 1) << s.rw;
        EXPECT_TRUE(host.modal.first().startsWith(
            QStringLiteral("Remote Config|The recorder reported a screen of %1 x %2").arg(s.rw).arg(s.rh)))
            << host.modal.first().toStdString();
        EXPECT_FALSE(menu.isNull()) << "the menu shown before stays";
        ASSERT_NE(view->background(), nullptr);
        EXPECT_EQ(view->background()->geometry(), QRect(100, 40, 800, 600));
    }
}

TEST_F(ConfigViewTest, LivePictureOfAScreenLargerThanTheFrameStaysWithinTheFrame)
{
    view->show();
    QByteArray layout = kMenu;
    layout.replace("<zent version=\"1.0\">", "<zent version=\"1.0\" channel=\"0\">");
    host.channelPicture = QImage(8192, 8192, QImage::Format_RGB32);
    host.channelPicture.fill(Qt::blue);
    Show(layout, 0, 0, 1000, 680, 8192, 8192);
    EXPECT_TRUE(host.modal.isEmpty());
    QLabel* bg = view->background();
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->geometry(), QRect(0, 0, 1000, 680));
    EXPECT_EQ(bg->pixmap(Qt::ReturnByValue).size(), QSize(1000, 680));
    ASSERT_TRUE(view->liveLink()->isDecoding());
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(Qt::green);
    view->didAVFrameDecoded(picture);
    const QPixmap shown = bg->pixmap(Qt::ReturnByValue);
    EXPECT_LE(shown.width(), ConsoleArea::kFrameWidth);
    EXPECT_LE(shown.height(), ConsoleArea::kFrameHeight);
    EXPECT_EQ(shown.toImage().pixel(10, 10), QColor(Qt::green).rgb());
}

TEST_F(ConfigViewTest, ChannelLayoutWithoutALastPictureStillGetsItsBackground)
{
    QByteArray layout = kMenu;
    layout.replace("<zent version=\"1.0\">", "<zent version=\"1.0\" channel=\"0\">");
    Show(layout);
    ASSERT_NE(view->background(), nullptr) << "the live connection's pictures need somewhere to show";
}

TEST_F(ConfigViewTest, SessionEventsAndClosing)
{
    Show(kMenu);
    host.calls.clear();
    view->OnAsyncEvent();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("data 0")});
    view->refreshConfig();
    EXPECT_EQ(host.calls.mid(1), (QStringList{"mouse 1 1 0 0", "data 0"}));

    host.calls.clear();
    view->close();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("mouse -1 0 -1 0")}) << "the recorder leaves console mode";
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(view->recorderIndex(), -1);
    EXPECT_EQ(view->consoleWidgetCount(), 0);
}

TEST_F(ConfigViewTest, CancelledConsoleClosesWithoutRelease)
{
    struct Case
    {
        bool lock;
        const char* text;
    };
    const Case cases[] = {{true, "Remote Config|Console Config canceled from device - dvr"}};
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        host.calls.clear();
        host.modal.clear();
        c.lock ? view->OnConsoleLockCanceled() : view->OnDisconnected();
        EXPECT_TRUE(host.calls.isEmpty());
        EXPECT_EQ(host.modal, QStringList{QLatin1String(c.text)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return view.isNull(); }, 10000)) << "deleted on close";
    }
}

// A lost recorder is said in a box; the window stays open and empty, says what happened, sends
// nothing more to that recorder and takes the next drop.
TEST_F(ConfigViewTest, LostRecorderLeavesTheWindowOpenForTheNextDrop)
{
    view->show();
    QByteArray layout = kMenu;
    layout.replace("<zent version=\"1.0\">", "<zent version=\"1.0\" channel=\"0\">");
    Show(layout);
    ASSERT_FALSE(view->hint()->isVisible());
    host.calls.clear();
    view->OnDisconnected();
    EXPECT_EQ(host.modal,
              QStringList{QStringLiteral("Remote Config|Console Config canceled from device - disconnected")});
    QCoreApplication::processEvents();
    ASSERT_FALSE(view.isNull());
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(host.closed, 0);
    EXPECT_EQ(view->recorderIndex(), -1);
    EXPECT_EQ(view->consoleWidgetCount(), 0);
    EXPECT_EQ(view->background(), nullptr);
    EXPECT_EQ(view->liveLink()->client(), nullptr);
    EXPECT_TRUE(view->hint()->isVisible());
    EXPECT_TRUE(view->hint()->text().contains(QStringLiteral("Yard was lost")))
        << view->hint()->text().toStdString();
    Click(QPoint(400, 270));
    EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(' ').toStdString();

    SiteBook record;
    record.name = QStringLiteral("Gate");
    record.index = host.recorder;
    view->setRecorder(record);
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("connect 2")});
    EXPECT_EQ(view->recorderIndex(), host.recorder);
}

TEST_F(ConfigViewTest, WithoutTheRecorderNothingIsSent)
{
    host.recorder = 99;
    host.calls.clear();
    Show(kMenu);
    EXPECT_EQ(view->consoleWidgetCount(), 0);
    Click(QPoint(300, 300));
    view->refreshConfig();
    view->OnAsyncEvent();
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(ConfigViewTest, SaveAlternatelyStopsAndStartsTheAudio)
{
    host.calls.clear();
    view->saveConfig();
    view->saveConfig();
    ASSERT_EQ(host.calls.size(), 2);
    EXPECT_NE(host.calls[0], host.calls[1]);
}

} // namespace
