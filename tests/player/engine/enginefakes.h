#pragma once
// Fakes of what the video engine needs around it: the grid and main dialog, the tile display and
// a clock stepped by hand.
#include "engine/engineclock.h"
#include "engine/livecontrolhost.h"
#include "engine/tiledisplay.h"

#include <QByteArray>

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

class FakeHost : public LiveControlHost
{
public:
    FakeHost() { shown.fill(true); }
    bool IsClosing() const override { return closing; }
    int LayoutCode() const override { return layout; }
    // File tiles: camera n plays on tile n.
    int FindCameo(int serverId, int camera, bool) const override
    {
        return serverId == -999 && camera >= 0 && camera < 16 ? camera : -1;
    }
    bool IsTileShown(int tile) const override { return shown[size_t(tile)]; }
    bool IsRestartPending(int tile) const override { return restart[size_t(tile)]; }
    void ClearRestart(int tile) override { restart[size_t(tile)] = false; }
    bool IsStreaming(int) const override { return false; }
    int ExportCaptureMode() const override { return captureMode; }

    std::atomic<bool> closing{false};
    int layout = 2;
    int captureMode = -1;
    std::array<bool, 16> shown{};
    std::array<bool, 16> restart{};
};

struct ShownFrame
{
    int tile;
    int width;
    int height;
    int date;
    int time;
    int mark;
    QByteArray picture;
};

class FakeDisplay : public TileDisplay
{
public:
    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int, int) override
    {
        std::lock_guard<std::mutex> guard(lock);
        ShownFrame shownFrame{tile, frame.width, frame.height, frame.date, frame.time, frame.mark, {}};
        if (picture && keepPictures)
            shownFrame.picture = QByteArray(reinterpret_cast<const char*>(picture),
                                            frame.width * frame.height * 4);
        frames.push_back(shownFrame);
        changed.notify_all();
        return 0;
    }
    void RedrawCameos(const std::vector<int>& tiles) override
    {
        std::lock_guard<std::mutex> guard(lock);
        redrawn.insert(redrawn.end(), tiles.begin(), tiles.end());
    }
    // Waits (generously) until count frames were shown.
    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(60), [&] { return frames.size() >= count; });
    }
    // Waits (generously) until a shown frame has the mark.
    bool WaitForMark(int mark)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(60),
                                [&] { return !frames.empty() && frames.back().mark == mark; });
    }
    std::vector<ShownFrame> Frames()
    {
        std::lock_guard<std::mutex> guard(lock);
        return frames;
    }

    bool keepPictures = true;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<ShownFrame> frames;
    std::vector<int> redrawn;
};

class FakeClock : public EngineClock
{
public:
    uint32_t Now() const override { return now; }
    std::atomic<uint32_t> now{100000};
};
