#pragma once
// The split-screen video grid: up to 64 cells, each bound to one recorder channel or one local
// recording, composed with their on-screen display into a back buffer by the grid's redraw
// thread and handed to the screen when a composition is finished (at most once per repaint
// interval); an unchanged grid costs nothing.
//
// Threads: everything runs on the user-interface thread except OnChannelFrame,
// RefreshCellPicture and SetCameoImage (the sessions' decode threads, through the hub's grid
// table) and OnDrawCameo (also the redraw thread). Cells are written under the cells lock; the
// lock order is cells lock, then a decoder's picture lock.
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMutex>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <memory>

#include "session/qthreadhelper.h"
#include "shell/cameocell.h"
#include "shell/cameocells.h"
#include "shell/cameokind.h"
#include "shell/cameoosdfitcache.h"
#include "shell/cameoosdoverlay.h"
#include "shell/gridbuffers.h"
#include "shell/localplaybackcell.h"

class ConvertJob;
class GridHost;
class CModuleDecoder;
class RecorderSession;
class OsdSetup;
class PlaybackSession;
class QAction;
class QMenu;
class QMimeData;
class SiteBook;

class CCameo : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kCells = 64;
    static constexpr int kRoutedChannels = 16; // channels that have a route in the session
    static constexpr int kLocalDecoders = 16;
    static constexpr int kLocalRecorder = 999; // recorder index of a cell showing a local file
    static constexpr int kFavoritePositions = 64;

    // The context-menu actions, in the order they are created.
    enum class ActionId {
        ViewSingle,
        ViewMulti,
        ZoomIn,
        ZoomOut,
        AudioOut,
        OsdSetup,
        Freeze,
        SnapShot,
        CloseCameo,
        SelectDate,
        MuseumSearch,
        ThumbnailSearch,
        QuickSearch,
        EmapScr1,
        EmapScr2,
        EmapScr3,
        Record,
        SequenceStop,
        Sequence5,
        Sequence10,
        Sequence15,
        Sequence20,
        AddFavorite,
        Popup,
        AviConvert,
        Ucc,
        LiveOutput
    };
    static constexpr int kActionCount = static_cast<int>(ActionId::LiveOutput) + 1;

    // The second argument is not used; the grid gets no parent, its owner places it. The grid
    // reaches the main window through the installed grid host.
    explicit CCameo(QWidget* owner, int unused = 0);
    // The same with a host of the caller's choice (null: a grid that reaches no window).
    CCameo(QWidget* owner, GridHost* host);
    ~CCameo() override;

    // Fixes the kind (a CameoKind value: 0, 1, 2) and cell count (1..64), lays out the split
    // (-1: all cells) and starts the redraw thread; a local-file grid opens its 16 cell decoders.
    // Once per grid; bad values change nothing.
    void InitCameo(int kindCode, int cells, int split);

    // Binding and placing.
    void SetCellChannel(int cell, int recorder, int channel);
    void SetCameoChannel(int channel, int recorder, int cell);
    void OnConnectDevice(int channels, int recorder);
    void StartLiveDevice(int recorder);
    void CloseAllCameo();
    void SetCellEnable(int cell, bool on);
    void ResetCell(int cell);
    void ClearDeviceChannel(int recorder, int channel);
    void SetDisconnectCameo(int recorder);
    // The two cells' contents change places; each place keeps its column and row.
    void OnSwapCameo(int cell, int otherCell);
    int CellAt(int x, int y) const;

    // Layout of a page: split cells from the first (-1: the selected cell). The split already
    // shown moves to the next page; sequenceStep is set only by the sequence timer.
    void OnSplitMode(int first, int split, bool sequenceStep);

    // Favorites: a layout code (split x 100 + first cell) and two ";"-separated lists, recorder
    // names and channels, whose entry i goes to cell i. The recorders connect one after another;
    // the session of each calls OnFavoriteNext once its login completes or its connect fails.
    // An automatic opening (the auto-connect timer's) shows no box: nothing the user did not
    // start may stand in the user's way.
    void OpenFavorite(int layout, const QString& names, const QString& channels, bool automatic = false);
    void StartFavorite(const QString& names, const QString& channels, bool automatic = false);
    void OnFavoriteNext();
    // The position being opened, -1 before the first favorite, 64 when the last is done.
    int GetFavoriteCursor() const { return m_favoriteCursor; }

    // Image adjust values for the selected, bound cells of online recorders.
    void SetCellBrightness(int value);
    void SetCellContrast(int value);
    int GetAdjustBrightness() const { return m_brightness; }
    int GetAdjustContrast() const { return m_contrast; }
    int GetAdjustFrameRate() const { return m_frameRate; }

    // Picture hand-off, on a decode thread. Live channels arrive as 0..15, playback channels as
    // 16 + channel.
    void OnChannelFrame(int recorder, int channel, int cell, bool keep, bool crop);
    // The caller holds the cells lock.
    void RefreshCellPicture(int cell, bool keep, bool crop);
    void SetCameoImage(QImage picture, int cell, bool crop);
    // The lock a caller of RefreshCellPicture and SetCameoImage holds; taken before any
    // decoder's picture lock.
    QMutex* GetCellsLock() { return &m_cellsLock; }

    // Composes one cell, or every laid-out cell with -1: they are drawn again, with the cells
    // that changed since the back buffer was last composed, and the result is shown.
    void OnDrawCameo(int cell);

    // Reading the grid.
    int GetCameoIndex() const { return m_cameoIndex; }
    CameoKind GetKind() const { return m_kind.load(); }
    int GetCellCount() const { return m_cellCount.load(); }
    int GetSplit() const { return m_split; }
    int GetFirstCell() const { return m_firstCell; }
    int GetSelectedCell() const { return m_selectedCell; }
    bool IsEmap() const { return m_emap != 0; }
    int GetPlaybackRecorder() const { return m_playbackRecorder; }
    QString GetDragMimeType() const { return m_dragMimeType; }
    // The cell index laid out at (column, row), -1 when empty or out of range.
    int GetLayoutCell(int column, int row) const;
    // A copy of a cell taken under the cells lock; a fresh cell for a bad index.
    CameoCell GetCell(int cell) const;
    int GetCellFps(int cell) const;
    // A copy of the last composition.
    QImage GetBackBuffer() const;
    // Pictures converted for a cell, and grid pictures composed, since the grid was built; the
    // pictures a local-file grid's cells decoded.
    qint64 GetConversionCount() const { return m_conversions.load(); }
    qint64 GetCompositionCount() const { return m_compositions.load(); }
    qint64 GetLocalDecodedCount() const { return m_localDecoded.load(); }
    // The shortest time between two repaints; the timer runs only while a repaint waits.
    int GetRepaintInterval() const { return m_repaintTimer.interval(); }
    bool IsRepaintTimerActive() const { return m_repaintTimer.isActive(); }
    int GetRedrawInterval() const { return m_redrawInterval.load(); }
    bool IsRedrawRequested() const { return m_redrawRequested.load(); }
    bool IsRedrawThreadRunning() const { return m_redrawThread.IsRunning(); }
    // Asks the redraw thread for a composition; any thread.
    void RequestRedraw();
    // A copy of what the screen shows (the last published composition).
    QImage GetFrontBuffer() const { return m_buffers.FrontCopy(); }

    // Page rotation.
    bool IsSequenceOn() const { return m_sequenceOn != 0; }
    int GetSequenceSplit() const { return m_sequenceSplit; }
    bool IsSequenceTimerActive() const { return m_sequenceTimer.isActive(); }
    int GetSequenceInterval() const { return m_sequenceTimer.interval(); }
    // The split to return to after a single view.
    int GetPrevSplit() const { return m_prevSplit; }

    // The context-menu action of an id, null for a bad id.
    QAction* GetAction(ActionId id) const;
    // Builds the right-button menu for the current cell (texts, enabled states, close mode) as
    // the menu request does before it runs the menu.
    std::unique_ptr<QMenu> PrepareContextMenu();
    // Set by the last menu: "Close Cameo" closes (true) or "Restore Cameo" restores (false).
    bool IsCloseMode() const { return m_closeMode; }
    bool IsPressed() const { return m_pressed; }

    // A cell's picture at the size it was decoded, for a snapshot or a drag picture.
    QImage GetCellPicture(int cell) const;
    // What a drag of the current cell carries: this grid's own format, no data.
    QMimeData* CellDragData() const;
    // The drag picture: the current cell's picture at half the cell's size with a white frame.
    QPixmap CellDragPixmap() const;

    // "Snap Shot" on the current cell: the path written, or an empty text when nothing was.
    QString TakeSnapshot();
    // "OSD Setup" in two halves around the dialog's run: fill it from the hub's flags and this
    // grid's frame-rate flag, and write an accepted dialog back.
    void PrepareOsdSetup(OsdSetup& dialog) const;
    void ApplyOsdSetup(const OsdSetup& dialog);

    // The owning window's number among windows of its kind.
    int GetOwnerSlot() const { return m_ownerSlot; }
    void SetOwnerSlot(int slot) { m_ownerSlot = slot; }
    // The seventh display flag, kept per grid: frames per second.
    void SetFpsOsd(bool on) { m_fpsOsd = on ? 1 : 0; }
    bool GetFpsOsd() const { return m_fpsOsd != 0; }

    static void THREAD_REDRAW(void* arg, int value);

    // Local recordings (a local-file grid only). OpenLocalFile plays a data file ("h...", its
    // index "i" + the name) in the selected cell; each cell plays on a thread of its own.
    void OpenLocalFile(const QString& folder, const QString& fileName);
    void ReadLocalHeader(int recorder, int cell);
    // Builds the cell's minute table from a 512-byte index header and starts its thread.
    void OnSetIntraIndex(int cell, const char* header, int length, int tag);
    static void THREAD_LOCAL_FILE(void* arg, int cell);
    // Plays one second of a local recording: its index entry, frame records and frames.
    void ReadLocalIndex(int cell, int hour, int minute, int second);
    void ReadLocalSecond(int cell, qint64 offset);
    void PlayLocalSecond(int cell, qint64 offset, const char* records, int length);
    // Every frame of a local recording leaves through here.
    void ShowLocalFrame(int cell, int index, bool key);
    void DecodeLocalFrame(int cell, QByteArray& frame);
    // Convert mode: while a job is set, local recordings are read without a playback thread or
    // pacing and every frame goes to the job instead of the decoder (null ends the mode).
    void SetConvertJob(ConvertJob* job) { m_convertJob = job; }
    bool IsConvertMode() const { return m_convertJob.load() != nullptr; }
    // A playback control code for every cell of a local-file grid.
    void OnPlaybackCtrl(int control);
    // The playback state of a cell, null for a bad cell or a grid of another kind.
    const LocalPlaybackCell* GetLocalPlayback(int cell) const;

signals:
    void OnSelectDate();
    void Redraw();
    void OnImage(int);
    void OnHide();

public slots:
    void OnRedrawSplit();
    void OnRedrawCameo();
    void OnRedrawTimer();
    void OnFPSTimer();
    void OnSeqenceActionTimer();
    void OnSequenceAction(int ms);
    void OnSequenceAction5();
    void OnSequenceAction10();
    void OnSequenceAction15();
    void OnSequenceAction20();
    void OnRecordAction();
    void OnLiveOutputAction();
    void OnUccAction();
    void OnPopupAction();
    void OnAviAction();
    void OnHideEmap();
    // The e-map tile's sizes: a quarter, the normal 160 x 120 and four times.
    void emapScr1Action();
    void emapScr2Action();
    void emapScr3Action();
    void newFavoriteAction();

    // The cell actions of the right-button menu.
    void viewSingleAction();
    void viewMultiAction();
    void zoomInAction();
    void zoomOutAction();
    void audioOutAction();
    void osdSetupAction();
    void freezeAction();
    void snapShotAction();
    void closeCameoAction();
    void selectDateAction();
    void museumSearchAction();
    void thumnailSearchAction();
    void timeSearchAction();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // The e-map camera tile sets this right after construction.
    void SetEmapFlag(bool on) { m_emap = on ? 1 : 0; }

private:
    // The session registered in the host's recorder table at that index, or null.
    RecorderSession* DeviceOf(int recorder) const;
    bool IsCell(int cell) const { return cell >= 0 && cell < kCells; }
    bool IsUsedCell(int cell) const { return cell >= 0 && cell < m_cellCount && cell < kCells; }
    void ResetCellLocked(int cell);
    void EmptyCellLocked(int cell);
    void ForgetRoute(int recorder, int channel, int cell);
    void WriteRoute(int cell, int recorder, int channel);
    void CreateActions();
    void ApplySplitMode(int first, int split, bool sequenceStep, bool newSplit);
    void StopSequence();
    bool PageHasOnline(int from, int cells) const;
    void ResendPlaybackControl();
    // The selected cell's recorder and channel when it is bound to a recorder in the hub's table.
    bool SelectedRecorderCell(RecorderSession*& device, int& recorder, int& channel) const;
    // From position "from" on, the next favorite position whose recorder is known is asked to
    // connect; false when none is left.
    bool ConnectNextFavorite(int from);
    void FinishFavorite(bool relayout);
    void LayOutPage();
    void StartShownLive();
    void ResizeToSplit();
    void RefreshAdjust(int cell);
    void ApplyAdjust(bool brightness, int value);
    void DrawCell(class QPainter& painter, int cell, int cellWidth, int cellHeight);
    // The cells lock is held: the decoder's picture goes to the cell (the black placeholder
    // while the decoder is closed).
    void TakeDecodedPicture(CModuleDecoder* decoder, int cell, bool crop);
    // Where a live or playback picture goes in a cell of the current split at zoom 1.0.
    QRect ShownRect(int formatCode) const;
    // The redraw thread's waits: for a request (false once the grid closes), and for the
    // redraw interval (cut short only by closing).
    bool WaitForRedrawRequest();
    void PauseRedraw(int ms);
    void WakeRedrawThread();
    // Window thread: a new composition goes to the screen now, or once the repaint interval has
    // passed since the last repaint.
    void ScheduleRepaint();
    void RepaintFresh();
    // Draws what changed into the back buffer and makes it the one the screen shows; the
    // redraw thread's composition (nothing is marked changed by it).
    void Compose();
    // Under the cells lock: the pictures of m_missedRefresh taken into their cells.
    void TakeMissedRefreshes();
    // The decoder behind a cell's picture (its recorder channel's, or its own for a local file).
    CModuleDecoder* CellDecoder(const CameoCell& c, int cell) const;
    // Where a fitted picture goes in its cell: live and playback pictures keep their aspect,
    // local files fill the cell.
    QRect PictureRect(const CameoCell& c) const;
    // Converts a cell's waiting picture at the size it is shown; cells lock held.
    void ConvertPending(CameoCell& c, int cell);
    // A new picture for a cell (any thread, cells lock held): only that cell is drawn again.
    void RequestCellRedraw(int cell);
    LocalPlaybackCell* LocalCell(int cell) const;
    // Copies a cell's local playback state into the cell for the display; cells lock held.
    void MirrorLocalCellLocked(int cell);
    void StopLocalPlayback();

    // Interaction (ccameo_interaction.cpp, ccameo_drop.cpp).
    bool IsWholeZoom(int cell) const;
    void RequestRedrawAll();
    // The adjust values (and, when asked, the pan/tilt/zoom camera) follow the current cell.
    void RefreshSidePanels(bool tellPtz);
    // The cell becomes the current cell, selected; the previous current cell is unselected.
    void MakeCurrent(int cell);
    void SetPressedLocked(bool pressed);
    void ToggleSingleView();
    void SetCurrentZoom(float zoom, bool resetPan);
    void StartCellDrag();
    void CloseSelectedCells();
    void RestoreSelectedCells();
    void StartSearch(void (PlaybackSession::*search)(int, int, int));
    void BuildMenuTop(QMenu& menu);
    void SetMenuStates(const CameoCell& cell, RecorderSession* device);
    void BuildMenuBottom(QMenu& menu);
    void DropSiteBookItem(const SiteBook& record, QDropEvent* event);
    void DropOwnCell(QDropEvent* event);
    void DropRecording(const QString& folder, const QString& file, QDropEvent* event);

    GridHost* m_host = nullptr;
    int m_ownerSlot = 0;
    CQThreadHelper m_redrawThread;
    mutable QMutex m_cellsLock;
    std::unique_ptr<CModuleDecoder> m_decoders[kLocalDecoders];
    std::unique_ptr<LocalPlaybackCell> m_local[kLocalDecoders];
    std::atomic<ConvertJob*> m_convertJob{nullptr};
    QImage m_blank;
    GridBuffers m_buffers;        // back: cells lock; front: its own lock
    CameoOsdFitCache m_osdFit;    // cells lock
    CameoOsdOverlay m_osdOverlay; // cells lock
    // A cell's version goes up with each new picture (cells lock); the grid's with anything that
    // may change every cell (the layout, a switch, the selection).
    std::array<quint64, kCells> m_cellVersion{};
    std::atomic<quint64> m_allVersion{1};
    std::atomic<qint64> m_conversions{0};
    std::atomic<qint64> m_compositions{0};
    std::atomic<qint64> m_localDecoded{0};
    // Live cells whose new picture arrived while the cells were busy (a bit per cell, and the
    // crop asked for it): the next composition takes those pictures.
    std::atomic<quint64> m_missedRefresh{0};
    std::atomic<quint64> m_missedCrop{0};
    QMutex m_wakeLock;
    QWaitCondition m_wake;
    bool m_waitingForRequest = false; // the redraw thread waits for a request (wake lock)
    CameoCells m_cells;
    QWidget* m_owner = nullptr;
    std::atomic<int> m_frameCounter[kCells];
    std::atomic<int> m_framesPerSecond[kCells];
    std::atomic<bool> m_closing{false};
    int m_brightness = 0;
    int m_contrast = 0;
    int m_frameRate = 15;
    int m_cameoIndex = -1;
    std::atomic<int> m_cellCount{16};
    std::atomic<CameoKind> m_kind{CameoKind::Live};
    std::atomic<int> m_width{0}; // widget size, for the threads that compose and hand off
    std::atomic<int> m_height{0};
    int m_prevSplit = 0;
    std::atomic<int> m_split{0};
    int m_firstCell = 0;
    int m_selectedCell = 0;
    std::atomic<bool> m_redrawRequested{false};
    quint8 m_emap = 0;
    QTimer m_repaintTimer;
    QElapsedTimer m_sinceRepaint;
    QTimer m_sequenceTimer;
    QTimer m_fpsTimer;
    int m_playbackRecorder = -1;
    QString m_dragMimeType;
    int m_favoriteCursor = -1;
    bool m_favoriteAutomatic = false;
    QStringList m_favoriteNames;
    QStringList m_favoriteChannels;
    quint8 m_sequenceOn = 0;
    int m_sequenceSplit = 0;
    QAction* m_actions[kActionCount] = {};
    quint8 m_fpsOsd = 0;
    bool m_initialised = false;
    std::atomic<int> m_redrawInterval{250};
    QString m_lastEventText; // e-map tile: the event text of its last composition
    // Composing side: the colour of the grid's outer edge last drawn; the screen is told of
    // the edge only when it changes (it is drawn the same into both buffers otherwise).
    QRgb m_edgeDrawn = 0;
    QFont m_font;

    // Mouse state of the interaction handlers.
    bool m_pressed = false;
    QPoint m_pressPoint;
    bool m_closeMode = false;
    bool m_tileDragging = false; // e-map tile moved with the mouse
    QPoint m_tilePressPoint;
};
