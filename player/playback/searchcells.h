#pragma once
// The cell table of the recorder search face: 16 channel rows of 960 cells (three minutes a
// cell; cells 480..959 repeat the day for records the recorder marks as the second half), and
// a seventeenth summary row. A cell holds 0 (nothing), 1 (recorded) or 2 (event). The record,
// event and summary replies are peer bytes: every position is checked before it is read.
#include <array>
#include <functional>

#include <QByteArray>
#include <QString>

class SearchCells
{
public:
    static constexpr int kRows = 16;
    static constexpr int kCells = 960;
    static constexpr int kHalf = 480;
    static constexpr int kSummaryRow = 16;

    // Called for every cell set (summary row included), so a second table can follow.
    using CellWatcher = std::function<void(int row, int cell, int value)>;
    void SetWatcher(CellWatcher watcher) { m_watcher = std::move(watcher); }

    void Clear();
    int Cell(int row, int cell) const;

    // Record table: up to 960 little-endian 16-bit masks; bit k of mask i records cell i of
    // row k. A short table sets what it holds. Returns the masks read.
    int SetRecordCells(const QByteArray& masks);
    // Event table: records from byte 96 of 10 bytes (hour, minute, unused, half flag, three
    // masks) or, after the mark A5 A5 55 AA at byte 96, from byte 104 of 20 bytes (four masks
    // from byte 12). Records with an hour above 23 or a minute above 59 are skipped. Returns
    // the records read.
    int SetEventCells(const QByteArray& reply);
    // Summary table: 960 masks; a cell of the summary row is recorded when any channel is.
    int SetSummaryCells(const QByteArray& masks);

    // The time bar colour index of bar position 0..480 of a row (480 reads cell 479): an event
    // in either half wins over a recording.
    int BarValue(int row, int position) const;

private:
    void Set(int row, int cell, int value);

    std::array<std::array<quint8, kCells>, kRows + 1> m_cells{};
    CellWatcher m_watcher;
};
