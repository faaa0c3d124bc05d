// The main window's child windows, multi-document area and tab bar, docks and full screen, keys
// and window drag.
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
constexpr int kWaitLabelWidth = 200;
constexpr int kWaitLabelHeight = 80;
constexpr int kViewModeDelayMs = 100;
const char* const kBackupPlayerProgram = "Orvane.exe";
// How long the status bar says that an external program is missing.
constexpr int kMissingProgramNoticeMs = 15000;
} // namespace

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

int MainWindow::exeLiveView()
{
    const int slot = m_pLiveSlots->FreeSlot();
    if (slot < 0)
        return kLiveViews - 1;
    auto* view = new LiveView(this, slot, this);
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
    return !(m_findPlayer
                 ? m_findPlayer()
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

QString MainWindow::LiveViewStyleSheet() const
{
    return m_settings.ReadStyleSheet(QStringLiteral("main"));
}

void MainWindow::deleteLiveView(int index)
{
    if (!m_pLiveSlots->Window(index))
        return;
    m_pLiveSlots->Release(index);
    qCDebug(lcShell) << "delete live view";
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
