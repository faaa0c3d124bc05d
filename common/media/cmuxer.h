#pragma once
// Writes a stream of encoded H.264 pictures into a container file (MP4, or AVI) through
// libavformat. A producer pushes pictures one by one; the first key picture is probed as raw
// H.264 to learn the stream's parameters, later pictures queue, and a writer thread of the
// muxer's own opens the output once enough pictures wait, gives them time stamps and writes
// them interleaved, and finishes the file with its trailer when the producer stops it.
//
// The output is written under a temporary name beside the target and renamed to the target
// only once its trailer is written; the probe files lie beside the target too, never in the
// current directory. The first write that fails (a full disk) ends the muxer: nothing more is
// written, the partial file is removed, and Failed()/ErrorText() say which file and why.
//
// The static operations below re-encode a recorded picture with date and time burned in:
// decode, run through filter graphs (drawtext), encode again as H.264. The producer keeps the
// codec contexts and graphs in slots of its own and passes their addresses.
#include "common/media/muxpacket.h"
#include "common/media/muxtempfiles.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <atomic>
#include <thread>

struct AVBSFContext;
struct AVCodecContext;
struct AVCodecParameters;
struct AVFilterContext;
struct AVFilterGraph;
struct AVFormatContext;
struct AVFrame;

// One filter graph of the re-encode, owned by the producer: null until the first picture
// builds it from the description.
struct FilterSlot
{
    AVFilterGraph* graph = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    QByteArray description;

    FilterSlot() = default;
    FilterSlot(const FilterSlot&) = delete;
    FilterSlot& operator=(const FilterSlot&) = delete;
    ~FilterSlot() { Free(); }
    // Frees the graph; the next picture builds it again.
    void Free();
};

class CMuxer
{
public:
    // Bits of the muxer's state.
    enum StateBit : int { Ready = 1, Recognised = 2, OutputOpen = 4 };
    // Pictures that wait in the queue before the output is opened.
    static constexpr int kReadyQueueLength = 60;
    // Output buffer the producers hand to the re-encode.
    static constexpr int kTranscodeBufferSize = 1048576;

    // formatName is a short libavformat name, "mp4" or "avi".
    CMuxer(QString outputPath, QString formatName);
    // Stops a running writer, closes the files and removes the temp files.
    ~CMuxer();
    CMuxer(const CMuxer&) = delete;
    CMuxer& operator=(const CMuxer&) = delete;

    void Start();
    // Ignored unless started and not stopping. Call from one producer thread.
    void PushPacket(MuxPacket packet);
    // Asks the writer to write what is queued and the trailer, and waits for it.
    void Stop();
    // Stop, then close everything; the destructor calls it.
    void Destroy();

    bool IsRunning() const { return m_running.load(); }
    int State() const { return m_state.load(); }
    // True once a trailer has been written and the file has its final name: it is complete.
    bool WroteFile() const { return m_wroteFile.load(); }
    // A write failed: the output was removed. Read after Stop.
    bool Failed() const { return m_failed.load(); }
    bool DiskFull() const { return m_diskFull.load(); }
    // "<file> could not be written (<reason>)", or "the disk is full" as the reason.
    QString ErrorText() const;
    // Where the output is written until it is whole.
    QString PartFilePath() const;
    qint64 VideoCount() const { return m_videoCount; }
    // The temp file path with the extension ("264" probe, "aac"), beside the output.
    QString TempFilePath(const QString& extension) const;

    // ---- re-encode with time-stamp overlay ----
    static int ChooseBitRate(int width, int height, int fps);
    static int OpenAacDecoder(AVCodecContext** slot);
    static int OpenH264Decoder(AVCodecContext** slot, int fps);
    static int OpenH264Encoder(AVCodecContext** slot, int fps, int width, int height);
    static int InitFilterGraph(AVFilterGraph** graph, AVFilterContext** source, AVFilterContext** sink,
                               const char* description, const AVFrame* frame);
    // Decodes one picture, filters it through the slots in order and encodes it. 0 also when
    // nothing came out yet (the output size is then untouched); negative on failure.
    static int TranscodeVideo(AVCodecContext** decoderSlot, AVCodecContext** encoderSlot, const uint8_t* data,
                              int size, int fps, FilterSlot* filters, int filterCount, AVFrame* outputFrame,
                              uint8_t* outputBuffer, int outputBufferSize, int* outputSize, int* outputFlags,
                              qint64* pictureCounter);
    // Takes one packet from the encoder: 0 (also when none was ready: the output size is then
    // untouched), -1 when the buffer is too small, or a negative FFmpeg error.
    static int EncodeFrame(AVCodecContext* encoder, uint8_t* outputBuffer, int outputBufferSize, int* outputSize,
                           int* outputFlags);
    static int FlushEncoder(AVCodecContext* encoder);
    // Takes the encoder's next packet after FlushEncoder: 1 with a packet, 0 once drained.
    static int DrainEncoder(AVCodecContext* encoder, uint8_t* outputBuffer, int outputBufferSize, int* outputSize,
                            int* outputFlags);

private:
    void WriterLoop();
    bool WaitForWork();
    void OpenVideoInput(const MuxPacket& packet);
    void WriteNextVideo();
    void WriteNextAudio();
    void Finish();
    bool WriteVideoPacket(const MuxPacket& packet);
    bool WriteAudioPacket(const MuxPacket& packet);
    // Records the first failed write (an FFmpeg error code or a file's own words).
    void Fail(const QString& file, int ffmpegError);
    void Fail(const QString& file, const QString& reason, bool diskFull);
    // Whether the output's own file reported a write error (or the code is one of a file).
    bool OutputFileFailed(int ffmpegError) const;
    // Renames the whole output to its final name; false (and a failure) when that fails.
    bool CommitOutput();
    void CloseFiles();
    // frameRate: the rate of the first queued picture (30 when unknown); AVI plays at it.
    static int OpenOutput(AVFormatContext** out, AVFormatContext* videoIn, AVFormatContext* audioIn,
                          const AVCodecParameters* audioParameters, const QString& url, const QString& formatName,
                          int frameRate);
    static bool WriteTempFile(const QString& path, const char* bytes, int size, QString* error, bool* diskFull);

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_wroteFile{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_diskFull{false};
    QString m_failedFile; // guarded by m_mutex
    QString m_failReason; // guarded by m_mutex
    QString m_outputPath;
    QString m_formatName;
    AVFormatContext* m_outputContext = nullptr;
    AVCodecContext* m_aacDecoder = nullptr;
    AVFormatContext* m_videoInput = nullptr;
    AVFormatContext* m_audioInput = nullptr;
    qint64 m_videoCount = 0;
    qint64 m_audioCount = 0;
    qint64 m_videoClock = 0;
    qint64 m_audioClock = 0;
    QList<MuxPacket> m_audioQueue;
    QList<MuxPacket> m_videoQueue;
    AVBSFContext* m_adtsFilter = nullptr;
    std::atomic<int> m_state{0};
    std::atomic<bool> m_waitKeyFrame{true};
    qint64 m_firstTimestamp = 0;
    qint64 m_lastTimestamp = 0;
    std::thread m_worker;
    QMutex m_mutex;
    QWaitCondition m_wake;
    QWaitCondition m_finished; // the writer has ended (m_running false)
    MuxTempFiles m_temp;
    std::atomic<bool> m_audioDisabled{false};
};
