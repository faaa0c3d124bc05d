#pragma once
// A worksheet substream: its BOF, INDEX, DIMENSIONS, the cell table of row blocks (ROW records,
// cell records, one DBCELL each), WINDOW2 and EOF. Every walk stops at the end of the stream; a
// row block also stops at the worksheet's EOF.
#include <QByteArray>
#include <array>
#include <memory>
#include <vector>

#include "importcore/xlsrecord.h"

namespace XlsFile {

class Worksheet
{
public:
    class Index : public Record
    {
    public:
        Index();
    };

    class Dimensions : public Record
    {
    public:
        Dimensions();
        quint32 firstRow = 0;
        quint32 lastRowPlusOne = 0;
        quint16 firstColumn = 0;
        quint16 lastColumnPlusOne = 0;
        quint16 reserved = 0;

    protected:
        void Decode() override;
    };

    class Window2 : public Record
    {
    public:
        Window2();
    };

    class CellTable
    {
    public:
        class RowBlock
        {
        public:
            class Row : public Record
            {
            public:
                Row();
            };

            class DBCell : public Record
            {
            public:
                DBCell();
            };

            // One cell record: its code and the record of the matching class.
            class CellBlock
            {
            public:
                // Row, column and format index lead every cell record.
                class CellRecord : public Record
                {
                public:
                    explicit CellRecord(quint16 recordCode);
                    quint16 row = 0;
                    quint16 column = 0;
                    quint16 xf = 0;

                protected:
                    void Decode() override;
                };

                class Blank : public CellRecord
                {
                public:
                    Blank();
                };

                class MulBlank : public Record
                {
                public:
                    MulBlank();
                };

                class BoolErr : public CellRecord
                {
                public:
                    BoolErr();
                    quint8 value = 0;
                    quint8 isError = 0;

                protected:
                    void Decode() override;
                };

                class Number : public CellRecord
                {
                public:
                    Number();
                    double value = 0.0;

                protected:
                    void Decode() override;
                };

                class RK : public CellRecord
                {
                public:
                    RK();
                    quint32 rk = 0;

                protected:
                    void Decode() override;
                };

                class MulRK : public Record
                {
                public:
                    struct Pair
                    {
                        quint16 xf = 0;
                        quint32 rk = 0;
                    };
                    MulRK();
                    quint16 row = 0;
                    quint16 firstColumn = 0;
                    std::vector<Pair> pairs;
                    quint16 lastColumn = 0;

                protected:
                    void Decode() override;
                };

                class LabelSST : public CellRecord
                {
                public:
                    LabelSST();
                    quint32 index = 0;

                protected:
                    void Decode() override;
                };

                class Formula : public CellRecord
                {
                public:
                    class Array : public Record
                    {
                    public:
                        Array();
                    };
                    class ShrFmla : public Record
                    {
                    public:
                        ShrFmla();
                    };
                    class ShrFmla1 : public Record
                    {
                    public:
                        ShrFmla1();
                    };
                    class Table : public Record
                    {
                    public:
                        Table();
                    };
                    class String : public Record
                    {
                    public:
                        String();
                    };

                    Formula();
                    // Reads the formula, then the ARRAY, TABLE or SHRFMLA record and the STRING
                    // record that belong to it; returns the bytes of all of them.
                    quint32 Read(const QByteArray& stream, quint32 offset) override;

                    std::array<quint8, 8> result{};
                    quint16 options = 0;
                    QByteArray formula;
                    // The code of the sub-record read, 0 when none followed.
                    quint16 subRecordType = 0;
                    std::unique_ptr<Record> subRecord;
                    std::unique_ptr<String> cachedString;

                protected:
                    void Decode() override;
                };

                // True for the codes that are read as cell blocks.
                static bool IsCellCode(int recordCode);

                explicit CellBlock(quint16 recordCode);
                quint32 Read(const QByteArray& stream, quint32 offset);

                quint16 code;
                std::unique_ptr<Record> record;
            };

            // Reads records up to and including the DBCELL; stops before the worksheet's EOF and
            // at the end of the stream. Returns the bytes consumed.
            quint32 Read(const QByteArray& stream, quint32 offset);

            std::vector<std::unique_ptr<Row>> rows;
            std::vector<CellBlock> cells;
            DBCell dbCell;
        };

        // Reads row blocks while the record at the position is ROW; returns the bytes consumed.
        quint32 Read(const QByteArray& stream, quint32 offset);

        std::vector<std::unique_ptr<RowBlock>> rowBlocks;
    };

    // Reads the substream from its BOF up to and including its EOF (or the end of the stream);
    // returns the bytes consumed.
    quint32 Read(const QByteArray& stream, quint32 offset);

    BOF bof;
    Index index;
    Dimensions dimensions;
    CellTable cellTable;
    Window2 window2;
    EndOfStream endOfStream;
};

} // namespace XlsFile
