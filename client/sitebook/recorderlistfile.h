#pragma once
// Reads the recorder lists that the site book imports: the worksheet "Import to KRO" of an .xls
// workbook (folder, recorder, address, port, user, password per row, under a header row) and the
// .ini list files of the older KRO program (folder headers, recorder headers with a block of
// IP, PORT, ID and PASSWORD lines). Widget-free: the tree applies what is read.
#include <QByteArray>
#include <QString>
#include <vector>

namespace XlsFile {
class XlsCell;
}

// A folder to find or make at the top of the site book and, when `hasRecorder`, a recorder to
// find or make inside it with the connection fields.
struct RecorderListEntry
{
    QString folder;
    bool hasRecorder = false;
    QString name;
    QString addr;
    QString port;
    QString id;
    QString password;
    // Where the entry stands in its file, counted from 1: the worksheet row (the header is row
    // 1), or the line of the .ini header.
    int row = 0;
};

class RecorderListFile
{
public:
    static constexpr const char* kSheetName = "Import to KRO";
    // A word of an .ini line is cut to this many bytes.
    static constexpr int kMaxWordBytes = 259;

    // The rows of the worksheet up to the first row with an empty cell among its six columns.
    // False when the workbook cannot be loaded or has no such worksheet: nothing is imported.
    static bool ReadWorkbook(const QString& fileName, std::vector<RecorderListEntry>* entries);
    // False when the file cannot be opened.
    static bool ReadIniList(const QString& fileName, std::vector<RecorderListEntry>* entries);
    static std::vector<RecorderListEntry> ParseIniList(const QByteArray& content);

    // A cell as the import writes it: an integer as "%d", a double rounded to a whole number, a
    // string as it is; an empty cell (or none) as a null text.
    static QString CellText(const XlsFile::XlsCell* cell);
};
