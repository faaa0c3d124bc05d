#pragma once
// The rules of the AVI export that need no window: the frame-rate table that spreads a
// second's real frames over 30 output slots, the output size of a picture, the watermark blend,
// the target path, the progress figure and the MP4 re-encode command line.
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

class AviExportRules
{
public:
    static constexpr int kSlots = 30;

    // For a source rate 1 to 30, the 30 slots of one output second: false takes the next real
    // frame, true repeats. Rates outside 1 to 30 are taken as the nearest of them.
    static QVector<bool> FrameRateRow(int sourceRate);
    // Width kept, height made even and doubled when below half the width; widths of 1,920 to
    // 1,999 give 1,920 × 1,080.
    static QSize OutputSize(const QSize& picture);
    // Where a mark pixel's red is 0 the frame's channels become (frame × 180 + mark × 75) / 256;
    // the mark's left edge at width / 2 − 30, its top at height − 60.
    static void ApplyWatermark(QImage& frame, const QImage& mark);
    // Only the file name is lower-cased; ".avi" is appended when missing.
    static QString AviPath(const QString& chosen);
    // "folder/yyyymmdd_hhmmss" for the save dialog.
    static QString DefaultName(const QString& folder, const QDateTime& now);
    // 0 to 100; an empty range is complete.
    static int Progress(qint64 position, qint64 start, qint64 end);
    // Frames per second of a recording from its entries' frame codes (field ticks since the
    // frame before, 50 or 59.94 a second): the field rate over the average of the codes above 0,
    // rounded, at least 1; 0 without any time between entries.
    static int EntryModeRate(const QVector<int>& codes, bool fiftyFields);
    // The MP4 path beside the AVI: its last three characters replaced by "mp4".
    static QString Mp4Path(const QString& aviPath);
    // The re-encode arguments, writing to outputPath in the MP4 format.
    static QStringList Mp4Arguments(const QString& aviPath, const QString& outputPath);
};
