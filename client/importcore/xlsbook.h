#pragma once
// A binary .xls workbook read from its compound file: the workbook globals, the worksheets in
// stream order, and one sheet of cells per worksheet, found by its 8-bit name.
//
// The file is opened for reading only. Failure shows only in the results (false, null) and, for
// the log, in errorString(); nothing is thrown and nothing is shown to the user.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "importcore/olecompoundfile.h"
#include "importcore/xlssheet.h"
#include "importcore/xlsworkbook.h"
#include "importcore/xlsworksheet.h"

namespace XlsFile {

class XlsBook
{
public:
    XlsBook();
    ~XlsBook();
    XlsBook(const XlsBook&) = delete;
    XlsBook& operator=(const XlsBook&) = delete;

    // Reads the workbook (file name in UTF-8). True when the file is a compound file whose tables
    // and directory hold together, and its "Workbook" stream, when there is one, could be read
    // whole; a file without that stream loads as a book without sheets. Replaces what an earlier
    // load read.
    bool loadFile(const char* fileName);
    // The worksheet whose name, stored in 8-bit characters, equals `name` byte for byte; null if
    // none.
    XlsSheet* sheetByName(const char* name);

    // Walks a workbook stream (BIFF8 records) into the globals and worksheets and builds the sheets,
    // replacing what was there; loadFile does this with the "Workbook" stream.
    void ReadWorkbookStream(const QByteArray& stream);

    QString errorString() const { return m_error; }
    const Workbook& Globals() const { return *m_globals; }
    const std::vector<std::unique_ptr<Worksheet>>& Worksheets() const { return m_worksheets; }
    int SheetCount() const { return int(m_sheets.size()); }
    XlsSheet* Sheet(int position) const;
    const OleCompoundFile& CompoundFile() const { return m_file; }

private:
    void Reset();
    void WalkStream(const QByteArray& stream);
    void BuildSheets();

    OleCompoundFile m_file;
    std::unique_ptr<Workbook> m_globals;
    std::vector<std::unique_ptr<Worksheet>> m_worksheets;
    std::vector<std::unique_ptr<XlsSheet>> m_sheets;
    QString m_error;
};

} // namespace XlsFile
