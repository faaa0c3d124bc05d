// The main window's search windows: the remote playback windows a recorder opens in, the local
// backup windows, the playback bar's codes and the backup player.
#include "shell/mainwindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "platform/process.h"
#include "search/searchlocalview.h"
#include "search/searchtime.h"
#include "search/searchview.h"
#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/shelllog.h"

bool MainWindow::StartBackupPlayer(const QString& file)
{
    const bool started = StartOrvane(file);
    if (!started)
        TellProgramMissing(tr("Backup Player"), QStringLiteral("orvane"));
    return started;
}

SearchView* MainWindow::GetActiveSearchView() const
{
    QMdiSubWindow* sub = m_pMdiArea ? m_pMdiArea->activeSubWindow() : nullptr;
    return sub ? qobject_cast<SearchView*>(sub->widget()) : nullptr;
}

int MainWindow::exeSearchView()
{
    const int slot = m_pSearchSlots->FreeSlot();
    if (slot < 0)
        return -1;
    auto* view = new SearchView(this, slot);
    if (!m_pSearchSlots->Place(slot, view)) {
        delete view;
        return -1;
    }
    return slot;
}

int MainWindow::exeSearchLocalView()
{
    const int slot = m_pSearchLocalSlots->FreeSlot();
    if (slot < 0)
        return -1;
    auto* view = new SearchLocalView(this, slot);
    if (!m_pSearchLocalSlots->Place(slot, view)) {
        delete view;
        return -1;
    }
    return slot;
}

void MainWindow::PlaybackControlToWindow(QWidget* window, int code)
{
    if (auto* remote = qobject_cast<SearchView*>(window))
        remote->SetPlaybackControl(code);
    else if (auto* local = qobject_cast<SearchLocalView*>(window))
        local->SetPlaybackControl(code);
}

void MainWindow::StartRemoteSearch(int deviceIndex, int date, int time)
{
    if (!GetDevice(deviceIndex))
        return;
    const bool chosen = date != -1 && time != -1;
    // The first window that shows this recorder or none.
    for (int slot = 0; slot < m_pSearchSlots->Count(); ++slot) {
        auto* view = qobject_cast<SearchView*>(m_pSearchSlots->Window(slot));
        if (!view)
            continue;
        const int shown = view->ShownRecorder();
        if (shown != -1 && shown != deviceIndex)
            continue;
        if (shown == -1 || chosen)
            view->StartSearch(deviceIndex, date, time);
        view->setFocus();
        return;
    }
    // Else the active one gives up its recorder, or a new one opens.
    SearchView* view = GetActiveSearchView();
    if (view) {
        view->ReleaseRecorder();
    } else {
        const int slot = exeSearchView();
        view = slot < 0 ? nullptr : qobject_cast<SearchView*>(m_pSearchSlots->Window(slot));
    }
    if (!view) {
        qCDebug(lcShell) << "no remote playback window for recorder" << deviceIndex;
        return;
    }
    view->StartSearch(deviceIndex, date, time);
    view->setFocus();
}
