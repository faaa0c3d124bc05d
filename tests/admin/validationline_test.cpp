// Validation lines written out by hand.
#include "core/validationline.h"
#include "core/validationlinereader.h"

#include <gtest/gtest.h>

namespace {
struct BuiltCase
{
    QByteArray built;
    const char* expected;
};

class SentLines : public ::testing::TestWithParam<BuiltCase>
{};

TEST_P(SentLines, AreWrittenWithTheirTail)
{
    EXPECT_EQ(GetParam().built, QByteArray(GetParam().expected));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryCommand, SentLines, ::testing::Values(
    BuiltCase{ValidationLine::AddAccount(1, 23, QStringLiteral("bob"), QStringLiteral("pw")), "addaccount;1;23;bob;pw;;;;;;;;;\n"},
    BuiltCase{ValidationLine::AddDvr(1, 40, 7), "adddvr;1;40;7;;;;;;;;;\n"},
    BuiltCase{ValidationLine::DeleteAccount(1, 23), "deleteaccount;1;23;;;;;;;;;\n"},
    BuiltCase{ValidationLine::DeleteDvr(1, 40), "deletedvr;1;40;;;;;;;;;\n"},
    BuiltCase{ValidationLine::ModifyAccount(1, 23, QStringLiteral("bob"), QStringLiteral("pw2")), "modifyaccount;1;23;bob;pw2;;;;;;;;;\n"},
    BuiltCase{ValidationLine::ModifyDvr(1, 40, 8), "modifydvr;1;40;8;;;;;;;;;\n"},
    BuiltCase{ValidationLine::MoveAccount(1, QStringLiteral("23"), QStringLiteral("5"), QStringLiteral("bob"), QStringLiteral("pw")), "moveaccount;1;23;5;bob;pw;;;;;;;;;\n"},
    BuiltCase{ValidationLine::MoveDvr(1, QStringLiteral("40"), QStringLiteral("5")), "movedvr;1;40;5;;;;;;;;;\n"},
    BuiltCase{ValidationLine::MessageReceipt(1), "message;1;0;checked;;;;;;;;;\n"},
    BuiltCase{ValidationLine::Event(1, QStringLiteral("Gate: HDD error")), "event;1;Gate: HDD error;;;;;;;;;\n"},
    BuiltCase{ValidationLine::Event(1, QStringLiteral("a;b\nc\r\nd")), "event;1;a,b c  d;;;;;;;;;\n"},
    BuiltCase{ValidationLine::Email(23), "email;23;;;;;;;;;;;\n"},
    BuiltCase{ValidationLine::Alive(-1, true), "aliveVMS;-1;1;;;;;\n"},
    BuiltCase{ValidationLine::Alive(1, false), "aliveVMS;1;0;;;;;\n"},
    BuiltCase{ValidationLine::AddAccount(1, 2, QString::fromUtf8("J\xc3\xb6rg"), QStringLiteral("p")), "addaccount;1;2;J\xc3\xb6rg;p;;;;;;;;;\n"},
    // Credentials travel raw: a separator or a line break in them refuses the whole line.
    BuiltCase{ValidationLine::AddAccount(1, 2, QStringLiteral("bo;b"), QStringLiteral("p")), ""},
    BuiltCase{ValidationLine::ModifyAccount(1, 2, QStringLiteral("bob"), QStringLiteral("p\nq")), ""},
    BuiltCase{ValidationLine::MoveAccount(1, QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("b"), QStringLiteral("p\r")), ""},
    BuiltCase{ValidationLine::MoveDvr(1, QStringLiteral("2;"), QStringLiteral("3")), ""}));
// clang-format on

TEST(ValidationLine, EveryCommandWordRoundTrips)
{
    const char* words[] = {"aliveVMS",      "loginfail",     "disconnect", "notice",        "addaccount",
                           "modifyaccount", "deleteaccount", "adddvr",     "modifydvr",     "deletedvr",
                           "moveaccount",   "movedvr",       "connectdvr", "disconnectdvr", "healthcheck",
                           "message",       "event",         "email"};
    for (const char* word : words) {
        const ValidationCommand command = ValidationLine::CommandOf(QLatin1String(word));
        EXPECT_NE(command, ValidationCommand::Unknown) << word;
        EXPECT_EQ(ValidationLine::WordOf(command), QLatin1String(word));
    }
    EXPECT_EQ(ValidationLine::CommandOf(QStringLiteral("AliveVMS")), ValidationCommand::Unknown);
    EXPECT_EQ(ValidationLine::CommandOf(QString()), ValidationCommand::Unknown);
}

TEST(ValidationLine, ParsesFieldsKeepingEmptyOnes)
{
    const auto line = ValidationLine::Parse("  moveaccount;23;5;;pw;;\r");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Command(), ValidationCommand::MoveAccount);
    EXPECT_EQ(line->IntField(0), 23);
    EXPECT_EQ(line->IntField(1), 5);
    EXPECT_EQ(line->Field(2), QString());
    EXPECT_EQ(line->Field(3), QStringLiteral("pw"));
    EXPECT_EQ(line->Field(98), QString());
    EXPECT_EQ(line->Field(-1), QString());
    EXPECT_EQ(line->IntField(3), 0);
    EXPECT_EQ(line->FieldCount(), 6);
}

TEST(ValidationLine, NinetyNineFieldsAreKeptAndMoreAreDropped)
{
    const QByteArray ninetyNine = "event" + QByteArray(";f").repeated(99);
    ASSERT_TRUE(ValidationLine::Parse(ninetyNine));
    EXPECT_EQ(ValidationLine::Parse(ninetyNine)->Field(98), QStringLiteral("f"));
    EXPECT_FALSE(ValidationLine::Parse(ninetyNine + ";"));
    EXPECT_FALSE(ValidationLine::Parse("event" + QByteArray(";").repeated(500)));
}

QStringList Commands(const QList<ValidationLine>& lines)
{
    QStringList words;
    for (const ValidationLine& line : lines)
        words << line.CommandWord() + QLatin1Char('/') + line.Field(0);
    return words;
}

TEST(ValidationLineReader, SeveralLinesInOnePacketAndAPartialOne)
{
    ValidationLineReader reader;
    EXPECT_EQ(Commands(reader.Feed("notice;\ndeletedvr;4;\nconnect")),
              (QStringList{QStringLiteral("notice/"), QStringLiteral("deletedvr/4")}));
    EXPECT_EQ(reader.PendingBytes(), 7);
    EXPECT_EQ(Commands(reader.Feed("dvr;9;0;\n")), QStringList{QStringLiteral("connectdvr/9")});
    EXPECT_EQ(reader.PendingBytes(), 0);
}

TEST(ValidationLineReader, ACharacterSplitBetweenPacketsStaysWhole)
{
    ValidationLineReader reader;
    const QByteArray line = "message;J\xc3\xb6rg;1;Gr\xc3\xbc\xc3\x9f"
                            "e\n";
    const int cut = line.indexOf('\xb6');
    EXPECT_TRUE(reader.Feed(line.left(cut)).isEmpty());
    const QList<ValidationLine> lines = reader.Feed(line.mid(cut));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].Field(0), QString::fromUtf8("J\xc3\xb6rg"));
    EXPECT_EQ(lines[0].Field(2), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                   "e"));
}

TEST(ValidationLineReader, AnOverlongLineIsDroppedUpToItsLineBreak)
{
    ValidationLineReader reader;
    const QByteArray big = "event;" + QByteArray(ValidationLineReader::kMaxLineBytes, 'a');
    // Arrives in pieces; the reader must not keep growing while it waits for the end.
    EXPECT_TRUE(reader.Feed(big.left(40000)).isEmpty());
    EXPECT_TRUE(reader.Feed(big.mid(40000)).isEmpty());
    EXPECT_EQ(reader.PendingBytes(), 0);
    EXPECT_TRUE(reader.Feed(QByteArray(100000, 'b')).isEmpty());
    EXPECT_EQ(reader.PendingBytes(), 0);
    EXPECT_EQ(Commands(reader.Feed("tail-of-the-long-line;x\nnotice;\n")), QStringList{QStringLiteral("notice/")});
    EXPECT_EQ(reader.DroppedLines(), 1);

    // Whole in one piece, with the next line behind it.
    EXPECT_EQ(Commands(reader.Feed(big + "\ndeletedvr;3;\n")), QStringList{QStringLiteral("deletedvr/3")});
    EXPECT_EQ(reader.DroppedLines(), 2);
    // Exactly at the limit is still a line.
    const QByteArray atLimit = "notice;" + QByteArray(ValidationLineReader::kMaxLineBytes - 7, 'c');
    EXPECT_EQ(reader.Feed(atLimit + "\n").size(), 1);
}

TEST(ValidationLineReader, ALineOfTooManyFieldsIsDroppedAndTheNextRead)
{
    ValidationLineReader reader;
    const QByteArray line = "event" + QByteArray(";x").repeated(100) + "\nnotice;\n";
    EXPECT_EQ(Commands(reader.Feed(line)), QStringList{QStringLiteral("notice/")});
    EXPECT_EQ(reader.DroppedLines(), 1);
}
} // namespace
