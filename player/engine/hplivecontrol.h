#pragma once
// The player's video engine: everything between a compressed frame and a picture on a tile.
// Two roads lead through it. Queued: tile players hand frames to AddLiveData; the engine copies
// each into a pooled record, and its display thread decodes it, keeps it as the tile's last frame
// and shows it through the tile display. Direct: a tile player decodes on its own thread with
// DecodeFrame into the tile's picture buffer and shows it with DisplayFrame.
//
// The class is a thin face: decoding is DecoderChain's and the engine's own decoder's, the queues
// and their drop and batch rules are LiveFrameQueues' and DisplayLoop's.
#include "engine/decoderchain.h"
#include "engine/decoderlibraries.h"
#include "engine/engineclock.h"
#include "engine/liveframe.h"
#include "engine/poolliveframe.h"
#include "engine/tiledecodeinfo.h"

#include <cstdint>
#include <thread>
#include <vector>

class LiveControlHost;
class TileDisplay;
class VideoDecoderLock;

// OSD options in their order: camera title, recorder name, date, time, event, tile number, text
// colour (0xRRGGBB).
struct OsdOptions
{
    int showCameraTitle = 1;
    int showRecorderName = 1;
    int showDate = 1;
    int showTime = 1;
    int showEvent = 1;
    int showTileNumber = 1;
    int textColour = 0xFFFFFF;
};

class HPLiveControl
{
public:
    // host and display outlive the engine; clock may be null (a steady clock is used).
    HPLiveControl(LiveControlHost* host, TileDisplay* display, EngineClock* clock = nullptr);
    ~HPLiveControl();
    HPLiveControl(const HPLiveControl&) = delete;
    HPLiveControl& operator=(const HPLiveControl&) = delete;

    // Loads the decoder libraries, initialises the own decoder, clears the tiles and starts the
    // display thread. Returns 0.
    int Init(const DecoderLibraries& libraries = DecoderLibraries::Defaults());
    // Stops the display thread (waiting at most timeoutMs); false when it did not stop in time,
    // in which case the decoders and buffers are kept alive until the process ends.
    bool Shutdown(int timeoutMs = 3000);

    // Takes one frame of a tile player (copied). tileIndex and reserved are not used.
    void AddLiveData(int serverId, int camera, const uint8_t* data, int length, int frameType, int tileIndex,
                     int fieldHint, int reserved, int date, int time, int codec, int noDisplay, int mark,
                     int interval);

    // The tile's 32-bit picture buffer (2560 x 1440 x 4 bytes), made at first use; null for a
    // tile outside 0..15.
    uint8_t* GetFrameBuffer(int tile);
    // Whether the tile's picture buffer has been made (a tile that never showed a picture has none).
    bool HasFrameBuffer(int tile) const;
    // The same buffer as it is, for decoding into it and handing it back to DisplayFrame: a
    // picture kept unconverted is then shown straight at the tile's size, without the whole
    // conversion GetFrameBuffer makes for its readers.
    uint8_t* TileBuffer(int tile);
    // Clears the tile's picture; a tile without a buffer keeps none (a new one starts cleared).
    void ClearFrameBuffer(int tile);
    // Copies frame (data included) into the tile's last-frame slot; null clears the slot.
    void SetLastFrame(int tile, const LiveFrame* frame);
    // A copy of the tile's last frame (cleared for a tile outside 0..15).
    LiveFrame LastFrame(int tile) const;

    int IsDirectDraw() const;
    void SetUseDirectDraw(int value);
    void SetDirectXWanted(int value);
    void SetOsdOptions(const OsdOptions& options);
    OsdOptions GetOsdOptions() const;
    // Every queued frame becomes a delta frame (the layout changed).
    void DemoteQueuedFrames();

    // The tile display's operations, through the engine so that a stopped engine draws nothing.
    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw, int fromDecoder);
    void RedrawAll();
    void RedrawCameos(const std::vector<int>& tiles);
    void RedrawCameo(int tile);
    bool IsDisplayStopped() const;

    // The decoder chain (direct road).
    int DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck, int continuation);
    int DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, int convert);
    void ReleaseH264Contexts();
    void SetTileDecodeInfo(int tile, const TileDecodeInfo& info);
    // Per tile, applied after H.264 decoding and by the own decoder.
    void SetBrightness(int tile, int value);
    void SetContrast(int tile, int value);

    // The own decoder's post-filter for the tile (the grid's adjust value; 0 = none).
    void SetFilter(int tile, int value);
    // The engine's own decoder, for the image adjust dialog and the grid.
    VideoDecoderLock& OwnDecoder();
    pool_LiveFrame& Pool();
    DecoderChain& Chain();
    int QueuedFrames() const;

private:
    struct State;
    void RunDisplayThread();

    LiveControlHost* m_host;
    TileDisplay* m_display;
    // Everything the display thread touches. Owned here; left alive on purpose when the thread
    // does not stop in time, so that a hung decode never runs on freed memory.
    State* m_state;
    std::thread m_displayThread;
};
