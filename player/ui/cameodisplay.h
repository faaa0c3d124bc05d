#pragma once
// Puts decoded pictures onto their tiles of the grid window with each tile's OSD, by one of two
// roads: composed off screen per tile and copied to the window canvas in one piece (the GDI road),
// or through the display front, whose composition the present loop copies to the window every
// 33 ms (the DirectDraw road). Runs on the engine's display thread, the players' threads and the
// user-interface thread; the window itself is only touched by the user-interface thread.
#include "engine/tiledisplay.h"
#include "ui/hpdisplayfront.h"
#include "ui/osdoverlay.h"
#include "ui/osdpainter.h"

#include <QImage>
#include <QMutex>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct OsdOptions;
class CameoDisplayHost;
class CameoGrid;
class WindowCanvas;
struct CameoView;

class CameoDisplay : public TileDisplay
{
public:
    static constexpr int kMaxPictureWidth = 2560;
    static constexpr int kMaxPictureHeight = 1440;
    static constexpr int kPresentIntervalMs = 33;

    CameoDisplay(CameoGrid* grid, CameoDisplayHost* host, WindowCanvas* canvas);
    ~CameoDisplay() override;
    CameoDisplay(const CameoDisplay&) = delete;
    CameoDisplay& operator=(const CameoDisplay&) = delete;

    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                     int fromDecoder) override;
    // Scales the picture straight into the tile's composed image, converting it once.
    int DisplayPicture(int tile, LiveFrame& frame, TilePicture& picture, int useDirectDraw,
                       int fromDecoder) override;
    void RedrawCameos(const std::vector<int>& tiles) override;
    void RedrawAll();
    void RedrawCameo(int tile);

    // Creates the display front over the window canvas; 0 when the DirectDraw road can be used.
    int CreateFront(int width, int height);
    void ResizeFront(int width, int height);
    HPDisplayFront& Front() { return m_front; }
    // While suspended the present loop leaves the window alone (the window is being rebuilt).
    void SetFrontSuspended(bool suspended);
    // Runs the present loop on a thread of its own until StopPresenting or destruction.
    void StartPresenting();
    void StopPresenting();
    // Blacks out the window and draws the borders of the layout's empty cells (after a layout).
    void ClearWindow();

    void SetOsdStyle(const OsdStyle& style);
    OsdStyle GetOsdStyle() const;
    // The engine's OSD options (as the OSD setup dialog writes them) become the painters' style.
    void SetOsdOptions(const OsdOptions& options) override;
    void SetEventWords(const OsdEventWords& words);
    bool IsDrawing(int tile) const;
    // How many times the tile's OSD was drawn afresh (for tests and benchmarks).
    int OsdRenders(int tile) const;

private:
    struct Placement
    {
        QRect source; // in the picture
        QRect target; // the tile in the window
        OsdContent content;
        int channel = 0;
    };
    // What every road does before drawing; false when nothing is to be drawn.
    bool Place(int tile, LiveFrame& frame, bool hasPicture, Placement* placement);
    // The debug line of each shown picture (size, date, time, mean colour).
    void LogShown(int tile, const LiveFrame& frame, const uint8_t* picture) const;
    OsdContent Content(int tile, const CameoView& view, const LiveFrame& frame, const QRect& rect) const;
    void DrawThroughFront(int tile, const QImage& picture, const QRect& source, const QRect& target,
                          const OsdContent& content);
    void DrawOnFront(int tile, const QImage& picture, const QRect& source, const QRect& target,
                     const OsdContent& content);
    void DrawThroughCanvas(int tile, const QImage& picture, const QRect& source, const QRect& target,
                           const OsdContent& content);
    // Scales the picture into the tile's place in the window canvas and draws the OSD over it;
    // false when it could not (nothing drawn).
    bool DrawIntoCanvas(int tile, TilePicture& picture, const Placement& placement);
    // Draws the OSD over the tile's composed image and hands it on (canvas or front).
    void Present(int tile, QImage& composed, const QRect& target, const OsdContent& content, bool throughFront);
    void PresentLoop();
    void WakePresent();

    CameoGrid* m_grid;
    CameoDisplayHost* m_host;
    WindowCanvas* m_canvas;
    HPDisplayFront m_front;

    mutable QMutex m_styleLock;
    OsdStyle m_style;
    OsdEventWords m_words;

    // Per tile: the composed tile image, reused from frame to frame, the painter of its OSD and
    // the OSD as last drawn, laid over the pictures that follow while it shows the same.
    mutable std::array<std::mutex, 16> m_tileLocks;
    std::array<QImage, 16> m_tileImages;
    std::array<OsdPainter, 16> m_osd;
    std::array<OsdOverlay, 16> m_overlays;
    std::array<std::atomic<int>, 16> m_drawing{};

    std::vector<uint8_t> m_blankPicture;
    LiveFrame m_blankFrame;

    std::mutex m_presentLock;
    std::condition_variable m_presentWake;
    bool m_presentStop = false;
    bool m_presentDirty = false;
    std::atomic<bool> m_frontSuspended{false};
    std::thread m_presentThread;
};
