// The e-map window on fake hubs: what it asks of the main window for its cameras' tiles and its
// slot, and that a hub that can make no tile leaves the cameras working without one.
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "emap/emapcamera.h"
#include "emap/emapview.h"
#include "emap/support/emap_drop.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "sitebook/sitebooktreewidget.h"
#include "support/fakeemaphub.h"
#include "support/fakesessionhub.h"
#include "support/fakesitebookhub.h"

namespace {

class EmapViewOnFakes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(programDir.path());
        sessions = std::make_unique<FakeSessionHub>();
        books = std::make_unique<FakeSiteBookHub>();
        emap = std::make_unique<FakeEmapHub>();
        tree = std::make_unique<SiteBookTreeWidget>();
        emap->siteBook = tree.get();
        auto* record = new SiteBook;
        record->kind = QStringLiteral("device");
        record->name = QStringLiteral("Yard");
        record->emapPath = programDir.path() + QStringLiteral("/missing-map.png");
        yard = tree->createTreeItem(nullptr, record, EntryMode::Recorder);
        yard->setText(0, record->name);
        yard->LoadSiteBookInfo();
        view = std::make_unique<EmapView>(nullptr, 1);
        view->resize(400, 300);
        view->show();
    }

    void TearDown() override
    {
        view.reset();
        tree.reset();
        emap.reset();
        books.reset();
        sessions.reset();
        QDir::setCurrent(previousDir);
    }

    SiteBook Camera(int channel) const
    {
        SiteBook record;
        record.kind = QStringLiteral("camera");
        record.index = yard->GetDeviceIndex();
        record.channel = channel;
        record.name = QStringLiteral("CAM%1").arg(channel + 1);
        return record;
    }

    QTemporaryDir programDir;
    QString previousDir;
    std::unique_ptr<FakeSessionHub> sessions;
    std::unique_ptr<FakeSiteBookHub> books;
    std::unique_ptr<FakeEmapHub> emap;
    std::unique_ptr<SiteBookTreeWidget> tree;
    CModuleDevice* yard = nullptr;
    std::unique_ptr<EmapView> view;
};

TEST_F(EmapViewOnFakes, EachCameraAsksTheHubForItsTileAndWorksWithoutOne)
{
    view->setDevice(yard->GetDeviceIndex(), -1);
    ASSERT_TRUE(view->IsRecorderMode());
    const int before = emap->tilesAsked;
    ASSERT_TRUE(DropSiteBookRecord(view.get(), Camera(0), QPoint(117, 218)));
    ASSERT_TRUE(DropSiteBookRecord(view.get(), Camera(2), QPoint(217, 118)));
    ASSERT_EQ(view->VisibleCameras().size(), 2);
    EXPECT_EQ(emap->tilesAsked, before + 2);
    for (EmapCamera* icon : view->VisibleCameras()) {
        EXPECT_EQ(icon->GetTile(), nullptr);
        // Without a tile, viewing asks the hub to stop nothing and shows nothing.
        icon->viewCameo();
        EXPECT_FALSE(icon->IsTileShown());
    }
    EXPECT_FALSE(emap->calls.join(QLatin1Char(',')).contains(QStringLiteral("stop")));
}

TEST_F(EmapViewOnFakes, AClosedWindowGivesItsSlotBack)
{
    emap->calls.clear();
    view.reset();
    EXPECT_EQ(emap->calls, QStringList({QStringLiteral("delete 1")}));
}

} // namespace
