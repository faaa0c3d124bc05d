// The checks of an imported recorder list, row by row and against the earlier rows, and the one
// message an import ends with.
#include "sitebook/recorderfieldrules.h"
#include "sitebook/recorderimportreport.h"
#include "sitebook/recorderlistcheck.h"

#include <gtest/gtest.h>

namespace {

RecorderListEntry Recorder(const char* folder, const char* name, const char* addr, const char* port, int row)
{
    return {QString::fromUtf8(folder), true,
            QString::fromUtf8(name),   QString::fromUtf8(addr),
            QString::fromUtf8(port),   QStringLiteral("admin"),
            QStringLiteral("pw"),      row};
}

TEST(RecorderListCheck, EachRowPassesTheDialogsRules)
{
    const struct
    {
        RecorderListEntry entry;
        ListRowRefusal refusal;
        const char* detail;
        const char* port; // as taken
    } cases[] = {
        {Recorder("Site", "gate", "10.0.0.1", "8000", 2), ListRowRefusal::None, "", "8000"},
        {Recorder("Site", " yard ", " cam.example ", " 08000 ", 3), ListRowRefusal::None, "", "8000"},
        {Recorder("Site", "v6", "2001:db8::1", "65535", 4), ListRowRefusal::None, "", "65535"},
        {Recorder("Site", "noport", "10.0.0.2", "", 5), ListRowRefusal::None, "", ""},
        {Recorder("Site", "   ", "10.0.0.3", "8000", 6), ListRowRefusal::RecorderWithoutName, "", "8000"},
        {Recorder("  ", "lost", "10.0.0.4", "8000", 7), ListRowRefusal::FolderWithoutName, "", "8000"},
        {Recorder("Site", "bad", "not a host!", "8000", 8), ListRowRefusal::BadAddress, "not a host!", "8000"},
        {Recorder("Site", "noaddr", "", "8000", 9), ListRowRefusal::BadAddress, "", "8000"},
        {Recorder("Site", "abc", "10.0.0.5", "abc", 10), ListRowRefusal::BadPort, "abc", "abc"},
        {Recorder("Site", "big", "10.0.0.6", "99999", 11), ListRowRefusal::BadPort, "99999", "99999"},
        {Recorder("Site", "neg", "10.0.0.7", "-5", 12), ListRowRefusal::BadPort, "-5", "-5"},
        {Recorder("Site", "zero", "10.0.0.8", "0", 13), ListRowRefusal::BadPort, "0", "0"},
        {Recorder("Site", "frac", "10.0.0.9", "80.5", 14), ListRowRefusal::BadPort, "80.5", "80.5"},
    };
    for (const auto& c : cases) {
        const std::vector<CheckedListRow> rows = RecorderListCheck::Check({c.entry});
        ASSERT_EQ(rows.size(), 1u);
        SCOPED_TRACE(c.entry.row);
        EXPECT_EQ(rows[0].refusal, c.refusal);
        EXPECT_EQ(rows[0].detail, QString::fromUtf8(c.detail));
        EXPECT_EQ(rows[0].entry.port, QString::fromUtf8(c.port));
        EXPECT_EQ(rows[0].entry.row, c.entry.row);
    }
}

TEST(RecorderListCheck, ARecorderNameCountsOnceInTheList)
{
    const std::vector<RecorderListEntry> entries = {
        {QStringLiteral("North"), false, {}, {}, {}, {}, {}, 1},
        Recorder("North", "dup", "10.0.0.1", "8000", 2),
        Recorder("North", "dup", "10.0.0.2", "8000", 3),
        Recorder("North", "REC1", "10.0.0.3", "8000", 4),
        Recorder("South", " REC1", "10.0.0.4", "8000", 5),
        Recorder("South", "rec1", "10.0.0.5", "8000", 6), // another name, if only by case
        // A row refused for its port takes no name from a later good row.
        Recorder("South", "late", "10.0.0.6", "0", 7),
        Recorder("South", "late", "10.0.0.6", "9000", 8),
        {QStringLiteral("North"), false, {}, {}, {}, {}, {}, 9}, // a folder named again is no clash
    };
    const std::vector<CheckedListRow> rows = RecorderListCheck::Check(entries);
    const ListRowRefusal expected[] = {
        ListRowRefusal::None,
        ListRowRefusal::None,
        ListRowRefusal::NameTwiceInList,
        ListRowRefusal::None,
        ListRowRefusal::NameTwiceInList,
        ListRowRefusal::None,
        ListRowRefusal::BadPort,
        ListRowRefusal::None,
        ListRowRefusal::None,
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].refusal, expected[i]) << "row " << rows[i].entry.row;
}

TEST(RecorderListCheck, RowsAfterAStopComeBackCancelled)
{
    int asked = 0;
    const std::vector<CheckedListRow> rows = RecorderListCheck::Check({Recorder("A", "a", "10.0.0.1", "1", 2),
                                                                       Recorder("A", "b", "10.0.0.2", "1", 3),
                                                                       Recorder("A", "c", "10.0.0.3", "1", 4)},
                                                                      [&asked] { return ++asked > 1; });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].refusal, ListRowRefusal::None);
    EXPECT_EQ(rows[1].refusal, ListRowRefusal::Cancelled);
    EXPECT_EQ(rows[2].refusal, ListRowRefusal::Cancelled);
}

TEST(RecorderFieldRules, PortsAreDecimalNumbersFromOneTo65535)
{
    const struct
    {
        const char* text;
        int number;
    } cases[] = {{"1", 1},  {"65535", 65535}, {"009000", 9000}, {"0", 0},  {"65536", 0}, {"99999999999", 0},
                 {"-5", 0}, {"+80", 0},       {"80 ", 0},       {"8o", 0}, {"", 0},      {"0x50", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RecorderFieldRules::PortNumber(QLatin1String(c.text)), c.number) << c.text;
}

TEST(RecorderImportReport, CountsWhatCameInAndNamesWhatDidNotByReason)
{
    RecorderImportReport report;
    report.FolderAdded();
    report.RecorderAdded();
    report.RecorderAdded();
    report.RecorderUpdated();
    const auto skip = [&report](RecorderListEntry entry, ListRowRefusal refusal, const char* detail) {
        report.Skipped({entry, refusal, QString::fromUtf8(detail)});
    };
    skip(Recorder("S", "big", "10.0.0.1", "99999", 4), ListRowRefusal::BadPort, "99999");
    skip(Recorder("S", "", "10.0.0.1", "1", 5), ListRowRefusal::RecorderWithoutName, "");
    skip(Recorder("S", "odd", "", "1", 6), ListRowRefusal::BadAddress, "");
    skip({QStringLiteral(""), false, {}, {}, {}, {}, {}, 7}, ListRowRefusal::FolderWithoutName, "");
    for (int row = 10; row < 17; ++row)
        skip(Recorder("S", "more", "10.0.0.1", "1", row), ListRowRefusal::BookFull, "");
    EXPECT_EQ(report.SkippedRows(), 11);
    EXPECT_EQ(report.Text(QStringLiteral("/lists/site list.ini")),
              QStringLiteral("site list.ini: 2 recorders added, 1 updated, 1 folder added.\n"
                             "11 rows skipped:\n"
                             "- the folder has no name: row 7\n"
                             "- the recorder has no name: row 5\n"
                             "- the address is not a host name, an IPv4 address or an IPv6 address: row 6 \"odd\" "
                             "(empty)\n"
                             "- the port is not a number from 1 to 65535: row 4 \"big\" (99999)\n"
                             "- the site book holds no more recorders: row 10 \"more\", row 11 \"more\", row 12 "
                             "\"more\", row 13 \"more\", row 14 \"more\" and 2 more rows"));

    RecorderImportReport failed;
    failed.ReadFailed(QStringLiteral("the file cannot be opened"));
    EXPECT_EQ(
        failed.Text(QStringLiteral("/x/list.ini")),
        QStringLiteral("list.ini could not be imported: the file cannot be opened. The site book is unchanged."));
    RecorderImportReport nothing;
    EXPECT_EQ(nothing.Text(QStringLiteral("empty.xls")),
              QStringLiteral("empty.xls: 0 recorders added, 0 updated, 0 folders added."));
}

} // namespace
