// libFuzzer target for the workbook reader: every input is walked as a "Workbook" stream of BIFF8
// records (substreams, CONTINUE records, shared strings, row blocks, formulas and their
// sub-records), the sheets are built, and every sheet is read as the recorder list import reads
// it: each named sheet found by its name, then six columns of every row, each cell converted by
// its kind. The reader promises a grid of at most 65536 rows and 256 columns, cells of kinds 0 to
// 4 and strings only from string cells; a broken promise aborts, which libFuzzer reports as a
// crash.
//
// The input is the stream itself (seeds in corpus/workbook).
#include "fuzz/support/fuzzapplication.h"
#include "importcore/xlsbook.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool promise)
{
    if (!promise)
        std::abort();
}

void ReadLikeTheImport(XlsFile::XlsSheet* sheet)
{
    Require(sheet->rowCount() <= XlsFile::XlsSheet::kMaxRows);
    Require(sheet->columnCount() <= XlsFile::XlsSheet::kMaxColumns);
    // The import stops at its first empty cell; reading a few hundred rows is enough to reach
    // every cell a small input can fill.
    const unsigned rows = qMin(sheet->rowCount(), 512u);
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned column = 0; column < 6; ++column) {
            const XlsFile::XlsCell* cell = sheet->cellAt(row, column);
            Require(cell != nullptr);
            Require(cell->kind() >= 0 && cell->kind() <= 4);
            cell->toInt();
            cell->toDouble();
            const char* narrow = cell->toAnsiString();
            Require((narrow != nullptr) == (cell->kind() == 3));
            if (narrow)
                Require(std::strlen(narrow) < 0x10000);
            Require((cell->toWideString() != nullptr) == (cell->kind() == 4));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XlsFile::XlsBook book;
    book.ReadWorkbookStream(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    for (const auto& boundSheet : book.Globals().boundSheets) {
        if (XlsFile::XlsSheet* sheet = book.sheetByName(boundSheet->narrowName.constData()))
            ReadLikeTheImport(sheet);
    }
    for (int i = 0; i < book.SheetCount(); ++i)
        ReadLikeTheImport(book.Sheet(i));
    return 0;
}
