// End to end: a program directory whose favorites book marks a favorite for automatic
// connection. The main window starts there, its auto-connect opens the favorite in a live
// window, the recorder logs in, live video of the favorite's channels is asked for, and the
// grid's cells hold decoded pictures.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <memory>

#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/live_stream.h"
#include "shell/support/mainwin_fixture.h"

namespace {

class AutoConnectLiveTest : public MainWinTest
{
protected:
    // The messages the simulator received, as (command, bytes).
    QList<QPair<int, QByteArray>> Received(const QString& log) const
    {
        QList<QPair<int, QByteArray>> messages;
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return messages;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.contains(QStringLiteral("cmd")))
                messages.append({o.value(QStringLiteral("cmd")).toInt(),
                                 QByteArray::fromHex(o.value(QStringLiteral("hex")).toString().toLatin1())});
        }
        return messages;
    }
};

TEST_F(AutoConnectLiveTest, FavoriteOpensAtStartAndItsCellsShowLiveVideo)
{
    const QString stream = MakeLiveStream(programDir.path());
    ASSERT_FALSE(stream.isEmpty()) << "ffmpeg could not make the test stream";
    const QString log = Path(QStringLiteral("dvrsim.log"));
    GridDvrSim sim({QStringLiteral("--channels"), QStringLiteral("4"), QStringLiteral("--video"), stream,
                    QStringLiteral("--fps"), QStringLiteral("15"), QStringLiteral("--log"), log});
    const QString error = sim.Start();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n";
    WriteFile(QStringLiteral("sitebook.xml"), head + "    <device name=\"Yard DVR\" addr=\"127.0.0.1\" port=\""
                                                  + QByteArray::number(sim.Port())
                                                  + "\" id=\"admin\" password=\"1234\"/>\n</zent>\n");
    WriteFile(
        QStringLiteral("favorites.xml"),
        head
            + "    <favorites_item name=\"Yard\" cameomode=\"400\" favoritesdevice=\"Yard DVR;Yard DVR;Yard DVR;"
              "Yard DVR;\" favoriteschannel=\"0;1;2;3;\" favoritesmode=\"autoConnectOn\"/>\n</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    // The grid composes for its laid-out size, so the window is shown as the program shows it.
    hub->show();
    const int recorder = hub->Sessions()->FindDeviceByName(QStringLiteral("Yard DVR"));
    ASSERT_GE(recorder, 0);

    // A cell counts once it is bound to the favorite's recorder and channel and holds a picture
    // (an empty cell holds a small blank one; a shown picture is scaled to its cell).
    CCameo* grid = nullptr;
    auto allCellsShowPictures = [&] {
        LiveView* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
        grid = view ? view->GetCameo() : nullptr;
        if (!grid)
            return false;
        for (int cell = 0; cell < 4; ++cell) {
            const CameoCell c = grid->GetCell(cell);
            if (c.recorder != recorder || c.channel != cell || c.picture.width() <= 16)
                return false;
        }
        return true;
    };
    WatchBoxes([&] {
        hub->OnTimerAutoConnect();
        EXPECT_TRUE(QTest::qWaitFor(allCellsShowPictures, 60000)) << "the four cells never showed pictures";
    });
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(hub->Sessions()->GetDevice(recorder)->IsLoggedIn());
    for (int cell = 0; cell < 4; ++cell) {
        const CameoCell c = grid->GetCell(cell);
        EXPECT_EQ(c.recorder, recorder) << "cell " << cell;
        EXPECT_EQ(c.channel, cell) << "cell " << cell;
        // A decoded test picture, not a blank: its colour bars give many distinct colours.
        QSet<QRgb> colours;
        for (int y = 0; y < c.picture.height(); y += 4)
            for (int x = 0; x < c.picture.width(); x += 4)
                colours.insert(c.picture.pixel(x, y));
        EXPECT_GT(colours.size(), 8) << "cell " << cell;
    }

    // And the video goes on: every cell shows later frames, their time stamps moving on.
    int firstTimes[4];
    for (int cell = 0; cell < 4; ++cell)
        firstTimes[cell] = grid->GetCell(cell).osdTime;
    const bool movedOn = QTest::qWaitFor(
        [&] {
            for (int cell = 0; cell < 4; ++cell) {
                const CameoCell c = grid->GetCell(cell);
                if (c.osdTime <= 0 || c.osdTime == firstTimes[cell])
                    return false;
            }
            return true;
        },
        20000);
    EXPECT_TRUE(movedOn) << "cell 0 time " << firstTimes[0] << " -> " << grid->GetCell(0).osdTime;

    // On the wire: the login, then a live start (0x87) for each of the four channels, its
    // channel mask at bytes 12 and 13.
    const auto messages = Received(log);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.first().first, 0x01) << "the first message is the login";
    QSet<int> started;
    for (const auto& m : messages) {
        if (m.first != 0x87 || m.second.size() < 24)
            continue;
        const int mask = quint8(m.second[12]) | (quint8(m.second[13]) << 8);
        for (int ch = 0; ch < 16; ++ch)
            if (mask == (1 << ch))
                started.insert(ch);
    }
    EXPECT_EQ(started, QSet<int>({0, 1, 2, 3}));
}

} // namespace
