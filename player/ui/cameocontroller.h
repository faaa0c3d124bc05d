#pragma once
// The tile grid's behaviour without its window: opening files in tiles, clearing them, the image
// adjust values, layouts, what a press, a drag, a release and the wheel do, the context menu's
// state and commands, freezing, Print & Save and layout sequencing. The grid window turns its
// mouse and timer events into these calls.
#include "ui/cameogrid.h"
#include "ui/cameomenustate.h"
#include "ui/stillrecord.h"

#include <QPoint>
#include <functional>

class CameoEngine;
class CameoHost;
class CameoPlayer;

// What a left press started.
enum class CameoPress { Nothing, Pan, Drag };

// What a left release ended with.
enum class CameoDrop {
    Nothing,
    Swapped,
    Refused // a file tile cannot be swapped: the window beeps
};

class CameoController
{
public:
    static constexpr int kDragThreshold = 20;

    CameoController(CameoGrid* grid, CameoHost* host, CameoEngine* engine);

    // Runs after each layout, before any redraw (the window clears itself there).
    void SetAfterLayout(std::function<void()> afterLayout) { m_afterLayout = std::move(afterLayout); }

    int OpenFile(int tile, const QString& folder, const QString& fileName);
    void SetCameoPlayback(int tile, int sourceId, int channel, bool start);
    void ClearCameo(int tile);
    void SetFrameRate(int tile, int frameRate);
    // which: 1 brightness, 2 contrast, 3 filter.
    void SetAdjust(int tile, int which, int value);
    void Layout(int width, int height, int code, bool repress, bool restore, bool keepStart);

    CameoPress Press(const QPoint& at, SelectKeys keys);
    // True once a drag has moved far enough to show the drag image.
    bool Move(const QPoint& at);
    CameoDrop Release(const QPoint& at);
    bool IsDragging() const { return m_dragSource >= 0; }
    void Wheel(int delta);
    void ViewSingle(const QPoint& at);
    void ZoomIn();
    void ZoomOut();
    void SelectAll();

    CameoMenuState MenuState(const QPoint& at);
    void AudioOut();
    void ToggleDirectX();
    bool CanPrintAndSave() const;
    void PrintAndSave();
    // The still of the first selected tile; false without a selected tile or picture.
    // The still of a tile (the first selected tile by default); false when it holds no picture.
    bool BuildStill(StillRecord* still, int tile = -1) const;
    // Opens the still dialog for a tile that holds a picture; false when there is none.
    bool PrintAndSaveTile(int tile);

    void Freeze();
    void Unfreeze();
    void ToggleFreeze();
    void SetSequencing(bool on) { m_sequencing = on; }
    bool IsSequencing() const { return m_sequencing; }
    void SequenceStep();

private:
    CameoPlayer* PlayerOf(int tile) const;
    void SelectAsByClick(int tile, SelectKeys keys);
    void BindLivePair(int tile, const CameoItem& from);
    void Relayout(int code, bool repress, bool restore);

    CameoGrid* m_grid;
    CameoHost* m_host;
    CameoEngine* m_engine;
    std::function<void()> m_afterLayout;
    QPoint m_pressAt;
    int m_panXAtPress = 0;
    int m_panYAtPress = 0;
    bool m_panning = false;
    int m_dragSource = -1;
    bool m_dragShown = false;
    bool m_sequencing = false;
};
