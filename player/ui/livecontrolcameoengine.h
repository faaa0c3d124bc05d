#pragma once
// The grid's view of the video engine, over HPLiveControl.
#include "ui/cameoengine.h"

class HPLiveControl;

class LiveControlCameoEngine : public CameoEngine
{
public:
    // frontFailed: the display front could not be made at start, so "Use DirectX" stays greyed.
    LiveControlCameoEngine(HPLiveControl* engine, bool frontFailed);

    void ClearFrameBuffer(int tile) override;
    void ClearLastFrame(int tile) override;
    void DemoteQueuedFrames() override;
    void RedrawAll() override;
    void RedrawCameos(const std::vector<int>& tiles) override;
    void RedrawCameo(int tile) override;
    void SetOwnDecoderSetting(int tile, int kind, int value) override;
    void SetFilter(int tile, int value) override;
    void RedecodeLastFrame(int tile) override;
    bool DirectDrawFailed() const override { return m_frontFailed; }
    bool IsDirectDrawUsed() const override;
    void SetDirectXWanted(bool wanted) override;
    bool LastPicture(int tile, QImage* picture, int* date, int* time) const override;

private:
    HPLiveControl* m_engine;
    bool m_frontFailed;
};
