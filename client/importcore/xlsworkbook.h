#pragma once
// The workbook globals substream: its BOF, the window, fonts, formats, styles, the sheet list
// (BOUNDSHEET) and the shared string table that LABELSST cells point into.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "importcore/xlsrecord.h"

namespace XlsFile {

class Workbook
{
public:
    class Window1 : public Record
    {
    public:
        Window1();
    };
    class Font : public Record
    {
    public:
        Font();
    };
    class XF : public Record
    {
    public:
        XF();
    };
    class Style : public Record
    {
    public:
        Style();
    };

    // One sheet of the book: where its substream starts, its visibility and type, and its name,
    // kept in the width it is stored in.
    class BoundSheet : public Record
    {
    public:
        BoundSheet();
        bool IsWide() const { return nameOption != 0; }

        quint32 substreamPosition = 0;
        quint8 visibility = 0;
        quint8 sheetType = 0;
        quint8 nameLength = 0;
        quint8 nameOption = 0;
        // The name's 8-bit characters (when not wide) or its text (when wide).
        QByteArray narrowName;
        QString wideName;

    protected:
        void Decode() override;
    };

    // The shared strings, each held in the width of its first segment; characters of the other
    // width met in a continuation are converted (8-bit characters as Latin-1, 16-bit characters
    // outside Latin-1 as "?").
    class SharedStringTable : public Record
    {
    public:
        struct Entry
        {
            quint8 option = 0;
            quint16 runCount = 0;
            quint32 extensionSize = 0;
            bool wide = false;
            QByteArray narrow;
            QString text;
        };

        SharedStringTable();
        quint32 totalCount = 0;
        quint32 uniqueCount = 0;
        std::vector<Entry> strings;

    protected:
        void Decode() override;

    private:
        // Reads one string at `*offset`; false when the data ends inside its header or text.
        bool ReadEntry(quint32* offset, Entry* entry) const;
        // The data offset of the first continuation that starts after `offset`, else the data size.
        quint32 NextBoundary(quint32 offset) const;
    };

    class ExtSST : public Record
    {
    public:
        ExtSST();
    };

    // Reads the substream from its BOF up to and including its EOF (or the end of the stream);
    // returns the bytes consumed.
    quint32 Read(const QByteArray& stream, quint32 offset);

    BOF bof;
    Window1 window1;
    std::vector<std::unique_ptr<Font>> fonts;
    std::vector<std::unique_ptr<XF>> xfs;
    std::vector<std::unique_ptr<Style>> styles;
    std::vector<std::unique_ptr<BoundSheet>> boundSheets;
    SharedStringTable sharedStrings;
    ExtSST extSst;
    EndOfStream endOfStream;
};

} // namespace XlsFile
