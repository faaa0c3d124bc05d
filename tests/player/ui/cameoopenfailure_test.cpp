// A file a tile cannot play: the user is told which file, the tile is left empty, and the tiles
// that play go on.
#include "ui/cameocontroller.h"

#include "support/fakecameo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CameoOpenFailure, AFileThePlayerRefusesIsReportedAndLeavesOtherTilesPlaying)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    for (const char* name : {"h080510.003", "h090000.001"}) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a recording");
    }
    CameoGrid grid;
    FakeCameoHost host;
    FakeCameoEngine engine;
    CameoController controller(&grid, &host, &engine);
    controller.Layout(400, 400, 1, false, false, false);
    ASSERT_EQ(controller.OpenFile(1, folder, "h080510.003"), 0);
    host.SetTilePlaying(1, true);

    const struct
    {
        QString error; // what the player says
        bool told;     // whether the user hears of it
    } cases[] = {
        {QStringLiteral("cannot read the index"), true},
        {QStringLiteral("no recorded frame"), true},
        {QString(), false}, // a stream file without its day list: nothing to say
    };
    for (const auto& c : cases) {
        host.events.clear();
        host.players[2].openResult = 0;
        host.players[2].openError = c.error;
        EXPECT_EQ(controller.OpenFile(2, folder, "h090000.001"), -1) << c.error.toStdString();
        EXPECT_EQ(host.events.contains("open failure:" + folder + "h090000.001"), c.told) << c.error.toStdString();
        EXPECT_EQ(grid.GetCameo(2)->fileTile, 0) << "the tile that failed is left empty";
        EXPECT_EQ(grid.GetCameo(2)->assigned, 0);
        EXPECT_TRUE(host.IsTilePlaying(1));
        EXPECT_EQ(grid.GetCameo(1)->fileTile, 1);
    }
}

} // namespace
