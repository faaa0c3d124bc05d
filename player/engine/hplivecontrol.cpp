#include "engine/hplivecontrol.h"

#include "engine/decoderoutput.h"
#include "engine/displayloop.h"
#include "engine/enginelog.h"
#include "engine/livecontrolhost.h"
#include "engine/liveframequeues.h"
#include "engine/sizecode.h"
#include "engine/tiledisplay.h"
#include "engine/videodecoderlock.h"
#include "engine/zeroedbuffer.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace {
constexpr int kOwnDecoderWidth = 336;
constexpr int kOwnDecoderHeight = 272;
constexpr int kOutputRoutineSetting = 5;

bool ValidTile(int tile)
{
    return tile >= 0 && tile < kEngineTiles;
}
} // namespace

// A tile's picture kept unconverted after its decode, and the tile's picture buffer that it
// is converted into when something reads the buffer.
struct KeptTile : TilePicture
{
    int Width() const override { return picture.Width(); }
    int Height() const override { return picture.Height(); }
    bool ScaleInto(const QRect& source, uint8_t* out, int width, int height, int stride) override
    {
        return picture.ScaleInto(source, out, width, height, stride);
    }
    const uint8_t* Whole() override { return Bring(); }

    // The buffer, with the kept picture converted into it when it is newer.
    uint8_t* Bring()
    {
        if (stale.load()) {
            std::lock_guard<std::mutex> guard(lock);
            if (stale.load() && buffer)
                picture.ConvertWhole(buffer, kPictureBufferBytes);
            stale = false;
        }
        return buffer;
    }

    KeptPicture picture;
    uint8_t* buffer = nullptr;
    std::atomic<bool> stale{false}; // the kept picture is newer than the buffer
    std::mutex lock;
};

struct HPLiveControl::State : DisplayLoopTarget
{
    State(LiveControlHost* host, TileDisplay* display, EngineClock* externalClock)
        : host(host)
        , display(display)
        , clock(externalClock ? externalClock : &ownClock)
        , chain(host)
    {
        filter.fill(0);
    }

    uint8_t* Picture(int tile)
    {
        if (!ValidTile(tile))
            return nullptr;
        std::lock_guard<std::mutex> guard(tileLock);
        auto& picture = pictures[size_t(tile)];
        if (!picture) {
            picture = MakeZeroedBuffer(size_t(kPictureBufferBytes));
            kept[size_t(tile)].buffer = picture.get();
        }
        return picture.get();
    }

    // The picture buffer as it stands for readers: a kept picture converted into it first.
    uint8_t* Current(int tile) { return Picture(tile) ? kept[size_t(tile)].Bring() : nullptr; }

    // The picture buffer for a writer that fills it whole: the kept picture is then older.
    uint8_t* Writable(int tile)
    {
        uint8_t* picture = Picture(tile);
        if (picture)
            kept[size_t(tile)].stale = false;
        return picture;
    }

    // After a decode into the tile's buffer or its kept picture.
    int Decoded(int tile, int result, bool wasKept)
    {
        if (wasKept)
            kept[size_t(tile)].stale = true;
        else if (SizeCode::HasPicture(result))
            kept[size_t(tile)].stale = false;
        return result;
    }

    // Shows the tile's own picture unconverted when it is kept, else the picture given.
    int ShowPicture(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw, int fromDecoder)
    {
        if (ValidTile(tile) && picture && picture == Picture(tile) && kept[size_t(tile)].stale.load())
            return display->DisplayPicture(tile, frame, kept[size_t(tile)], useDirectDraw, fromDecoder);
        return display->DisplayFrame(tile, frame, picture, useDirectDraw, fromDecoder);
    }

    int IsDirectDraw() const { return useDirectDraw.load() == 1 ? directXWanted.load() : 0; }

    int DecodeQueued(int tile, LiveFrame& frame, int fieldMode) override
    {
        uint8_t* picture = Picture(tile);
        if (!picture)
            return -1;
        if (frame.codec == FrameCodec::H264) {
            bool wasKept = false;
            const int result = chain.DecodeQueuedH264(frame.Data(), frame.length, picture, tile,
                                                      &kept[size_t(tile)].picture, &wasKept);
            return Decoded(tile, result, wasKept);
        }
        // The engine's own decoder, the first family (quality 1: no recorder client).
        picture = Writable(tile);
        return ownDecoder.Decode(frame.Data(), frame.length, picture, kPictureBufferBytes, tile, fieldMode, 0,
                                 filter[size_t(tile)], 1);
    }

    void KeepLastFrame(int tile, const LiveFrame& frame) override { SetLastFrame(tile, &frame); }

    void SetLastFrame(int tile, const LiveFrame* frame)
    {
        if (!ValidTile(tile))
            return;
        std::lock_guard<std::mutex> guard(tileLock);
        auto& slot = lastFrames[size_t(tile)];
        if (!slot) {
            slot.reset(new (std::nothrow) LiveFrame);
            if (!slot)
                return;
        }
        if (frame)
            *slot = *frame;
        else
            slot->Clear();
    }

    void Show(int tile, LiveFrame& frame) override
    {
        if (displayStopped.load() || !display)
            return;
        ShowPicture(tile, frame, Picture(tile), IsDirectDraw(), 1);
    }

    int LastWidth(int tile) const override { return chain.LastWidth(tile); }
    int LastHeight(int tile) const override { return chain.LastHeight(tile); }
    void SetLastSize(int tile, int width, int height) override { chain.SetLastSize(tile, width, height); }

    LiveControlHost* host;
    TileDisplay* display;
    SteadyEngineClock ownClock;
    EngineClock* clock;
    pool_LiveFrame pool{10};
    DecoderChain chain;
    VideoDecoderLock ownDecoder;
    LiveFrameQueues queues;
    std::unique_ptr<DisplayLoop> loop;

    mutable std::mutex tileLock;
    std::array<ZeroedBuffer, kEngineTiles> pictures;
    std::array<KeptTile, kEngineTiles> kept;
    std::array<std::unique_ptr<LiveFrame>, kEngineTiles> lastFrames;
    std::array<int, kEngineTiles> filter;
    OsdOptions osd;

    std::atomic<int> useDirectDraw{0};
    std::atomic<int> directXWanted{1};
    std::atomic<bool> displayStopped{false};
    bool initialised = false;

    std::mutex doneLock;
    std::condition_variable doneSignal;
    bool threadDone = false;
    bool detached = false;
};

HPLiveControl::HPLiveControl(LiveControlHost* host, TileDisplay* display, EngineClock* clock)
    : m_host(host)
    , m_display(display)
    , m_state(new State(host, display, clock))
{}

HPLiveControl::~HPLiveControl()
{
    if (!Shutdown())
        return; // the display thread still runs: its state stays until the process ends
    if (m_state->detached) {
        // A thread that once overran its time may have ended since; only then may its state go.
        std::unique_lock<std::mutex> lock(m_state->doneLock);
        if (!m_state->threadDone)
            return;
        lock.unlock();
    }
    delete m_state;
}

int HPLiveControl::Init(const DecoderLibraries& libraries)
{
    if (m_state->initialised)
        return 0;
    m_state->initialised = true;
    m_state->chain.Load(libraries);
    m_state->chain.SetPictureBuffers([state = m_state](int tile) { return state->Writable(tile); });
    if (m_state->ownDecoder.Init(kOwnDecoderWidth, kOwnDecoderHeight) != 0)
        qCWarning(lcPlayerEngine) << "the own decoder has no memory: its recordings make no picture";
    // The picture buffers are 32-bit: the own decoder writes 32-bit rows into them.
    m_state->ownDecoder.Set(0, kOutputRoutineSetting, int(OutputRoutine::Bgrx32));
    for (int tile = 0; tile < kEngineTiles; ++tile) {
        m_state->ownDecoder.Set(tile, 2, 0);
        m_state->ownDecoder.Set(tile, 3, 0);
        m_state->chain.SetBrightness(tile, 0);
        m_state->chain.SetContrast(tile, 0);
        m_state->chain.SetLastSize(tile, kMaxPictureWidth, kMaxPictureHeight);
    }
    if (m_host) {
        m_state->loop = std::make_unique<DisplayLoop>(m_state->queues, m_state->pool, *m_host, *m_state->clock,
                                                      *m_state);
        m_displayThread = std::thread([this] { RunDisplayThread(); });
    }
    return 0;
}

void HPLiveControl::RunDisplayThread()
{
    State* state = m_state;
    // Whichever way the loop ends, redraws stop and the waiting shut-down hears of it.
    struct Finish
    {
        State* state;
        ~Finish()
        {
            state->loop->DropPending();
            state->displayStopped = true;
            std::lock_guard<std::mutex> guard(state->doneLock);
            state->threadDone = true;
            state->doneSignal.notify_all();
        }
    } finish{state};
    while (state->loop->Step(true)) {
    }
}

bool HPLiveControl::Shutdown(int timeoutMs)
{
    m_state->queues.Stop();
    if (!m_displayThread.joinable() && !m_state->detached)
        return true;
    if (m_state->detached) {
        std::lock_guard<std::mutex> guard(m_state->doneLock);
        return m_state->threadDone;
    }
    std::unique_lock<std::mutex> lock(m_state->doneLock);
    const bool done = m_state->doneSignal.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                   [this] { return m_state->threadDone; });
    lock.unlock();
    if (!done) {
        qCWarning(lcPlayerEngine) << "display thread did not stop; its decoders stay until the program ends";
        m_displayThread.detach();
        m_state->detached = true;
        return false;
    }
    m_displayThread.join();
    m_state->queues.Drain(m_state->pool);
    return true;
}

void HPLiveControl::AddLiveData(int serverId, int camera, const uint8_t* data, int length, int frameType,
                                int tileIndex, int fieldHint, int reserved, int date, int time, int codec,
                                int noDisplay, int mark, int interval)
{
    (void)tileIndex;
    (void)reserved;
    if (m_host && m_host->IsClosing())
        return;
    if (length <= 0) {
        if (mark != kMarkNoData) {
            qCDebug(lcPlayerEngine, "Push Live Data Size Error %d", length);
            return;
        }
        qCDebug(lcPlayerEngine, "AddLiveData NoData Packet %d %d", serverId, camera);
        length = 0;
    }
    if (length > kLiveFrameCapacity) {
        qCDebug(lcPlayerEngine, "Live Buffer Over   Buffer:%d    Data:%d", kLiveFrameCapacity, length);
        return;
    }
    LiveFrame* frame = m_state->pool.Take();
    if (!frame) {
        qCWarning(lcPlayerEngine, "pool_LiveFrame::malloc() is NULL");
        return;
    }
    if (data && length > 0 && mark != kMarkNoData)
        std::memcpy(frame->Data(), data, size_t(length));
    else
        std::memset(frame->Data(), 0, size_t(kLiveFrameCapacity));
    const uint32_t now = m_state->clock->Now();
    frame->length = length;
    frame->arrival = now;
    frame->frameType = uint8_t(frameType);
    frame->serverId = serverId;
    frame->camera = camera;
    frame->date = date;
    frame->time = time;
    frame->noDisplay = noDisplay;
    frame->mark = mark;
    frame->fieldHint = fieldHint;
    frame->interval = interval;
    frame->codec = codec == 0 ? FrameCodec::Own : FrameCodec::H264;
    // Live recording needs a recorder client, which this program never has.
    m_state->queues.Hold(frame, now);
}

uint8_t* HPLiveControl::GetFrameBuffer(int tile)
{
    return m_state->Current(tile);
}

uint8_t* HPLiveControl::TileBuffer(int tile)
{
    return m_state->Picture(tile);
}

bool HPLiveControl::HasFrameBuffer(int tile) const
{
    if (!ValidTile(tile))
        return false;
    std::lock_guard<std::mutex> guard(m_state->tileLock);
    return m_state->pictures[size_t(tile)] != nullptr;
}

void HPLiveControl::ClearFrameBuffer(int tile)
{
    // Clearing must not make the buffer: every page written to becomes resident, and the grid
    // clears the pictures of tiles that never played at every change of layout. (A kept picture
    // comes only from a decode, which makes the buffer first.)
    if (!HasFrameBuffer(tile))
        return;
    if (uint8_t* picture = m_state->Writable(tile))
        std::memset(picture, 0, size_t(kPictureBufferBytes));
}

void HPLiveControl::SetLastFrame(int tile, const LiveFrame* frame)
{
    m_state->SetLastFrame(tile, frame);
}

LiveFrame HPLiveControl::LastFrame(int tile) const
{
    LiveFrame copy;
    if (!ValidTile(tile))
        return copy;
    std::lock_guard<std::mutex> guard(m_state->tileLock);
    if (const auto& slot = m_state->lastFrames[size_t(tile)])
        copy = *slot;
    return copy;
}

int HPLiveControl::IsDirectDraw() const
{
    return m_state->IsDirectDraw();
}

void HPLiveControl::SetUseDirectDraw(int value)
{
    m_state->useDirectDraw = value;
}

void HPLiveControl::SetDirectXWanted(int value)
{
    m_state->directXWanted = value;
}

void HPLiveControl::SetOsdOptions(const OsdOptions& options)
{
    {
        std::lock_guard<std::mutex> guard(m_state->tileLock);
        m_state->osd = options;
    }
    // The display draws the OSD; options kept only here would never reach a tile.
    if (m_display)
        m_display->SetOsdOptions(options);
}

OsdOptions HPLiveControl::GetOsdOptions() const
{
    std::lock_guard<std::mutex> guard(m_state->tileLock);
    return m_state->osd;
}

void HPLiveControl::DemoteQueuedFrames()
{
    m_state->queues.Demote();
}

int HPLiveControl::DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                                int fromDecoder)
{
    if (!ValidTile(tile) || !m_display)
        return 0;
    return m_state->ShowPicture(tile, frame, picture, useDirectDraw, fromDecoder);
}

void HPLiveControl::RedrawAll()
{
    std::vector<int> tiles;
    for (int tile = 0; tile < kEngineTiles; ++tile)
        tiles.push_back(tile);
    RedrawCameos(tiles);
}

void HPLiveControl::RedrawCameos(const std::vector<int>& tiles)
{
    if (IsDisplayStopped() || !m_display)
        return;
    std::vector<int> valid;
    for (int tile : tiles)
        if (ValidTile(tile))
            valid.push_back(tile);
    m_display->RedrawCameos(valid);
}

void HPLiveControl::RedrawCameo(int tile)
{
    RedrawCameos({tile});
}

bool HPLiveControl::IsDisplayStopped() const
{
    return m_state->displayStopped.load();
}

int HPLiveControl::DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck,
                               int continuation)
{
    // Into the tile's own buffer a single-field picture is kept unconverted: the display scales
    // it straight to the tile.
    if (ValidTile(tile) && output && output == m_state->Picture(tile)) {
        bool wasKept = false;
        const int result = m_state->chain.DecodeFrame(frame, length, output, tile, headerCheck, continuation,
                                                      &m_state->kept[size_t(tile)].picture, &wasKept);
        return m_state->Decoded(tile, result, wasKept);
    }
    return m_state->chain.DecodeFrame(frame, length, output, tile, headerCheck, continuation);
}

int HPLiveControl::DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, int convert)
{
    return m_state->chain.DecodeQueuedH264(frame, length, output, tile, convert);
}

void HPLiveControl::ReleaseH264Contexts()
{
    m_state->chain.ReleaseH264Contexts();
}

void HPLiveControl::SetTileDecodeInfo(int tile, const TileDecodeInfo& info)
{
    m_state->chain.SetTileInfo(tile, info);
}

void HPLiveControl::SetBrightness(int tile, int value)
{
    m_state->chain.SetBrightness(tile, value);
}

void HPLiveControl::SetContrast(int tile, int value)
{
    m_state->chain.SetContrast(tile, value);
}

void HPLiveControl::SetFilter(int tile, int value)
{
    if (ValidTile(tile))
        m_state->filter[size_t(tile)] = value;
}

VideoDecoderLock& HPLiveControl::OwnDecoder()
{
    return m_state->ownDecoder;
}

pool_LiveFrame& HPLiveControl::Pool()
{
    return m_state->pool;
}

DecoderChain& HPLiveControl::Chain()
{
    return m_state->chain;
}

int HPLiveControl::QueuedFrames() const
{
    return m_state->queues.DisplayCount() + m_state->queues.HoldCount();
}
