// The main window's frame: the multi-document area, tool bar, docks, menus and wait labels.
#include "shell/adminwindows.h"
#include "shell/mainwindow.h"

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

namespace {
constexpr int kCpuTimerMs = 1000;
constexpr int kAutoConnectMs = 5000;
constexpr int kPanelWidth = 315;
constexpr int kPanelHeight = 153;
constexpr int kPlaybackPanelHeight = 70;
} // namespace

// ---------------------------------------------------------------------------------------------
// Start-up steps

void MainWindow::CreateFrame()
{
    m_closing = 0;
    m_fullScreen = 0;
    m_processorLoad = 0;
    m_menuBarShown = 1;

    qCDebug(lcShell) << "Set Type";
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    qCDebug(lcShell) << "Set title";
    setWindowTitle(tr("ZENT"));

    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    m_pHoverFilter = new HoverMoveFilter(
        [this](int x, int y, int oldX, int oldY) { OnHoverMove(x, y, oldX, oldY); }, this);
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
