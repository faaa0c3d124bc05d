#include "playback/searchcells.h"
#include "playback/searcheventlist.h"
#include "playback/searchreplyassembler.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

TEST(SearchCells, RecordTableSetsOneRowPerMaskBit)
{
    QByteArray masks(1920, '\0');
    masks[0] = char(0x01);   // mask 0: channel 1
    masks[958] = char(0x02); // mask 479: channels 2 and 16
    masks[959] = char(0x80);
    masks[960] = char(0x04); // mask 480: channel 3, second half
    SearchCells cells;
    EXPECT_EQ(cells.SetRecordCells(masks), 960);
    EXPECT_EQ(cells.Cell(0, 0), 1);
    EXPECT_EQ(cells.Cell(1, 479), 1);
    EXPECT_EQ(cells.Cell(15, 479), 1);
    EXPECT_EQ(cells.Cell(2, 480), 1);
    EXPECT_EQ(cells.Cell(0, 1), 0);
    EXPECT_EQ(cells.BarValue(2, 0), 1); // the second half shows on the same bar column
    EXPECT_EQ(cells.BarValue(15, 480), 1);
    // A short table sets what it holds; an odd last byte is not a mask.
    SearchCells shortCells;
    EXPECT_EQ(shortCells.SetRecordCells(Hex("0100 02")), 1);
    EXPECT_EQ(shortCells.Cell(0, 0), 1);
}

TEST(SearchCells, EventTableReadsBothRecordLayouts)
{
    struct Case
    {
        const char* name;
        QByteArray records;
        int records_read;
        int row, cell;
    };
    const QByteArray head(96, '\0');
    const Case cases[] = {
        // hour, minute, unused, half, three masks
        {"short records", head + Hex("011e0000 0100 0000 0000"), 1, 0, 30},
        {"second half, second mask", head + Hex("173b0001 0000 0004 0000"), 1, 10, 959},
        {"last record ends at the reply's end", head + Hex("00000000 0000 0000 0000 000300ff 0000 0000 0200"), 2,
         1, 1},
        {"hour out of range is skipped", head + Hex("18000000 0100 0000 0000"), 0, 0, 480},
        {"marked long records",
         head + Hex("a5a555aa 00000000") + Hex("02000000 0000000000000000 0000 0000 0000 0800"), 1, 3, 40},
    };
    for (const Case& c : cases) {
        SearchCells cells;
        EXPECT_EQ(cells.SetEventCells(c.records), c.records_read) << c.name;
        if (c.records_read > 0) {
            EXPECT_EQ(cells.Cell(c.row, c.cell), 2) << c.name;
        }
    }
    SearchCells cells;
    EXPECT_EQ(cells.SetEventCells(head + Hex("0100")), 0); // a partial record
    EXPECT_EQ(cells.SetEventCells(QByteArray(50, '\x01')), 0);
}

TEST(SearchCells, SummaryAndWatcherFollowEveryCellSet)
{
    SearchCells cells;
    int seen = 0;
    cells.SetWatcher([&seen](int row, int cell, int value) {
        if (row == SearchCells::kSummaryRow && cell == 2 && value == 1)
            ++seen;
    });
    EXPECT_EQ(cells.SetSummaryCells(Hex("0000 0000 4000")), 3);
    EXPECT_EQ(cells.Cell(SearchCells::kSummaryRow, 2), 1);
    EXPECT_EQ(cells.Cell(SearchCells::kSummaryRow, 1), 0);
    EXPECT_EQ(seen, 1);
    cells.Clear();
    EXPECT_EQ(cells.Cell(SearchCells::kSummaryRow, 2), 0);
}

TEST(SearchEventList, LinesNamingTheChannelGiveTheirTimes)
{
    const QByteArray text = "08:30:00 1A\r\n09:00:00 3\n10:15:00 a\r12:00:00\nbad 1\n";
    const struct
    {
        int channel;
        const char* events;
    } cases[] = {{1, "08:30:00"}, {10, "08:30:00\n10:15:00"}, {3, "09:00:00"}, {5, ""}, {16, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(SearchEventList::OnEventList(text, c.channel), QString::fromLatin1(c.events)) << c.channel;
}

// A search reply as the recorder writes it: stream header, command, marker, length, request id,
// type, total, part, data.
QByteArray Reply(int tile, quint32 id, quint32 type, quint32 total, int part, const QByteArray& data,
                 int command = 32)
{
    QByteArray reply = Hex("000000000000");
    reply += char(command);
    reply += char(0);
    reply += char(tile);
    const int length = 28 + data.size();
    reply += char(length & 0xFF);
    reply += char((length >> 8) & 0xFF);
    reply += char((length >> 16) & 0xFF);
    for (quint32 value : {id, type, total, quint32(part)}) {
        for (int i = 0; i < 4; ++i)
            reply += char((value >> (8 * i)) & 0xFF);
    }
    return reply + data;
}

TEST(SearchReplyAssembler, FourRepliesMakeTheQueryData)
{
    SearchReplyAssembler assembler;
    assembler.Start(12, 7, 99);
    using R = SearchReplyAssembler::Result;
    EXPECT_EQ(assembler.OnReply(Reply(99, 8, 12, 8, 0, "xx")), R::Ignored); // another request
    EXPECT_EQ(assembler.OnReply(Reply(3, 7, 12, 8, 0, "xx")), R::Ignored);  // another tile
    EXPECT_EQ(assembler.OnReply(Reply(99, 7, 12, 8, 0, "ab")), R::Stepped);
    EXPECT_EQ(assembler.OnReply(Reply(99, 7, 12, 8, 1, "cd", 33)), R::Stepped);
    EXPECT_EQ(assembler.OnReply(Reply(99, 7, 12, 8, 2, "ef")), R::Stepped);
    EXPECT_EQ(assembler.OnReply(Reply(99, 7, 12, 8, 3, "gh")), R::Complete);
    EXPECT_EQ(assembler.Data(), QByteArray("abcdefgh"));
    EXPECT_FALSE(assembler.Pending());
    EXPECT_EQ(assembler.OnReply(Reply(99, 7, 12, 8, 3, "gh")), R::Ignored);
}

TEST(SearchReplyAssembler, BadOrRefusedQueriesFailAtTheFourthReply)
{
    using R = SearchReplyAssembler::Result;
    struct Case
    {
        const char* name;
        QByteArray second;
        int errorMark;
    };
    QByteArray overLength = Reply(99, 1, 11, 8, 1, "cd");
    overLength[9] = char(0x40); // announces more bytes than the reply holds
    const Case cases[] = {
        {"code 13", Reply(99, 1, 13, 0, 1, ""), 1},
        {"code 14", Reply(99, 1, 14, 0, 1, ""), 2},
        {"data past the total", Reply(99, 1, 11, 8, 1, "cdefgh"), 0},
        {"total changes", Reply(99, 1, 11, 9, 1, "cd"), 0},
        {"total above 480,000", Reply(99, 1, 11, 480001, 1, "cd"), 0},
        {"wrong type", Reply(99, 1, 12, 8, 1, "cd"), 0},
        {"length beyond the reply", overLength, 0},
        {"data short of the total", Reply(99, 1, 11, 8, 1, ""), 0},
    };
    for (const Case& c : cases) {
        SearchReplyAssembler assembler;
        assembler.Start(11, 1, 99);
        EXPECT_EQ(assembler.OnReply(Reply(99, 1, 11, 8, 0, "ab")), R::Stepped) << c.name;
        EXPECT_EQ(assembler.OnReply(c.second), R::Stepped) << c.name;
        EXPECT_EQ(assembler.OnReply(Reply(99, 1, 11, 8, 2, "ef")), R::Stepped) << c.name;
        EXPECT_EQ(assembler.OnReply(Reply(99, 1, 11, 8, 3, "")), R::Failed) << c.name;
        EXPECT_EQ(assembler.ErrorMark(), c.errorMark) << c.name;
    }
    SearchReplyAssembler assembler;
    assembler.Start(11, 1, 99);
    EXPECT_EQ(assembler.OnReply(QByteArray(27, '\0')), R::Ignored);
}

} // namespace
