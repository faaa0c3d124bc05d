#pragma once
// H.264 decoder of one recorder channel. It repairs the recorder's own frame wrapping (stored
// byte order, stated frame length, slice numbering), decodes with libavcodec and converts the
// picture with libswscale's fast bilinear scaler into a 24-bit RGB QImage that other threads
// copy under the picture lock.
#include <QImage>
#include <QMutex>

#include <atomic>
#include <memory>

#include "common/media/picturescaler.h"

struct AVCodecContext;
struct AVCodec;
struct AVFrame;
struct AVPacket;

class CModuleDecoder
{
public:
    // Results of OnDecode besides the size codes.
    enum Result {
        ErrNotOpen = -1,
        ErrSize = -2, // size below 1, or shorter than the header bits modes 1 and 3 read
        // Mode 0: the wrapper states more bytes than arrived (or fewer than its own 12), or the
        // frame is shorter than the wrapper; stored byte order or stream order, first or
        // second wrapper form. Such a frame is left untouched.
        ErrReversedLength1 = -4,
        ErrReversedLength2 = -5,
        ErrStreamLength1 = -7,
        ErrStreamLength2 = -8,
        ErrNotInStep = -10, // mode 3: P slice while not in step
        ErrSameFrame = -11, // mode 3: same frame number again; also a picture size change
        ErrNotSync = -12,   // mode 3: gap in the frame numbers
        ErrConvert = -13,
        ErrCodeIsSize = -14, // decoded, but the size code equals the payload size
        ErrCodec = -998,
        ErrNoPicture = -999,
    };

    CModuleDecoder();
    ~CModuleDecoder();
    CModuleDecoder(const CModuleDecoder&) = delete;
    CModuleDecoder& operator=(const CModuleDecoder&) = delete;

    // Opens the codec (true), or on an open decoder resets picture, sizes, brightness and
    // contrast and keeps the codec. False, with a warning, only when libavcodec cannot open.
    bool OpenDecoder();
    // False when not open.
    bool CloseDecoder();

    // Decodes one frame; data may be rewritten in place. Returns the size code of the picture
    // (width x 1000 + height, or width x 10000 + height when the height exceeds 1000) or one
    // of the negative results above.
    int OnDecode(unsigned char* data, int size, int mode, int width, int height, bool decodeOnly);

    // A shallow copy of the converted picture; a null picture while closed. It does not take
    // the picture lock: a thread other than the decoding one holds GetPictureLock() around it.
    QImage GetImage();

    // Converting every picture at full size costs a good part of what decoding costs when the
    // picture is shown in a small cell. On demand, OnDecode keeps the decoded frame and
    // converts nothing: GetImage converts it at full (or requested) size the first time it is
    // asked for, and ConvertInto straight to the size a cell shows. Both are then called only
    // with the picture lock held, by any thread. Off at construction.
    void SetConvertOnDemand(bool onDemand);
    bool ConvertsOnDemand() const { return m_onDemand; }
    // On demand only: converts the last picture, less its bottom `cropRows` rows, to RGB32 at
    // width x height into `target`, in place when target already has that size and is not
    // shared. False when there is no picture to convert.
    // While nearly every picture is asked for (a cell that shows every frame), the decoding
    // thread converts each picture at the size last asked for as soon as it is decoded, while
    // it is still in the processor's cache; ConvertInto then hands that picture over in place
    // of the target's, without converting again.
    bool ConvertInto(QImage& target, int width, int height, int cropRows = 0);
    // On demand only: a picture of its own of the last decoded frame in RGB32, at its size or
    // scaled down to fit within `bound` (keeping its aspect). It is made with a scaler of its
    // own, so a cell's conversions (their size, the picture converted ahead) go on as they
    // were. A null picture when there is none. Called with the picture lock held.
    QImage CopyPicture(const QSize& bound);
    // The size of the pictures of the current stream (empty before the first one).
    QSize GetPictureSize() const { return QSize(m_targetWidth, m_targetHeight); }

    // The lock that guards the converted picture; a grid takes its cells lock first, then this.
    QMutex* GetPictureLock() { return &m_pictureLock; }
    // The size of the pictures being decoded, empty before the first; read with the picture
    // lock held.
    QSize PictureSize() const { return QSize(m_decodedWidth, m_decodedHeight); }

    int GetBrightness(int i) const;
    int GetContrast(int i) const;
    void SetBrightness(int i, int value);
    void SetContrast(int i, int value);

    // The largest picture decoded or converted: a larger stream gives ErrCodec and no picture.
    static constexpr int kMaxWidth = 4096;
    static constexpr int kMaxHeight = 2304;
    static constexpr int kMaxPixels = kMaxWidth * kMaxHeight;

    // Packs a picture size the way OnDecode reports it.
    static int SizeCode(int width, int height);

    // The recorder frame wrapper starts with this unit, in stream order.
    static constexpr unsigned char kWrapperStart[4] = {0x00, 0x00, 0x01, 0x06};

private:
    struct CodecContextDeleter
    {
        void operator()(AVCodecContext* p) const;
    };
    struct FrameDeleter
    {
        void operator()(AVFrame* p) const;
    };
    struct PacketDeleter
    {
        void operator()(AVPacket* p) const;
    };
    int RepairWrapper(unsigned char* data, int& size);
    int RenumberMode1(unsigned char* data, int size);
    int CheckMode3(const unsigned char* data, int size, int& frameNumber);
    int SendAndReceive(const unsigned char* data, int size, bool& gotPicture);
    bool DecodeFiller(int frameNumber);
    int ConvertPicture();
    // The target size check and size change of ConvertPicture: -1 refused, 0 the first frame of
    // a new size (black picture), 1 ready to convert.
    int PrepareTarget();
    bool ScaleFullPicture(const AVFrame& frame, bool takePictureLock);
    // ConvertPicture's counterpart on demand: the frame is kept, not converted.
    int KeepPicture();
    // The picture kept last converted ahead at the size last asked for; picture lock held.
    void ConvertAhead();
    void ResetAhead();
    bool ScaleCell(const AVFrame& frame, QImage& target, int width, int height, int cropRows);
    void ResetPictureState();
    void ReportOversizedStream();

    static void p2i_post_process(AVFrame* frame, int height, bool log);

    QImage m_placeholder;
    int m_mode = 0;
    int m_lastFrameNumber = -1;
    unsigned char m_streamOrder = 0;
    QMutex m_pictureLock;
    int m_decodedWidth = 0;
    int m_decodedHeight = 0;
    int m_targetWidth = 0;
    int m_targetHeight = 0;
    std::atomic<unsigned char> m_open{0};
    QMutex m_codecLock;
    std::unique_ptr<AVCodecContext, CodecContextDeleter> m_context;
    const AVCodec* m_codec = nullptr;
    std::unique_ptr<AVFrame, FrameDeleter> m_frame;
    PictureScaler m_scaler;     // full size, RGB888
    PictureScaler m_cellScaler; // cell size, RGB32 (on demand)
    bool m_onDemand = false;
    // On demand: the last decoded frame and whether GetImage has yet to convert it; both under
    // the picture lock.
    std::unique_ptr<AVFrame, FrameDeleter> m_shown;
    bool m_shownStale = false;
    // On demand, how many of the pictures kept were asked for (256: all of the recent ones),
    // and the last picture converted ahead; picture lock.
    static constexpr int kAskedAll = 256;
    static constexpr int kAskedToConvertAhead = 192;
    int m_askedShare = 0;
    bool m_shownAsked = false;
    struct Ahead
    {
        QImage picture;
        int width = 0, height = 0, cropRows = 0; // the size last asked for
        bool ready = false;                      // picture holds the kept picture
    } m_ahead;
    int m_counterMode1 = 0;
    int m_counterMode0 = 0;
    bool m_oversizeReported = false;  // one debug line per decoder, not one per frame
    std::atomic<int> m_brightness{0}; // set by the user-interface thread, read by the decoding one
    std::atomic<int> m_contrast{0};
    int m_requestedWidth = 0;
    int m_requestedHeight = 0;
    QImage m_picture;
    // The scaler writes the next picture here; under the picture lock it then changes places
    // with the converted picture, so a reader never meets a half-written one.
    QImage m_rgbBuffer;

    // Owned between frames so that each decode reuses them.
    std::unique_ptr<AVPacket, PacketDeleter> m_packet;
    std::unique_ptr<AVFrame, FrameDeleter> m_received;
};
