#pragma once
// The main window. It keeps the shared settings, the message box state, the side panels and the
// child windows, and hands the work to the small classes it owns. The recorder and grid tables
// live in the recorder hub (ClientSessionHub), which the composition root (ClientApp) makes
// beside the window and attaches to it; the root installs the interfaces other libraries reach
// the program through, starts the window once they are in place and shuts it down before taking
// them away.
#include <functional>

#include <QPointer>
#include <memory>

#include "backup/cbackupview.h"
#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QMutex>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <atomic>

#include "platform/cpuload.h"
#include "shell/gridtable.h"
#include "shell/liveviewhost.h"
#include "shell/messageboxstate.h"
#include "shell/settingsfiles.h"

class AdminWindows;
class AudioOutput;
class CAlarmOut;
class CPTZCtrl;
class cUccControl;
class microphone;
class CCameo;
class ClientSessionHub;
class HealthCheckView;
class RecorderSession;
class ChildWindowSlots;
class EmapView;
class HoverMoveFilter;
class LiveView;
class ValidationShell;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QTabBar;
class QTimer;
class QToolBar;
class SearchMuseum;
class SearchThumnail;
class SearchTime;
class SearchView;
class SiteBook;
class SiteBookTreeWidget;
class CAdjust;
class CPlaybackCtrl;
class CScrSplit;

class CAVIConvert;
class ConfigViewAdapter;
class ConfigView;

class MainWindow;
// The hub, from the first statement of the MainWindow constructor until its destructor.
extern MainWindow* g_pMainWindow;

class MainWindow : public QMainWindow, public LiveViewHost
{
    Q_OBJECT

public:
    static constexpr int kCameoSlots = GridTable::kSlots;
    static constexpr int kLiveViews = 4;
    static constexpr int kSearchViews = 2;
    static constexpr int kSearchLocalViews = 2;
    static constexpr int kEmapViews = 2;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the books of the program directory and starts the timers; the composition root calls
    // it once the interfaces are installed.
    void Start();
    // Saves the settings and the site book and closes the child windows and sessions while the
    // interfaces are still installed. Runs once; the destructor runs it when nobody did.
    void Shutdown();

    // The recorder hub the composition root attached (null before and after the composition).
    // The window reaches the recorders and grids through it.
    void AttachSessions(ClientSessionHub* sessions) { m_sessions = sessions; }
    ClientSessionHub* Sessions() const { return m_sessions; }

    // The configuration console's side of the window (null once it is shut down).
    ConfigViewAdapter* ConfigViews() const { return m_pConfigViews.get(); }
    // The open configuration console window, or null.
    ConfigView* GetConsoleWindow() const;
    void closeConfigView(int slot);

    // The side panels and the camera control pop-up.
    CPTZCtrl* GetPtzCtrl() const { return m_pPTZCtrl; }
    CAlarmOut* GetAlarmOut() const { return m_pAlarmOut; }
    microphone* GetMicrophone() const { return m_pMicrophone; }
    cUccControl* GetUccControl() const { return m_pUccControl; }

    QString ProgramDirectory() const { return m_settings.ProgramDirectory(); }
    // The firmware and account managers' codes, handed on to the open manager.
    virtual void SetFirmwareState(int recorderIndex, int code);
    virtual void SetAccountManagerState(int recorderIndex, int code);
    // The e-mail, firmware and account windows and their adapters.
    AdminWindows* GetAdminWindows() const;
    // The shared message box, shown on the user-interface thread a moment later (a worker
    // thread's notice is handed over to it).
    virtual void ShowMessageBox(const QString& title, const QString& text, const QString& option);
    // A box that waits for the user.
    void ShowModalMessage(const QString& title, const QString& text);

    // Shared settings.
    SettingsFiles& Settings() { return m_settings; }
    const SettingsFiles& Settings() const { return m_settings; }
    // Read without a lock by the sessions' live threads.
    int GetProcessorLoad() const { return m_processorLoad.load(); }
    // True while the processor-load rule holds live video to key frames; its status bar text
    // says so meanwhile.
    bool IsProcessorLoadRuleShown() const { return m_loadRuleHolds; }
    // Replaces the processor counter (tests give it samples of their own) and opens it as the
    // start-up does; the next timer tick reads the load from it.
    void SetCpuLoad(platform::CpuLoad load);
    // Writes account.dat from the server login record (SettingsFiles::SaveAccountFile).
    bool SaveAccountFile();

    // Starts the backup player from the program directory (or beside the client), without an
    // argument or with the path of one recording to open. False when it is missing or did not
    // start.
    bool StartOrvane(const QString& file = QString());
    // True when the backup player program lies in the program directory or beside the client.
    bool IsBackupPlayerPresent() const;
    // Where the backup player lies (an empty path: missing); by default the program directory,
    // then beside the client. Tests name their own.
    void SetPlayerLookup(std::function<QString()> lookup);
    // Enables the entries of external programs that are there and greys the others.
    void UpdateProgramEntries();

    // Opens a favorite (layout code, recorder names and channels joined by ";") in the grid of
    // the active live window, or of a new one when none is active.
    void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels);
    // The same for the auto-connect timer: no box, nothing that blocks the window.
    void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels, bool automatic);
    void OpenDeviceInLiveView(int deviceIndex);
    // The active live window, or a new one when none is active; null when no more can be opened.
    LiveView* ActiveOrNewLiveView();

    // Shared message box: what the next or the open box shows, the wait flag, the open boxes.
    MessageBoxState& Messages() { return m_messages; }
    const MessageBoxState& Messages() const { return m_messages; }

    // Reads the style sheet of the qss folder, keeps it and applies it to the main window.
    void loadStyleSheet(const QString& name);
    QString StyleSheetText() const { return m_styleSheet; }

    SiteBookTreeWidget* GetSiteBookTree() const { return m_pSiteBook; }
    ValidationShell* GetValidationShell() const { return m_pValidation; }
    // The side panels of the docks.
    CScrSplit* GetScrSplitPanel() const { return m_pScrSplit; }
    CAdjust* GetAdjustPanel() const { return m_pAdjust; }
    CPlaybackCtrl* GetPlaybackPanel() const { return m_pPlaybackCtrl; }
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    const QList<QDockWidget*>& DockWidgets() const { return m_docks; }
    const QList<QToolBar*>& ToolBars() const { return m_toolBars; }
    QAction* TabAction(int index) const;

    // Child windows: docked into the multi-document area or popped out.
    bool IsLiveViewPopup(int index) const override;
    ChildWindowSlots* LiveViewSlots() const { return m_pLiveSlots; }
    ChildWindowSlots* SearchViewSlots() const { return m_pSearchSlots; }
    ChildWindowSlots* SearchLocalViewSlots() const { return m_pSearchLocalSlots; }
    ChildWindowSlots* EmapViewSlots() const { return m_pEmapSlots; }

    void DockLiveView(int index) override;
    void PopOutLiveView(int index);
    void ToggleLiveViewPopup(int index);
    // Frees a live window's slot; the window's destructor calls it.
    void deleteLiveView(int index) override;
    void ResetEmapFlag() override { m_emapFlag = 0; }

    // E-map windows (mainwindow_emap.cpp).
    EmapView* GetEmapView(int index) const;
    EmapView* GetActiveEmapView() const;
    void OpenEmapView(int deviceIndex, int channel);
    void OpenEmapEntry(const QString& name, const QString& emapPath, const QString& emapPos,
                       const QString& devices, const QString& channels, int emapIndex);

    void exeFirmwareManager();
    void exeAccountManager();
    // Opens the send e-mail dialog with a file of the archive (kind 1 a recording, 2 a snapshot).
    void sendEmail(const QString& path, int kind);
    void createAVIConvert();

    // Multi-document area: true for sub-window view, false for tabs.
    void SetupTabBar(bool subWindowView) override;
    bool IsSubWindowView() const { return m_subWindowView != 0; }
    QTabBar* GetTabBar() const { return m_pTabBar; }

    // Full screen and keys.
    bool IsFullScreenMode() const { return m_fullScreen != 0; }
    bool IsMenuBarShown() const { return m_menuBarShown != 0; }
    int MenuBarHeight() const { return m_menuBarHeight; }
    bool IsClosing() const { return m_closing != 0; }
    bool IsCtrlHeld() const { return m_ctrl != 0; }
    bool IsShiftHeld() const { return m_shift != 0; }
    // A pointer movement over the window, from the hover filter.
    void OnHoverMove(int x, int y, int oldX, int oldY);

    // The active sub-window's window when it is of that kind, else null.
    LiveView* GetActiveLiveView() const;
    SearchView* GetActiveSearchView() const;
    // A playback bar code for a remote playback or local backup window; other windows ignore it.
    static void PlaybackControlToWindow(QWidget* window, int code);

    // The search windows (mainwindow_search.cpp): the backup player with one recorded file (the
    // status bar says so when it is missing), the program's search pop-ups, and a recorder's
    // remote playback in one of the two remote playback windows.
    bool StartBackupPlayer(const QString& file);
    SearchTime* GetSearchTime() const { return m_pSearchTime; }
    SearchMuseum* GetSearchMuseum() const { return m_pSearchMuseum; }
    SearchThumnail* GetSearchThumbnail() const { return m_pSearchThumnail; }
    void StartRemoteSearch(int deviceIndex, int date, int time);

    // The one audio output. Only the chosen recorder's sound is played.
    AudioOutput* GetAudioOutput() const { return m_pAudioOutput; }
    void startAudioOutput();
    void stopAudioOutput();
    int GetAudioDeviceIndex() const;

public slots:
    void timerShowMessageBox();
    void OnTimerGetCPU();
    void OnTimerAutoConnect();
    void actionTriggered(QAction* action);
    int exeLiveView();
    int exeSearchView();
    int exeSearchLocalView();
    void exeConfigView();
    int exeEmapView();
    void exeBackupView();
    // Closes the remote backup window (a running download only hides it); the pointer is kept.
    void closeBackupView();
    CBackupView* GetBackupView() const { return m_pBackupView; }
    void exeOrvane();
    void exeInfoView();
    void OnLoadSMTP();
    void loadSiteBook(const QString& path, bool clear);
    void loadSiteBook(const QString& path);
    void saveSiteBook(const QString& path);
    void saveSiteBook();
    void loadSiteBook_Emap(const QString& path);
    void loadSiteBook_Favorites(const QString& path);
    void saveSiteBook_Emap(const QString& path);
    void saveSiteBook_Emap();
    void saveSiteBook_Favorites(const QString& path);
    void saveSiteBook_Favorites();
    void OnScrSplitMode(int split);
    void OnSetBrightness(int value);
    void OnSetContrast(int value);
    void OnSetFrate(int value);
    void OnPlaybackControl(int control);
    void FullScreenWindows();
    void ShowDefalutDockWiget();
    void OnToolBarManu(QAction* action);
    void ShowToolBarManu();
    void activateEmailSetup();
    void tabBarShowMenu(const QPoint& position);
    void tabBarEvent(int index);
    void timerOnViewmode();
    void OnCloseTabBar();
    void OnPopupMode();
    void mdiContextMenu(const QPoint& position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The live windows take the main style sheet.
    QString LiveViewStyleSheet() const override;

    QPointer<CBackupView> m_pBackupView;
    std::unique_ptr<ConfigViewAdapter> m_pConfigViews;
    // A child of the window: gone while the window's children go, so every call checks it.
    QPointer<AdminWindows> m_pAdminWindows;
    void CreateFrame();
    void CreateMdiArea();
    void CreateToolBar();
    void CreateDocks();
    QDockWidget* AddDock(const QString& title, QWidget* content, const QSize& fixedSize);
    void CreateMenus();
    void CreateWaitLabels();
    // Says on the status bar that the program behind an entry is missing, and where it was
    // looked for, and greys the entry.
    void TellProgramMissing(const QString& entry, const QString& program);
    // The e-map window an opener from the site book uses: one already showing the recorder's
    // channel (only focused, *showsAlready set), else an empty one, else the active one, else a
    // new one; null when none can be made.
    EmapView* ChooseEmapView(int deviceIndex, int channel, bool* showsAlready);
    void FocusEmapView(EmapView* view);
    void StartProcessorLoad();
    void ShowProcessorLoadRule(int load);
    void StartAutoConnect();
    // The favorite the auto-connect opens now, or null (see OnTimerAutoConnect).
    const SiteBook* AutoConnectFavorite() const;
    // The file a load goes to: the path itself, or the user's choice for an empty path; empty
    // when the user cancelled.
    QString ChooseBookToLoad(const QString& path, const QString& title, const QString& filter);
    // The file a save goes to: "save" is the book of the program directory, an empty path asks
    // the user (whose choice may overwrite a book that failed to load); empty when cancelled.
    QString ChooseBookToSave(const QString& path, const QString& fileName, const QString& title,
                             const QString& filter);

    // The recorder hub's tables, through the hub the composition attached.
    RecorderSession* GetDevice(int index) const;
    CCameo* GetCameo(int index) const;
    // The grid the side panels act on, or null.
    CCameo* ActiveCameo() const;

    ClientSessionHub* m_sessions = nullptr;
    std::atomic<int> m_processorLoad{0};
    bool m_loadRuleHolds = false;
    // Set by the first automatic favorite opening of the program run; never cleared.
    bool m_autoConnectDone = false;
    bool m_shutDown = false;

    SettingsFiles m_settings;

    MessageBoxState m_messages;

    SiteBookTreeWidget* m_pSiteBook = nullptr;
    ValidationShell* m_pValidation = nullptr;
    CScrSplit* m_pScrSplit = nullptr;
    CAdjust* m_pAdjust = nullptr;
    CPlaybackCtrl* m_pPlaybackCtrl = nullptr;
    CPTZCtrl* m_pPTZCtrl = nullptr;
    CAlarmOut* m_pAlarmOut = nullptr;
    microphone* m_pMicrophone = nullptr;
    cUccControl* m_pUccControl = nullptr;
    // The modeless MP4 convert window, made on first use and reused.
    QPointer<CAVIConvert> m_aviConvert;

    // Main window frame and multi-document area.
    HoverMoveFilter* m_pHoverFilter = nullptr;
    QMdiArea* m_pMdiArea = nullptr;
    QTabBar* m_pTabBar = nullptr;
    QAction* m_pActWindowsMode = nullptr;
    QAction* m_pActFullScreen = nullptr;
    QAction* m_pActPopupMode = nullptr;
    QAction* m_pActClose = nullptr;
    QAction* m_pActBackupPlayer = nullptr;
    std::function<QString()> m_findPlayer;
    int m_tabIndex = -1;
    QList<QToolBar*> m_toolBars;
    QList<QDockWidget*> m_docks;
    QByteArray m_defaultDockState;
    ChildWindowSlots* m_pLiveSlots = nullptr;
    ChildWindowSlots* m_pSearchSlots = nullptr;
    ChildWindowSlots* m_pSearchLocalSlots = nullptr;
    // The program's one quick search pop-up.
    SearchTime* m_pSearchTime = nullptr;
    // The program's one museum search pop-up.
    SearchMuseum* m_pSearchMuseum = nullptr;
    // The program's one thumbnail search pop-up.
    SearchThumnail* m_pSearchThumnail = nullptr;
    ChildWindowSlots* m_pEmapSlots = nullptr;

    quint8 m_closing = 0;
    quint8 m_menuBarShown = 1;
    int m_menuBarHeight = 0;
    quint8 m_emapFlag = 0;
    quint8 m_ctrl = 0;
    quint8 m_shift = 0;

    // Window drag.
    QPoint m_pressPos;
    bool m_dragging = false;

    // Full screen.
    bool m_toolBarWasVisible = false;
    quint8 m_fullScreen = 0;
    quint8 m_subWindowView = 1;
    bool m_wasMaximized = false;
    QList<QDockWidget*> m_dockWasVisible;

    QString m_styleSheet;
    QTimer* m_pCpuTimer = nullptr;
    platform::CpuLoad m_cpuLoad;
    AudioOutput* m_pAudioOutput = nullptr;
    QTimer* m_pAutoConnectTimer = nullptr;
    QLabel* m_pWaitLabel = nullptr;
    QLabel* m_pBlankLabel = nullptr;
};
