#pragma once
// The main window and at once the program-wide hub: the recorder table, the grid table, the
// shared settings (program directory, OSD flags, processor load, message-box texts) and the
// child windows. Session objects and grids register themselves; the hub owns neither.
#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPoint>
#include <QReadWriteLock>
#include <QString>

#include <atomic>

#include "session/sessionhub.h"
#include "sitebook/sitebookhub.h"
#include "widgets/messageboxhub.h"
#include "platform/cpuload.h"

class CModuleDevice;
class CCameo;
class CWaitDlg;
class cUccControl;
class SiteBookTreeWidget;
class ValidationView;
class EmapView;
class ConfigView;
class CFirmwareManager;
class CAccountManager;
class CScrSplit;
class CAdjust;
class microphone;
class CPTZCtrl;
class CAlarmOut;
class CPlaybackCtrl;
class LiveView;
class SearchView;
class SearchLocalView;
class CBackupView;
class CAVIConvert;
class AudioOutput;
class ChildWindowSlots;
class HoverMoveFilter;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QTabBar;
class QTimer;
class QToolBar;

class MainWindow;
// The hub, from the first statement of the MainWindow constructor until its destructor.
extern MainWindow* g_pMainWindow;

class MainWindow : public QMainWindow, public SessionHub, public SiteBookHub, public MessageBoxHub
{
    Q_OBJECT

public:
    static constexpr int kDeviceSlots = 9999;
    static constexpr int kCameoSlots = 50;
    static constexpr int kLiveViews = 4;
    static constexpr int kSearchViews = 2;
    static constexpr int kSearchLocalViews = 2;
    static constexpr int kEmapViews = 2;

    // The six OSD flags in the order of osd.dat.
    enum OsdFlag { OsdDvrName, OsdCameraName, OsdDate, OsdTime, OsdEvent, OsdCameoNumber, OsdFlagCount };

    // The mail server settings of smtp.dat, read at start-up and set by the e-mail settings.
    struct SmtpSettings
    {
        QString server;
        QString port = QStringLiteral("25");
        bool secure = false;
        bool authentication = true;
        QString user;
        QString password;
        QString sender;
    };

    // The central server login: nine texts in the order the server login dialog fills them.
    static constexpr int kServerLoginFields = 9;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Recorder table. Every index is checked; a bad one gives null, false or nothing.
    CModuleDevice* GetDevice(int index) const override;
    bool AddDevice(int index, CModuleDevice* device) override;
    bool RemoveDevice(int index) override;
    int GetFreeDeviceIndex() const override;
    int FindDeviceByName(const QString& name) const override;
    bool IsAnyDeviceConnected() const override;

    // Grid table.
    CCameo* GetCameo(int index) const;
    bool AddCameo(int index, CCameo* cameo);
    bool RemoveCameo(int index);
    int GetFreeCameoIndex() const;
    void CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int a, int b) override;
    void ClearDeviceCells(int deviceIndex, int channel, int kind);

    void OnDeviceConnected(int deviceIndex, int unused) override;
    void OnDeviceDisconnected(int deviceIndex, int kind) override;

    // SessionHub: the grids a session reaches.
    void ContinueFavorite() override;
    void GridTakesRecorder(int cameoIndex, int channels, int deviceIndex, bool closeAllFirst) override;
    void RedrawCameo(int cameoIndex) override;
    int ConsoleDeviceIndex() const override;

    // Child windows (null while not open).
    EmapView* GetEmapView(int index) const;
    ConfigView* GetConfigView() const { return m_pConfigView; }
    ValidationView* GetValidationView() const { return m_pValidationView; }

    // Forwarders; each does nothing while its window is not open.
    void AddEventLog(const QString& name, const QString& text);
    void ShowCameraControl(int deviceIndex, int channel, int value);

    // HubServices, reached by the protocol engine as well.
    QString ProgramDirectory() const override { return m_programDirectory; }
    QString FirmwarePath() const override { return m_firmwarePath; }
    void SetFirmwareState(int code) override;
    void SetAccountManagerState(int code) override;
    void SetFirmwareProgress(qint64 done, qint64 total) override;
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;

    void SetFirmwarePath(const QString& path) override { m_firmwarePath = path; }
    void ShowModalMessage(const QString& title, const QString& text) override;

    // Shared settings.
    // Read without a lock by the sessions' live threads.
    int GetProcessorLoad() const override { return m_processorLoad.load(); }
    // Replaces the processor counter (tests give it samples of their own) and opens it as the
    // start-up does; the next timer tick reads the load from it.
    void SetCpuLoad(platform::CpuLoad load)
    {
        m_cpuLoad = std::move(load);
        m_cpuLoad.Open();
        m_cpuLoad.AddCounter(QString::fromLatin1(platform::CpuLoad::kCounterName));
        m_cpuLoad.Collect();
    }
    quint8 GetOsdFlag(int flag) const;
    void SetOsdFlag(int flag, quint8 value);
    int GetActiveCameoIndex() const { return m_activeCameoIndex; }
    void SetActiveCameoIndex(int index) { m_activeCameoIndex = index; }
    // The grid whose favorite is being opened: the sessions asked to connect for it call its
    // OnFavoriteNext. -1 before the first favorite.
    int GetFavoriteCameoIndex() const { return m_favoriteCameoIndex; }
    void SetFavoriteCameoIndex(int index) { m_favoriteCameoIndex = index; }

    const SmtpSettings& GetSmtpSettings() const { return m_smtp; }
    void SetSmtpSettings(const SmtpSettings& settings) { m_smtp = settings; }

    // One text of the server login record (0..8); an empty text for a bad index.
    QString GetServerLogin(int field) const;
    void SetServerLogin(int field, const QString& value);
    // Writes account.dat from the server login record. Empty fields are replaced first, in the
    // record as well. False when the file could not be written (nothing is written then).
    bool SaveAccountFile();

    // Starts the backup player from the program directory (or beside the client), without an
    // argument or with the path of one recording to open. False when it is missing or did not
    // start.
    bool StartOrvane(const QString& file = QString());

    // Opens a favorite (layout code, recorder names and channels joined by ";") in the grid of
    // the active live window, or of a new one when none is active.
    void OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels) override;
    void OpenDeviceInLiveView(int deviceIndex) override;
    // The active live window, or a new one when none is active; null when no more can be opened.
    LiveView* ActiveOrNewLiveView();

    // The console skin bitmap of a recorder's model: variant 0 from the skin folder, 1 from its
    // "bin" folder. A null pixmap for other variants, for model type 10 and when the bitmap is
    // missing.
    QPixmap LoadDeviceImage(const QString& name, int variant, int recorder) const;
    void LoadDeviceImage(QPixmap& pixmap, const QString& name, int variant, int recorder) const;
    // The resource path of that bitmap for a model type; empty when there is none.
    static QString DeviceImagePath(int modelType, const QString& name, int variant);

    // Shared message box: what the next or the open box shows.
    QString MessageTitle() const override { return m_msgTitle; }
    QString MessageText() const override { return m_msgText; }
    QString MessageOption() const override { return m_msgOption; }
    quint8 GetWaitFlag() const override { return m_waitFlag; }
    void SetWaitFlag(quint8 value) { m_waitFlag = value; }

    // True while any MessageDlg is open. Boxes report their opening and their closing (or
    // destruction, whichever comes first) so the state cannot outlive the last box.
    bool IsMessageBoxOpen() const { return m_openMessageBoxes > 0; }
    void MessageBoxOpened() override;
    void MessageBoxClosed() override;

    // Start-up and shut-down files.
    // Reads qss/<name in lower case>.qss of the program directory as Latin-1; a missing or
    // unreadable file gives an empty text.
    QString ReadStyleSheet(const QString& name) const;
    // Reads the style sheet, keeps it and applies it to the main window.
    void loadStyleSheet(const QString& name);
    QString StyleSheetText() const { return m_styleSheet; }
    // Writes the six OSD flags to osd.dat; false when the file could not be written.
    bool SaveOsdFile() const;

    SiteBookTreeWidget* GetSiteBookTree() const { return m_pSiteBook; }
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    const QList<QDockWidget*>& DockWidgets() const { return m_docks; }
    const QList<QToolBar*>& ToolBars() const { return m_toolBars; }
    QAction* TabAction(int index) const;

    // Child windows: docked into the multi-document area or popped out.
    bool IsLiveViewPopup(int index) const;
    bool IsSearchViewPopup(int index) const;
    bool IsSearchLocalViewPopup(int index) const;
    bool IsEmapViewPopup(int index) const;
    ChildWindowSlots* LiveViewSlots() const { return m_pLiveSlots; }
    ChildWindowSlots* SearchViewSlots() const { return m_pSearchSlots; }
    ChildWindowSlots* SearchLocalViewSlots() const { return m_pSearchLocalSlots; }
    ChildWindowSlots* EmapViewSlots() const { return m_pEmapSlots; }

    void DockLiveView(int index);
    void PopOutLiveView(int index);
    void ToggleLiveViewPopup(int index);
    // Frees a live window's slot; the window's destructor calls it.
    void deleteLiveView(int index);
    void DockSearchView(int index);
    void PopOutSearchView(int index);
    void ToggleSearchViewPopup(int index);
    void deleteSearchView(int index);
    void DockSearchLocalView(int index);
    void PopOutSearchLocalView(int index);
    void ToggleSearchLocalViewPopup(int index);
    void deleteSearchLocalView(int index);
    void DockEmapView(int index);
    void PopOutEmapView(int index);
    void ToggleEmapPopup(int index);
    void deleteEmapView(int index);
    void ResetEmapFlag() { m_emapFlag = 0; }

    void exeFirmwareManager() override;
    void exeAccountManager() override;
    void createAVIConvert() override;
    void closeConfigView();
    void closeFirmwareManager();
    void closeAccountManager();
    void closeBackupView();

    // Multi-document area: true for sub-window view, false for tabs.
    void SetupTabBar(bool subWindowView);
    bool IsSubWindowView() const { return m_subWindowView != 0; }
    QTabBar* GetTabBar() const { return m_pTabBar; }

    // Full screen and keys.
    bool IsFullScreenMode() const { return m_fullScreen != 0; }
    bool IsMenuBarShown() const { return m_menuBarShown != 0; }
    int MenuBarHeight() const { return m_menuBarHeight; }
    bool IsClosing() const override { return m_closing != 0; }
    bool IsCtrlHeld() const { return m_ctrl != 0; }
    bool IsShiftHeld() const { return m_shift != 0; }
    // A pointer movement over the window, from the hover filter.
    void OnHoverMove(int x, int y, int oldX, int oldY);

    // The active sub-window's window when it is of that kind, else null.
    LiveView* GetActiveLiveView() const;

    // The one audio output. Only the chosen recorder's sound is played.
    AudioOutput* GetAudioOutput() const { return m_pAudioOutput; }
    void startAudioOutput();
    void stopAudioOutput();
    void WriteAudioOutput(const char* data, qint64 length, int deviceIndex) override;
    void SetAudioDeviceIndex(int deviceIndex) override;
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
    void exeValidationView();
    void exeOrvane();
    void exeInfoView();
    void OnLoadSMTP();
    void loadSiteBook(const QString& path, bool clear) override;
    void loadSiteBook(const QString& path);
    void saveSiteBook(const QString& path) override;
    void saveSiteBook();
    void loadSiteBook_Emap(const QString& path);
    void loadSiteBook_Favorites(const QString& path);
    void saveSiteBook_Emap(const QString& path);
    void saveSiteBook_Emap();
    void saveSiteBook_Favorites(const QString& path);
    void saveSiteBook_Favorites();
    void OnScrSplitMode(int split);
    void updateDockWidgets();
    void OnSetBrightness(int value);
    void OnSetContrast(int value);
    void OnSetFrate(int value);
    void OnPlaybackControl(int code);
    void FullScreenWindows();
    void ShowDefalutDockWiget();
    void OnToolBarManu(QAction* action);
    void ShowToolBarManu();
    void activateEmailSetup();
    void activateNetworkSetup();
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
    struct DeviceSlot
    {
        quint8 inUse = 0;
        CModuleDevice* device = nullptr;
    };
    struct CameoSlot
    {
        quint8 inUse = 0;
        CCameo* cameo = nullptr;
    };

    void ReadOsdFile();
    void CreateMdiArea();
    void CreateToolBar();
    void CreateDocks();
    QDockWidget* AddDock(const QString& title, QWidget* content, const QSize& fixedSize);
    void CreateMenus();
    void CreateWaitLabels();
    QString BookPath(const QString& fileName) const;
    // The file a load goes to: the path itself, or the user's choice for an empty path; empty
    // when the user cancelled.
    QString ChooseBookToLoad(const QString& path, const QString& title, const QString& filter);
    // The file a save goes to: "save" is the book of the program directory, an empty path asks
    // the user (whose choice may overwrite a book that failed to load); empty when cancelled.
    QString ChooseBookToSave(const QString& path, const QString& fileName, const QString& title,
                             const QString& filter);

    static bool IsDeviceIndex(int index) { return static_cast<unsigned>(index) < unsigned(kDeviceSlots); }
    static bool IsCameoIndex(int index) { return static_cast<unsigned>(index) < unsigned(kCameoSlots); }

    CWaitDlg* m_pWaitDlg = nullptr;
    std::atomic<int> m_processorLoad{0};
    quint8 m_osdFlags[OsdFlagCount] = {1, 1, 1, 1, 1, 1};
    int m_activeCameoIndex = 0;
    int m_favoriteCameoIndex = -1;
    SmtpSettings m_smtp;
    QString m_serverLogin[kServerLoginFields];
    // Set by the first automatic favorite opening of the program run; never cleared.
    bool m_autoConnectDone = false;
    int m_openMessageBoxes = 0;
    cUccControl* m_pCameraControl = nullptr;

    DeviceSlot m_devices[kDeviceSlots];
    CameoSlot m_cameos[kCameoSlots];
    // Guards the grid table: decode threads hold it for reading across each picture hand-off,
    // a grid takes it for writing when it leaves the table. Recursive, because a hand-off
    // reads the table again (the decoder looks the grid up).
    mutable QReadWriteLock m_cameoLock{QReadWriteLock::Recursive};

    QString m_programDirectory;
    QString m_firmwarePath;

    QString m_msgTitle;
    QString m_msgText;
    QString m_msgOption;
    quint8 m_waitFlag = 0;

    SiteBookTreeWidget* m_pSiteBook = nullptr;
    ValidationView* m_pValidationView = nullptr;
    CBackupView* m_pBackupView = nullptr;
    CScrSplit* m_pScrSplit = nullptr;
    CAdjust* m_pAdjust = nullptr;
    microphone* m_pMicrophone = nullptr;
    CPTZCtrl* m_pPtzCtrl = nullptr;
    CAlarmOut* m_pAlarmOut = nullptr;
    CPlaybackCtrl* m_pPlaybackCtrl = nullptr;
    ConfigView* m_pConfigView = nullptr;
    CFirmwareManager* m_pFirmwareManager = nullptr;
    CAccountManager* m_pAccountManager = nullptr;
    CAVIConvert* m_pAviConvert = nullptr;

    // Main window frame and multi-document area.
    HoverMoveFilter* m_pHoverFilter = nullptr;
    QMdiArea* m_pMdiArea = nullptr;
    QTabBar* m_pTabBar = nullptr;
    QAction* m_pActWindowsMode = nullptr;
    QAction* m_pActFullScreen = nullptr;
    QAction* m_pActPopupMode = nullptr;
    QAction* m_pActClose = nullptr;
    int m_tabIndex = -1;
    QList<QToolBar*> m_toolBars;
    QList<QDockWidget*> m_docks;
    QByteArray m_defaultDockState;
    ChildWindowSlots* m_pLiveSlots = nullptr;
    ChildWindowSlots* m_pSearchSlots = nullptr;
    ChildWindowSlots* m_pSearchLocalSlots = nullptr;
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
