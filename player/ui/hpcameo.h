#pragma once
// The player's video grid window: sixteen tiles in a split layout. It keeps the grid's state and
// behaviour in widget-free classes and does only what needs a window: turning mouse, wheel and
// timer events into their calls, showing the context menu and the drag image, and painting the
// canvas that the tile display draws into.
//
// The main dialog puts it together as: the grid window (its host and display host given here);
// a GridLiveControlHost over Grid() and the video engine over that host and Display(); the
// display front made with Display().CreateFront (0: the engine's SetUseDirectDraw(1), and
// Display().StartPresenting()); then Init with a LiveControlCameoEngine over the engine.
#include "ui/cameocontroller.h"
#include "ui/cameodisplay.h"
#include "ui/cameogrid.h"
#include "ui/windowcanvas.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class CameoDisplayHost;
class CameoEngine;
class CameoHost;
class QLabel;
class QMenu;

class HPCameo : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSequenceIntervalMs = 5000;

    // Commands of the context menu.
    static constexpr int kViewSingleCommand = 32806;
    static constexpr int kOsdSetupCommand = 32807;
    static constexpr int kUseDirectXCommand = 32809;
    static constexpr int kZoomInCommand = 32812;
    static constexpr int kZoomOutCommand = 32813;
    static constexpr int kPrintSaveCommand = 32818;
    static constexpr int kAudioOutCommand = 32863;
    static constexpr int kPasswordCommand = 32865;

    HPCameo(CameoHost* host, CameoDisplayHost* displayHost, QWidget* parent = nullptr);
    ~HPCameo() override;

    // Connects the grid to the video engine once it exists (the engine draws through Display()).
    void Init(CameoEngine* engine);
    CameoDisplay& Display() { return *m_display; }
    CameoGrid& Grid() { return m_grid; }
    CameoController& Controller() { return *m_controller; }

    std::optional<CameoItem> GetCameo(int tile) const { return m_grid.GetCameo(tile); }
    int GetFirstSelected() const { return m_grid.GetFirstSelected(); }
    int GetSelectedCameos(QVector<int>& list) const { return m_grid.GetSelectedCameos(list); }
    void SelectCameo(int tile, bool select, bool add);
    bool IsSelected(int tile) const { return m_grid.IsSelected(tile); }
    int CameoFromPoint(int x, int y) const { return m_grid.CameoFromPoint(x, y); }
    bool PtInWindow(const QPoint& screenPoint) const;
    int FindCameo(int sourceId, int channel) const { return m_grid.FindCameo(sourceId, channel); }
    bool GetCameoRect(int tile, CameoRect* rect) const { return m_grid.GetCameoRect(tile, rect); }
    void Layout(int width, int height, int code, bool repress, bool restore, bool keepStart);
    int OpenFile(int tile, const QString& folder, const QString& fileName);
    void SetCameoPlayback(int tile, int sourceId, int channel, bool start);
    void ClearCameo(int tile);
    void SetFrameRate(int tile, int frameRate);
    void SetAdjust1(int tile, int value);
    void SetAdjust2(int tile, int value);
    void SetAdjust3(int tile, int value);
    void SelectAll();
    void FreezeSelected();
    void UnfreezeSelected();
    void ToggleFreeze();
    void SetSequencing(bool on);

    // The context menu while it is open (for the window's own tests and the skinned look).
    QMenu* ContextMenu() const;
    bool IsDragImageShown() const;

signals:
    // A drop that would move a file tile was refused.
    void DropRefused();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void LayOut(int width, int height, int code, bool repress, bool restore, bool keepStart);
    void ShowContextMenu(const QPoint& at);
    void MoveDragImage(const QPoint& at);
    void HideDragImage();

    CameoHost* m_host;
    CameoGrid m_grid;
    WindowCanvas m_canvas;
    std::unique_ptr<CameoDisplay> m_display;
    std::unique_ptr<CameoController> m_controller;
    CameoEngine* m_engine = nullptr;
    QPointer<QMenu> m_menu;
    QLabel* m_dragImage = nullptr;
    QTimer m_sequenceTimer;
};
