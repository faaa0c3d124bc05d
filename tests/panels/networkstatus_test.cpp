// The network status pop-up: the limit a slider position stands for, the size texts, and the
// settings it edits in the recorder's session.
#include <QApplication>
#include <QCheckBox>
#include <QSlider>
#include <QTest>

#include "panels/cmodulenetworkstatus.h"
#include "panels/networkusage.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"

namespace {

using NetworkUsageSize::Unit;

TEST(NetworkUsageSize, SliderPositionsGiveTheirLimits)
{
    struct Case
    {
        int position;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {0, "0 KB"}, {1, "1 MB"}, {10, "10 MB"}, {11, "20 MB"}, {24, "150 MB"}, {25, "200 MB"},
        {31, "500 MB"}, {32, "1.0 GB"}, {33, "1.5 GB"}, {36, "3.0 GB"}, {130, "50.0 GB"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(NetworkUsageSize::Text(NetworkUsageSize::LimitKB(c.position), Unit::KB), QLatin1String(c.text))
            << c.position;
}

TEST(NetworkUsageSize, SizeTextsInBothUnits)
{
    struct Case
    {
        qint64 value;
        Unit unit;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {-5, Unit::KB, "0 KB"}, {0, Unit::KB, "0 KB"}, {1, Unit::KB, "1 KB"}, {1023, Unit::KB, "1023 KB"},
        {1024, Unit::KB, "1 MB"}, {1048575, Unit::KB, "1023 MB"}, {1048576, Unit::KB, "1.0 GB"},
        {1887436, Unit::KB, "1.8 GB"},
        {0, Unit::MB, "0 MB"}, {1023, Unit::MB, "1023 MB"}, {1024, Unit::MB, "1.00 GB"}, {1536, Unit::MB, "1.50 GB"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(NetworkUsageSize::Text(c.value, c.unit), QLatin1String(c.text)) << c.value;
}

class NetworkStatusTest : public PanelsOnlineTest
{};

TEST_F(NetworkStatusTest, OpensOnTheStoredSettingsAndEditsThem)
{
    CModuleDevice* device = AddRecorder(QStringLiteral("Yard"));
    device->LoadSiteBookInfo();
    CModuleNetworkStatus status;
    status.SetDevice(device->GetDeviceIndex());
    // A stored 36 opens counted in 50 MB steps.
    EXPECT_EQ(status.LimitText(), "Limit Size : 1.8 GB");
    EXPECT_EQ(status.UsageText(), "Usage Size : 0 KB");
    EXPECT_EQ(status.Slider()->value(), 36);
    EXPECT_FALSE(status.Slider()->isEnabled());

    status.LimitBox()->click();
    EXPECT_TRUE(device->GetNetworkUsage().limitOn);
    EXPECT_TRUE(status.Slider()->isEnabled());
    status.WarningBox()->click();
    EXPECT_TRUE(device->GetNetworkUsage().warningOn);
    status.LimitBox()->click();
    EXPECT_TRUE(status.Slider()->isEnabled());
    status.WarningBox()->click();
    EXPECT_FALSE(status.Slider()->isEnabled());

    status.Slider()->setValue(25);
    EXPECT_EQ(status.LimitText(), "Limit Size : 200 MB");
    EXPECT_EQ(device->GetNetworkUsage().limitPosition, 25);

    // Usage arrives from the session in bytes.
    device->OnUsageNetwork(1048575);
    EXPECT_EQ(status.UsageText(), "Usage Size : 1023 KB");
    device->OnUsageNetwork(1048576);
    EXPECT_EQ(status.UsageText(), "Usage Size : 1 MB");

    // Loading the site book settings again resets them.
    device->LoadSiteBookInfo();
    EXPECT_EQ(device->GetNetworkUsage().limitPosition, 36);
    EXPECT_FALSE(device->GetNetworkUsage().limitOn);
    EXPECT_FALSE(device->GetNetworkUsage().warningOn);
}

TEST_F(NetworkStatusTest, TheSessionOpensItModallyForItself)
{
    CModuleDevice* device = AddRecorder(QStringLiteral("Yard"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([&] { return QApplication::activeModalWidget() != nullptr; }, 5000))
            return;
        auto* status = qobject_cast<CModuleNetworkStatus*>(QApplication::activeModalWidget());
        seen = status && status->windowTitle() == "Network Status";
        if (QApplication::activeModalWidget())
            QApplication::activeModalWidget()->close();
    });
    device->ShowNetworkStatus();
    EXPECT_TRUE(seen);
}

} // namespace
