#pragma once
// The AVI writer of the export: libavformat's AVI muxer with the Xvid encoder (FourCC "XVID")
// or, when Xvid is not installed or cannot be opened, Microsoft Video 1 at 10 frames per
// second; 8 kHz 16-bit mono PCM audio when asked for. With Xvid only every third position is
// coded and Microsoft Video 1 takes every third of a 30-per-second feed; each coded position
// holds the latest picture given, so repeats and skipped positions never leave a hole. The
// file is written under a temporary name and takes its own only when closed whole.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class CAviWriter
{
public:
    enum class Compressor {
        Xvid,
        Msvc,
    };
    static constexpr int kAudioBlock = 16000;

    CAviWriter();
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // True when this build can code Xvid (the codec check of the tools popup).
    static bool XvidInstalled();

    void Init();
    void SetPath(const QString& path) { m_path = path; }
    QString Path() const { return m_path; }
    // Outside 0 to 10,000: 5,000.
    void SetQuality(int quality);
    // 0 or less: 10.
    void SetFrameRate(int rate);
    void SetUseMsvc(bool use) { m_useMsvc = use; }
    bool UseMsvc() const { return m_useMsvc; }

    // From state closed only (else 1). The first picture sets the frame size (width and height
    // made even, and multiples of 4 for Video 1). 0 opened; -2 the compressor failed and the
    // use-MSVC flag is now set (try again once); -1 failure.
    int Open(const QImage& first, bool withAudio);
    // No picture or repeat: the position advances and the latest picture fills a coded
    // position. 0, or -1 on a write failure.
    int WriteFrame(const QImage* picture, bool repeat);
    // One 16,000-byte block (one second) when opened with audio; -1 otherwise or on failure.
    int WriteAudio(const QByteArray& block);
    // Finishes the file; true when it was written whole and renamed to its path.
    bool Close();
    void CloseIfOpen();

    int State() const { return m_state; }
    int FrameRate() const { return m_frameRate; }
    Compressor UsedCompressor() const { return m_compressor; }
    int VideoPosition() const { return m_videoPosition; }
    int AudioPosition() const { return m_audioPosition; }
    int CodedFrames() const { return m_codedFrames; }
    QSize FrameSize() const { return QSize(m_width, m_height); }

private:
    struct Av;
    int OpenWith(Compressor compressor, const QImage& first, bool withAudio);
    bool Encode(bool flush);
    void Release();

    std::unique_ptr<Av> m_av;
    QString m_path;
    int m_state = 0;
    int m_quality = 5000;
    int m_requestedRate = 10;
    int m_frameRate = 10;
    int m_width = 100;
    int m_height = 100;
    bool m_useMsvc = false;
    bool m_failed = false;
    Compressor m_compressor = Compressor::Xvid;
    int m_step = 1;  // one coded position in this many
    int m_phase = 0; // the coded position within a step
    int m_videoPosition = 0;
    int m_audioPosition = 0;
    int m_codedFrames = 0;
    QImage m_latest;
};
