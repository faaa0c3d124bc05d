#pragma once
// One export of a tile's recording into an AVI file. Time mode: for each second of the range
// the tile's frames are spread over 30 output slots by the frame-rate table (real frames and
// repeats), each real frame sized, watermarked and given the date and time lines, the
// second's audio written once (the first second too), and seconds without frames skipped.
// Entry mode (recordings without a per-second index): one output position per frame entry at
// the recording's own rate, a repeat where an entry gives no picture or follows the one before
// it without any time between them; no audio. Runs on a worker thread; the running flag stops
// it and the file is still finished.
#include "playback/caviwriter.h"
#include "playback/entryexportsource.h"
#include "playback/exportsource.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <functional>

struct AviExportOptions
{
    bool osd = false;
    bool watermark = false;
    bool audio = false;
    QImage mark; // the 59 × 33 watermark
};

enum class AviExportResult {
    Finished,   // "Save AVI Finish"
    OpenFailed, // "AVI Convert Fail"
    TooSmall,   // the file's size, then "AVI Covert Fail"
    DataError,  // "DATA ERROR", the file is still finished
};

class AviExportJob
{
public:
    // Time mode.
    AviExportJob(ExportSource& source, CAviWriter& writer, const AviExportOptions& options);
    // Entry mode (the audio option is not used).
    AviExportJob(EntryExportSource& entries, CAviWriter& writer, const AviExportOptions& options);

    // Exports seconds [start, end). progress gets 0 to 100.
    AviExportResult RunTimeMode(int start, int end, const std::atomic<bool>& running,
                                const std::function<void(int)>& progress = {});
    // Exports entries [start, end) at rate frames per second (0 or less: the writer's 10).
    AviExportResult RunEntryMode(int rate, int start, int end, const std::atomic<bool>& running,
                                 const std::function<void(int)>& progress = {});
    // The picture as it goes into the file: sized, watermarked, with the on-screen lines of a
    // second (time mode) or an entry (entry mode).
    QImage RenderFrame(const QImage& picture, int second) const;
    qint64 FileSize() const { return m_fileSize; }

private:
    bool AddFrame(const QImage* picture, bool repeat, int second);
    AviExportResult Finish(bool dataError);

    ExportSource* m_source = nullptr;
    EntryExportSource* m_entries = nullptr;
    CAviWriter& m_writer;
    AviExportOptions m_options;
    int m_frameCounter = 0;
    int m_lastAudioSecond = -1;
    bool m_openFailed = false;
    qint64 m_fileSize = 0;
};
