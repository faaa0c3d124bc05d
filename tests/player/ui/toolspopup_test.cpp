// The tools popup's codec check and tile rules, and the slider previews' positions, placement,
// hot frame and seeks, offscreen with a fake main dialog.
#include "playback/previewstrip.h"
#include "ui/cdlgalarm.h"
#include "ui/cpreviewdlg.h"
#include "ui/cskinbutton.h"
#include "ui/skinbitmaps.h"
#include "ui/skintooltip.h"

#include <QApplication>
#include <QBitmap>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

class FakeToolsHost : public ToolsPopupHost
{
public:
    int LastSelectedTile() const override { return tile; }
    bool TilePlaysFile(int) const override { return playsFile; }
    bool AskInstallCodec() override
    {
        log << QStringLiteral("ask");
        return yes;
    }
    void RevealCodecInstaller() override { log << QStringLiteral("reveal"); }
    void SetXvidFlag(bool installed) override { log << QStringLiteral("xvid %1").arg(installed); }
    void Beep() override { log << QStringLiteral("beep"); }
    void OpenAviExport(int t, bool mpeg4) override { log << QStringLiteral("avi %1 %2").arg(t).arg(mpeg4); }
    void OpenPrintSave(int t) override { log << QStringLiteral("print %1").arg(t); }
    int tile = 3;
    bool playsFile = true;
    bool yes = false;
    QStringList log;
};

TEST(CDlgAlarm, CodecCheckAndTileRules)
{
    struct Case
    {
        bool xvid, encoder, yes, playsFile;
        int tile;
        QStringList log;
    };
    const Case cases[] = {
        {true, true, false, true, 3, {QStringLiteral("xvid 1"), QStringLiteral("avi 3 1")}},
        {true, false, false, true, 3, {QStringLiteral("xvid 1"), QStringLiteral("avi 3 0")}},
        {false, true, true, true, 3, {QStringLiteral("ask"), QStringLiteral("reveal")}},
        {false,
         true,
         false,
         true,
         3,
         {QStringLiteral("ask"), QStringLiteral("xvid 0"), QStringLiteral("avi 3 0")}},
        {true, true, false, true, -1, {QStringLiteral("xvid 1"), QStringLiteral("beep")}},
        {true, true, false, false, 2, {QStringLiteral("xvid 1"), QStringLiteral("beep")}},
    };
    for (const Case& c : cases) {
        FakeToolsHost host;
        host.yes = c.yes;
        host.playsFile = c.playsFile;
        host.tile = c.tile;
        CDlgAlarm popup(host, c.xvid, c.encoder);
        popup.AviButton()->click();
        EXPECT_EQ(host.log, c.log) << host.log.join(QLatin1Char(',')).toStdString();
    }
    FakeToolsHost host;
    CDlgAlarm popup(host, true, true);
    popup.PrintButton()->click();
    host.tile = -1;
    popup.OnPrint();
    EXPECT_EQ(host.log, (QStringList{QStringLiteral("print 3"), QStringLiteral("beep")}));
}

// The tip that a tooltip event on `tool` shows, grabbed; null when none shows.
QImage ShownTip(QWidget* tool, QString* text)
{
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), tool->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(tool, &help);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel") && top->isVisible()) {
            *text = top->property("text").toString();
            return top->grab().toImage();
        }
    }
    return QImage();
}

int CountColour(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, y)).rgb() == colour.rgb();
    return count;
}

TEST(CDlgAlarm, ButtonTipsWakeAfterTheirOwnDelayInTheSkinsColours)
{
    FakeToolsHost host;
    QWidget owner;
    owner.resize(800, 600);
    CDlgAlarm popup(host, true, true, &owner);
    owner.show();
    popup.ShowPopup(true);
    const struct
    {
        CSkinButton* button;
        const char* text;
    } cases[] = {{popup.AviButton(), "AVI Convert"}, {popup.PrintButton(), "Print & Save"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.button->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, c.button), 200) << c.text;
        QString text;
        const QImage tip = ShownTip(c.button, &text);
        ASSERT_FALSE(tip.isNull()) << c.text;
        EXPECT_EQ(text, QString::fromLatin1(c.text));
        // Mostly the dark blue ground, with text in the skin's light colour on it.
        EXPECT_GT(CountColour(tip, QColor(35, 56, 85)), tip.width() * tip.height() / 2) << c.text;
        EXPECT_GT(CountColour(tip, QColor(212, 230, 255)), 0) << c.text;
        QToolTip::hideText();
    }
    // The wake-up delay is the tools' own, not the panel's or the application's.
    EXPECT_NE(owner.style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, &owner), 200);
}

TEST(CDlgAlarm, ShowsInTheLowerRightCorner)
{
    FakeToolsHost host;
    QWidget owner;
    owner.resize(1000, 700);
    CDlgAlarm popup(host, true, true, &owner);
    owner.show();
    popup.ShowPopup(true);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.geometry(), QRect(823, 572, 140, 100));
    popup.ShowPopup(false);
    EXPECT_FALSE(popup.isVisible());
}

TEST(CDlgAlarm, DrawnFromItsSkinInTheShapeOfItsBitmap)
{
    SkinBitmaps::Init();
    const struct
    {
        int id;
        QSize size;
    } bitmaps[] = {{CDlgAlarm::kBackgroundBitmap, {140, 100}},
                   {315, {40, 27}},
                   {316, {40, 27}},
                   {317, {40, 27}},
                   {318, {40, 27}}};
    for (const auto& b : bitmaps)
        EXPECT_EQ(SkinBitmaps::Load(b.id).size(), b.size) << b.id;

    FakeToolsHost host;
    CDlgAlarm popup(host, true, true);
    const QImage background = SkinBitmaps::Load(CDlgAlarm::kBackgroundBitmap).toImage();
    // Magenta in the bitmap is outside the window; every other pixel is inside.
    const QRegion shape = popup.mask();
    int outside = 0;
    for (int y = 0; y < CDlgAlarm::kHeight; ++y) {
        for (int x = 0; x < CDlgAlarm::kWidth; ++x) {
            const bool magenta = QColor(background.pixel(x, y)) == QColor(255, 0, 255);
            outside += magenta;
            ASSERT_EQ(shape.contains(QPoint(x, y)), !magenta) << x << "," << y;
        }
    }
    EXPECT_GT(outside, 0);
    // The buttons show their own bitmaps, the panel its background.
    EXPECT_EQ(popup.AviButton()->CurrentBitmap().toImage(), SkinBitmaps::Load(318).toImage());
    EXPECT_EQ(popup.PrintButton()->CurrentBitmap().toImage(), SkinBitmaps::Load(316).toImage());
    const QImage shot = popup.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(35, 50)), QColor(background.pixel(35, 50)));
}

TEST(PreviewStrip, PositionsAndPlacement)
{
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(PreviewStrip::PositionFor(5, n), n);
    EXPECT_EQ(PreviewStrip::PositionFor(600, 3), 180);
    struct Place
    {
        QSize picture;
        int height;
    };
    // A tenth of the slider less its margins wide, as high as the picture's aspect makes it.
    const Place places[] = {{QSize(), 53}, {QSize(704, 480), 54}, {QSize(720, 576), 64}, {QSize(1920, 1080), 45}};
    for (const Place& p : places)
        EXPECT_EQ(PreviewStrip::Geometry(QRect(100, 500, 810, 20), 2, p.picture),
                  QRect(100 + 5 + 160, 500 + 20 - 5 - p.height, 80, p.height))
            << p.picture.width() << "x" << p.picture.height();

    PreviewStrip strip(4);
    EXPECT_EQ(strip.ShowPreview(1, 3, false), PreviewStrip::Action::Clear); // length below the number
    EXPECT_EQ(strip.ShowPreview(1, 600, false), PreviewStrip::Action::ReadAndShow);
    EXPECT_EQ(strip.Position(), 240);
    EXPECT_EQ(strip.ShowPreview(1, 600, false), PreviewStrip::Action::Show); // read once
    EXPECT_EQ(strip.ShowPreview(2, 600, false), PreviewStrip::Action::Hide);
    EXPECT_TRUE(strip.ClickSeeks(600, true));
    EXPECT_FALSE(strip.ClickSeeks(10, true));
    EXPECT_FALSE(strip.ClickSeeks(600, false));
    EXPECT_EQ(strip.ShowPreview(0, 600, false), PreviewStrip::Action::Clear);
    EXPECT_EQ(strip.Position(), -1);
    EXPECT_EQ(strip.ShowPreview(1, 600, true), PreviewStrip::Action::None); // no picture data
}

TEST(CPreviewDlg, ReadsOnceShowsHotFrameAndSeeks)
{
    QWidget owner;
    owner.resize(900, 600);
    owner.show();
    CPreviewDlg preview(3, &owner);
    QSignalSpy reads(&preview, &CPreviewDlg::ReadRequested);
    QSignalSpy seeks(&preview, &CPreviewDlg::SeekRequested);
    QSignalSpy hot(&preview, &CPreviewDlg::HotChanged);
    const QRect slider(10, 500, 810, 20);
    preview.ShowPreview(1, 600, false, slider);
    ASSERT_EQ(reads.size(), 1);
    EXPECT_EQ(reads.at(0).at(1).toInt(), 180);
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.size(), QSize(80, 53));

    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::green);
    preview.SetPicture(picture, QStringLiteral("08:00:00"));
    preview.resize(160, 120); // big enough to look at the frame
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&preview, &enter);
    EXPECT_TRUE(preview.Hot());
    QImage shot = preview.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 60)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(80, 30)), QColor(Qt::green));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&preview, &leave);
    EXPECT_FALSE(preview.Hot());
    shot = preview.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 60)), QColor(Qt::green)); // the red frame is gone
    EXPECT_EQ(hot.size(), 2);

    preview.SetTileState(600, true);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_EQ(seeks.at(0).at(0).toInt(), 180);
    preview.SetTileState(600, false);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(seeks.size(), 1);

    preview.ShowPreview(0, 600, false, slider);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_TRUE(preview.Picture().isNull());
}

TEST(CPreviewDlg, TakesThePicturesAspectAndShowsItWithTheCaption)
{
    QWidget owner;
    owner.resize(900, 600);
    owner.show();
    CPreviewDlg preview(0, &owner);
    const QRect slider(10, 500, 810, 20);
    preview.ShowPreview(1, 600, false, slider);

    // Left half green, right half blue, 4:3.
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::green);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = picture.width() / 2; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    preview.SetPicture(picture, QStringLiteral("08:00:00"));
    QCoreApplication::sendPostedEvents(&preview, QEvent::MetaCall); // the picture reaches the window
    EXPECT_EQ(preview.size(), QSize(80, 60));
    // Its bottom stays 5 pixels above the slider's.
    EXPECT_EQ(owner.mapFromGlobal(preview.geometry().bottomLeft()), QPoint(15, 500 + 20 - 5 - 1));

    const QImage shot = preview.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 10)), QColor(Qt::green));
    EXPECT_EQ(QColor(shot.pixel(70, 10)), QColor(Qt::blue));
    // The caption is drawn whole in white above the bottom edge, none of it over the top.
    int captionWhite = 0;
    int elsewhereWhite = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const bool white = QColor(shot.pixel(x, y)) == QColor(Qt::white);
            (y >= shot.height() - 18 && y < shot.height() - 3 ? captionWhite : elsewhereWhite) += white;
        }
    }
    EXPECT_GT(captionWhite, 30);
    EXPECT_EQ(elsewhereWhite, 0);
}

} // namespace
