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
#include "shell/clientsessionhub.h"
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
constexpr int kShowBoxDelayMs = 10;
// Recorder names of a favorite that the auto-connect looks at.
constexpr int kAutoConnectNames = 64;
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_settings(SettingsFiles::WorkingDirectory())
{
    m_pConfigViews = std::make_unique<ConfigViewAdapter>(this);

    qCDebug(lcShell) << "Init start";
    CreateFrame();
    // The OSD flags come from the program directory, which is fixed before any file.
    m_settings.ReadOsdFile();
    m_settings.ReadAccountFile();

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
    m_pSearchThumnail = new SearchThumnail(this);
    m_pSearchThumnail->setModal(true);
    m_pSearchTime = new SearchTime(this);
    m_pSearchTime->setModal(true);
    OnLoadSMTP();
    m_pAdminWindows = new AdminWindows(*this);

    CreateWaitLabels();
    m_pValidation->CreateWaitDialog();
    m_pUccControl = new cUccControl(this);
    m_pUccControl->hide();

    qCDebug(lcShell) << "Set resize";
    resize(1280, 900);
}

void MainWindow::Start()
{
    loadSiteBook(m_settings.FilePath(QStringLiteral("sitebook.xml")), true);
    loadSiteBook_Emap(m_settings.FilePath(QStringLiteral("emap.xml")));
    loadSiteBook_Favorites(m_settings.FilePath(QStringLiteral("favorites.xml")));

    StartProcessorLoad();
    qCDebug(lcShell) << "Main initialize finish";
    StartAutoConnect();
}

MainWindow::~MainWindow()
{
    Shutdown();
}

void MainWindow::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
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
}

// ---------------------------------------------------------------------------------------------
// The recorder hub's tables

RecorderSession* MainWindow::GetDevice(int index) const
{
    return m_sessions ? m_sessions->GetDevice(index) : nullptr;
}

CCameo* MainWindow::GetCameo(int index) const
{
    return m_sessions ? m_sessions->GetCameo(index) : nullptr;
}

CCameo* MainWindow::ActiveCameo() const
{
    return m_sessions ? m_sessions->GetCameo(m_sessions->GetActiveCameoIndex()) : nullptr;
}

// The open manager takes the codes of the recorder it works on.
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

AdminWindows* MainWindow::GetAdminWindows() const
{
    return m_pAdminWindows.data();
}

// ---------------------------------------------------------------------------------------------
// Shared message box

void MainWindow::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    // A worker thread's notice is taken over on the user-interface thread, which owns the box
    // and its timer.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, title, text, option] { ShowMessageBox(title, text, option); }, Qt::QueuedConnection);
        return;
    }
    if (!m_messages.Take(title, text, option))
        return;
    if (!m_messages.IsOpen())
        QTimer::singleShot(kShowBoxDelayMs, this, &MainWindow::timerShowMessageBox);
}

void MainWindow::timerShowMessageBox()
{
    if (m_messages.IsOpen())
        return;

    int mode = MessageDlg::HubMessage;
    // A search's progress can be cancelled: a recorder that never answers would otherwise hold the
    // program behind a box that cannot be closed.
    const QString title = m_messages.MessageTitle();
    if (title == QLatin1String("Museum Search") || title == QLatin1String("Thumbnail Search"))
        mode = MessageDlg::MuseumSearch;
    else if (m_messages.MessageText() == QLatin1String("Please wait..."))
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
        // How often a key frame comes is the recorder's choice (its group of pictures at the
        // rate asked for), so the text promises no rate.
        statusBar()->showMessage(tr("Processor load %1 %: live video shows key frames only (a new picture with "
                                    "each key frame the recorder sends) until the load falls below %2 %.")
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

int MainWindow::GetAudioDeviceIndex() const
{
    return m_pAudioOutput->GetChosenRecorder();
}

const SiteBook* MainWindow::AutoConnectFavorite() const
{
    if (m_messages.IsOpen() || !m_pSiteBook)
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
        const RecorderSession* device = m_sessions ? GetDevice(m_sessions->FindDeviceByName(name)) : nullptr;
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
    if (CCameo* cameo = ActiveCameo())
        cameo->OnSplitMode(-1, split, false);
}

void MainWindow::OnSetBrightness(int value)
{
    if (CCameo* cameo = ActiveCameo())
        cameo->SetCellBrightness(value);
}

void MainWindow::OnSetContrast(int value)
{
    if (CCameo* cameo = ActiveCameo())
        cameo->SetCellContrast(value);
}

void MainWindow::OnSetFrate(int /*value*/)
{
    // The frame-rate slider is hidden; its value is not used.
}

void MainWindow::OnPlaybackControl(int control)
{
    CCameo* cameo = ActiveCameo();
    if (!cameo)
        return;
    qCDebug(lcShell) << "playback control" << control << "for grid" << cameo->GetCameoIndex() << "kind"
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
