// Drive paths of the original platform map into a folder under the drive root.
#include <gtest/gtest.h>

#include "platform/driveroot.h"

TEST(PlatformDriveRoot, MapsDrivePathsUnderTheRoot)
{
    const platform::DriveRoot root(QStringLiteral("/tmp/dr/"));
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"c:\\Player\\KRO_SDK_H264_Dec.dll", "/tmp/dr/c/Player/KRO_SDK_H264_Dec.dll"},
        {"C:\\KRO\\Account.ini", "/tmp/dr/c/KRO/Account.ini"},
        {"c:\\Player\\CD_DATA\\", "/tmp/dr/c/Player/CD_DATA"},
        {"d:/bak/./x.001", "/tmp/dr/d/bak/x.001"},
        {"c:", "/tmp/dr/c"},
        {"c:\\Player\\..\\..\\etc\\passwd", ""},
        {"Player\\x", ""},
        {"", ""},
        {"1:\\x", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(root.Map(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
