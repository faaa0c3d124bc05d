// The registry stand-in: values under root/subkey/name in an INI file, text or 32-bit numbers.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/registrystore.h"

TEST(PlatformRegistryStore, WritesAndReadsTextAndNumbers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("registry.ini"));
    platform::RegistryStore store(ini);
    EXPECT_TRUE(store.SetRegistryString("HKEY_CURRENT_USER", "Software\\GNU\\XviD", "Mode", "fast"));
    EXPECT_TRUE(store.WriteRegistryValue("HKEY_CURRENT_USER", "Software\\GNU\\XviD", "Bitrate", "1500", 4));

    platform::RegistryStore reopened(ini);
    QString text;
    ASSERT_TRUE(reopened.ReadRegistryString("HKEY_CURRENT_USER", "Software\\GNU\\XviD", "Mode", &text));
    EXPECT_EQ(text, "fast");
    ASSERT_TRUE(reopened.ReadRegistryString("HKEY_CURRENT_USER", "Software\\GNU\\XviD", "Bitrate", &text));
    EXPECT_EQ(text, "1500");
    EXPECT_FALSE(reopened.ReadRegistryString("HKEY_CURRENT_USER", "Software\\GNU\\XviD", "Missing", &text));
}

TEST(PlatformRegistryStore, RefusesEmptyPartsAndUnknownTypes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::RegistryStore store(dir.filePath(QStringLiteral("registry.ini")));
    EXPECT_FALSE(store.SetRegistryString("", "A", "n", "t"));
    EXPECT_FALSE(store.SetRegistryString("R", "", "n", "t"));
    EXPECT_FALSE(store.SetRegistryString("R", "A", "", "t"));
    EXPECT_FALSE(store.SetRegistryString("R", "A", "n", QString()));
    EXPECT_FALSE(store.WriteRegistryValue("R", "A", "n", "7", 3));
    EXPECT_FALSE(store.WriteRegistryValue("R", "A", "n", "seven", 4));
    QString text;
    EXPECT_FALSE(store.ReadRegistryString("R", "A", "n", &text));

    const QString longText(400, QLatin1Char('x'));
    ASSERT_TRUE(store.SetRegistryString("R", "A", "long", longText));
    ASSERT_TRUE(store.ReadRegistryString("R", "A", "long", &text));
    EXPECT_EQ(text.size(), 250);
}
