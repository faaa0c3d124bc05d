// The built-in language table: 109 lines, exact key lookup with the "=" in the comparison.
#include <gtest/gtest.h>

#include "playback/language.h"

TEST(PlayerLanguage, LoadsTheBuiltInLines)
{
    CLanguage table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.GetText("EXIT"), QString());
    EXPECT_EQ(table.Load("/nowhere/Script.txt"), 1);
    EXPECT_EQ(table.Count(), 109);
}

TEST(PlayerLanguage, LooksUpByExactKey)
{
    CLanguage table;
    table.Load(QString());
    struct Case
    {
        const char* key;
        const char* text;
    };
    const Case cases[] = {
        {"EXIT_QUESTION", "Are you sure exit?"},
        {"PRINT_SAVE", "Print && Save"},
        {"PRINT", "Print"},
        {"SYSTEM_FONT", "Microsoft Sans Serif"},
        {"BUFFERING", "Buffering..."},
        {"NO_AUDIO_DEVICE", "Can not find audio device for play sound. Please check your audio device."},
        {"ZOOM_OUT", "Zoom Out"},
        {"MOTION", ""},
        {"EVENT", ""},
        {"LASTEST_VIEW", ""},
        {"PTZ", ""},
        {"VIDEO_LOSS", ""},
        {"exit", ""},
        {"EXIT=", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.GetText(QString::fromLatin1(c.key)), QString::fromLatin1(c.text)) << c.key;
}

TEST(PlayerLanguage, KeysAreUniqueUpperCaseAndInTheirOrder)
{
    const QStringList lines = QString::fromLatin1(CLanguage::BuiltInText()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 109);
    QStringList keys;
    for (const QString& line : lines) {
        const QString key = line.section('=', 0, 0);
        EXPECT_EQ(key, key.toUpper());
        EXPECT_FALSE(keys.contains(key)) << key.toStdString();
        keys << key;
    }
    EXPECT_EQ(keys.first(), "SYSTEM_FONT");
    EXPECT_EQ(keys.at(10), "BUFFERING");
    EXPECT_EQ(keys.at(30), "EXIT_QUESTION");
    EXPECT_EQ(keys.last(), "ZOOM_OUT");
}
