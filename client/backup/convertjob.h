#pragma once
// Converts one recording into a container file: has a convert source read it second by second,
// optionally re-encodes every picture it gets with its date and time burned in, and hands the
// pictures to a CMuxer. It holds the conversion state (muxer, codec and filter slots, counters)
// and runs on the convert worker's thread; no widgets.
#include <QByteArray>

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CMuxer;
class ConvertSource;
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
    // One recorded picture as the source read it.
    struct Picture
    {
        QByteArray data;
        bool key = false;      // the second's key frame
        quint64 timestamp = 0; // the frame record's packed time stamp
        int date = 0;          // YYYYMMDD
        int time = 0;          // HHMMSS
    };

    explicit ConvertJob(Options options);
    ~ConvertJob();
    ConvertJob(const ConvertJob&) = delete;
    ConvertJob& operator=(const ConvertJob&) = delete;

    // Converts folder + fileName, read through source. stopRequested is asked once per second
    // of the day; progress gets the percent of the recording's time span read so far.
    Result Run(ConvertSource& source, const QString& folder, const QString& fileName,
               const std::function<bool()>& stopRequested, const std::function<void(int)>& progress);

    // Called by the source for each picture of the second it reads, in order.
    void ConvertFrame(const Picture& picture, int framesInSecond);

    // Why the last run wrote no file when its output could not be written ("<file> could not
    // be written (the disk is full)"); empty otherwise.
    QString ErrorText() const { return m_error; }

    qint64 FramesRead() const { return m_frameCount; }
    qint64 FramesTranscoded() const { return m_transcodeCount; }
    qint64 PacketsMuxed() const { return m_muxerCount; }

    // Percent of the span from start to end reached at the second cur; 0 unless both distances
    // are positive. Not clamped: past the end time it grows above 100.
    static int Percent(int currentSecond, int startSecond, int endSecond);
    static int SecondOfDay(int hhmmss);

private:
    bool Transcode(const Picture& picture, int framesInSecond, int& size, int& flags);
    void SetOverlayText(int date, int time);
    void FlushEncoder(int framesInSecond);
    void FreeCodecs();

    Options m_options;
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
    QString m_error;
};
