#pragma once
// Converts one recording into a container file: reads it second by second, optionally
// re-encodes every picture with its date and time burned in, and hands the pictures to a
// CMuxer. It holds what a local-file grid keeps while it converts (muxer, codec and filter
// slots, counters) and runs on the convert worker's thread; no widgets.
#include "backup/localrecordingreader.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CMuxer;
struct AVCodecContext;
struct FilterSlot;

class ConvertJob
{
public:
    struct Options
    {
        QString outputPath;
        QString formatName = QStringLiteral("mp4"); // "mp4" or "avi"
        bool timeOverlay = false;
        QString fontFile; // the overlay's font
    };
    enum class Result { Written, NoFile, Stopped, NotOpened };

    explicit ConvertJob(Options options);
    ~ConvertJob();
    ConvertJob(const ConvertJob&) = delete;
    ConvertJob& operator=(const ConvertJob&) = delete;

    // Converts folder + fileName. stopRequested is asked once per second of the day read;
    // progress gets the percent of the recording's time span read so far.
    Result Run(const QString& folder, const QString& fileName, const std::function<bool()>& stopRequested,
               const std::function<void(int)>& progress);

    qint64 FramesRead() const { return m_frameCount; }
    qint64 FramesTranscoded() const { return m_transcodeCount; }
    qint64 PacketsMuxed() const { return m_muxerCount; }

    // Percent of the span from start to end reached at the second cur; 0 unless both distances
    // are positive. Not clamped: past the end time it grows above 100.
    static int Percent(int currentSecond, int startSecond, int endSecond);
    static int SecondOfDay(int hhmmss);

private:
    void ConvertSecond(int secondOfDay);
    void ConvertFrame(const LocalRecordingReader::Frame& frame, int framesInSecond);
    bool Transcode(const LocalRecordingReader::Frame& frame, int framesInSecond, int& size, int& flags);
    void SetOverlayText(int date, int time);
    void FlushEncoder(int framesInSecond);
    void FreeCodecs();

    Options m_options;
    LocalRecordingReader m_reader;
    std::unique_ptr<CMuxer> m_muxer;
    AVCodecContext* m_decoder = nullptr;
    AVCodecContext* m_encoder = nullptr;
    qint64 m_pictureCounter = 0;
    std::unique_ptr<std::array<FilterSlot, 2>> m_filters;
    std::vector<uint8_t> m_buffer;
    qint64 m_frameCount = 0;
    qint64 m_transcodeCount = 0;
    qint64 m_muxerCount = 0;
    int m_framesInLastSecond = 0;
};
