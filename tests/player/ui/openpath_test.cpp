// Names of handed-over paths and of "file.lst" entries.
#include <gtest/gtest.h>

#include "ui/openpath.h"

TEST(PlayerOpenPath, SplitsAtTheLastSeparatorOfEitherKind)
{
    struct Case
    {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"D:\\bak\\ix0101.3", "D:\\bak\\", "ix0101.3"},
        {"/home/op/bak/h080510.003", "/home/op/bak/", "h080510.003"},
        {"/home/op\\mixed/x.1", "/home/op\\mixed/", "x.1"},
        {"x0101.3", "", ""},
        {"/dir/", "/dir/", ""},
    };
    for (const Case& c : cases) {
        const SplitPath split = OpenPath::Split(QString::fromLatin1(c.path));
        EXPECT_EQ(split.folder, QString::fromLatin1(c.folder)) << c.path;
        EXPECT_EQ(split.name, QString::fromLatin1(c.name)) << c.path;
    }
    EXPECT_EQ(OpenPath::DataName("ix0101.3"), "x0101.3");
    EXPECT_EQ(OpenPath::DataName("IS0101.a"), "S0101.a");
    EXPECT_EQ(OpenPath::DataName("ih080510.003"), "ih080510.003");
    EXPECT_TRUE(OpenPath::IsFileList("FILE.LST"));
    EXPECT_TRUE(OpenPath::IsFileList("file.lst"));
    EXPECT_FALSE(OpenPath::IsFileList("file.lst.bak"));
}

TEST(PlayerOpenPath, ParsesListEntries)
{
    struct Case
    {
        QByteArray text;
        QStringList entries; // name + "/" + digit
    };
    const Case cases[] = {
        {"x1000 0\r\ns2000 a\r\n", {"x1000/0", "s2000/a"}},
        {"ab x12s34 1", {"s34/1"}},
        {"x1000 0 3", {"x1000/0", "x1000/3"}},
        {"X77 F", {"X77/F"}},
        {"x1 g", {}},
        {"x1 2\0x3 4", {"x1/2"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        QStringList got;
        for (const FileListEntry& e : OpenPath::ParseList(c.text))
            got << e.name + '/' + e.digit;
        EXPECT_EQ(got, c.entries) << c.text.constData();
    }
}

TEST(PlayerOpenPath, CandidatesStayInTheListFolder)
{
    EXPECT_EQ(OpenPath::Candidates({"x1000", '3'}), QStringList({"x1000.3", "x1000.004"}));
    EXPECT_EQ(OpenPath::Candidates({"s2000", 'a'}), QStringList({"s2000.a", "s2000.011"}));
    EXPECT_EQ(OpenPath::Candidates({"s2000", 'F'}), QStringList({"s2000.F", "s2000.016"}));
    EXPECT_TRUE(OpenPath::Candidates({"x/../../etc/passwd", '1'}).isEmpty());
    EXPECT_TRUE(OpenPath::Candidates({"x..", '1'}).isEmpty());
    EXPECT_TRUE(OpenPath::Candidates({"s\\a", '1'}).isEmpty());
}
