// The screen split, image adjust and playback bar panels: what each button and slider emits, and
// that the main window's docks carry them to the active grid.
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "shell/cadjust.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/cscrsplit.h"
#include "shell/liveview.h"
#include "shell/support/mainwin_fixture.h"
#include "widgets/cplaybackctrl.h"

// The pictures live in a static library, so they are registered by hand (at global scope, where
// the registration function is declared).
static void InitStyleSheetResources()
{
    Q_INIT_RESOURCE(res);
}

namespace {

template <typename T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(ScrSplitPanel, EachButtonEmitsItsGridSize)
{
    CScrSplit panel;
    QSignalSpy spy(&panel, &CScrSplit::OnScrSplit);
    const struct
    {
        const char* button;
        int row, column;
        const char* caption;
        int split;
    } cases[] = {
        {"split1", 0, 0, "", 1},     {"split4", 0, 1, "", 4},     {"split9", 0, 2, "", 9},
        {"split16", 0, 3, "", 16},   {"split13", 1, 0, "25", 25}, {"split36", 1, 1, "36", 36},
        {"split49", 1, 2, "49", 49}, {"split64", 1, 3, "64", 64},
    };
    auto* grid = Child<QGridLayout>(&panel, "gridLayout");
    ASSERT_NE(grid, nullptr);
    for (const auto& c : cases) {
        auto* button = Child<QPushButton>(&panel, c.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QLatin1String(c.caption)) << c.button;
        EXPECT_EQ(button->minimumSize(), QSize(60, 60)) << c.button;
        EXPECT_EQ(button->maximumSize(), QSize(60, 60)) << c.button;
        EXPECT_EQ(grid->itemAtPosition(c.row, c.column)->widget(), button) << c.button;
        spy.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(spy.size(), 1) << c.button;
        EXPECT_EQ(spy.at(0).at(0).toInt(), c.split) << c.button;
    }
    EXPECT_EQ(panel.objectName(), "CScrSplit");
}

TEST(ScrSplitPanel, StyleSheetFromTheWorkingDirectoryOrNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        CScrSplit plain;
        EXPECT_TRUE(Child<QPushButton>(&plain, "split1")->styleSheet().isEmpty());
    }
    QDir(dir.path()).mkdir("qss");
    QFile sheet(dir.path() + "/qss/splite_1.qss");
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
    sheet.write("QPushButton { color: \xe9; }"); // Latin-1
    sheet.close();
    {
        CScrSplit styled;
        for (const char* name : {"split1", "split13", "split64"})
            EXPECT_EQ(Child<QPushButton>(&styled, name)->styleSheet(),
                      QString::fromLatin1("QPushButton { color: \xe9; }"))
                << name;
    }
    QDir::setCurrent(previous);
}

TEST(AdjustPanel, FormAndSliderRanges)
{
    CAdjust panel;
    auto* frate = Child<QSlider>(&panel, "ctrl_slider_frate");
    auto* brightness = Child<QSlider>(&panel, "ctrl_slider_brightness");
    auto* contrast = Child<QSlider>(&panel, "ctrl_slider_contrast");
    ASSERT_TRUE(frate && brightness && contrast);
    EXPECT_EQ(frate->minimum(), 1);
    EXPECT_EQ(frate->maximum(), 30);
    EXPECT_EQ(frate->value(), 1);
    EXPECT_TRUE(frate->isHidden());
    EXPECT_TRUE(Child<QLabel>(&panel, "label_1")->isHidden());
    EXPECT_EQ(brightness->minimum(), -50);
    EXPECT_EQ(brightness->maximum(), 50);
    EXPECT_EQ(contrast->minimum(), -50);
    EXPECT_EQ(contrast->maximum(), 50);
    EXPECT_EQ(brightness->geometry(), QRect(110, 40, 160, 19));
    EXPECT_EQ(contrast->geometry(), QRect(110, 90, 160, 19));
    EXPECT_EQ(Child<QLabel>(&panel, "label_2")->text(), "Brightness");
    EXPECT_EQ(Child<QLabel>(&panel, "label_3")->text(), "Contrast");
}

TEST(AdjustPanel, SetValuesClampsAndEchoesOnlyWhatMoved)
{
    const struct
    {
        const char* what;
        int before[2];
        int set[3];
        int after[3];
        std::vector<int> brightnessSignals;
        std::vector<int> contrastSignals;
    } cases[] = {
        {"clamped to the ranges", {0, 0}, {80, -80, 0}, {50, -50, 1}, {50}, {-50}},
        {"already there", {50, -50}, {80, -80, 0}, {50, -50, 1}, {}, {}},
        {"same values emit nothing", {10, 20}, {10, 20, 15}, {10, 20, 15}, {}, {}},
        {"only contrast moves", {10, 20}, {10, -3, 30}, {10, -3, 30}, {}, {-3}},
    };
    for (const auto& c : cases) {
        CAdjust panel;
        panel.SetValues(c.before[0], c.before[1], 1);
        QSignalSpy brightness(&panel, &CAdjust::SetBrightness);
        QSignalSpy contrast(&panel, &CAdjust::SetContrast);
        QSignalSpy frate(&panel, &CAdjust::SetFrate);
        panel.SetValues(c.set[0], c.set[1], c.set[2]);
        EXPECT_EQ(Child<QSlider>(&panel, "ctrl_slider_brightness")->value(), c.after[0]) << c.what;
        EXPECT_EQ(Child<QSlider>(&panel, "ctrl_slider_contrast")->value(), c.after[1]) << c.what;
        EXPECT_EQ(Child<QSlider>(&panel, "ctrl_slider_frate")->value(), c.after[2]) << c.what;
        std::vector<int> b, k;
        for (const auto& args : brightness)
            b.push_back(args.at(0).toInt());
        for (const auto& args : contrast)
            k.push_back(args.at(0).toInt());
        EXPECT_EQ(b, c.brightnessSignals) << c.what;
        EXPECT_EQ(k, c.contrastSignals) << c.what;
        EXPECT_EQ(frate.size(), 0) << c.what << ": the frame-rate slider is not connected";
    }
}

TEST(AdjustPanel, SlidersEmitWhileDraggedAndOnPress)
{
    CAdjust panel;
    QSignalSpy brightness(&panel, &CAdjust::SetBrightness);
    QSignalSpy contrast(&panel, &CAdjust::SetContrast);
    Child<QSlider>(&panel, "ctrl_slider_brightness")->setValue(-7);
    Child<QSlider>(&panel, "ctrl_slider_contrast")->setValue(12);
    panel.sliderBrightnessPress();
    ASSERT_EQ(brightness.size(), 2);
    EXPECT_EQ(brightness.at(0).at(0).toInt(), -7);
    EXPECT_EQ(brightness.at(1).at(0).toInt(), -7);
    ASSERT_EQ(contrast.size(), 1);
    EXPECT_EQ(contrast.at(0).at(0).toInt(), 12);
}

TEST(PlaybackBar, ButtonsEmitTheirCodes)
{
    CPlaybackCtrl bar;
    QSignalSpy spy(&bar, &CPlaybackCtrl::SetPlaybackControl);
    const struct
    {
        const char* button;
        const char* text;
        QPoint position;
        int code;
    } cases[] = {
        {"btnFBackward", "<<", {10, 10}, 512}, {"btnBackward", "<", {70, 10}, 256},
        {"btnPause", "||", {130, 10}, 2},      {"btnForward", ">", {190, 10}, 16},
        {"btnFForward", ">>", {250, 10}, 32},
    };
    for (const auto& c : cases) {
        auto* button = Child<QPushButton>(&bar, c.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QLatin1String(c.text)) << c.button;
        EXPECT_EQ(button->geometry(), QRect(c.position, QSize(51, 51))) << c.button;
        spy.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(spy.size(), 1) << c.button;
        EXPECT_EQ(spy.at(0).at(0).toInt(), c.code) << c.button;
    }
}

// Every picture the style sheets name is in the compiled resources.
TEST(StyleSheetPictures, AreInTheResources)
{
    InitStyleSheetResources();
    QDir qss(QStringLiteral(ZENT_SOURCE_DIR "/client/qss"));
    const QRegularExpression url(QStringLiteral("url\\((:/res/[^)]*)\\)"));
    int named = 0;
    for (const QString& name : qss.entryList({QStringLiteral("*.qss")})) {
        QFile file(qss.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        for (auto it = url.globalMatch(text); it.hasNext(); ++named) {
            const QString path = it.next().captured(1);
            EXPECT_TRUE(QFile::exists(path)) << name.toStdString() << ": " << path.toStdString();
        }
    }
    EXPECT_GE(named, 4);
}

class SidePanelsInTheHub : public MainWinTest
{};

TEST_F(SidePanelsInTheHub, DocksCarryThePanelsToTheActiveGrid)
{
    StartHub();
    ASSERT_NE(hub->GetScrSplitPanel(), nullptr);
    ASSERT_NE(hub->GetAdjustPanel(), nullptr);
    ASSERT_NE(hub->GetPlaybackPanel(), nullptr);
    const auto dockOf = [&](const QString& title) {
        for (QDockWidget* dock : hub->DockWidgets()) {
            if (dock->windowTitle() == title)
                return dock->widget();
        }
        return static_cast<QWidget*>(nullptr);
    };
    EXPECT_EQ(dockOf("Screen Split"), hub->GetScrSplitPanel());
    EXPECT_EQ(dockOf("Adjust"), hub->GetAdjustPanel());
    EXPECT_EQ(dockOf("Playback"), hub->GetPlaybackPanel());
    EXPECT_EQ(hub->GetAdjustPanel()->size(), QSize(315, 153));

    hub->exeLiveView();
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr);
    CCameo* grid = view->GetCameo();
    hub->Sessions()->SetActiveCameoIndex(grid->GetCameoIndex());

    // The button named split13 switches the grid to 25 cells.
    QTest::mouseClick(Child<QPushButton>(hub->GetScrSplitPanel(), "split13"), Qt::LeftButton);
    EXPECT_EQ(grid->GetSplit(), 25);
    QTest::mouseClick(Child<QPushButton>(hub->GetScrSplitPanel(), "split4"), Qt::LeftButton);
    EXPECT_EQ(grid->GetSplit(), 4);

    // Selecting a cell without an online recorder shows (0, 0, 15) in the panel.
    hub->GetAdjustPanel()->SetValues(20, 30, 5);
    grid->OnSplitMode(0, 4, false);
    EXPECT_EQ(Child<QSlider>(hub->GetAdjustPanel(), "ctrl_slider_brightness")->value(), 0);
    EXPECT_EQ(Child<QSlider>(hub->GetAdjustPanel(), "ctrl_slider_contrast")->value(), 0);
    EXPECT_EQ(Child<QSlider>(hub->GetAdjustPanel(), "ctrl_slider_frate")->value(), 15);

    // The playback bar's codes reach the hub without harm while no playback window is open.
    QTest::mouseClick(Child<QPushButton>(hub->GetPlaybackPanel(), "btnPause"), Qt::LeftButton);
    EXPECT_EQ(grid->GetSplit(), 4);
}

} // namespace
