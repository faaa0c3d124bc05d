// The skinned controls, the wait and notice boxes and the tip, under the offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include <gtest/gtest.h>

#include "ui/cmsgdlg.h"
#include "ui/cskinbutton.h"
#include "ui/cskinslider.h"
#include "ui/ctippopup.h"
#include "ui/hpimagemanager.h"
#include "ui/hpmessagebox.h"
#include "ui/skinbitmaps.h"
#include "ui/waitboxhost.h"

namespace {

struct FakeWaitHost : WaitBoxHost
{
    QVector<int> selected;
    bool mainEnabled = true;
    bool barEnabled = true;
    bool exporting = false;
    CancelAction action = CancelAction::None;
    int actionTile = -1;
    QRect MainDialogRect() const override { return QRect(100, 100, 800, 600); }
    void EnableMainDialog(bool e) override { mainEnabled = e; }
    void EnableControlBar(bool e) override { barEnabled = e; }
    bool ExportRunning() const override { return exporting; }
    QVector<int> SelectedCameos() const override { return selected; }
    void CancelWaitBox(CancelAction a, int tile) override
    {
        action = a;
        actionTile = tile;
    }
};

void InitSkins()
{
    SkinBitmaps::Init();
}

} // namespace

TEST(PlayerSkinBitmaps, EveryNamedBitmapExistsAtItsSize)
{
    InitSkins();
    struct Case
    {
        int id;
        QSize size;
    };
    const Case cases[] = {{302, {800, 600}}, {298, {160, 40}},  {299, {319, 175}}, {300, {107, 26}},
                          {301, {107, 26}},  {232, {42, 39}},   {248, {42, 39}},   {250, {47, 34}},
                          {294, {160, 100}}, {295, {140, 100}}, {133, {101, 14}},  {134, {101, 14}},
                          {135, {14, 10}},   {136, {14, 10}},   {193, {59, 33}},   {194, {59, 33}},
                          {315, {40, 27}},   {316, {40, 27}},   {317, {40, 27}},   {318, {40, 27}}};
    for (const Case& c : cases)
        EXPECT_EQ(SkinBitmaps::Load(c.id).size(), c.size) << c.id;
    // The control bar's nine buttons: four bitmaps each, 258 to 293.
    for (int id = 258; id <= 293; ++id)
        EXPECT_FALSE(SkinBitmaps::Load(id).isNull()) << id;
    for (int id : {230, 231, 233, 234, 236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247, 249,
                   251, 252, 253, 254, 255, 256, 257, 304, 305, 306, 307, 308, 309, 310, 311, 312})
        EXPECT_FALSE(SkinBitmaps::Load(id).isNull()) << id;
    EXPECT_TRUE(SkinBitmaps::Load(999).isNull());
    for (const char* name : {"BackGround.bmp", "ConnectAni.bmp", "Button1.bmp", "Button2.bmp"})
        EXPECT_FALSE(QPixmap(QStringLiteral(ZENT_SOURCE_DIR "/player/Resource/KRO/Connect/") + name).isNull())
            << name;
}

TEST(PlayerSkinButton, ChoosesTheBitmapOfItsState)
{
    InitSkins();
    CSkinButton button(QStringLiteral("4"));
    button.LoadBitmaps(237, 238, 239, 239);
    EXPECT_EQ(button.size(), QSize(42, 39));
    const QImage normal = SkinBitmaps::Load(237).toImage();
    const QImage checked = SkinBitmaps::Load(239).toImage();
    EXPECT_EQ(button.CurrentBitmap().toImage(), normal);
    button.SetCheck(true);
    EXPECT_EQ(button.CurrentBitmap().toImage(), checked);
    button.SetCheck(false);
    EXPECT_EQ(button.CurrentBitmap().toImage(), normal);
}

TEST(PlayerImageManager, CachesLoadsAndFailures)
{
    InitSkins();
    HPImageManager images;
    const QString file = QStringLiteral(ZENT_SOURCE_DIR "/player/Resource/KRO/Connect/Button1.bmp");
    const QPixmap& first = images.GetImage(file);
    const QPixmap& second = images.GetImage(file);
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(&first, &second);
    EXPECT_TRUE(images.GetImage("/nowhere/missing.bmp").isNull());
    EXPECT_TRUE(images.GetImage("/nowhere/missing.bmp").isNull());
    EXPECT_EQ(images.Count(), 2);
}

TEST(PlayerSkinSlider, ResetPositionAndReleaseWithoutDrag)
{
    InitSkins();
    CSkinSlider slider(1180);
    ASSERT_TRUE(slider.LoadChannelBitmaps(312, 0, false, 0, 0, 0));
    EXPECT_FALSE(slider.LoadThumbBitmaps(999, 0, true, CSkinSlider::kPixelColour, 0, 0));
    slider.SetLimits(0, 30);
    slider.SetPosition(15);
    slider.SetPosition(40);
    EXPECT_EQ(slider.Position(), 30);
    EXPECT_EQ(slider.ResetPosition(), 15);
    QSignalSpy moved(&slider, &CSkinSlider::sliderMoved);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 1180);
    QTest::mouseClick(&slider, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(slider.Position(), 15);
    slider.SetLimits(5, 5); // equal limits do not divide by zero
    slider.repaint();
}

TEST(PlayerWaitBoxDialog, StepsCloseTheBoxAndEnableTheDialog)
{
    InitSkins();
    FakeWaitHost host;
    CMsgDlg box(host, QStringLiteral("Arial"), QStringLiteral("Cancel"));
    box.ShowMessage(2, QStringLiteral("Buffering..."), WaitBoxStyle::TileView, 4);
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.CancelButton()->isHidden());
    EXPECT_FALSE(host.mainEnabled);
    EXPECT_FALSE(host.barEnabled);
    // A step from a play thread is carried out on the box's own thread.
    std::thread worker([&box] { box.Step(); });
    worker.join();
    EXPECT_EQ(box.Counter().CurrentStep(), 0);
    QElapsedTimer timer;
    timer.start();
    while (box.Counter().CurrentStep() == 0 && timer.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(box.Counter().CurrentStep(), 1);
    box.Step();
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(host.mainEnabled);
    EXPECT_TRUE(host.barEnabled);

    // No Cancel button: the first step closes the box; while exporting the dialog stays off.
    host.exporting = true;
    box.ShowMessage(5, QStringLiteral("Buffering..."), WaitBoxStyle::NoCancel, 3);
    EXPECT_TRUE(box.CancelButton()->isHidden());
    box.Step();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(host.mainEnabled);
    EXPECT_TRUE(host.barEnabled);
}

TEST(PlayerWaitBoxDialog, CancelActsOnTheHighestSelectedTile)
{
    InitSkins();
    FakeWaitHost host;
    CMsgDlg box(host, QStringLiteral("Arial"), QStringLiteral("Cancel"));
    box.ShowMessage(3, QStringLiteral("Please wait..."), WaitBoxStyle::TileView, 0);
    host.selected = {};
    QTest::mouseClick(box.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(host.action, CancelAction::CloseTileView);
    EXPECT_EQ(host.actionTile, 0);
    EXPECT_FALSE(box.isVisible());
    box.ShowMessage(3, QStringLiteral("Buffering..."), WaitBoxStyle::TileView, 4);
    host.selected = {2, 9, 5};
    QTest::mouseClick(box.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(host.action, CancelAction::ResetTimeBar);
    EXPECT_EQ(host.actionTile, 9);
}

TEST(PlayerNoticeBox, ASecondRequestExtendsTheShownBox)
{
    InitSkins();
    HPImageManager images;
    QWidget owner;
    HPMessageBox box(images, QStringLiteral(ZENT_SOURCE_DIR "/player/Resource/KRO/Connect/"),
                     QStringLiteral("Arial"));
    EXPECT_EQ(box.ShowBox(nullptr), 0);
    MessageBoxRequest request;
    request.firstLine = QStringLiteral("Disk is full !!");
    request.secondLine = QStringLiteral("Check disk free space.");
    request.showCancel = true;
    request.animate = false;
    request.durationMs = 200;
    request.windowToDisable = &owner;
    EXPECT_EQ(box.ShowBox(&request), 1);
    EXPECT_TRUE(box.IsActive());
    EXPECT_FALSE(owner.isEnabled());
    request.durationMs = 20000;
    request.firstLine = QStringLiteral("Second");
    box.ShowBox(&request);
    EXPECT_EQ(box.Request().firstLine, "Second");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 600)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(box.IsActive()); // the second request's duration holds
    box.Cancel();
    EXPECT_FALSE(box.IsActive());
    EXPECT_TRUE(owner.isEnabled());
}

TEST(PlayerTipPopup, SizesItselfToTheText)
{
    QWidget owner;
    CTipPopup tip(&owner, QStringLiteral("Arial"));
    tip.SetText(QString());
    EXPECT_EQ(tip.width(), 26);
    tip.SetText(QStringLiteral("1"));
    EXPECT_EQ(tip.width(), 26);
    tip.SetText(QStringLiteral("A much longer value text"));
    EXPECT_GT(tip.width(), 26);
    tip.Show();
    EXPECT_TRUE(tip.IsShown());
    tip.Hide();
    EXPECT_FALSE(tip.IsShown());
}
