#include "shell/mainwindow.h"
#include "shell/adminwindows.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include "backup/caviconvert.h"
#include "backup/cdirectbackup.h"
#include "backup/convertsource.h"
#include "emap/emapview.h"
#include "panels/calarmout.h"
#include "panels/cmodulenetworkstatus.h"
#include "panels/cptzctrl.h"
#include "panels/cucccontrol.h"
#include "panels/healthcheck.h"
#include "panels/microphone.h"
#include "platform/process.h"
#include "search/searchmuseum.h"
#include "search/searchthumnail.h"
#include "search/searchtime.h"
#include "session/livedecodeworker.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/recordersession.h"
#include "session/sitebook.h"
#include "session/thumbnailsearchpopup.h"
#include "shell/audiooutput.h"
#include "shell/cadjust.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/configviewadapter.h"
#include "shell/cscrsplit.h"
#include "shell/gridconvertsource.h"
#include "shell/hovermovefilter.h"
#include "shell/liveview.h"
#include "shell/shelllog.h"
#include "shell/toolbar.h"
#include "shell/validationshell.h"
#include "sitebook/sitebookfile.h"
#include "sitebook/sitebooktreewidget.h"
#include "widgets/cplaybackctrl.h"
#include "widgets/messagedlg.h"

MainWindow* g_pMainWindow = nullptr;

namespace {
// How long the notice of a lost recorder stays on the status bar.
constexpr int kLostNoticeMs = 60000;
constexpr int kShowBoxDelayMs = 10;
constexpr int kCpuTimerMs = 1000;
constexpr int kAutoConnectMs = 5000;
constexpr int kPanelWidth = 315;
constexpr int kPanelHeight = 153;
constexpr int kPlaybackPanelHeight = 70;
constexpr int kWaitLabelWidth = 200;
constexpr int kWaitLabelHeight = 80;
constexpr int kViewModeDelayMs = 100;
// Recorder names of a favorite that the auto-connect looks at.
constexpr int kAutoConnectNames = 64;
constexpr int kModelTypeNoSkin = 10;
constexpr int kModelTypePrime = 7;
const char* const kBackupPlayerProgram = "Orvane.exe";
// How long the status bar says that an external program is missing.
constexpr int kMissingProgramNoticeMs = 15000;
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_settings(SettingsFiles::WorkingDirectory())
{
    // Everything built from here on, session objects included, may use the hub at once.
    g_pMainWindow = this;
    SessionHub::Install(this);
    SiteBookHub::Install(this);
    SearchHub::Install(this);
    MessageBoxHub::Install(this);
    m_pBackupWindows = std::make_unique<BackupWindowFactory>();
    m_pConfigViews = std::make_unique<ConfigViewAdapter>(this);
    BackupHostFactory::Install(m_pBackupWindows.get());
    EmapHub::Install(this);
    PanelsHub::Install(this);
    SkinImageHub::Install(this);
    GridHost::Install(this);
    // Convert windows read their recordings through a hidden local-file grid.
    ConvertSource::InstallFactory([](QWidget* owner) { return std::make_unique<GridConvertSource>(owner); });

    qCDebug(lcShell) << "Init start";
    CreateFrame();
    // The OSD flags come from the program directory, which is fixed before any file.
    m_settings.ReadOsdFile();

    CreateMdiArea();
    CreateToolBar();
    CreateDocks();
    CreateMenus();
    UpdateProgramEntries();

    loadStyleSheet(QStringLiteral("main"));
    if (auto* bar = qobject_cast<ToolBar*>(m_toolBars.value(0)))
        bar->loadStyleSheet(QStringLiteral("toolbar"));

    m_dragging = false;
    m_pValidation = new ValidationShell(*this);
    m_pAudioOutput = new AudioOutput(this);
    m_pAudioOutput->startAudioOutput();
    qCDebug(lcShell) << "Set SearhcMuseum";
    qCDebug(lcShell) << "Set SearhcThumbnail";
    m_pSearchMuseum = new SearchMuseum(this);
    m_pSearchMuseum->setModal(true);
    MuseumSearchPopup::Install(m_pSearchMuseum);
    m_pSearchThumnail = new SearchThumnail(this);
    m_pSearchThumnail->setModal(true);
    ThumbnailSearchPopup::Install(m_pSearchThumnail);
    m_pSearchTime = new SearchTime(this);
    m_pSearchTime->setModal(true);
    QuickSearchPopup::Install(m_pSearchTime);
    OnLoadSMTP();
    m_pAdminWindows = new AdminWindows(*this);

    loadSiteBook(m_settings.FilePath(QStringLiteral("sitebook.xml")), true);
    loadSiteBook_Emap(m_settings.FilePath(QStringLiteral("emap.xml")));
    loadSiteBook_Favorites(m_settings.FilePath(QStringLiteral("favorites.xml")));

    StartProcessorLoad();

    qCDebug(lcShell) << "Main initialize finish";
    m_waitFlag = 0;

    CreateWaitLabels();
    // pending: wait dialog (created hidden here)
    m_pUccControl = new cUccControl(this);
    m_pUccControl->hide();

    qCDebug(lcShell) << "Set resize";
    resize(1280, 900);

    StartAutoConnect();
}

MainWindow::~MainWindow()
{
    if (m_pCpuTimer)
        m_pCpuTimer->stop();
    if (m_pAutoConnectTimer)
        m_pAutoConnectTimer->stop();

    m_settings.SaveOsdFile();
    // A site book that failed to load is left as it is (the book file guard refuses the write).
    saveSiteBook(m_settings.FilePath(QStringLiteral("sitebook.xml")));

    // The child windows go while the hub is whole: their destructors report to it. The convert
    // window first waits for its worker, whose grid is in the hub's grid table.
    delete m_aviConvert;
    for (ChildWindowSlots* group : {m_pLiveSlots, m_pSearchSlots, m_pEmapSlots, m_pSearchLocalSlots}) {
        if (group)
            group->DestroyAll();
    }
    delete m_pBackupView.data();
    m_pConfigViews.reset();
    // So do the recorders of the site book: each session frees its slot of the recorder table.
    delete m_pSiteBook;
    m_pSiteBook = nullptr;

    if (SessionHub::Instance() == this)
        SessionHub::Install(nullptr);
    if (SiteBookHub::Instance() == this)
        SiteBookHub::Install(nullptr);
    if (SearchHub::Instance() == this)
        SearchHub::Install(nullptr);
    if (QuickSearchPopup::Instance() == m_pSearchTime)
        QuickSearchPopup::Install(nullptr);
    if (MuseumSearchPopup::Instance() == m_pSearchMuseum)
        MuseumSearchPopup::Install(nullptr);
    if (ThumbnailSearchPopup::Instance() == m_pSearchThumnail)
        ThumbnailSearchPopup::Install(nullptr);
    if (MessageBoxHub::Instance() == this)
        MessageBoxHub::Install(nullptr);
    if (BackupHostFactory::Instance() == m_pBackupWindows.get())
        BackupHostFactory::Install(nullptr);
    if (EmapHub::Instance() == this)
        EmapHub::Install(nullptr);
    if (PanelsHub::Instance() == this)
        PanelsHub::Install(nullptr);
    if (SkinImageHub::Instance() == this)
        SkinImageHub::Install(nullptr);
    if (GridHost::Instance() == this)
        GridHost::Install(nullptr);
    ConvertSource::InstallFactory(nullptr);
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Start-up steps

void MainWindow::CreateFrame()
{
    m_closing = 0;
    m_fullScreen = 0;
    m_processorLoad = 0;
    m_activeCameoIndex = 0;
    m_menuBarShown = 1;

    qCDebug(lcShell) << "Set Type";
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    qCDebug(lcShell) << "Set title";
    setWindowTitle(tr("ZENT"));

    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    m_pHoverFilter = new HoverMoveFilter(this);
    installEventFilter(m_pHoverFilter);
    setWindowOpacity(1.0);
    setLayoutDirection(Qt::LeftToRight);
    setAutoFillBackground(false);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget1"));
    setCentralWidget(central);
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar1"));
    setStatusBar(status);
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("menuBar1"));
    menu->setEnabled(true);
    menu->setGeometry(QRect(0, 0, 1279, 20));
    setMenuBar(menu);
    m_ctrl = 0;
    m_shift = 0;
    setWindowIcon(QIcon(QStringLiteral(":/res/ZENT.PNG")));
}

void MainWindow::StartProcessorLoad()
{
    m_pCpuTimer = new QTimer(this);
    connect(m_pCpuTimer, &QTimer::timeout, this, &MainWindow::OnTimerGetCPU);
    // The first sample is the base of the first reading a second later.
    m_cpuLoad.Open();
    m_cpuLoad.AddCounter(QString::fromLatin1(platform::CpuLoad::kCounterName));
    m_cpuLoad.Collect();
    m_pCpuTimer->start(kCpuTimerMs);
}

void MainWindow::SetCpuLoad(platform::CpuLoad load)
{
    m_cpuLoad = std::move(load);
    m_cpuLoad.Open();
    m_cpuLoad.AddCounter(QString::fromLatin1(platform::CpuLoad::kCounterName));
    m_cpuLoad.Collect();
}

void MainWindow::StartAutoConnect()
{
    m_pAutoConnectTimer = new QTimer(this);
    connect(m_pAutoConnectTimer, &QTimer::timeout, this, &MainWindow::OnTimerAutoConnect);
    m_pAutoConnectTimer->start(kAutoConnectMs);
}

void MainWindow::loadStyleSheet(const QString& name)
{
    m_styleSheet = m_settings.ReadStyleSheet(name);
    setStyleSheet(m_styleSheet);
}

void MainWindow::CreateMdiArea()
{
    m_pMdiArea = new QMdiArea;
    m_pMdiArea->setViewMode(QMdiArea::SubWindowView);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setBackground(QBrush(QColor(40, 40, 40)));
    m_pMdiArea->setTabsClosable(true);
    m_pMdiArea->setTabsMovable(true);
    m_pMdiArea->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pMdiArea, &QWidget::customContextMenuRequested, this, &MainWindow::mdiContextMenu);
    m_subWindowView = 1;

    m_pActWindowsMode = new QAction(QIcon(QStringLiteral(":/res/Resource/multi.png")), tr("Windows Mode"), this);
    connect(m_pActWindowsMode, &QAction::triggered, this, &MainWindow::timerOnViewmode);
    m_pActFullScreen = new QAction(QIcon(QStringLiteral(":/res/Resource/51.png")), tr("NormalScreen Mode"), this);
    connect(m_pActFullScreen, &QAction::triggered, this, &MainWindow::FullScreenWindows);
    m_pActPopupMode = new QAction(QIcon(QStringLiteral(":/res/Resource/popup.png")), tr("Popup Mode"), this);
    connect(m_pActPopupMode, &QAction::triggered, this, &MainWindow::OnPopupMode);
    m_pActClose = new QAction(QIcon(QStringLiteral(":/res/Resource/close.png")), tr("Close"), this);
    connect(m_pActClose, &QAction::triggered, this, &MainWindow::OnCloseTabBar);

    statusBar()->hide();
    // The status bar shows only passing notices; it goes again when the last one has expired.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->hide();
    });
    setCentralWidget(m_pMdiArea);

    m_pLiveSlots = new ChildWindowSlots(this, m_pMdiArea, kLiveViews,
                                        QIcon(QStringLiteral(":/res/Resource/2.png")));
    m_pSearchSlots = new ChildWindowSlots(this, m_pMdiArea, kSearchViews,
                                          QIcon(QStringLiteral(":/res/Resource/3.png")));
    m_pSearchLocalSlots = new ChildWindowSlots(this, m_pMdiArea, kSearchLocalViews,
                                               QIcon(QStringLiteral(":/res/Resource/9.png")));
    m_pEmapSlots = new ChildWindowSlots(this, m_pMdiArea, kEmapViews,
                                        QIcon(QStringLiteral(":/res/Resource/5.png")));
}

void MainWindow::CreateToolBar()
{
    auto* bar = new ToolBar(tr("Tool Bar"), this);
    m_toolBars.append(bar);
    addToolBar(Qt::TopToolBarArea, bar);
}

QDockWidget* MainWindow::AddDock(const QString& title, QWidget* content, const QSize& fixedSize)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(title);
    dock->setAllowedAreas(Qt::AllDockWidgetAreas);
    if (fixedSize.isValid())
        content->setFixedSize(fixedSize);
    dock->setWidget(content);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    m_docks.append(dock);
    return dock;
}

void MainWindow::CreateDocks()
{
    const QSize panelSize(kPanelWidth, kPanelHeight);

    m_pSiteBook = new SiteBookTreeWidget;
    m_pSiteBook->setHeaderHidden(true);
    QDockWidget* siteBook = AddDock(QStringLiteral("SiteBook"), m_pSiteBook, QSize());
    siteBook->raise();

    m_pScrSplit = new CScrSplit;
    connect(m_pScrSplit, &CScrSplit::OnScrSplit, this, &MainWindow::OnScrSplitMode);
    QDockWidget* split = AddDock(QStringLiteral("Screen Split"), m_pScrSplit, panelSize);
    split->hide();
    m_pAdjust = new CAdjust;
    connect(m_pAdjust, &CAdjust::SetBrightness, this, &MainWindow::OnSetBrightness);
    connect(m_pAdjust, &CAdjust::SetContrast, this, &MainWindow::OnSetContrast);
    connect(m_pAdjust, &CAdjust::SetFrate, this, &MainWindow::OnSetFrate);
    QDockWidget* adjust = AddDock(QStringLiteral("Adjust"), m_pAdjust, panelSize);
    m_pPTZCtrl = new CPTZCtrl;
    QDockWidget* ptz = AddDock(QStringLiteral("P/T/Z"), m_pPTZCtrl, panelSize);
    m_pAlarmOut = new CAlarmOut;
    QDockWidget* alarm = AddDock(QStringLiteral("Alarm Out"), m_pAlarmOut, panelSize);
    m_pMicrophone = new microphone;
    QDockWidget* mic = AddDock(QStringLiteral("MicroPhone"), m_pMicrophone, panelSize);
    m_pPlaybackCtrl = new CPlaybackCtrl;
    connect(m_pPlaybackCtrl, &CPlaybackCtrl::SetPlaybackControl, this, &MainWindow::OnPlaybackControl);
    QDockWidget* playback = AddDock(QStringLiteral("Playback"), m_pPlaybackCtrl,
                                    QSize(kPanelWidth, kPlaybackPanelHeight));

    tabifyDockWidget(adjust, ptz);
    tabifyDockWidget(adjust, alarm);
    tabifyDockWidget(adjust, mic);
    adjust->raise();
    playback->raise();
    m_defaultDockState = saveState();
}

void MainWindow::CreateMenus()
{
    const auto icon = [](const char* file) {
        return QIcon(QStringLiteral(":/res/Resource/") + QLatin1String(file));
    };

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(icon("2.png"), tr("Live View"), this, &MainWindow::exeLiveView);
    view->addAction(icon("3.png"), tr("Search View"), this, &MainWindow::exeSearchView);
    view->addAction(icon("local.png"), tr("Local Backup"), this, &MainWindow::exeSearchLocalView);
    view->addAction(icon("5.png"), tr("Emap View"), this, &MainWindow::exeEmapView);
    view->addAction(icon("4.png"), tr("Remote Backup"), this, &MainWindow::exeBackupView);
    m_pActBackupPlayer = view->addAction(icon("9.png"), tr("Backup Player"), this, &MainWindow::exeOrvane);
    view->addAction(icon("6.png"), tr("Config View"), this, &MainWindow::exeConfigView);
    view->addAction(icon("8.png"), tr("Information"), this, &MainWindow::exeInfoView);
    view->addSeparator();
    view->addAction(icon("close.png"), tr("&Quit"), this, &QWidget::close);
    // The player may be built or removed while the client runs: looked for again on each opening.
    connect(view, &QMenu::aboutToShow, this, &MainWindow::UpdateProgramEntries);

    QMenu* bars = menuBar()->addMenu(tr("Tool bar"));
    for (QToolBar* bar : qAsConst(m_toolBars)) {
        if (auto* toolBar = qobject_cast<ToolBar*>(bar))
            bars->addMenu(toolBar->Menu());
    }
    bars->addSeparator();
    for (QDockWidget* dock : qAsConst(m_docks))
        bars->addAction(dock->windowTitle());
    bars->addSeparator();
    bars->addAction(tr("Default"), this, &MainWindow::ShowDefalutDockWiget);
    connect(bars, &QMenu::triggered, this, &MainWindow::OnToolBarManu);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(icon("51.png"), tr("FullScreen Mode"), this, &MainWindow::FullScreenWindows);
    window->addSeparator();
    window->addAction(tr("Next View"), m_pMdiArea, &QMdiArea::activateNextSubWindow);
    window->addAction(tr("Prev View"), m_pMdiArea, &QMdiArea::activatePreviousSubWindow);

    QMenu* setup = menuBar()->addMenu(tr("Setup"));
    setup->addAction(icon("email.png"), tr("Email Setup"), this, &MainWindow::activateEmailSetup);
    setup->addAction(QIcon(QStringLiteral(":/res/db_normal.PNG")), tr("Validation"), this,
                     [this] { m_pValidation->ShowConsole(); });

    m_menuBarHeight = menuBar()->sizeHint().height();
}

void MainWindow::CreateWaitLabels()
{
    m_pBlankLabel = new QLabel(this);
    m_pBlankLabel->hide();
    m_pWaitLabel = new QLabel(QStringLiteral("Please wait..."), this);
    m_pWaitLabel->setFrameShape(QFrame::Box);
    m_pWaitLabel->setAlignment(Qt::AlignCenter);
    m_pWaitLabel->setStyleSheet(QStringLiteral("background-color:#353535; color:white; selection-color:white;"));
    m_pWaitLabel->hide();
}

// ---------------------------------------------------------------------------------------------
// Recorder table

RecorderSession* MainWindow::GetDevice(int index) const
{
    return m_devices.GetDevice(index);
}
bool MainWindow::AddDevice(int index, CModuleDevice* device)
{
    return m_devices.AddDevice(index, device);
}
bool MainWindow::RemoveDevice(int index)
{
    return m_devices.RemoveDevice(index);
}
int MainWindow::GetFreeDeviceIndex() const
{
    return m_devices.GetFreeDeviceIndex();
}
int MainWindow::FindDeviceByName(const QString& name) const
{
    return m_devices.FindDeviceByName(name);
}
bool MainWindow::IsAnyDeviceConnected() const
{
    return m_devices.IsAnyDeviceConnected();
}

// ---------------------------------------------------------------------------------------------
// Grid table

CCameo* MainWindow::GetCameo(int index) const
{
    return m_cameos.GetCameo(index);
}
bool MainWindow::AddCameo(int index, CCameo* cameo)
{
    return m_cameos.AddCameo(index, cameo);
}
bool MainWindow::RemoveCameo(int index)
{
    return m_cameos.RemoveCameo(index);
}
int MainWindow::GetFreeCameoIndex() const
{
    return m_cameos.GetFreeCameoIndex();
}

void MainWindow::CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int keepPicture,
                                 int cropPicture)
{
    m_cameos.CountCameoFrame(deviceIndex, channel, cameoIndex, cellIndex, keepPicture != 0, cropPicture != 0);
}

void MainWindow::ClearDeviceCells(int deviceIndex, int channel, int /*kind*/)
{
    m_cameos.ClearDeviceCells(deviceIndex, channel);
}

void MainWindow::OnDeviceConnected(int deviceIndex, int /*unused*/)
{
    RecorderSession* device = GetDevice(deviceIndex);
    if (!device)
        return;
    const QString name = device->GetDvrName();
    if (m_pAlarmOut)
        m_pAlarmOut->AddDevice(name, deviceIndex);
    if (m_pMicrophone)
        m_pMicrophone->AddDevice(name, deviceIndex);
}

void MainWindow::OnDeviceDisconnected(int deviceIndex, int kind)
{
    // Kind 1 clears remote-playback grids only, any other kind every grid.
    m_cameos.DisconnectRecorder(deviceIndex, kind == 1);
    if (kind != 0)
        return;
    const RecorderSession* device = GetDevice(deviceIndex);
    const QString name = device ? device->GetDvrName() : QString();
    if (m_pAlarmOut)
        m_pAlarmOut->RemoveDevice(name, deviceIndex);
    if (m_pMicrophone)
        m_pMicrophone->RemoveDevice(name, deviceIndex);
}

void MainWindow::ReportConnectionLost(int /*deviceIndex*/, const QString& recorderName)
{
    statusBar()->show();
    statusBar()->showMessage(tr("Connection to %1 lost at %2")
                                 .arg(recorderName, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
                             kLostNoticeMs);
}

// ---------------------------------------------------------------------------------------------
// Forwarders to windows the client does not have yet

void MainWindow::ShowCameraControl(int deviceIndex, int channel, int cameoIndex)
{
    if (!m_pUccControl)
        return;
    m_pUccControl->SetCamera(deviceIndex, channel, cameoIndex);
    m_pUccControl->show();
    m_pUccControl->raise();
}

void MainWindow::SetPtzCameo(int deviceIndex, int channel)
{
    if (m_pPTZCtrl)
        m_pPTZCtrl->SetActiveCameo(deviceIndex, channel);
}

HealthCheckView* MainWindow::CreateHealthCheck()
{
    auto* health = new healthCheck(this);
    health->setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    health->hide();
    return health;
}

void MainWindow::ShowNetworkStatus(int deviceIndex)
{
    if (!GetDevice(deviceIndex))
        return;
    CModuleNetworkStatus status(this);
    status.SetDevice(deviceIndex);
    status.exec();
}

void MainWindow::ShowAdjustValues(int brightness, int contrast, int frameRate)
{
    if (m_pAdjust)
        m_pAdjust->SetValues(brightness, contrast, frameRate);
}

void MainWindow::AddGridFavorite(const QString& kind, int split, int first, const QString& names,
                                 const QString& channels)
{
    if (m_pSiteBook)
        m_pSiteBook->addFavorite(kind, split, first, names, channels);
}

bool MainWindow::IsGridOwnerPopup(CameoKind kind, int slot) const
{
    switch (kind) {
    case CameoKind::Live: return IsLiveViewPopup(slot);
    case CameoKind::Playback: return IsSearchViewPopup(slot);
    case CameoKind::Local: return IsSearchLocalViewPopup(slot);
    }
    return false;
}

void MainWindow::ToggleGridOwnerPopup(CameoKind kind, int slot)
{
    switch (kind) {
    case CameoKind::Live: ToggleLiveViewPopup(slot); break;
    case CameoKind::Playback: ToggleSearchViewPopup(slot); break;
    case CameoKind::Local: ToggleSearchLocalViewPopup(slot); break;
    }
}

void MainWindow::RestoreGridSplit(int cameoIndex)
{
    CCameo* cameo = GetCameo(cameoIndex);
    if (cameo && cameo->GetSplit() == 1 && cameo->GetPrevSplit() > 0)
        cameo->OnSplitMode(-1, cameo->GetPrevSplit(), false);
}

void MainWindow::AddEventLog(const QString& name, const QString& text)
{
    m_pValidation->AddEventLog(name, text);
}

QPixmap MainWindow::LoadSkinImage(const QString& name, SkinFolder folder) const
{
    const int recorder = ConsoleDeviceIndex();
    if (recorder < 0)
        return QPixmap();
    return LoadDeviceImage(name, int(folder), recorder);
}

// The protocol engine and the sessions report every firmware and account transfer here; the
// open manager takes the codes of the recorder it works on.
void MainWindow::SetFirmwareState(int recorderIndex, int code)
{
    if (m_pAdminWindows)
        m_pAdminWindows->SetFirmwareState(recorderIndex, code);
}

void MainWindow::SetAccountManagerState(int recorderIndex, int code)
{
    if (m_pAdminWindows)
        m_pAdminWindows->SetAccountManagerState(recorderIndex, code);
}

void MainWindow::SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total)
{
    if (m_pAdminWindows)
        m_pAdminWindows->SetFirmwareProgress(recorderIndex, done, total);
}

AdminWindows* MainWindow::GetAdminWindows() const
{
    return m_pAdminWindows.data();
}

bool MainWindow::IsFirmwareCancelled() const
{
    return m_pAdminWindows && m_pAdminWindows->IsFirmwareCancelled();
}

// ---------------------------------------------------------------------------------------------
// Shared message box

void MainWindow::MessageBoxOpened()
{
    ++m_openMessageBoxes;
}

void MainWindow::MessageBoxClosed()
{
    if (m_openMessageBoxes > 0)
        --m_openMessageBoxes;
}

void MainWindow::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    // A worker thread's notice is taken over on the user-interface thread, which owns the box
    // and its timer.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, title, text, option] { ShowMessageBox(title, text, option); }, Qt::QueuedConnection);
        return;
    }
    {
        QMutexLocker locker(&m_msgLock);
        m_msgOption = option;
        if (!text.isEmpty())
            m_msgText = text;
        if (title.isEmpty())
            return;
        m_msgTitle = title;
    }
    if (!IsMessageBoxOpen())
        QTimer::singleShot(kShowBoxDelayMs, this, &MainWindow::timerShowMessageBox);
}

QString MainWindow::MessageTitle() const
{
    QMutexLocker locker(&m_msgLock);
    return m_msgTitle;
}

QString MainWindow::MessageText() const
{
    QMutexLocker locker(&m_msgLock);
    return m_msgText;
}

QString MainWindow::MessageOption() const
{
    QMutexLocker locker(&m_msgLock);
    return m_msgOption;
}

void MainWindow::timerShowMessageBox()
{
    if (IsMessageBoxOpen())
        return;

    int mode = MessageDlg::HubMessage;
    // A search's progress can be cancelled: a recorder that never answers would otherwise hold the
    // program behind a box that cannot be closed.
    if (MessageTitle() == QLatin1String("Museum Search") || MessageTitle() == QLatin1String("Thumbnail Search"))
        mode = MessageDlg::MuseumSearch;
    else if (MessageText() == QLatin1String("Please wait..."))
        mode = MessageDlg::Wait;

    // Run the box modally until it finishes. A local loop rather than exec(): the wait box hides
    // and shows itself while it runs, and hiding must not end it.
    QPointer<MessageDlg> box = new MessageDlg(this, mode);
    box->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(box.data(), &QDialog::finished, &loop, &QEventLoop::quit);
    connect(box.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    if (mode != MessageDlg::Wait)
        box->show();
    loop.exec(QEventLoop::DialogExec);
    delete box.data();
}

void MainWindow::ShowModalMessage(const QString& title, const QString& text)
{
    QPointer<MessageDlg> box = new MessageDlg(this, MessageDlg::Fixed);
    box->SetText(title, text);
    box->exec();
    delete box.data();
}

bool MainWindow::TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                         const QString& newFingerprint)
{
    const QString text = QStringLiteral("The recorder %1 presents a certificate other than the one it presented "
                                        "before.\nSomeone may be intercepting the connection.\n\n"
                                        "Known certificate (SHA-256):\n%2\n\nNew certificate (SHA-256):\n%3\n\n"
                                        "Trust the new certificate and log in?")
                             .arg(recorder, knownFingerprint, newFingerprint);
    QPointer<MessageDlg> box = new MessageDlg(this, MessageDlg::Question);
    box->SetText(QStringLiteral("Certificate changed"), text);
    const int answer = box->exec();
    delete box.data();
    return answer == 1;
}

// ---------------------------------------------------------------------------------------------
// Site book file

void MainWindow::loadSiteBook(const QString& path)
{
    loadSiteBook(path, true);
}

QString MainWindow::ChooseBookToLoad(const QString& path, const QString& title, const QString& filter)
{
    if (!path.isEmpty())
        return path;
    return QFileDialog::getOpenFileName(this, title, ProgramDirectory(), filter);
}

QString MainWindow::ChooseBookToSave(const QString& path, const QString& fileName, const QString& title,
                                     const QString& filter)
{
    if (path == QLatin1String("save"))
        return m_settings.FilePath(fileName);
    if (!path.isEmpty())
        return path;
    const QString chosen = QFileDialog::getSaveFileName(this, title, ProgramDirectory(), filter);
    // The user chose this very file to be written.
    if (!chosen.isEmpty() && m_pSiteBook)
        m_pSiteBook->FileGuard().Release(chosen);
    return chosen;
}

void MainWindow::loadSiteBook(const QString& path, bool clear)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToLoad(path, tr("Open SiteBook File"), tr("ZENT SiteBook Files (*.xml)"));
    if (fileName.isEmpty())
        return;
    // The site book is emptied only for a file that can be read: emptied for nothing, it would
    // be written over sitebook.xml at shut-down.
    const bool readable = QFile(fileName).open(QIODevice::ReadOnly | QIODevice::Text);
    if (clear && !readable && QFile::exists(fileName))
        qCWarning(lcShell) << "MainWindow: cannot read" << fileName << "; the site book is kept";
    SiteBookFile::LoadSiteBook(m_pSiteBook, fileName, clear && readable);
}

void MainWindow::loadSiteBook_Emap(const QString& path)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToLoad(path, tr("Open eMap File"), tr("ZENT eMap Files (*.xml)"));
    if (!fileName.isEmpty())
        SiteBookFile::LoadEmap(m_pSiteBook, fileName, false);
}

void MainWindow::loadSiteBook_Favorites(const QString& path)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToLoad(path, tr("Open Favorites File"), tr("ZENT Favorites Files (*.xml)"));
    if (!fileName.isEmpty())
        SiteBookFile::LoadFavorites(m_pSiteBook, fileName, false);
}

void MainWindow::saveSiteBook()
{
    saveSiteBook(QString());
}

void MainWindow::saveSiteBook(const QString& path)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToSave(path, QStringLiteral("sitebook.xml"), tr("Save SiteBook File"),
                                              tr("ZENT SiteBook Files (*.xml)"));
    if (!fileName.isEmpty())
        SiteBookFile::SaveSiteBook(m_pSiteBook, fileName);
}

void MainWindow::saveSiteBook_Emap()
{
    saveSiteBook_Emap(QString());
}

void MainWindow::saveSiteBook_Emap(const QString& path)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToSave(path, QStringLiteral("emap.xml"), tr("Save Emap File"),
                                              tr("ZENT Emap Files (*.xml)"));
    if (!fileName.isEmpty())
        SiteBookFile::SaveEmap(m_pSiteBook, fileName);
}

void MainWindow::saveSiteBook_Favorites()
{
    saveSiteBook_Favorites(QString());
}

void MainWindow::saveSiteBook_Favorites(const QString& path)
{
    if (!m_pSiteBook)
        return;
    const QString fileName = ChooseBookToSave(path, QStringLiteral("favorites.xml"), tr("Save Favorites File"),
                                              tr("ZENT Favorites Files (*.xml)"));
    if (!fileName.isEmpty())
        SiteBookFile::SaveFavorites(m_pSiteBook, fileName);
}

// ---------------------------------------------------------------------------------------------
// Child windows

QAction* MainWindow::TabAction(int index) const
{
    switch (index) {
    case 0: return m_pActWindowsMode;
    case 1: return m_pActFullScreen;
    case 2: return m_pActPopupMode;
    case 3: return m_pActClose;
    default: return nullptr;
    }
}

bool MainWindow::IsLiveViewPopup(int index) const
{
    return m_pLiveSlots->IsPopup(index);
}
bool MainWindow::IsSearchViewPopup(int index) const
{
    return m_pSearchSlots->IsPopup(index);
}
bool MainWindow::IsSearchLocalViewPopup(int index) const
{
    return m_pSearchLocalSlots->IsPopup(index);
}
bool MainWindow::IsEmapViewPopup(int index) const
{
    return m_pEmapSlots->IsPopup(index);
}

int MainWindow::exeLiveView()
{
    const int slot = m_pLiveSlots->FreeSlot();
    if (slot < 0)
        return kLiveViews - 1;
    auto* view = new LiveView(this, slot);
    if (!m_pLiveSlots->Place(slot, view)) {
        delete view;
        return -1;
    }
    return slot;
}

LiveView* MainWindow::GetActiveLiveView() const
{
    QMdiSubWindow* sub = m_pMdiArea ? m_pMdiArea->activeSubWindow() : nullptr;
    return sub ? qobject_cast<LiveView*>(sub->widget()) : nullptr;
}

int MainWindow::exeEmapView()
{
    const int slot = m_pEmapSlots->FreeSlot();
    if (slot < 0)
        return -1;
    auto* view = new EmapView(this, slot);
    if (!m_pEmapSlots->Place(slot, view)) {
        delete view;
        return -1;
    }
    return slot;
}

void MainWindow::exeConfigView()
{
    m_pConfigViews->exeConfigView();
}

void MainWindow::exeBackupView()
{
    if (m_pBackupView) {
        // A hidden window may still be downloading: its page is left alone then.
        if (!m_pBackupView->Page()->IsRunning())
            m_pBackupView->Page()->ResetView();
        m_pBackupView->show();
        m_pBackupView->raise();
        qCDebug(lcShell) << "backup view show";
        return;
    }
    m_pBackupView = new CBackupView(this);
    m_pBackupView->setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    m_pBackupView->show();
}

void MainWindow::closeBackupView()
{
    if (m_pBackupView)
        m_pBackupView->close();
}

void MainWindow::exeFirmwareManager()
{
    m_pAdminWindows->exeFirmwareManager(m_pSiteBook ? m_pSiteBook->menuItem() : nullptr);
}

void MainWindow::exeAccountManager()
{
    m_pAdminWindows->exeAccountManager(m_pSiteBook ? m_pSiteBook->menuItem() : nullptr);
}

void MainWindow::sendEmail(const QString& path, int kind)
{
    m_pAdminWindows->sendEmail(path, kind);
}

void MainWindow::createAVIConvert()
{
    // The recording under the site book's menu item goes into the one convert window, which
    // stays open (and keeps its list) until the user closes it.
    const SiteBook* record = m_pSiteBook ? SiteBook::FromItem(m_pSiteBook->menuItem()) : nullptr;
    if (!m_aviConvert)
        m_aviConvert = new CAVIConvert(this);
    if (record && record->kind == QLatin1String("archiveData") && record->path.endsWith(record->name)
        && !record->name.isEmpty()) {
        const QString folder = record->path.left(record->path.size() - record->name.size());
        if (m_aviConvert->AddList(folder, record->name))
            m_aviConvert->SetArchivePath(folder, record->name);
    }
    m_aviConvert->show();
    m_aviConvert->raise();
    m_aviConvert->activateWindow();
}

void MainWindow::exeOrvane()
{
    if (!StartOrvane())
        TellProgramMissing(tr("Backup Player"), QStringLiteral("orvane"));
}

bool MainWindow::IsBackupPlayerPresent() const
{
    return !(m_findPlayer ? m_findPlayer()
                          : platform::Process::FindProgram(QLatin1String(kBackupPlayerProgram), ProgramDirectory()))
                .isEmpty();
}

void MainWindow::SetPlayerLookup(std::function<QString()> lookup)
{
    m_findPlayer = std::move(lookup);
    UpdateProgramEntries();
}

void MainWindow::UpdateProgramEntries()
{
    // The backup player and the burning program are separate programs: their entries are greyed
    // while the program is not in the program directory or beside the client.
    const bool player = IsBackupPlayerPresent();
    if (m_pActBackupPlayer)
        m_pActBackupPlayer->setEnabled(player);
    if (auto* bar = qobject_cast<ToolBar*>(m_toolBars.value(0)))
        bar->SetPlayerPresent(player);
}

void MainWindow::TellProgramMissing(const QString& entry, const QString& program)
{
    UpdateProgramEntries();
    statusBar()->show();
    statusBar()->showMessage(tr("%1 is not available: the program %2 was not found in %3 or beside %4.")
                                 .arg(entry, program, QDir::toNativeSeparators(ProgramDirectory()),
                                      QDir::toNativeSeparators(QCoreApplication::applicationDirPath())),
                             kMissingProgramNoticeMs);
}

bool MainWindow::StartOrvane(const QString& file)
{
    QStringList arguments;
    if (!file.isEmpty())
        arguments << file;
    if (m_findPlayer)
        return platform::Process::StartDetachedAt(m_findPlayer(), arguments, ProgramDirectory());
    return platform::Process::StartDetached(QLatin1String(kBackupPlayerProgram), arguments, ProgramDirectory());
}

void MainWindow::exeInfoView()
{
    ShowModalMessage(QStringLiteral("ZENT Information"),
                     QStringLiteral("Velumar (Ver ") + QStringLiteral("1.0.3.4") + QStringLiteral(")\n")
                         + QStringLiteral("Build number ") + QStringLiteral("1.0"));
}

void MainWindow::activateEmailSetup()
{
    m_pAdminWindows->activateEmailSetup();
}

void MainWindow::DockLiveView(int index)
{
    m_pLiveSlots->Dock(index);
}
void MainWindow::PopOutLiveView(int index)
{
    m_pLiveSlots->PopOut(index);
}
void MainWindow::ToggleLiveViewPopup(int index)
{
    m_pLiveSlots->Toggle(index);
}

void MainWindow::deleteLiveView(int index)
{
    if (!m_pLiveSlots->Window(index))
        return;
    m_pLiveSlots->Release(index);
    qCDebug(lcShell) << "delete live view";
}

void MainWindow::DockSearchView(int index)
{
    m_pSearchSlots->Dock(index);
}
void MainWindow::PopOutSearchView(int index)
{
    m_pSearchSlots->PopOut(index);
}
void MainWindow::ToggleSearchViewPopup(int index)
{
    m_pSearchSlots->Toggle(index);
}
void MainWindow::deleteSearchView(int index)
{
    m_pSearchSlots->Release(index);
}

void MainWindow::DockSearchLocalView(int index)
{
    m_pSearchLocalSlots->Dock(index);
}
void MainWindow::PopOutSearchLocalView(int index)
{
    m_pSearchLocalSlots->PopOut(index);
}
void MainWindow::ToggleSearchLocalViewPopup(int index)
{
    m_pSearchLocalSlots->Toggle(index);
}
void MainWindow::deleteSearchLocalView(int index)
{
    m_pSearchLocalSlots->Release(index);
}

void MainWindow::DockEmapView(int index)
{
    m_pEmapSlots->Dock(index);
}
void MainWindow::PopOutEmapView(int index)
{
    m_pEmapSlots->PopOut(index);
}
void MainWindow::ToggleEmapPopup(int index)
{
    m_pEmapSlots->Toggle(index);
}

void MainWindow::deleteEmapView(int index)
{
    if (!m_pEmapSlots->Window(index))
        return;
    m_pEmapSlots->Release(index);
    qCDebug(lcShell) << "release emap";
}

void MainWindow::OnPopupMode()
{
    if (m_pLiveSlots->Window(0))
        PopOutLiveView(0);
}

// ---------------------------------------------------------------------------------------------
// Multi-document area and tab bar

void MainWindow::SetupTabBar(bool subWindowView)
{
    if (IsSubWindowView() == subWindowView)
        return;
    m_subWindowView = subWindowView ? 1 : 0;
    if (subWindowView) {
        m_pMdiArea->setViewMode(QMdiArea::SubWindowView);
        m_pTabBar = nullptr;
        return;
    }
    m_pMdiArea->setViewMode(QMdiArea::TabbedView);
    m_pTabBar = m_pMdiArea->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_pTabBar) {
        m_pTabBar->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_pTabBar, &QWidget::customContextMenuRequested, this, &MainWindow::tabBarShowMenu,
                Qt::UniqueConnection);
    }
}

void MainWindow::tabBarShowMenu(const QPoint& position)
{
    if (position.isNull() || !m_pTabBar)
        return;
    m_tabIndex = m_pTabBar->tabAt(position);
    m_pActFullScreen->setText(IsFullScreenMode() ? tr("NormalScreen Mode") : tr("FullScreen Mode"));
    QMenu menu(this);
    menu.addAction(m_pActWindowsMode);
    menu.addAction(m_pActClose);
    menu.addSeparator();
    menu.addAction(m_pActFullScreen);
    menu.exec(m_pTabBar->mapToGlobal(position));
}

void MainWindow::mdiContextMenu(const QPoint& position)
{
    m_pActFullScreen->setText(IsFullScreenMode() ? tr("Normal Mode") : tr("FullScreen Mode"));
    QMenu menu(this);
    menu.addAction(m_pActFullScreen);
    menu.exec(m_pMdiArea->mapToGlobal(position));
}

void MainWindow::timerOnViewmode()
{
    SetupTabBar(true);
}

void MainWindow::tabBarEvent(int /*index*/)
{
    qCDebug(lcShell) << "subwindow mode";
    QTimer::singleShot(kViewModeDelayMs, this, &MainWindow::timerOnViewmode);
}

void MainWindow::OnCloseTabBar()
{
    if (m_pTabBar && m_tabIndex >= 0 && m_tabIndex < m_pTabBar->count())
        emit m_pTabBar->tabCloseRequested(m_tabIndex);
}

// ---------------------------------------------------------------------------------------------
// Docks, tool bars and full screen

void MainWindow::OnToolBarManu(QAction* action)
{
    if (!action)
        return;
    for (QDockWidget* dock : qAsConst(m_docks)) {
        if (dock->windowTitle() != action->text())
            continue;
        if (dock->isHidden()) {
            qCDebug(lcShell) << "show" << dock->windowTitle();
            dock->show();
        } else {
            dock->hide();
        }
        return;
    }
}

void MainWindow::ShowToolBarManu()
{
    if (m_toolBars.isEmpty())
        return;
    QToolBar* bar = m_toolBars.first();
    bar->setHidden(!bar->isHidden());
}

void MainWindow::ShowDefalutDockWiget()
{
    if (IsFullScreenMode())
        return;
    restoreState(m_defaultDockState);
}

void MainWindow::FullScreenWindows()
{
    if (!IsFullScreenMode()) {
        m_dockWasVisible.clear();
        QToolBar* bar = m_toolBars.isEmpty() ? nullptr : m_toolBars.first();
        m_toolBarWasVisible = bar && !bar->isHidden();
        if (bar)
            bar->hide();
        menuBar()->hide();
        m_menuBarShown = 0;
        for (QDockWidget* dock : qAsConst(m_docks)) {
            if (dock->isHidden())
                continue;
            m_dockWasVisible.append(dock);
            dock->hide();
        }
        m_wasMaximized = isMaximized();
        showFullScreen();
        m_fullScreen = 1;
        return;
    }
    menuBar()->show();
    m_menuBarShown = 1;
    if (m_wasMaximized)
        showMaximized();
    else
        showNormal();
    if (m_toolBarWasVisible && !m_toolBars.isEmpty())
        m_toolBars.first()->show();
    for (QDockWidget* dock : qAsConst(m_dockWasVisible))
        dock->show();
    m_dockWasVisible.clear();
    m_fullScreen = 0;
}

void MainWindow::OnHoverMove(int /*x*/, int y, int /*oldX*/, int /*oldY*/)
{
    if (!IsFullScreenMode())
        return;
    if (!m_menuBarShown) {
        if (y < 1) {
            menuBar()->show();
            m_menuBarShown = 1;
        }
    } else if (y > m_menuBarHeight + 1) {
        menuBar()->hide();
        m_menuBarShown = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys, window drag, size and close

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    m_ctrl = 0;
    m_shift = 0;
    switch (event->key()) {
    case Qt::Key_F11: FullScreenWindows(); break;
    case Qt::Key_F10: SetupTabBar(!IsSubWindowView()); break;
    case Qt::Key_Control:
        m_ctrl = 1;
        qCDebug(lcShell) << "ctrl";
        break;
    case Qt::Key_Shift:
        m_shift = 1;
        qCDebug(lcShell) << "shift";
        break;
    case Qt::Key_Escape:
        if (IsFullScreenMode())
            FullScreenWindows();
        break;
    default: QMainWindow::keyPressEvent(event); break;
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent* event)
{
    m_ctrl = 0;
    QMainWindow::keyReleaseEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // Where the pointer holds the window, measured from the window's frame.
        m_pressPos = event->globalPos() - pos();
        m_dragging = true;
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && m_dragging) {
        if (isFullScreen() || isMaximized())
            m_dragging = false;
        else
            move(event->globalPos() - m_pressPos);
    }
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_pWaitLabel)
        m_pWaitLabel->setGeometry((width() - kWaitLabelWidth) / 2, (height() - kWaitLabelHeight) / 2,
                                  kWaitLabelWidth, kWaitLabelHeight);
    if (m_pBlankLabel)
        m_pBlankLabel->setGeometry(rect());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closing = 1;
    // A popped-out window answers its close by going back into the area.
    for (ChildWindowSlots* group : {m_pLiveSlots, m_pSearchSlots, m_pEmapSlots}) {
        for (int i = 0; i < group->Count(); ++i) {
            if (group->IsPopup(i))
                group->Window(i)->close();
        }
    }
    const QList<QMdiSubWindow*> subs = m_pMdiArea->subWindowList();
    for (QMdiSubWindow* sub : subs) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Processor load

void MainWindow::OnTimerGetCPU()
{
    const int load = m_cpuLoad.SamplePercent();
    m_processorLoad = load;
    ShowProcessorLoadRule(load);
}

void MainWindow::ShowProcessorLoadRule(int load)
{
    // The live threads decode only key frames above the high mark and go back to every frame
    // below the low one; the operator is told why the pictures hardly move meanwhile.
    const bool held = m_loadRuleHolds;
    if (load > LiveDecodeWorker::kLoadHigh)
        m_loadRuleHolds = true;
    else if (load < LiveDecodeWorker::kLoadLow)
        m_loadRuleHolds = false;
    if (m_loadRuleHolds) {
        statusBar()->show();
        statusBar()->showMessage(tr("Processor load %1 %: live video shows key frames only (about one picture "
                                    "a second) until the load falls below %2 %.")
                                     .arg(load)
                                     .arg(LiveDecodeWorker::kLoadLow));
    } else if (held && statusBar()->currentMessage().startsWith(QStringLiteral("Processor load"))) {
        // Another notice that replaced this one is left to its own time-out.
        statusBar()->clearMessage();
    }
}

// ---------------------------------------------------------------------------------------------
// Audio output

void MainWindow::startAudioOutput()
{
    m_pAudioOutput->startAudioOutput();
}

void MainWindow::stopAudioOutput()
{
    m_pAudioOutput->stopAudioOutput();
}

void MainWindow::WriteAudioOutput(const char* data, qint64 length, int deviceIndex)
{
    m_pAudioOutput->WriteAudioOutput(data, length, deviceIndex);
}

void MainWindow::SetAudioDeviceIndex(int deviceIndex)
{
    m_pAudioOutput->SetChosenRecorder(deviceIndex);
}

int MainWindow::GetAudioDeviceIndex() const
{
    return m_pAudioOutput->GetChosenRecorder();
}

const SiteBook* MainWindow::AutoConnectFavorite() const
{
    if (IsMessageBoxOpen() || !m_pSiteBook)
        return nullptr;
    const QTreeWidgetItem* root = m_pSiteBook->GetFavoritesRoot();
    const SiteBook* rootRecord = root ? SiteBook::FromItem(root) : nullptr;
    if (!rootRecord || rootRecord->kind != QLatin1String("favorite"))
        return nullptr;
    // Only the first entry marked for automatic connection counts.
    for (int i = 0; i < root->childCount(); ++i) {
        const SiteBook* record = SiteBook::FromItem(root->child(i));
        if (record && record->kind == QLatin1String("favorites_item")
            && record->favoritesmode == QLatin1String("autoConnectOn"))
            return record;
    }
    return nullptr;
}

void MainWindow::OnTimerAutoConnect()
{
    const SiteBook* favorite = AutoConnectFavorite();
    if (!favorite)
        return;
    const QStringList names = favorite->favoritesdevice.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (int i = 0; i < names.size() && i < kAutoConnectNames; ++i) {
        const QString& name = names.at(i);
        if (name.isEmpty() || name == QLatin1String("-1"))
            continue;
        const RecorderSession* device = GetDevice(FindDeviceByName(name));
        if (!device)
            continue;
        // Opened once after start-up, and again while one of its recorders is not logged in.
        if (!m_autoConnectDone || !device->IsLoggedIn()) {
            m_autoConnectDone = true;
            // Copies: opening the favorite may change the site book.
            const int layout = favorite->cameomode.toInt();
            const QString devices = favorite->favoritesdevice;
            const QString channels = favorite->favoriteschannel;
            OpenFavoriteInLiveView(layout, devices, channels, true);
            return;
        }
    }
}

LiveView* MainWindow::ActiveOrNewLiveView()
{
    LiveView* view = GetActiveLiveView();
    if (!view)
        view = qobject_cast<LiveView*>(m_pLiveSlots->Window(exeLiveView()));
    return view;
}

void MainWindow::OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels)
{
    OpenFavoriteInLiveView(layout, devices, channels, false);
}

void MainWindow::OpenFavoriteInLiveView(int layout, const QString& devices, const QString& channels,
                                        bool automatic)
{
    LiveView* view = ActiveOrNewLiveView();
    CCameo* cameo = view ? view->GetCameo() : nullptr;
    if (!cameo) {
        qCWarning(lcShell) << "MainWindow: no live window for the favorite" << devices;
        return;
    }
    view->setFocus();
    cameo->OpenFavorite(layout, devices, channels, automatic);
}

void MainWindow::OpenDeviceInLiveView(int deviceIndex)
{
    if (!GetDevice(deviceIndex))
        return;
    LiveView* view = ActiveOrNewLiveView();
    CCameo* cameo = view ? view->GetCameo() : nullptr;
    if (!cameo)
        return;
    // Shows every channel of the recorder, or has it connect first.
    cameo->StartLiveDevice(deviceIndex);
    view->setFocus();
}

void MainWindow::ContinueFavorite()
{
    CCameo* cameo = GetCameo(m_favoriteCameoIndex);
    if (!cameo)
        return;
    // Posted, so that the next recorder's connect never runs inside the reporting session.
    QTimer::singleShot(0, cameo, [cameo]() { cameo->OnFavoriteNext(); });
}

void MainWindow::GridTakesRecorder(int cameoIndex, int channels, int deviceIndex, bool closeAllFirst)
{
    CCameo* cameo = GetCameo(cameoIndex);
    if (!cameo)
        return;
    QPointer<CCameo> guard(cameo);
    if (closeAllFirst)
        cameo->CloseAllCameo();
    if (guard && GetDevice(deviceIndex))
        cameo->OnConnectDevice(channels, deviceIndex);
}

void MainWindow::RedrawCameo(int cameoIndex)
{
    if (CCameo* cameo = GetCameo(cameoIndex))
        cameo->OnDrawCameo(-1);
}

int MainWindow::ConsoleDeviceIndex() const
{
    return m_pConfigViews ? m_pConfigViews->RecorderIndex() : -1;
}

RemoteConsole* MainWindow::GetConfigView() const
{
    return m_pConfigViews ? m_pConfigViews->Console() : nullptr;
}

ConfigView* MainWindow::GetConsoleWindow() const
{
    return m_pConfigViews ? m_pConfigViews->GetConfigView() : nullptr;
}

void MainWindow::closeConfigView(int slot)
{
    if (m_pConfigViews)
        m_pConfigViews->CloseConfigView(slot);
}

void MainWindow::actionTriggered(QAction* action)
{
    if (action)
        qCDebug(lcShell, "action '%s' triggered", qPrintable(action->text()));
}

void MainWindow::OnScrSplitMode(int split)
{
    if (CCameo* cameo = GetCameo(m_activeCameoIndex))
        cameo->OnSplitMode(-1, split, false);
}

void MainWindow::OnSetBrightness(int value)
{
    if (CCameo* cameo = GetCameo(m_activeCameoIndex))
        cameo->SetCellBrightness(value);
}

void MainWindow::OnSetContrast(int value)
{
    if (CCameo* cameo = GetCameo(m_activeCameoIndex))
        cameo->SetCellContrast(value);
}

void MainWindow::OnSetFrate(int /*value*/)
{
    // The frame-rate slider is hidden; its value is not used.
}

void MainWindow::OnPlaybackControl(int control)
{
    CCameo* cameo = GetCameo(m_activeCameoIndex);
    if (!cameo)
        return;
    qCDebug(lcShell) << "playback control" << control << "for grid" << m_activeCameoIndex << "kind"
                     << int(cameo->GetKind());
    // The window that owns the active grid takes the code.
    PlaybackControlToWindow(cameo->parentWidget(), control);
}

// ---------------------------------------------------------------------------------------------
// Small settings files

void MainWindow::OnLoadSMTP()
{
    m_settings.LoadSmtp();
}

bool MainWindow::SaveAccountFile()
{
    return m_settings.SaveAccountFile();
}

// ---------------------------------------------------------------------------------------------
// Console skins

QString MainWindow::DeviceImagePath(int modelType, const QString& name, int variant)
{
    if (modelType == kModelTypeNoSkin)
        return QString();
    // The name comes from the recorder's console layout: a bare file name only.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QString();
    const QString folder = modelType == kModelTypePrime
                               ? QStringLiteral(":/res/Config/TYPE5_PRIME/VGA/skin_img/")
                               : QStringLiteral(":/res/Config/TYPE1_CALDORA/VGA/skin_img/");
    switch (variant) {
    case 0: return folder + name + QStringLiteral(".bmp");
    case 1: return folder + QStringLiteral("bin/") + name + QStringLiteral(".bmp");
    default: return QString();
    }
}

QPixmap MainWindow::LoadDeviceImage(const QString& name, int variant, int recorder) const
{
    const RecorderSession* device = GetDevice(recorder);
    // A recorder that is not logged in (or not known) has no model type yet.
    const int modelType = device ? device->GetModelType() : -1;
    const QString path = DeviceImagePath(modelType, name, variant);
    if (path.isEmpty())
        return QPixmap();
    return QPixmap(path);
}

void MainWindow::LoadDeviceImage(QPixmap& pixmap, const QString& name, int variant, int recorder) const
{
    pixmap = LoadDeviceImage(name, variant, recorder);
}
