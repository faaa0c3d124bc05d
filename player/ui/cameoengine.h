#pragma once
// What the tile grid needs of the video engine. An adapter over the engine implements it; tests
// give a fake.
#include <QImage>
#include <vector>

// Kinds of the engine's own decoder settings that the image adjust values drive.
constexpr int kOwnDecoderBrightness = 2;
constexpr int kOwnDecoderContrast = 3;

class CameoEngine
{
public:
    virtual ~CameoEngine() = default;

    virtual void ClearFrameBuffer(int tile) = 0;
    virtual void ClearLastFrame(int tile) = 0;
    virtual void DemoteQueuedFrames() = 0;
    virtual void RedrawAll() = 0;
    virtual void RedrawCameos(const std::vector<int>& tiles) = 0;
    virtual void RedrawCameo(int tile) = 0;
    // The engine's own decoder settings of a tile.
    virtual void SetOwnDecoderSetting(int tile, int kind, int value) = 0;
    // The post-filter the display thread passes to the engine's own decoder for the tile.
    virtual void SetFilter(int tile, int value) = 0;
    virtual void RedecodeLastFrame(int tile) = 0;
    // The display front could not be made at start: drawing stays on the composed road.
    virtual bool DirectDrawFailed() const = 0;
    virtual bool IsDirectDrawUsed() const = 0;
    virtual void SetDirectXWanted(bool wanted) = 0;
    // The tile's last picture (a copy) with its frame's date and time; false when there is none.
    virtual bool LastPicture(int tile, QImage* picture, int* date, int* time) const = 0;
};
