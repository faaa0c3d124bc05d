#pragma once
// The player's main dialog: a frameless, skinned window that holds the tile grid, the backup
// folder tree, the play slider, the playback control bar, the panel of the lower right corner
// and its own small buttons. It owns every object of the player for the whole run; the tile
// engines, the control bar and the wait box reach it through the small interfaces it
// implements, never through a global.
#include <array>
#include <atomic>
#include <memory>

#include <QDialog>
#include <QTimer>

#include "playback/language.h"
#include "ui/controlbarlogic.h"
#include "ui/handoveropener.h"
#include "ui/hpimagemanager.h"
#include "ui/listfilereader.h"
#include "ui/viewerenvironment.h"
#include "ui/viewerplayers.h"
#include "ui/waitboxcounter.h"

class CBackupTree;
class CDlgAdjust;
class CDlgAlarm;
class CDlgAudio;
class CFullScreenDlg;
class CSearchEvent;
class CSearchMulti;
class HPNetwork;
class ViewerRecorderHost;
class CMsgDlg;
class CSearchControl;
class CSearchTime;
class CSkinButton;
class CSkinSlider;
class CTimeSlider;
class HPMessageBox;
class CameoTiles;
class GridLiveControlHost;
class HPCameo;
class HPLiveControl;
class LiveControlCameoEngine;
class LiveControlFrameSink;
class ViewerCameoHost;
class ViewerWaitBoxHost;
class ViewerAudioOutput;
class SystemBackupDrives;
class ViewerAdjustTarget;
class ViewerPreviews;
class ViewerToolsHost;
class ViewerTreeHost;
class MasterVolume;
class CAVIConvert;

class CViewerDlg : public QDialog, public ControlBarHost, public ViewerPlayersHost
{
    Q_OBJECT
public:
    static constexpr QSize kStartSize{800, 600};

    explicit CViewerDlg(const ViewerEnvironment& environment, QWidget* parent = nullptr);
    ~CViewerDlg() override;

    // Start-up, hand-over and shut-down.
    bool OnInitDialog();
    int OpenHandedOverPath(const QString& path);
    void OnCancel();
    void CloseWithoutAsking();
    bool IsInitialised() const { return m_initialised; }

    // Layouts, panels and full screen.
    void SetSplitMode(int code, bool repress, bool restore);
    int GetSplitCount() const;
    void ShowPanel(int code);
    void OnFullScreen();
    // Files dropped at a point of the dialog: only the first counts, opened in the tile under it.
    void OnDropFiles(const QStringList& paths, const QPoint& dialogPoint);
    void SetCameoPlay(int tile) { SetPlayFlag(tile, true); }
    void SetPlayFlag(int tile, bool playing)
    {
        if (tile >= 0 && tile < 16)
            m_playFlags[tile] = playing;
    }
    // The tile whose position the play slider shows (the one-tile layout's tile).
    void SetCurrentTile(int tile);
    QString ProgramFolder() const { return m_env.programFolder; }

    // Play slider and play groups.
    void UpdatePlaySlider(int tile) override;
    void OnPlaySliderSeek();
    // Mouse entered (true) or left the play slider or one of its previews.
    void ShowSliderPreviews(bool enter);
    int NewPlayGroup() override;

    // Audio.
    void OnLiveAudio();
    void OnAudioOn();
    void OnAudioOff();

    // Sibling programs (commands 1036 and 1037; no control of the dialog carries them).
    bool OnLaunchKro();
    bool OnLaunchVistrel();

    // Parts for tests and the full-screen window.
    const CLanguage& Language() const { return m_language; }
    HPCameo* Grid() const { return m_grid; }
    ViewerTiles& Tiles() const;
    CSearchControl* ControlBar() const { return m_controlBar; }
    HPMessageBox* MessageBox() const { return m_messageBox; }
    CSearchTime* TimeBar() const { return m_timeBar; }
    const ViewerCameoHost& DisplayHost() const { return *m_cameoHost; }
    HPNetwork* Hub() const { return m_hub.get(); }
    CSearchMulti* CalendarSearch() const { return m_searchMulti; }
    CDlgAudio* AudioPanel() const { return m_audioPanel; }
    CMsgDlg* WaitBox() const { return m_waitBox; }
    CTimeSlider* PlaySlider() const { return m_playSlider; }
    CSkinSlider* VolumeSlider() const { return m_volume; }
    CAVIConvert* AviExport() const { return m_aviConvert; }
    const ViewerEnvironment& Environment() const { return m_env; }
    CSkinButton* Button(int id) const;
    CDlgAdjust* AdjustPanel() const { return m_adjust; }
    CDlgAlarm* ToolsPopup() const { return m_alarm; }
    CBackupTree* BackupTree() const { return m_tree; }
    ViewerPreviews* Previews() const { return m_previews.get(); }
    // The administrator's account file on the player's drive root.
    QString AccountFile() const;
    int Panel() const { return m_panel; }
    ViewerPlayers& Players() { return *m_players; }
    int CurrentTile() const { return m_currentTile; }
    bool PlayFlag(int tile) const override { return tile >= 0 && tile < 16 && m_playFlags[tile]; }

    // ControlBarHost.
    QVector<int> SelectedCameos() const override;
    void ShowWaitBox(int steps, const QString& text) override;
    void StepWaitBox() override;
    void ClearGroupSlot(int group, int tile) override;
    void SetTimeBarGroup(int group) override;
    void SetTimeBarTile(int tile) override;
    void EnableButtons(bool enable) override;
    QString Text(const char* key) const override;

    // The wait box's calls (through ViewerWaitBoxHost).
    void EnableMainDialog(bool enable);
    void CancelWaitBox(CancelAction action, int tile);

    // ViewerPlayersHost.
    void EngineStepsWaitBox() override;
    void ShowGroupTime(int group, int tile, int hhmmss, int direction) override;
    void MarkTimeBar(int tile, int firstCell, int count) override;
    bool IsClosing() const override { return m_closing; }

signals:
    void handedOverPathOpened(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreatePanels();
    void InitSkin();
    void LayoutControls();
    void WriteOutCarriedFiles();
    void ProbeLibraries();
    CSkinButton* AddButton(int id, const QString& caption, const QRect& place, const std::array<int, 4>& bitmaps,
                           const QString& tip);
    void ShutDown();
    int OpenWithMode(const QString& path, HandOverOpener::Mode mode);
    HandOverOpener Opener();
    void OnListRead(const QString& listPath, HandOverOpener::Mode mode, const ListFiles& files);

    ViewerEnvironment m_env;
    CLanguage m_language;
    HPImageManager m_images;
    QString m_faceName{QStringLiteral("Arial")};
    QString m_boldFaceName{QStringLiteral("Arial Bold")};
    std::array<bool, 16> m_playFlags{};
    std::unique_ptr<ViewerAudioOutput> m_audio;
    std::unique_ptr<ViewerCameoHost> m_cameoHost;
    std::unique_ptr<ViewerWaitBoxHost> m_waitBoxHost;
    HPCameo* m_grid = nullptr;
    std::unique_ptr<CameoTiles> m_tiles;
    std::unique_ptr<GridLiveControlHost> m_engineHost;
    std::unique_ptr<HPLiveControl> m_engine;
    std::unique_ptr<LiveControlCameoEngine> m_cameoEngine;
    std::unique_ptr<LiveControlFrameSink> m_frames;
    std::unique_ptr<ViewerPreviews> m_previews;
    std::unique_ptr<ViewerPlayers> m_players;
    std::unique_ptr<ViewerAdjustTarget> m_adjustTarget;
    std::unique_ptr<ViewerToolsHost> m_toolsHost;
    std::unique_ptr<ViewerTreeHost> m_treeHost;
    std::unique_ptr<SystemBackupDrives> m_drives;
    std::unique_ptr<ListFileReader> m_lists;
    CBackupTree* m_tree = nullptr;
    CDlgAdjust* m_adjust = nullptr;
    CDlgAlarm* m_alarm = nullptr;
    std::unique_ptr<ViewerRecorderHost> m_recorderHost;
    std::unique_ptr<HPNetwork> m_hub;
    CDlgAudio* m_audioPanel = nullptr;
    CSearchEvent* m_searchEvent = nullptr;
    CSearchMulti* m_searchMulti = nullptr;
    CTimeSlider* m_playSlider = nullptr;
    CSearchControl* m_controlBar = nullptr;
    CSearchTime* m_timeBar = nullptr;
    CMsgDlg* m_waitBox = nullptr;
    HPMessageBox* m_messageBox = nullptr;
    CSkinSlider* m_volume = nullptr;
    CAVIConvert* m_aviConvert = nullptr;
    std::unique_ptr<MasterVolume> m_masterVolume;
    QVector<QPair<int, CSkinButton*>> m_buttons;
    QPixmap m_skin;
    QTimer m_timer4444;
    QTimer m_timer1111;
    QString m_wedraPath;
    bool m_wedraFound = false;
    bool m_ffmpegFound = false;
    bool m_initialised = false;
    bool m_askOnExit = false;
    std::atomic<bool> m_closing{false};
    bool m_layoutBusy = false;
    bool m_sliderDragging = false;
    bool m_barOwnsWaitBox = false;
    int m_currentTile = -1;
    int m_sliderRange = -1;
    int m_panel = 1;
};
