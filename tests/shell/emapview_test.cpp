// The e-map window with the main window as its hub: drops, moves, deletions and the texts each
// of them leaves in the recorder's record or in emap.xml.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <memory>

#include <gtest/gtest.h>

#include "emap/emapcamera.h"
#include "emap/emaptile.h"
#include "emap/emapview.h"
#include "emap/support/emap_drop.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/emapcameo.h"
#include "shell/mainwindow.h"
#include "shell/support/composedwindow.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

class EmapTestHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    QStringList boxCalls;
};

struct EntryTexts
{
    QString name, devices, channels, emapPath, emapPos;
};

class EmapViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(programDir.path());
        // One e-map entry in the book the main window reads at start.
        WriteFile(QStringLiteral("emap.xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
                  "    <emap_item name=\"Plan\" favoritesdevice=\"\" favoriteschannel=\"\" emapPath=\"\" "
                  "emapPos=\"\"/>\n</zent>\n");
        hub = std::make_unique<ComposedWindow<EmapTestHub>>();
        tree = hub->GetSiteBookTree();
        yard = AddRecorder(QStringLiteral("Yard"));
        gate = AddRecorder(QStringLiteral("Gate"));
        view = std::make_unique<EmapView>(nullptr, 0);
        view->resize(400, 300);
        view->show();
        ASSERT_EQ(view->size(), QSize(400, 300));
    }

    void TearDown() override
    {
        view.reset();
        hub.reset();
        QDir::setCurrent(previousDir);
    }

    CModuleDevice* AddRecorder(const QString& name)
    {
        auto* record = new SiteBook;
        record->kind = QStringLiteral("device");
        record->name = name;
        // A map is set, so opening it asks nothing.
        record->emapPath = programDir.path() + QStringLiteral("/missing-map.png");
        CModuleDevice* device = tree->createTreeItem(nullptr, record, EntryMode::Recorder);
        device->setText(0, name);
        device->LoadSiteBookInfo();
        return device;
    }

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(programDir.path() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static SiteBook CameraRecord(const CModuleDevice* device, int channel)
    {
        SiteBook record;
        record.kind = QStringLiteral("camera");
        record.index = device->GetDeviceIndex();
        record.channel = channel;
        record.name = QStringLiteral("CAM%1").arg(channel + 1);
        return record;
    }

    bool Drop(const SiteBook& record, const QPoint& point)
    {
        return DropSiteBookRecord(view.get(), record, point);
    }

    // The e-map entries of emap.xml as written now.
    std::vector<EntryTexts> EmapBook() const
    {
        std::vector<EntryTexts> entries;
        QFile file(programDir.path() + QStringLiteral("/emap.xml"));
        if (!file.open(QIODevice::ReadOnly))
            return entries;
        QXmlStreamReader xml(&file);
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("zent"))
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("emap_item"))
                entries.push_back({a.value(QLatin1String("name")).toString(),
                                   a.value(QLatin1String("favoritesdevice")).toString(),
                                   a.value(QLatin1String("favoriteschannel")).toString(),
                                   a.value(QLatin1String("emapPath")).toString(),
                                   a.value(QLatin1String("emapPos")).toString()});
            xml.skipCurrentElement();
        }
        return entries;
    }

    void OpenPlanEntry()
    {
        view->openEmapEntry(QString(), QString(), QString(), QString(), QStringLiteral("Plan"), 0);
    }

    // Drags an icon by (dx, dy) with the left button and lets it go.
    static void DragIcon(EmapCamera* icon, const QPoint& by)
    {
        const QPoint grip(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(icon, &press);
        QMouseEvent move(QEvent::MouseMove, grip + by, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(icon, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, grip + by - (icon->pos() - icon->pos()), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(icon, &release);
    }

    static bool HasRedNear(const QImage& image, const QPoint& at)
    {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QColor c = image.pixelColor(at + QPoint(dx, dy));
                if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                    return true;
            }
        return false;
    }

    QTemporaryDir programDir;
    QString previousDir;
    std::unique_ptr<EmapTestHub> hub;
    SiteBookTreeWidget* tree = nullptr;
    CModuleDevice* yard = nullptr;
    CModuleDevice* gate = nullptr;
    std::unique_ptr<EmapView> view;
};

const QString kEmptyItems16 = QStringLiteral(";;;;;;;;;;;;;;;;");
const QString kEmptyChannels16 = QStringLiteral("-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;");
const QString kEmptyPositions16 = QStringLiteral(
    "-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;");

} // namespace

TEST_F(EmapViewTest, StartsEmptyWithTheDefaultMap)
{
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Emap"));
    EXPECT_TRUE(view->IsEmpty());
    EXPECT_TRUE(view->acceptDrops());
    EXPECT_EQ(view->minimumSize(), QSize(320, 240));
    EXPECT_FALSE(view->MapLabel()->pixmap(Qt::ReturnByValue).isNull());
    EXPECT_TRUE(view->VisibleCameras().isEmpty());
}

TEST_F(EmapViewTest, CameraDroppedOnARecorderMapStoresItsFraction)
{
    view->setDevice(yard->GetDeviceIndex(), -1);
    ASSERT_TRUE(view->IsRecorderMode());
    EXPECT_TRUE(hub->boxCalls.contains(QStringLiteral("DVR Connection|Network Connecting...|")));

    EXPECT_TRUE(Drop(CameraRecord(yard, 0), QPoint(117, 218)));
    const SiteBook* record = SiteBook::FromItem(yard);
    EXPECT_TRUE(record->emapPos.startsWith(QStringLiteral("0.250000;0.666667;"))) << record->emapPos.toStdString();
    ASSERT_EQ(view->VisibleCameras().size(), 1);
    EmapCamera* icon = view->VisibleCameras().first();
    EXPECT_EQ(icon->GetChannel(), 0);
    EXPECT_EQ(icon->text(), QStringLiteral("\n\nC01"));
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Yard:CAM1"));
    EXPECT_EQ(icon->geometry(), QRect(100, 200, 34, 38));
}

TEST_F(EmapViewTest, CameraOfAnotherRecorderIsRefusedOnARecorderMap)
{
    view->setDevice(yard->GetDeviceIndex(), -1);
    EXPECT_EQ(view->createCamera(CameraRecord(gate, 1), QPoint(100, 100)), -1);
    EXPECT_TRUE(view->VisibleCameras().isEmpty());
    EXPECT_TRUE(SiteBook::FromItem(gate)->emapPos.isEmpty());
}

TEST_F(EmapViewTest, SameCameraDroppedTwiceKeepsOneIconAtTheSecondPlace)
{
    view->setDevice(yard->GetDeviceIndex(), -1);
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 2), QPoint(57, 58)), 0);
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 2), QPoint(217, 118)), 0);
    ASSERT_EQ(view->VisibleCameras().size(), 1);
    EXPECT_EQ(view->VisibleCameras().first()->pos(), QPoint(200, 100));
    EXPECT_TRUE(SiteBook::FromItem(yard)->emapPos.contains(QStringLiteral("0.500000;0.333333;")));
}

TEST_F(EmapViewTest, DeviceCameraTakesTheSlotOfItsChannel)
{
    view->setDevice(yard->GetDeviceIndex(), -1);
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 3), QPoint(57, 58)), 0) << "a drop takes the lowest slot";
    SiteBook record = CameraRecord(yard, 3);
    record.posX = 0.5f;
    record.posY = 0.25f;
    view->createDeviceCamera(record, 3, false);
    ASSERT_EQ(view->VisibleCameras().size(), 1) << "the icon of channel 3 in slot 0 went";
    EXPECT_EQ(view->VisibleCameras().first(), view->GetCamera(3));
    EXPECT_EQ(view->GetCamera(3)->pos(), QPoint(200, 75));
    EXPECT_TRUE(view->GetCamera(3)->IsDeviceCamera());

    struct Case
    {
        const char* what;
        SiteBook record;
        int channel;
    };
    SiteBook otherRecorder = CameraRecord(gate, 4);
    SiteBook outside = CameraRecord(yard, 16);
    for (const Case& c : {Case{"another recorder", otherRecorder, 4}, Case{"channel 16", outside, 16}}) {
        view->createDeviceCamera(c.record, c.channel, false);
        EXPECT_EQ(view->VisibleCameras().size(), 1) << c.what;
    }
}

TEST_F(EmapViewTest, EntryWithoutCamerasClosesTheConnectingBoxAtOnce)
{
    OpenPlanEntry();
    EXPECT_FALSE(view->IsRecorderMode());
    EXPECT_EQ(view->GetEntrySlot(), 0);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Emap - Plan"));
    EXPECT_EQ(hub->boxCalls,
              (QStringList{QStringLiteral("eMap|Network Connecting...|"), QStringLiteral("||auto")}));
}

TEST_F(EmapViewTest, EveryEntryEditIsWrittenToTheEmapBook)
{
    OpenPlanEntry();
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 2), QPoint(117, 218)), 0);
    std::vector<EntryTexts> book = EmapBook();
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].name, QStringLiteral("Plan"));
    EXPECT_EQ(book[0].devices, QStringLiteral("Yard;") + kEmptyItems16.mid(1));
    EXPECT_EQ(book[0].channels, QStringLiteral("2;") + kEmptyChannels16.mid(3));
    EXPECT_EQ(book[0].emapPos, QStringLiteral("0.250000;0.666667;") + kEmptyPositions16.mid(6));

    // Dragged past the right border: its right edge stays on the border.
    EmapCamera* icon = view->GetCamera(0);
    DragIcon(icon, QPoint(500, 0));
    EXPECT_EQ(icon->pos(), QPoint(366, 200));
    book = EmapBook();
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].emapPos, QStringLiteral("0.915000;0.666667;") + kEmptyPositions16.mid(6));

    icon->deleteCamera();
    book = EmapBook();
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].devices, kEmptyItems16);
    EXPECT_EQ(book[0].channels, kEmptyChannels16);
    EXPECT_EQ(book[0].emapPos, kEmptyPositions16);
    EXPECT_TRUE(view->VisibleCameras().isEmpty());
}

TEST_F(EmapViewTest, LoadedPictureBecomesTheEntrysMap)
{
    OpenPlanEntry();
    const QString picture = programDir.path() + QStringLiteral("/yard.png");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(picture));
    ASSERT_TRUE(view->OpenMapFile(picture));
    EXPECT_EQ(view->GetMapPath(), picture);
    const std::vector<EntryTexts> book = EmapBook();
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].emapPath, picture);
}

TEST_F(EmapViewTest, OpenTileIsJoinedByARedLineThatGoesWhenItCloses)
{
    OpenPlanEntry();
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 0), QPoint(67, 68)), 0);
    EmapCamera* icon = view->GetCamera(0);
    ASSERT_NE(icon->GetTile(), nullptr);
    icon->viewCameo();
    ASSERT_TRUE(icon->IsTileShown());
    QWidget* tile = icon->GetTile()->Widget();
    EXPECT_TRUE(tile->isVisibleTo(view.get()));
    EXPECT_EQ(tile->geometry(), QRect(50 + 34 + 11, 50 + 38 + 11, 160, 120));
    const auto* cameo = qobject_cast<emapCameo*>(tile);
    ASSERT_NE(cameo, nullptr);
    EXPECT_TRUE(cameo->IsEmap());
    EXPECT_EQ(cameo->ShownRecorder(), yard->GetDeviceIndex());
    EXPECT_EQ(cameo->ShownChannel(), 0);

    // The line runs from the icon's centre to the tile's; its middle is red on the label.
    const QPoint from((50 + 83) / 2, (50 + 87) / 2);
    const QPoint to((95 + 254) / 2, (99 + 218) / 2);
    const QPoint middle = (from + to) / 2;
    QImage shown = view->MapLabel()->pixmap(Qt::ReturnByValue).toImage();
    EXPECT_TRUE(HasRedNear(shown, middle));

    // A repaint with nothing moved leaves the label's picture alone.
    const qint64 key = view->MapLabel()->pixmap(Qt::ReturnByValue).cacheKey();
    view->repaint();
    EXPECT_EQ(view->MapLabel()->pixmap(Qt::ReturnByValue).cacheKey(), key);

    icon->closeCameo();
    EXPECT_FALSE(icon->IsTileShown());
    EXPECT_TRUE(tile->isHidden());
    EXPECT_EQ(cameo->ShownRecorder(), -1);
    shown = view->MapLabel()->pixmap(Qt::ReturnByValue).toImage();
    EXPECT_FALSE(HasRedNear(shown, middle));
}

TEST_F(EmapViewTest, ZoomStopsAtItsLimits)
{
    view->GetAction(6)->setChecked(false);
    view->fitToWindow();
    for (int i = 0; i < 5; ++i)
        view->zoomIn();
    EXPECT_GT(view->GetScale(), 3.0);
    EXPECT_FALSE(view->GetAction(3)->isEnabled());
    view->normalSize();
    EXPECT_DOUBLE_EQ(view->GetScale(), 1.0);
    for (int i = 0; i < 6; ++i)
        view->zoomOut();
    EXPECT_FALSE(view->GetAction(4)->isEnabled());
}

TEST_F(EmapViewTest, TileMenuSizesTheTile)
{
    OpenPlanEntry();
    ASSERT_EQ(view->createCamera(CameraRecord(yard, 1), QPoint(67, 68)), 0);
    auto* cameo = qobject_cast<emapCameo*>(view->GetCamera(0)->GetTile()->Widget());
    ASSERT_NE(cameo, nullptr);
    struct Case
    {
        CCameo::ActionId action;
        QSize size;
    };
    for (const Case& c : {Case{CCameo::ActionId::EmapScr1, {80, 60}}, Case{CCameo::ActionId::EmapScr3, {320, 240}},
                          Case{CCameo::ActionId::EmapScr2, {160, 120}}}) {
        cameo->GetAction(c.action)->trigger();
        EXPECT_EQ(cameo->size(), c.size) << c.size.width();
    }
}

TEST_F(EmapViewTest, HubKeepsTwoWindowsAndOpensAMapWhereItBelongs)
{
    view.reset();
    hub->show();
    ASSERT_EQ(hub->exeEmapView(), 0);
    ASSERT_EQ(hub->exeEmapView(), 1);
    EXPECT_EQ(hub->exeEmapView(), -1) << "two e-map windows at most";
    EmapView* first = hub->GetEmapView(0);
    EmapView* second = hub->GetEmapView(1);
    ASSERT_TRUE(first && second);

    // A camera's own picture opens without connecting: the first empty window takes it.
    hub->OpenEmapView(yard->GetDeviceIndex(), 3);
    EXPECT_TRUE(first->Shows(yard->GetDeviceIndex(), 3));
    EXPECT_TRUE(second->IsEmpty());
    // The window already showing it only takes the focus.
    hub->OpenEmapView(yard->GetDeviceIndex(), 3);
    EXPECT_TRUE(second->IsEmpty());
    hub->OpenEmapView(gate->GetDeviceIndex(), 2);
    EXPECT_TRUE(second->Shows(gate->GetDeviceIndex(), 2));
    EXPECT_TRUE(first->Shows(yard->GetDeviceIndex(), 3));

    // An unknown recorder leaves a window in no mode.
    hub->OpenEmapView(9000, 1);
    EXPECT_EQ(int(first->IsEmpty()) + int(second->IsEmpty()), 1);
}
