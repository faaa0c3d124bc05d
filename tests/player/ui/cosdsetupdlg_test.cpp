#include "ui/cosdsetupdlg.h"

#include "playback/language.h"
#include "ui/osdsetuphost.h"

#include <QCheckBox>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

class FakeOsdHost : public OsdSetupHost
{
public:
    OsdOptions GetOsdOptions() const override { return options; }
    void SetOsdOptions(const OsdOptions& set) override
    {
        options = set;
        calls << QStringLiteral("set");
    }
    void RedrawAll() override { calls << QStringLiteral("redraw"); }
    QString Text(const QString& key) const override { return QStringLiteral("<%1>").arg(key); }
    bool ChooseColour(int, int* chosen) override
    {
        if (colour < 0) {
            return false;
        }
        *chosen = colour;
        return true;
    }

    OsdOptions options;
    int colour = -1;
    QStringList calls;
};

TEST(COSDSetupDlg, BoxesStartFromTheEngineAndTakeLanguageTexts)
{
    FakeOsdHost host;
    host.options.showRecorderName = 0;
    host.options.showEvent = 0;
    COSDSetupDlg dialog(&host);
    EXPECT_TRUE(dialog.cameraName()->isChecked());
    EXPECT_FALSE(dialog.recorderName()->isChecked());
    EXPECT_FALSE(dialog.event()->isChecked());
    EXPECT_TRUE(dialog.tileNumber()->isChecked());
    EXPECT_EQ(dialog.recorderName()->text(), QString("<DVR_NAME>"));
    EXPECT_EQ(dialog.windowTitle(), QString("<OSD_SETUP>"));
}

TEST(COSDSetupDlg, OkStoresAllSevenValuesInOneCallThenRedraws)
{
    FakeOsdHost host;
    COSDSetupDlg dialog(&host);
    dialog.date()->setChecked(false);
    dialog.tileNumber()->setChecked(false);
    host.colour = 0x00FF00;
    dialog.OnColour();
    dialog.accept();
    EXPECT_EQ(host.calls, QStringList({"set", "redraw"}));
    EXPECT_EQ(host.options.showDate, 0);
    EXPECT_EQ(host.options.showTileNumber, 0);
    EXPECT_EQ(host.options.showTime, 1);
    EXPECT_EQ(host.options.textColour, 0x00FF00);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(COSDSetupDlg, CancelAndACancelledChooserChangeNothing)
{
    FakeOsdHost host;
    host.options.textColour = 0x123456;
    COSDSetupDlg dialog(&host);
    dialog.OnColour(); // chooser cancelled
    EXPECT_EQ(dialog.Options().textColour, 0x123456);
    dialog.time()->setChecked(false);
    dialog.reject();
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(host.options.showTime, 1);
}

// The program's own language table has no "EVENT" text: every box must still carry a label.
class TableOsdHost : public FakeOsdHost
{
public:
    TableOsdHost() { language.Load(QString()); }
    QString Text(const QString& key) const override { return language.GetText(key); }
    CLanguage language;
};

TEST(COSDSetupDlg, EveryBoxHasALabelWithTheProgramsLanguageTable)
{
    TableOsdHost host;
    ASSERT_TRUE(host.language.GetText("EVENT").isEmpty());
    COSDSetupDlg dialog(&host);
    const struct
    {
        QCheckBox* box;
        QString label;
    } cases[] = {
        {dialog.event(), "Event"},
        {dialog.cameraName(), host.language.GetText("CAMERA_NAME")},
        {dialog.recorderName(), host.language.GetText("DVR_NAME")},
        {dialog.time(), host.language.GetText("TIME")},
        {dialog.date(), host.language.GetText("DATE")},
        {dialog.tileNumber(), "Cameo Number"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.box->text().isEmpty());
        EXPECT_EQ(c.box->text(), c.label);
    }
}

} // namespace
