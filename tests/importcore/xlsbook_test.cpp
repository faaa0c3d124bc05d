// The workbook reader: a workbook written by xlwt compared cell by cell with what xlrd reads from
// it, workbook streams written record by record for what xlwt never writes, and a table of broken
// streams that must load what they can without reading outside the stream.
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

#include "importcore/support/biffbuilder.h"
#include "importcore/support/cfbbuilder.h"
#include "importcore/support/xlsreference.h"
#include "importcore/xlsbook.h"

namespace {

using XlsFile::XlsBook;
using XlsFile::XlsCell;
using XlsFile::XlsSheet;
using Kind = XlsCell::Kind;

class XlsBookTest : public ::testing::Test
{
protected:
    // A compound file with the stream as "Workbook"; returns its path.
    QString WriteWorkbook(const QByteArray& stream, const QString& name = QStringLiteral("book.xls"))
    {
        CfbBuilder builder;
        builder.AddStream(QStringLiteral("Workbook"), stream);
        return WriteFile(builder.Build(), name);
    }
    QString WriteFile(const QByteArray& bytes, const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    // Loads the stream as a workbook (through a file) into `book`.
    void Load(const QByteArray& stream)
    {
        ASSERT_TRUE(book.loadFile(WriteWorkbook(stream).toUtf8().constData())) << book.errorString().toStdString();
    }
    XlsCell* Cell(const char* sheet, unsigned row, unsigned column)
    {
        XlsSheet* found = book.sheetByName(sheet);
        return found ? found->cellAt(row, column) : nullptr;
    }

    QTemporaryDir dir;
    XlsBook book;
};

QString TextOf(const XlsCell* cell)
{
    if (cell->kind() == int(Kind::AnsiString))
        return QString::fromLatin1(cell->toAnsiString());
    if (cell->kind() == int(Kind::WideString))
        return QString::fromUtf16(cell->toWideString());
    return QString();
}

TEST_F(XlsBookTest, CellsMatchWhatXlrdReadsFromAnXlwtWorkbook)
{
    const QString path = dir.filePath(QStringLiteral("sample.xls"));
    ASSERT_TRUE(xlsreference::Run({QStringLiteral("write-sample"), path}));
    const QJsonArray sheets =
        xlsreference::RunJson({QStringLiteral("cells"), path})[QStringLiteral("sheets")].toArray();
    ASSERT_EQ(sheets.size(), 4);

    ASSERT_TRUE(book.loadFile(path.toUtf8().constData())) << book.errorString().toStdString();
    ASSERT_EQ(book.SheetCount(), 4);
    int compared = 0;
    for (int s = 0; s < sheets.size(); ++s) {
        const QJsonObject expected = sheets[s].toObject();
        XlsSheet* sheet = book.Sheet(s);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->rowCount(), unsigned(expected[QStringLiteral("rows")].toInt())) << s;
        EXPECT_EQ(sheet->columnCount(), unsigned(expected[QStringLiteral("columns")].toInt())) << s;
        for (const QJsonValue& value : expected[QStringLiteral("cells")].toArray()) {
            const QJsonObject want = value.toObject();
            const unsigned row = unsigned(want[QStringLiteral("row")].toInt());
            const unsigned column = unsigned(want[QStringLiteral("column")].toInt());
            const QString kind = want[QStringLiteral("kind")].toString();
            const XlsCell* cell = sheet->cellAt(row, column);
            ASSERT_NE(cell, nullptr);
            const std::string where = "sheet " + std::to_string(s) + " cell " + std::to_string(row) + ","
                                      + std::to_string(column);
            if (kind == QLatin1String("text")) {
                EXPECT_TRUE(cell->kind() == int(Kind::AnsiString) || cell->kind() == int(Kind::WideString))
                    << where;
                EXPECT_EQ(TextOf(cell), want[QStringLiteral("value")].toString()) << where;
                // Text that Latin-1 holds is kept in 8-bit characters, anything else in 16-bit ones.
                const bool latin1 = TextOf(cell) == QString::fromLatin1(TextOf(cell).toLatin1());
                EXPECT_EQ(cell->kind(), int(latin1 ? Kind::AnsiString : Kind::WideString)) << where;
            } else if (kind == QLatin1String("number")) {
                EXPECT_TRUE(cell->kind() == int(Kind::Integer) || cell->kind() == int(Kind::Double)) << where;
                EXPECT_EQ(cell->toDouble(), want[QStringLiteral("value")].toDouble()) << where;
            } else if (kind == QLatin1String("boolean")) {
                EXPECT_EQ(cell->kind(), int(Kind::Integer)) << where;
                EXPECT_EQ(cell->toInt(), want[QStringLiteral("value")].toInt()) << where;
            } else {
                ADD_FAILURE() << where << " holds a cell of kind " << kind.toStdString();
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 3600);
    // The 16-bit sheet name is not found by its 8-bit bytes; the others are, exactly.
    EXPECT_NE(book.sheetByName("Import to KRO"), nullptr);
    EXPECT_EQ(book.sheetByName("import to kro"), nullptr);
    EXPECT_EQ(book.sheetByName("Import to KRO "), nullptr);
    EXPECT_EQ(book.sheetByName("\xe6\x97\xa5\xe6\x9c\xac"), nullptr);
    EXPECT_EQ(book.Sheet(2)->cellAt(0, 0)->kind(), int(Kind::WideString));

    // Loading again gives the same sheets, not twice as many.
    ASSERT_TRUE(book.loadFile(path.toUtf8().constData()));
    EXPECT_EQ(book.SheetCount(), 4);
    EXPECT_EQ(book.Globals().boundSheets.size(), 4u);
}

TEST_F(XlsBookTest, CellKindsByRecord)
{
    using namespace biff;
    const QByteArray strings = SstString(QStringLiteral("narrow")) + SstString(QString())
                               + SstString(QStringLiteral("wide \u0416"), true);
    const QByteArray cells = Number(1, 0, 2.9) + Number(1, 1, -2.9) + Rk(2, 0, (150u << 2) | 3)
                             + Rk(2, 1, (quint32(-150) << 2) | 3) + Rk(2, 2, (7u << 2) | 2)
                             + Rk(2, 3, (quint32(-7) << 2) | 2) + Rk(2, 4, 0x3FF00000) /* 1.0 */
                             + Rk(2, 5, 0x40590000 | 1)                                /* 100.0 / 100 */
                             + MulRk(3, 1, {(1u << 2) | 2, (2u << 2) | 2, 0x40000000 /* 2.0 */})
                             + LabelSst(4, 0, 0) + LabelSst(4, 1, 1) + LabelSst(4, 2, 2) + LabelSst(4, 3, 99)
                             + BoolErr(5, 0, 1, false) + BoolErr(5, 1, 0, false) + BoolErr(5, 2, 0x07, true)
                             + Blank(5, 3) + Formula(6, 0, 42.0) + Formula(6, 1, 0.0)
                             + FormulaString(QStringLiteral("cached")) + Number(7, 0, 1.0) + Number(7, 0, 5.0);
    Load(Globals({QStringLiteral("Sheet")}, Sst(4, 3, strings)) + Worksheet(8, 6, cells));

    const struct
    {
        unsigned row, column;
        Kind kind;
        int asInt;
        double asDouble;
        const char* text;
    } cases[] = {
        {1, 0, Kind::Double, 2, 2.9, nullptr},
        {1, 1, Kind::Double, -2, -2.9, nullptr},
        // An RK integer divided by 100 is the fraction it stands for.
        {2, 0, Kind::Double, 1, 1.5, nullptr},
        {2, 1, Kind::Double, -1, -1.5, nullptr},
        {2, 2, Kind::Integer, 7, 7.0, nullptr},
        {2, 3, Kind::Integer, -7, -7.0, nullptr},
        {2, 4, Kind::Double, 1, 1.0, nullptr},
        {2, 5, Kind::Double, 1, 1.0, nullptr},
        {3, 0, Kind::Empty, 0, 0.0, nullptr},
        {3, 1, Kind::Integer, 1, 1.0, nullptr},
        {3, 2, Kind::Integer, 2, 2.0, nullptr},
        {3, 3, Kind::Double, 2, 2.0, nullptr},
        {4, 0, Kind::AnsiString, 0, 0.0, "narrow"},
        {4, 1, Kind::Empty, 0, 0.0, nullptr},
        {4, 2, Kind::WideString, 0, 0.0, "wide \u0416"},
        {4, 3, Kind::Empty, 0, 0.0, nullptr},
        {5, 0, Kind::Integer, 1, 1.0, nullptr},
        {5, 1, Kind::Integer, 0, 0.0, nullptr},
        {5, 2, Kind::Empty, 0, 0.0, nullptr},
        {5, 3, Kind::Empty, 0, 0.0, nullptr},
        {6, 0, Kind::Empty, 0, 0.0, nullptr},
        {6, 1, Kind::Empty, 0, 0.0, nullptr},
        // A later record at the same place wins.
        {7, 0, Kind::Double, 5, 5.0, nullptr},
    };
    for (const auto& c : cases) {
        const XlsCell* cell = Cell("Sheet", c.row, c.column);
        ASSERT_NE(cell, nullptr);
        const std::string where = std::to_string(c.row) + "," + std::to_string(c.column);
        EXPECT_EQ(cell->kind(), int(c.kind)) << where;
        EXPECT_EQ(cell->toInt(), c.asInt) << where;
        EXPECT_EQ(cell->toDouble(), c.asDouble) << where;
        EXPECT_EQ(TextOf(cell), c.text ? QString::fromUtf8(c.text) : QString()) << where;
        EXPECT_EQ(cell->toAnsiString() != nullptr, c.kind == Kind::AnsiString) << where;
        EXPECT_EQ(cell->toWideString() != nullptr, c.kind == Kind::WideString) << where;
    }
    // The second formula took its STRING record with it.
    using CellBlock = XlsFile::Worksheet::CellTable::RowBlock::CellBlock;
    const auto& blocks = book.Worksheets().at(0)->cellTable.rowBlocks;
    ASSERT_EQ(blocks.size(), 1u);
    const CellBlock* lastFormula = nullptr;
    for (const CellBlock& block : blocks[0]->cells) {
        if (block.code == 0x0006)
            lastFormula = &block;
    }
    ASSERT_NE(lastFormula, nullptr);
    EXPECT_NE(static_cast<const CellBlock::Formula&>(*lastFormula->record).cachedString, nullptr);
    EXPECT_EQ(blocks[0]->cells.back().code, 0x0203);
}

TEST_F(XlsBookTest, DoublesBeyondIntegersSaturate)
{
    XlsCell cell;
    const struct
    {
        double value;
        int expected;
    } cases[] = {{1e12, 2147483647}, {-1e12, -2147483647 - 1}, {NAN, 0}, {2147483647.9, 2147483647}, {-0.9, 0}};
    for (const auto& c : cases) {
        cell.SetDouble(c.value);
        EXPECT_EQ(cell.toInt(), c.expected) << c.value;
    }
    cell.SetAnsiString("x");
    EXPECT_EQ(cell.toInt(), 0);
    EXPECT_EQ(cell.toDouble(), 0.0);
    cell.SetWideString(QStringLiteral("y"));
    EXPECT_EQ(cell.toAnsiString(), nullptr);
    cell.SetAnsiString(QByteArray());
    EXPECT_EQ(cell.kind(), int(Kind::Empty));
}

TEST_F(XlsBookTest, TheGridGrowsOnAccessUpToItsLimits)
{
    using namespace biff;
    Load(Globals({QStringLiteral("Sheet")}, Sst(0, 0, {})) + Worksheet(3, 2, Number(0, 0, 1.0)));
    XlsSheet* sheet = book.sheetByName("Sheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->rowCount(), 3u);
    EXPECT_EQ(sheet->columnCount(), 2u);
    EXPECT_EQ(sheet->cellAt(65536, 0), nullptr);
    EXPECT_EQ(sheet->cellAt(0, 256), nullptr);
    EXPECT_EQ(sheet->rowCount(), 3u);

    XlsCell* below = sheet->cellAt(sheet->rowCount(), 0);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->kind(), int(Kind::Empty));
    EXPECT_EQ(sheet->rowCount(), 4u);
    ASSERT_NE(sheet->cellAt(0, sheet->columnCount() + 3), nullptr);
    EXPECT_EQ(sheet->columnCount(), 6u);
    EXPECT_EQ(sheet->cellAt(3, 5)->kind(), int(Kind::Empty));
    ASSERT_NE(sheet->cellAt(65535, 255), nullptr);
    EXPECT_EQ(sheet->rowCount(), 65536u);
    EXPECT_EQ(sheet->columnCount(), 256u);
    EXPECT_EQ(sheet->cellAt(0, 0)->toDouble(), 1.0);
}

TEST_F(XlsBookTest, SheetsPairWithTheirNamesInStreamOrder)
{
    using namespace biff;
    const QByteArray globals = Bof(0x0005) + BoundSheet(QStringLiteral("First"))
                               + BoundSheet(QStringLiteral("Chart"), false, 2)
                               + BoundSheet(QStringLiteral("Hidden"))
                               + BoundSheet(QStringLiteral("Import to KRO"), true) + Sst(0, 0, {}) + Eof();
    const QByteArray chart = Bof(0x0020) + Record(0x1001, U16(1)) + Eof();
    Load(globals + Worksheet(1, 1, Number(0, 0, 1.0)) + chart + Worksheet(1, 1, Number(0, 0, 2.0)));
    // The chart ends the walk: the worksheet after it is not read, so "Hidden" has no sheet.
    EXPECT_EQ(book.SheetCount(), 1);
    ASSERT_NE(book.sheetByName("First"), nullptr);
    EXPECT_EQ(book.sheetByName("First")->Position(), 0);
    EXPECT_EQ(book.sheetByName("Chart"), nullptr);
    EXPECT_EQ(book.sheetByName("Hidden"), nullptr);

    // A wide name is never found by 8-bit bytes.
    Load(Bof(0x0005) + BoundSheet(QStringLiteral("Import to KRO"), true) + Eof() + Worksheet(1, 1, {}));
    EXPECT_EQ(book.SheetCount(), 1);
    EXPECT_EQ(book.sheetByName("Import to KRO"), nullptr);
}

TEST_F(XlsBookTest, ASharedStringGoesOnInAContinueRecordInAnotherWidth)
{
    using namespace biff;
    // "abc" in 8-bit characters, then the record ends; the CONTINUE record starts with an option
    // byte of 1 and the rest, "\u0416\u0437", in 16-bit characters. Then a second string follows.
    const QByteArray first = U16(5) + U8(0) + "abc";
    const QByteArray rest = U8(1) + U16(0x0416) + U16(0x0437) + SstString(QStringLiteral("next"));
    const QByteArray sst = Sst(2, 2, first) + Continue(rest);
    Load(Globals({QStringLiteral("S")}, sst) + Worksheet(1, 2, LabelSst(0, 0, 0) + LabelSst(0, 1, 1)));
    const auto& strings = book.Globals().sharedStrings.strings;
    ASSERT_EQ(strings.size(), 2u);
    // The string keeps the width of its first segment: what Latin-1 cannot hold becomes "?".
    EXPECT_FALSE(strings[0].wide);
    EXPECT_EQ(strings[0].narrow, QByteArray("abc??"));
    EXPECT_EQ(QString::fromLatin1(Cell("S", 0, 0)->toAnsiString()), QStringLiteral("abc??"));
    EXPECT_EQ(QString::fromLatin1(Cell("S", 0, 1)->toAnsiString()), QStringLiteral("next"));

    // The other way round: 16-bit first, then 8-bit characters widened.
    const QByteArray wideFirst = U16(4) + U8(1) + U16(0x0416) + U16(0x0437);
    Load(Globals({QStringLiteral("S")}, Sst(1, 1, wideFirst) + Continue(U8(0) + "xy"))
         + Worksheet(1, 1, LabelSst(0, 0, 0)));
    EXPECT_EQ(QString::fromUtf16(Cell("S", 0, 0)->toWideString()), QStringLiteral("\u0416\u0437xy"));
}

TEST_F(XlsBookTest, FilesWithoutAWorkbookLoadWithoutSheets)
{
    CfbBuilder other;
    other.AddStream(QStringLiteral("Book"), QByteArray(100, 'x'));
    EXPECT_TRUE(book.loadFile(WriteFile(other.Build(), QStringLiteral("old.xls")).toUtf8().constData()));
    EXPECT_EQ(book.SheetCount(), 0);
    EXPECT_EQ(book.sheetByName("Sheet1"), nullptr);

    // A stream that does not begin with BOF is not walked.
    Load(biff::Eof() + biff::Globals({QStringLiteral("S")}, {}) + biff::Worksheet(1, 1, {}));
    EXPECT_EQ(book.SheetCount(), 0);

    // Opened for reading only, a missing file is not made by the attempt.
    const QString missing = dir.filePath(QStringLiteral("missing.xls"));
    EXPECT_FALSE(book.loadFile(missing.toUtf8().constData()));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(
        book.loadFile(WriteFile("not a compound file at all", QStringLiteral("text.xls")).toUtf8().constData()));
    EXPECT_EQ(book.SheetCount(), 0);
}

TEST_F(XlsBookTest, AReadOnlyWorkbookLoads)
{
    using namespace biff;
    const QString path = WriteWorkbook(Globals({QStringLiteral("S")}, {}) + Worksheet(1, 1, Number(0, 0, 3.0)));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    ASSERT_TRUE(book.loadFile(path.toUtf8().constData())) << book.errorString().toStdString();
    EXPECT_EQ(Cell("S", 0, 0)->toInt(), 3);
}

// A broken stream loads what it can; nothing is read outside it and no claim of the stream
// decides how much memory is taken.
TEST_F(XlsBookTest, BrokenStreamsLoadWhatTheyCan)
{
    using namespace biff;
    const QByteArray globals = Globals({QStringLiteral("S")}, Sst(1, 1, SstString(QStringLiteral("ok"))));
    const struct
    {
        const char* what;
        QByteArray stream;
        int sheets;
        unsigned rows, columns;
        int strings;
    } cases[] = {
        {"huge unique string count",
         Globals({QStringLiteral("S")}, Sst(0xFFFFFFFF, 0xFFFFFFFF, SstString(QStringLiteral("a"))))
             + Worksheet(1, 1, {}),
         1, 1, 1, 1},
        {"string longer than its record",
         Globals({QStringLiteral("S")}, Sst(1, 1, U16(60000) + U8(0) + "short")) + Worksheet(1, 1, {}), 1, 1, 1,
         0},
        {"huge formatting run count",
         Globals({QStringLiteral("S")},
                 Sst(2, 2, U16(1) + U8(0x08) + U16(0xFFFF) + "a" + SstString(QStringLiteral("b"))))
             + Worksheet(1, 1, {}),
         1, 1, 1, 1},
        {"huge dimensions",
         globals + Bof(0x0010) + Record(0x0200, U32(0) + U32(0xFFFFFFFF) + U16(0) + U16(0xFFFF) + U16(0)) + Eof(),
         1, 65536, 256, 1},
        {"cell beyond 256 columns", globals + Worksheet(1, 1, Number(0, 300, 1.0) + Number(70, 2, 1.0)), 1, 71, 3,
         1},
        {"record longer than the stream",
         globals + Bof(0x0010) + Dimensions(2, 2) + RecordWithLength(0x0208, 60000, "xx"), 1, 2, 2, 1},
        {"row block without DBCELL or EOF", globals + Bof(0x0010) + Dimensions(2, 2) + Row(0) + Number(1, 1, 1.0),
         1, 2, 2, 1},
        {"globals without EOF", Bof(0x0005) + BoundSheet(QStringLiteral("S")), 0, 0, 0, 0},
        {"half a record header at the end", globals + Worksheet(1, 1, {}) + "\x09\x08\x10", 1, 1, 1, 1},
        {"MULRK with its last column before its first",
         globals + Worksheet(1, 1, Record(0x00BD, U16(0) + U16(5) + U16(0) + U32(6) + U16(1))), 1, 1, 1, 1},
        {"MULRK cut to two bytes", globals + Worksheet(1, 1, Record(0x00BD, U16(0))), 1, 1, 1, 1},
        {"formula followed by a cut STRING",
         globals + Bof(0x0010) + Dimensions(1, 1) + Row(0) + Formula(0, 0, 1.0) + RecordWithLength(0x0207, 9, "a"),
         1, 1, 1, 1},
        {"CONTINUE records without end",
         globals + Worksheet(1, 1, Number(0, 0, 1.0) + Continue("x").repeated(2000)), 1, 1, 1, 1},
    };
    for (const auto& c : cases) {
        XlsBook fresh;
        fresh.ReadWorkbookStream(c.stream);
        EXPECT_EQ(fresh.SheetCount(), c.sheets) << c.what;
        if (fresh.SheetCount() > 0) {
            EXPECT_EQ(fresh.Sheet(0)->rowCount(), c.rows) << c.what;
            EXPECT_EQ(fresh.Sheet(0)->columnCount(), c.columns) << c.what;
        }
        EXPECT_EQ(int(fresh.Globals().sharedStrings.strings.size()), c.strings) << c.what;
    }
}

TEST_F(XlsBookTest, ABrokenContainerFailsToLoad)
{
    using namespace biff;
    CfbBuilder builder;
    builder.AddStream(QStringLiteral("Workbook"),
                      (Globals({QStringLiteral("S")}, {}) + Worksheet(1, 1, {})).leftJustified(9000, '\0'));
    QByteArray bytes = builder.Build();
    CfbBuilder::PutU32(&bytes, builder.FatEntryOffset(builder.startOf[1] + 1), builder.startOf[1]);
    EXPECT_FALSE(book.loadFile(WriteFile(bytes, QStringLiteral("loop.xls")).toUtf8().constData()));
    EXPECT_TRUE(book.errorString().contains(QLatin1String("loops"))) << book.errorString().toStdString();
    EXPECT_EQ(book.SheetCount(), 0);
}

} // namespace
