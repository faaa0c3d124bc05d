// The image-skinned widgets of the configuration console: which skin folder each picture comes
// from, magenta keying on one- and two-image buttons only, indices from a recorder's layout, the
// colour button, the background colour, and that none of them reacts to the mouse itself.
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <map>

#include "widgets/imagefontlabel.h"
#include "widgets/imagelabel.h"
#include "widgets/imagepushbutton.h"
#include "widgets/imagescrollbar.h"
#include "widgets/imageslider.h"
#include "widgets/skinimagehub.h"
#include "widgets/skinpicture.h"

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kOrange(240, 120, 20);
const QColor kNavy(10, 20, 90);

// A 4 x 4 picture: magenta left half, orange right half.
QPixmap HalfMagenta()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(kOrange);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixelColor(x, y, kMagenta);
    return QPixmap::fromImage(image);
}

// A skin with named pictures per folder; every request is recorded.
class FakeSkin : public SkinImageHub
{
public:
    FakeSkin() { SkinImageHub::Install(this); }
    ~FakeSkin() override { SkinImageHub::Install(nullptr); }

    QPixmap LoadSkinImage(const QString& name, SkinFolder folder) const override
    {
        requests.push_back({name, folder});
        const auto it = pictures.find({name, int(folder)});
        return it == pictures.end() ? QPixmap() : it->second;
    }

    std::map<std::pair<QString, int>, QPixmap> pictures;
    mutable std::vector<std::pair<QString, SkinFolder>> requests;
};

// A parent that counts the mouse presses and releases its children pass on.
class Catcher : public QWidget
{
public:
    int presses = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};

TEST(SkinPicture, MagentaBecomesTransparentAndNothingElseChanges)
{
    const QImage keyed = SkinPicture::KeyMagenta(HalfMagenta().toImage());
    EXPECT_EQ(keyed.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(keyed.pixel(1, 3)), 0);
    EXPECT_EQ(keyed.pixelColor(2, 0), kOrange);
    EXPECT_EQ(qAlpha(keyed.pixel(3, 3)), 255);

    QImage near(2, 1, QImage::Format_RGB32);
    near.setPixelColor(0, 0, QColor(254, 0, 255));
    near.setPixelColor(1, 0, QColor(255, 1, 255));
    const QImage kept = SkinPicture::KeyMagenta(near);
    EXPECT_EQ(qAlpha(kept.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(kept.pixel(1, 0)), 255);
}

TEST(ImagePushButton, OneAndTwoImageButtonsKeyMagentaFromTheBaseFolder)
{
    FakeSkin skin;
    skin.pictures[{QStringLiteral("Btn"), 0}] = HalfMagenta();
    skin.pictures[{QStringLiteral("Btn"), 1}] = HalfMagenta();
    struct Case
    {
        int images;
        SkinImageHub::SkinFolder folder;
        int alphaOfMagenta;
    };
    for (const Case& c :
         {Case{1, SkinImageHub::SkinFolder::Base, 0}, Case{2, SkinImageHub::SkinFolder::Base, 0},
          Case{4, SkinImageHub::SkinFolder::Bin, 255}, Case{0, SkinImageHub::SkinFolder::Bin, 255}}) {
        skin.requests.clear();
        imagePushButton button(QStringLiteral("OK"), c.images, nullptr);
        button.SetImage(QStringLiteral("Btn"), 10, 20, 4, 4, 0);
        ASSERT_EQ(skin.requests.size(), 1u) << c.images;
        EXPECT_EQ(skin.requests[0].second, c.folder) << c.images;
        const QImage stored = button.Image(0).toImage();
        EXPECT_EQ(qAlpha(stored.pixel(0, 0)), c.alphaOfMagenta) << c.images;
        EXPECT_EQ(stored.pixelColor(3, 0), kOrange) << c.images;
        EXPECT_EQ(button.ImageName(0), "Btn");
        EXPECT_EQ(button.ImageRect(0), QRect(10, 20, 4, 4));
    }
}

TEST(ImagePushButton, IndicesOutsideZeroToSevenAreIgnored)
{
    FakeSkin skin;
    skin.pictures[{QStringLiteral("Btn"), 1}] = HalfMagenta();
    imagePushButton button(QStringLiteral("OK"), 4, nullptr);
    for (int index : {8, 9, -1, -100, 1000})
        button.SetImage(QStringLiteral("Btn"), 0, 0, 4, 4, index);
    EXPECT_TRUE(skin.requests.empty());
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(button.ImageName(i).isEmpty()) << i;

    imageLabel label(4, nullptr);
    for (int index : {8, -1})
        label.SetImage(QStringLiteral("Btn"), 0, 0, 4, 4, index);
    EXPECT_TRUE(skin.requests.empty());
}

TEST(ImagePushButton, AMissingBitmapOnATwoImageButtonKeepsWhatWasThere)
{
    FakeSkin skin;
    skin.pictures[{QStringLiteral("Up"), 0}] = HalfMagenta();
    imagePushButton two(QStringLiteral("OK"), 2, nullptr);
    two.SetImage(QStringLiteral("Up"), 1, 2, 3, 4, 1);
    two.SetImage(QStringLiteral("Gone"), 5, 6, 7, 8, 1);
    EXPECT_EQ(two.ImageName(1), "Up");
    EXPECT_EQ(two.ImageRect(1), QRect(1, 2, 3, 4));
    EXPECT_FALSE(two.Image(1).isNull());

    // Other buttons store the name even of a missing bitmap.
    imagePushButton four(QStringLiteral("OK"), 4, nullptr);
    four.SetImage(QStringLiteral("Gone"), 5, 6, 7, 8, 1);
    EXPECT_EQ(four.ImageName(1), "Gone");
    EXPECT_TRUE(four.Image(1).isNull());
}

TEST(ImagePushButton, AKeyedButtonLetsItsParentShowThroughTheMagenta)
{
    FakeSkin skin;
    skin.pictures[{QStringLiteral("Key"), 0}] = HalfMagenta();
    QWidget parent;
    parent.resize(60, 60);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, kNavy);
    parent.setPalette(palette);
    auto* button = new imagePushButton(QString(), 1, &parent);
    button->setGeometry(10, 10, 40, 40);
    button->SetText(10, 10, QString());
    // Given in the parent's coordinates: the whole button.
    button->SetImage(QStringLiteral("Key"), 10, 10, 40, 40, 0);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(15, 30), kNavy);   // magenta half
    EXPECT_EQ(shot.pixelColor(45, 30), kOrange); // orange half
}

TEST(ImagePushButton, AColourButtonShowsAGreenFrameAroundItsColourOnly)
{
    FakeSkin skin;
    skin.pictures[{QStringLiteral("Btn"), 1}] = HalfMagenta();
    imagePushButton button(QStringLiteral("Text"), 4, nullptr);
    button.resize(30, 20);
    button.SetImage(QStringLiteral("Btn"), 0, 0, 30, 20, 0);
    button.SetTextColor(kNavy, 1);
    const QImage shot = button.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(0, 223, 0));
    EXPECT_EQ(shot.pixelColor(29, 19), QColor(0, 223, 0));
    for (int x = 1; x < 29; ++x)
        for (int y = 1; y < 19; ++y)
            ASSERT_EQ(shot.pixelColor(x, y), kNavy) << x << "," << y;
}

TEST(ImagePushButton, BackgroundComesFromTheFourthImageWhenThereAreTwoOrMore)
{
    FakeSkin skin;
    QImage fourth(6, 5, QImage::Format_RGB32);
    fourth.fill(Qt::white);
    fourth.setPixelColor(5, 2, kOrange); // right edge, half way down
    skin.pictures[{QStringLiteral("Bg"), 1}] = QPixmap::fromImage(fourth);
    imagePushButton button(QString(), 4, nullptr);
    button.resize(30, 20);
    // Image 3 drawn off the button: only its background colour shows.
    button.SetImage(QStringLiteral("Bg"), 500, 500, 6, 5, 3);
    EXPECT_EQ(button.grab().toImage().pixelColor(15, 10), kOrange);

    imageLabel label(1, nullptr);
    label.resize(30, 20);
    label.SetImage(QStringLiteral("Bg"), 500, 500, 6, 5, 3);
    EXPECT_EQ(label.grab().toImage().pixelColor(15, 10), kOrange);
}

TEST(ImageWidgets, PressesAndReleasesGoToTheParent)
{
    Catcher parent;
    parent.resize(300, 200);
    auto* button = new imagePushButton(QStringLiteral("B"), 1, &parent);
    button->setGeometry(0, 0, 50, 30);
    auto* slider = new imageSlider(&parent);
    slider->setOrientation(Qt::Horizontal);
    slider->setRange(0, 100);
    slider->setGeometry(0, 50, 200, 20);
    auto* bar = new imageScrollBar(&parent);
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(0, 100);
    bar->setGeometry(0, 100, 200, 20);
    auto* font = new imageFontLabel(&parent);
    font->setGeometry(0, 150, 50, 20);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_FALSE(button->isDown());
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(190, 10));
    EXPECT_EQ(slider->value(), 0);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(190, 10));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(parent.presses, 3);
    EXPECT_EQ(parent.releases, 3);

    QWheelEvent wheel(QPointF(100, 10), slider->mapToGlobal(QPoint(100, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(slider->value(), 0);
    // Left unaccepted, so that a wheel turn from the window system goes on to the parent.
    EXPECT_FALSE(wheel.isAccepted());
}

} // namespace
