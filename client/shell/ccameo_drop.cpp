// What the grid does with something dragged onto it: a recorder, camera or favorite from the
// site book, one of its own cells, or a recording file. Reading and checking the payloads is
// CameoDrop's; here the grid acts on what was read.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMutexLocker>

#include "search/searchview.h"
#include "session/recordersession.h"
#include "session/recordertable.h"
#include "session/sitebook.h"
#include "shell/cameodrop.h"
#include "shell/ccameo.h"
#include "shell/gridhost.h"
#include "shell/shelllog.h"

void CCameo::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_closing && CameoDrop::Accepts(event->mimeData(), {m_kind, m_emap != 0, m_dragMimeType}))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CCameo::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_closing || !CameoDrop::Accepts(event->mimeData(), {m_kind, m_emap != 0, m_dragMimeType})) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CCameo::dropEvent(QDropEvent* event)
{
    if (m_closing) {
        event->ignore();
        return;
    }
    const QMimeData* data = event->mimeData();
    using Handling = CameoDrop::Handling;
    const Handling handling = CameoDrop::Route(data, {m_kind, m_emap != 0, m_dragMimeType});
    switch (handling) {
    case Handling::SiteBookItem: {
        SiteBook record;
        if (!CameoDrop::ReadRecord(data->data(QLatin1String(SiteBook::MimeType)), &record)) {
            qCWarning(lcShell) << "CCameo : dropEvent : the site book record does not read; drop refused";
            event->ignore();
            return;
        }
        DropSiteBookItem(record, event);
        return;
    }
    case Handling::CellSwap: DropOwnCell(event); return;
    case Handling::File: {
        QString folder;
        QString file;
        if (!CameoDrop::ReadFileDrag(data->data(QLatin1String(CameoDrop::kFileDragType)), &folder, &file)) {
            qCWarning(lcShell) << "CCameo : dropEvent : the file drag does not read; drop refused";
            event->ignore();
            return;
        }
        qCDebug(lcShell) << "CCameo : dropEvent : CAMEO_TYPE_FILE strPath =" << folder << "strFile =" << file;
        DropRecording(folder, file, event);
        return;
    }
    case Handling::Archive: {
        SiteBook record;
        QString folder;
        if (!CameoDrop::ReadRecord(data->data(QLatin1String(SiteBook::MimeType)), &record)
            || !CameoDrop::FolderOf(record.path, record.name, &folder)) {
            qCWarning(lcShell) << "CCameo : dropEvent : the archive item does not read; drop refused";
            event->ignore();
            return;
        }
        qCDebug(lcShell) << "CCameo : dropEvent : SiteBook Archive -> CAMEO_TYPE_FILE 1111 archivepath ="
                         << record.path << " name =" << record.name;
        qCDebug(lcShell) << "CCameo : dropEvent : SiteBook Archive -> CAMEO_TYPE_FILE 2222 strPath =" << folder
                         << "strFile =" << record.name;
        DropRecording(folder, record.name, event);
        return;
    }
    case Handling::Refused: event->ignore(); return;
    }
}

void CCameo::DropSiteBookItem(const SiteBook& record, QDropEvent* event)
{
    const QString& kind = record.kind;
    qCDebug(lcShell) << "CCameo : dropEvent :" << kind << record.name << "mode" << record.favoritesmode;
    if (kind == QLatin1String("favorites_item")) {
        int split = 0;
        int first = 0;
        if (m_kind != CameoKind::Live || m_emap || !CameoDrop::ReadLayout(record.cameomode, &split, &first)) {
            event->ignore();
            return;
        }
        // Opens the favorite's layout with its first cell current, then its cameras recorder by
        // recorder; the drop itself is not taken as a move.
        OpenFavorite(split * 100 + first, record.favoritesdevice, record.favoriteschannel);
        return;
    }
    if (kind == QLatin1String("favorites_item_search")) {
        int date = 0;
        int time = 0;
        if (m_kind != CameoKind::Playback || !CameoDrop::ReadSearchTime(record.favoriteschannel, &date, &time)) {
            event->ignore();
            return;
        }
        const int recorder = m_host ? m_host->FindDeviceByName(record.favoritesdevice) : -1;
        if (!DeviceOf(recorder))
            return;
        CloseAllCameo();
        // The remote playback window that owns this grid plays the recorder from the
        // favorite's date and time.
        if (auto* view = qobject_cast<SearchView*>(m_owner))
            view->StartSearch(recorder, date, time);
        return;
    }

    int cell = CellAt(event->pos().x(), event->pos().y());
    if (!IsUsedCell(cell))
        return;
    RecorderSession* device = DeviceOf(record.index);
    const bool recorderItem = kind == QLatin1String("device");
    if (recorderItem && m_kind == CameoKind::Playback) {
        // A playback grid shows one recorder, whose playback is not shown elsewhere.
        if (m_playbackRecorder != -1 || !device || device->GetPlaybackView())
            return;
        cell = 0;
    }
    MakeCurrent(cell);
    if (recorderItem && device) {
        const int channels = device->GetChannelCount(m_cameoIndex);
        if (m_kind == CameoKind::Live) {
            device->StartConnect(ConnectPurpose::Live);
            if (channels > 0)
                OnConnectDevice(channels, record.index);
        } else if (m_kind == CameoKind::Playback) {
            // The remote playback window that owns this grid becomes the recorder's playback
            // view, fills the grid and connects for playback.
            if (auto* view = qobject_cast<SearchView*>(m_owner)) {
                view->StartSearch(record.index, -1, -1);
            } else {
                if (channels > 0)
                    OnConnectDevice(channels, record.index);
                device->StartConnect(ConnectPurpose::Playback);
            }
        }
    } else if (kind == QLatin1String("camera") && device && record.channel >= 0) {
        // One camera shows in one live cell: it leaves the cell that showed it first.
        if (m_host)
            m_host->ClearDeviceCells(record.index, record.channel, 0);
        SetCameoChannel(record.channel, record.index, -1);
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CCameo::DropOwnCell(QDropEvent* event)
{
    const int target = CellAt(event->pos().x(), event->pos().y());
    const int source = m_selectedCell;
    bool shown = false;
    if (IsUsedCell(target)) {
        QMutexLocker lock(&m_cellsLock);
        shown = m_cells[target].active != 0;
    }
    if (IsUsedCell(target) && IsUsedCell(source) && target != source && shown) {
        OnSwapCameo(source, target);
        {
            QMutexLocker lock(&m_cellsLock);
            m_cells[source].selected = 0;
            m_cells[target].selected = 1;
        }
        m_selectedCell = target;
        m_pressPoint = event->pos();
        RefreshSidePanels(true);
        RequestRedrawAll();
    }
    SetPressedLocked(false);
}

void CCameo::DropRecording(const QString& folder, const QString& file, QDropEvent* event)
{
    const int cell = CellAt(event->pos().x(), event->pos().y());
    if (!IsUsedCell(cell))
        return;
    MakeCurrent(cell);
    OpenLocalFile(folder, file);
}
