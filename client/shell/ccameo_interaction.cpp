// The operator's hand on the grid: choosing cells with the mouse, single view, digital zoom and
// pan, the drag of a cell, and the right-button menu with its cell actions. The rules that need
// no widget sit in CameoSelection, CameoZoom and CameoSnapshot.
#include <QContextMenuEvent>
#include <QDir>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/media/moduledecoder.h"
#include "session/cameoroute.h"
#include "session/recordersession.h"
#include "session/recordertable.h"
#include "shell/cameoosd.h"
#include "shell/cameoselection.h"
#include "shell/cameosnapshot.h"
#include "shell/cameozoom.h"
#include "shell/ccameo.h"
#include "shell/gridhost.h"
#include "shell/osdsetup.h"
#include "shell/shelllog.h"

namespace {

constexpr int kDefaultMultiSplit = 16;

bool IsLoggedIn(const RecorderSession* device)
{
    return device && device->IsLoggedIn();
}

bool CtrlHeld(const GridHost* host, const QInputEvent* event)
{
    return (host && host->IsCtrlHeld()) || (event->modifiers() & Qt::ControlModifier);
}

bool ShiftHeld(const GridHost* host, const QInputEvent* event)
{
    return (host && host->IsShiftHeld()) || (event->modifiers() & Qt::ShiftModifier);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Small helpers

bool CCameo::IsWholeZoom(int cell) const
{
    return CameoZoom::IsWhole(GetCell(cell).zoom);
}

void CCameo::RequestRedrawAll()
{
    // Through RequestRedraw, which wakes the redraw thread: a flag set without waking it would
    // keep every later request from waking it too.
    RequestRedraw();
    update();
}

QImage CCameo::GetCellPicture(int cell) const
{
    const CameoCell c = GetCell(cell);
    // A cell that holds its picture at the size it is shown (and one that keeps a frozen
    // picture) has no better one; otherwise the decoder converts its last picture whole.
    if (!c.fitted || c.frozen)
        return c.picture;
    CModuleDecoder* decoder = CellDecoder(c, cell);
    if (!decoder)
        return c.picture;
    QMutexLocker lock(decoder->GetPictureLock());
    const QImage whole = decoder->GetImage();
    return whole.isNull() ? c.picture : whole.copy();
}

void CCameo::MakeCurrent(int cell)
{
    if (!IsUsedCell(cell))
        return;
    QMutexLocker lock(&m_cellsLock);
    if (cell != m_selectedCell && IsUsedCell(m_selectedCell))
        m_cells[m_selectedCell].selected = 0;
    m_cells[cell].selected = 1;
    m_selectedCell = cell;
}

void CCameo::SetPressedLocked(bool pressed)
{
    m_pressed = pressed;
    if (!IsUsedCell(m_selectedCell))
        return;
    QMutexLocker lock(&m_cellsLock);
    m_cells[m_selectedCell].pressed = pressed ? 1 : 0;
}

void CCameo::RefreshSidePanels(bool tellPtz)
{
    if (!IsUsedCell(m_selectedCell))
        return;
    // Reads the adjust values of the current cell into the adjust panel and makes this grid the
    // hub's active grid.
    RefreshAdjust(m_selectedCell);
    if (!tellPtz)
        return;
    // The pan/tilt/zoom panel steers the camera of the current live cell, or none.
    const CameoCell c = GetCell(m_selectedCell);
    const bool live = c.channel >= 0 && m_kind == CameoKind::Live && IsLoggedIn(DeviceOf(c.recorder));
    qCDebug(lcShell) << "pan/tilt/zoom camera" << (live ? c.recorder : -1) << (live ? c.channel : -1);
    if (m_host)
        m_host->SetPtzCameo(live ? c.recorder : -1, live ? c.channel : -1);
}

void CCameo::SetCurrentZoom(float zoom, bool resetPan)
{
    if (!IsUsedCell(m_selectedCell))
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.SetZoom(m_selectedCell, zoom, resetPan);
    }
    RequestRedrawAll();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void CCameo::mousePressEvent(QMouseEvent* event)
{
    if (m_closing)
        return;
    if (m_emap && IsWholeZoom(m_selectedCell)) {
        // A whole-picture e-map tile is moved over its map instead.
        if (event->button() == Qt::LeftButton) {
            m_tileDragging = true;
            m_tilePressPoint = event->pos();
        }
        return;
    }
    m_pressed = true;
    const int clicked = CellAt(event->pos().x(), event->pos().y());
    if (!IsUsedCell(clicked))
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        QVector<bool> selected = m_cells.Selection(m_cellCount);
        m_selectedCell = CameoSelection::Press(selected, m_selectedCell, clicked, CtrlHeld(m_host, event),
                                               ShiftHeld(m_host, event));
        m_cells.SetSelection(selected);
        m_cells[m_selectedCell].pressed = 1;
    }
    m_pressPoint = event->pos();
    RefreshSidePanels(true);
    RequestRedrawAll();
}

void CCameo::mouseMoveEvent(QMouseEvent* event)
{
    if (m_closing)
        return;
    if (m_emap && IsWholeZoom(m_selectedCell)) {
        if ((event->buttons() & Qt::LeftButton) && m_tileDragging)
            move(pos() + event->pos() - m_tilePressPoint);
        return;
    }
    if (!m_pressed || !(event->buttons() & Qt::LeftButton) || !IsUsedCell(m_selectedCell))
        return;
    if (!IsWholeZoom(m_selectedCell)) {
        {
            QMutexLocker lock(&m_cellsLock);
            CameoCell& c = m_cells[m_selectedCell];
            const QPoint pan = CameoZoom::Pan(QPoint(c.panX, c.panY), m_pressPoint, event->pos());
            c.panX = pan.x();
            c.panY = pan.y();
        }
        m_pressPoint = event->pos();
        RequestRedrawAll();
        return;
    }
    // In single view there is no other cell to drop on.
    if (m_split != 1)
        StartCellDrag();
}

void CCameo::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_closing)
        return;
    if (m_emap && IsWholeZoom(m_selectedCell) && m_kind != CameoKind::Playback) {
        if (event->button() != Qt::LeftButton)
            return;
        m_tileDragging = false;
        // Back inside the map when released beyond an edge.
        QWidget* map = parentWidget();
        if (!map)
            return;
        int x = pos().x();
        int y = pos().y();
        if (x < 1)
            x = 0;
        else if (x > map->width() - width())
            x = map->width() - width();
        if (y < 1)
            y = 0;
        else if (y > map->height() - height())
            y = map->height() - height();
        move(x, y);
        return;
    }
    SetPressedLocked(false);
}

void CCameo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_closing)
        return;
    m_pressed = false;
    const int cell = CellAt(event->pos().x(), event->pos().y());
    if (!IsUsedCell(cell))
        return;
    MakeCurrent(cell);
    SetPressedLocked(false);
    ToggleSingleView();
}

void CCameo::wheelEvent(QWheelEvent* event)
{
    if (m_closing)
        return;
    const QPoint at = event->position().toPoint();
    const int cell = CellAt(at.x(), at.y());
    if (!IsUsedCell(cell) || cell != m_selectedCell)
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        CameoCell& c = m_cells[cell];
        c.zoom = CameoZoom::Wheel(c.zoom, event->angleDelta().y());
    }
    RequestRedrawAll();
}

// ---------------------------------------------------------------------------------------------
// Dragging a cell

QMimeData* CCameo::CellDragData() const
{
    auto* data = new QMimeData;
    data->setData(m_dragMimeType, QByteArray());
    return data;
}

QPixmap CCameo::CellDragPixmap() const
{
    const int n = CameoOsd::IntegerSqrt(m_split);
    if (n < 1)
        return QPixmap();
    int w = width() / n;
    int h = height() / n;
    if (w > 0 && h > 0) {
        w /= 2;
        h /= 2;
    }
    if (w < 1 || h < 1)
        return QPixmap();
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    const QImage picture = GetCellPicture(m_selectedCell);
    if (!picture.isNull())
        painter.drawImage(QRect(0, 0, w, h),
                          picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.setPen(Qt::white);
    painter.drawRect(0, 0, w - 2, h - 2);
    return pixmap;
}

void CCameo::StartCellDrag()
{
    auto* drag = new QDrag(this);
    drag->setMimeData(CellDragData());
    const QPixmap pixmap = CellDragPixmap();
    if (!pixmap.isNull()) {
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
    }
    drag->exec(Qt::MoveAction);
    // The drag took the release; a drop elsewhere leaves nothing pressed behind.
    if (!m_closing)
        SetPressedLocked(false);
}

// ---------------------------------------------------------------------------------------------
// View, zoom, audio, freeze

void CCameo::ToggleSingleView()
{
    RefreshSidePanels(false);
    if (m_split != 1) {
        m_prevSplit = m_split;
        OnSplitMode(-1, 1, false);
        return;
    }
    // A grid that opened in single view goes back to the largest page of its usual sizes.
    const int back = m_prevSplit >= 1 ? m_prevSplit : std::min(kDefaultMultiSplit, int(m_cellCount));
    OnSplitMode(-1, back, false);
}

void CCameo::viewSingleAction()
{
    if (!m_closing)
        ToggleSingleView();
}

void CCameo::viewMultiAction()
{
    if (!m_closing)
        ToggleSingleView();
}

void CCameo::zoomInAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const float zoom = CameoZoom::Step(GetCell(m_selectedCell).zoom, true);
    SetCurrentZoom(zoom, CameoZoom::IsWhole(zoom));
}

void CCameo::zoomOutAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const float zoom = CameoZoom::Step(GetCell(m_selectedCell).zoom, false);
    SetCurrentZoom(zoom, CameoZoom::IsWhole(zoom));
}

void CCameo::audioOutAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell) || m_kind == CameoKind::Local)
        return;
    const CameoCell c = GetCell(m_selectedCell);
    RecorderSession* device = c.IsBound() ? DeviceOf(c.recorder) : nullptr;
    if (!device)
        return;
    // One channel of one recorder plays at a time.
    if (m_kind == CameoKind::Live) {
        if (device->GetLiveAudioChannel() == c.channel) {
            device->StopLiveAudio();
            return;
        }
        if (m_host)
            m_host->StopAllAudio();
        device->StartLiveAudio(c.channel);
    } else {
        if (device->GetAudioChannel() == c.channel) {
            device->StopPlaybackAudio();
            return;
        }
        if (m_host)
            m_host->StopAllAudio();
        device->StartPlaybackAudio(c.channel);
    }
}

void CCameo::freezeAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const CameoCell current = GetCell(m_selectedCell);
    const bool online = current.IsBound() && IsLoggedIn(DeviceOf(current.recorder));
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.FreezeSelected(m_cellCount, online);
    }
    RequestRedrawAll();
}

// ---------------------------------------------------------------------------------------------
// Close and restore

void CCameo::CloseSelectedCells()
{
    struct Stop
    {
        RecorderSession* device;
        int channel;
        bool live; // not shown on an e-map tile as well
    };
    std::vector<Stop> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            RecorderSession* device = c.selected && c.IsBound() ? DeviceOf(c.recorder) : nullptr;
            if (!device)
                continue;
            if (IsLoggedIn(device) && c.liveStarted) {
                c.liveStarted = 0;
                const CameoRoute* route = device->GetCameoRoute(c.channel);
                const bool onEmap = route && (route->emapGrid >= 0 || route->emapCell >= 0);
                stops.push_back({device, c.channel, !onEmap});
            }
            // The cell keeps what it showed, so that "Restore Cameo" can bring it back.
            ForgetRoute(c.recorder, c.channel, i);
            c.recorder = -1;
            c.channel = -1;
            c.zoom = 1.0f;
            c.osdDate = 0;
            c.osdTime = 0;
            c.frozen = 0;
            c.picture = m_blank;
            c.videoLoss = c.sensor = c.motion = 0;
        }
    }
    for (const Stop& s : stops) {
        if (s.live)
            s.device->OnLiveStop(s.channel);
        if (s.device->GetLiveAudioChannel() == s.channel)
            s.device->StopLiveAudio();
    }
    RequestRedrawAll();
}

void CCameo::RestoreSelectedCells()
{
    std::vector<std::pair<int, CameoCell>> restores;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            const CameoCell& c = m_cells[i];
            if (c.selected && c.rememberedRecorder >= 0 && c.rememberedChannel >= 0)
                restores.emplace_back(i, c);
        }
    }
    for (const auto& r : restores) {
        if (!DeviceOf(r.second.rememberedRecorder))
            continue;
        MakeCurrent(r.first);
        SetCameoChannel(r.second.rememberedChannel, r.second.rememberedRecorder, r.first);
    }
    RequestRedrawAll();
}

void CCameo::closeCameoAction()
{
    if (m_closing)
        return;
    if (m_closeMode)
        CloseSelectedCells();
    else
        RestoreSelectedCells();
}

// ---------------------------------------------------------------------------------------------
// Searches and the e-map tile sizes

void CCameo::selectDateAction()
{
    if (!m_closing)
        emit OnSelectDate();
}

void CCameo::StartSearch(void (PlaybackSession::*search)(int, int, int))
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const CameoCell c = GetCell(m_selectedCell);
    RecorderSession* device = c.channel >= 0 ? DeviceOf(c.recorder) : nullptr;
    if (!device)
        return;
    // Until the cell's first picture has arrived it carries no time of its own: the search
    // starts from the time playback was asked for, not from a zero date.
    const bool shown = c.osdDate > 0;
    const int date = shown ? c.osdDate : device->GetPlayDate();
    const int time = shown ? c.osdTime : device->GetPlayTime();
    if (date <= 0 || time < 0)
        return;
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    // The searches belong to the playback side of the session: the member is called on that
    // side itself, not through the whole session's type.
    PlaybackSession* playback = device;
    (playback->*search)(c.channel, date, time);
}

void CCameo::museumSearchAction()
{
    StartSearch(&PlaybackSession::SetMuseumSearch);
}

void CCameo::thumnailSearchAction()
{
    StartSearch(&PlaybackSession::SetThumnailSearch);
}

void CCameo::timeSearchAction()
{
    StartSearch(&PlaybackSession::SetQuickSearch);
}

// ---------------------------------------------------------------------------------------------
// Snapshot and OSD setup

QString CCameo::TakeSnapshot()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return QString();
    const CameoCell c = GetCell(m_selectedCell);
    RecorderSession* device = c.IsBound() ? DeviceOf(c.recorder) : nullptr;
    if (!device || !m_host)
        return QString();
    CameoSnapshot::Cell shot;
    shot.cell = m_selectedCell;
    shot.cameraTitle = device->GetCameraTitle(c.channel);
    shot.recorderName = device->GetDvrName();
    shot.osdDate = c.osdDate;
    shot.osdTime = c.osdTime;
    shot.videoLoss = c.videoLoss != 0;
    shot.sensor = c.sensor != 0;
    shot.motion = c.motion != 0;
    shot.picture = GetCellPicture(m_selectedCell);
    QString error;
    const QString path = CameoSnapshot::Save(m_host->ProgramDirectory(), shot, m_font, &error);
    if (!error.isEmpty())
        m_host->ShowMessageBox(QStringLiteral("Snapshot"), error, QStringLiteral("stop"));
    if (!path.isEmpty()) {
        qCDebug(lcShell) << "snapshot" << path;
        m_host->ShowNotice(QStringLiteral("Snapshot saved to %1").arg(QDir::toNativeSeparators(path)));
        // The recorder's "SnapShot" archive item lists the new file.
        device->UpdateArchiveItems(nullptr, 4);
    }
    return path;
}

void CCameo::snapShotAction()
{
    TakeSnapshot();
}

void CCameo::PrepareOsdSetup(OsdSetup& dialog) const
{
    if (m_host) {
        const OsdFlags flags = m_host->GetOsdFlags();
        for (int i = 0; i < OsdFlags::kCount; ++i)
            dialog.SetFlag(i, flags.Get(OsdFlags::kAll[size_t(i)]));
    }
    dialog.SetFlag(OsdSetup::kFrameRate, m_fpsOsd);
    // Only live grids count frames.
    dialog.SetFlags(m_kind != CameoKind::Live);
}

void CCameo::ApplyOsdSetup(const OsdSetup& dialog)
{
    if (m_host) {
        for (int i = 0; i < OsdFlags::kCount; ++i)
            m_host->SetOsdFlag(OsdFlags::kAll[size_t(i)], dialog.GetFlag(i));
    }
    m_fpsOsd = dialog.GetFlag(OsdSetup::kFrameRate);
    RequestRedrawAll();
}

void CCameo::osdSetupAction()
{
    if (m_closing)
        return;
    OsdSetup dialog(this);
    PrepareOsdSetup(dialog);
    if (dialog.exec() == QDialog::Accepted && !m_closing)
        ApplyOsdSetup(dialog);
}

// ---------------------------------------------------------------------------------------------
// The right-button menu

void CCameo::BuildMenuTop(QMenu& menu)
{
    if (m_emap) {
        menu.addAction(GetAction(ActionId::EmapScr1));
        menu.addAction(GetAction(ActionId::EmapScr2));
        menu.addAction(GetAction(ActionId::EmapScr3));
    } else {
        const bool poppedOut = m_host && m_host->IsGridOwnerPopup(m_kind, m_ownerSlot);
        QAction* popup = GetAction(ActionId::Popup);
        popup->setText(poppedOut ? QStringLiteral("Child Mode") : QStringLiteral("Popup Mode"));
        popup->setIcon(QIcon(poppedOut ? QStringLiteral(":/res/Resource/child.png")
                                       : QStringLiteral(":/res/Resource/popup.png")));
        menu.addAction(popup);
        menu.addAction(GetAction(m_split == 1 ? ActionId::ViewMulti : ActionId::ViewSingle));
    }
    menu.addSeparator();
}

void CCameo::SetMenuStates(const CameoCell& cell, RecorderSession* device)
{
    QAction* zoomIn = GetAction(ActionId::ZoomIn);
    QAction* zoomOut = GetAction(ActionId::ZoomOut);
    zoomIn->setText(CameoZoom::ZoomInText(cell.zoom));
    zoomIn->setEnabled(!CameoZoom::IsMost(cell.zoom));
    zoomOut->setText(CameoZoom::ZoomOutText(cell.zoom));
    zoomOut->setEnabled(!CameoZoom::IsWhole(cell.zoom));

    QAction* ucc = GetAction(ActionId::Ucc);
    ucc->setEnabled(false);
    QAction* audio = GetAction(ActionId::AudioOut);
    audio->setText(QStringLiteral("Audio Out"));
    audio->setEnabled(false);
    if (cell.audio && device) {
        const int playing = m_kind == CameoKind::Playback ? device->GetAudioChannel()
                                                          : device->GetLiveAudioChannel();
        const bool on = playing == cell.channel;
        audio->setText(on ? QStringLiteral("Audio Off") : QStringLiteral("Audio On"));
        audio->setEnabled(on || m_kind != CameoKind::Playback || m_split == 1);
    }

    const bool bound = cell.recorder != -1 && cell.channel != -1;
    QAction* close = GetAction(ActionId::CloseCameo);
    const ActionId cellActions[] = {ActionId::Freeze,      ActionId::SnapShot,        ActionId::MuseumSearch,
                                    ActionId::QuickSearch, ActionId::ThumbnailSearch, ActionId::SelectDate,
                                    ActionId::Record,      ActionId::SequenceStop,    ActionId::Sequence5,
                                    ActionId::Sequence10,  ActionId::Sequence15,      ActionId::Sequence20};
    for (ActionId id : cellActions)
        GetAction(id)->setEnabled(bound);
    if (!bound) {
        zoomIn->setEnabled(false);
        zoomOut->setEnabled(false);
        GetAction(ActionId::LiveOutput)->setEnabled(false);
        const bool remembered = cell.rememberedRecorder != -1 && cell.rememberedChannel != -1;
        close->setText(remembered ? QStringLiteral("Restore Cameo") : QStringLiteral("Close Cameo"));
        close->setEnabled(remembered);
        m_closeMode = false;
        return;
    }
    close->setText(QStringLiteral("Close Cameo"));
    close->setEnabled(true);
    m_closeMode = true;
    GetAction(ActionId::AviConvert)->setEnabled(true);
    if (m_kind == CameoKind::Live) {
        ucc->setEnabled(device && !device->IsPtzChannel(cell.channel));
        GetAction(ActionId::LiveOutput)->setEnabled(true);
    }
}

void CCameo::BuildMenuBottom(QMenu& menu)
{
    const bool local = m_kind == CameoKind::Local;
    if (!local) {
        menu.addSeparator();
        if (m_kind == CameoKind::Live)
            menu.addAction(GetAction(ActionId::Freeze));
    }
    QAction* stop = GetAction(ActionId::SequenceStop);
    stop->setText(IsSequenceOn() ? QStringLiteral("Rotation stop") : QStringLiteral("Rotation start"));
    if (!m_emap && !local) {
        menu.addAction(GetAction(ActionId::Record));
        QMenu* rotation = menu.addMenu(QStringLiteral("Rotation"));
        if (IsSequenceOn()) {
            rotation->addAction(stop);
        } else {
            for (ActionId id :
                 {ActionId::Sequence5, ActionId::Sequence10, ActionId::Sequence15, ActionId::Sequence20})
                rotation->addAction(GetAction(id));
        }
    }
    menu.addSeparator();
    menu.addAction(GetAction(ActionId::OsdSetup));
    if (!local)
        menu.addAction(GetAction(ActionId::SnapShot));
    if (m_emap)
        return;
    if (!local)
        menu.addSeparator();
    if (m_kind == CameoKind::Live) {
        menu.addAction(GetAction(ActionId::CloseCameo));
        menu.addAction(GetAction(ActionId::AddFavorite));
        menu.addSeparator();
        menu.addAction(GetAction(ActionId::Ucc));
        menu.addAction(GetAction(ActionId::LiveOutput));
    } else if (m_kind == CameoKind::Playback) {
        menu.addAction(GetAction(ActionId::AddFavorite));
        menu.addSeparator();
        menu.addAction(GetAction(ActionId::QuickSearch));
        menu.addAction(GetAction(ActionId::MuseumSearch));
        menu.addAction(GetAction(ActionId::ThumbnailSearch));
        menu.addSeparator();
        menu.addAction(GetAction(ActionId::SelectDate));
    } else {
        menu.addAction(GetAction(ActionId::AviConvert));
    }
}

std::unique_ptr<QMenu> CCameo::PrepareContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    const CameoCell cell = GetCell(m_selectedCell);
    BuildMenuTop(*menu);
    SetMenuStates(cell, DeviceOf(cell.recorder));
    if (m_kind != CameoKind::Local) {
        menu->addAction(GetAction(ActionId::ZoomIn));
        menu->addAction(GetAction(ActionId::ZoomOut));
        menu->addSeparator();
        menu->addAction(GetAction(ActionId::AudioOut));
    }
    BuildMenuBottom(*menu);
    return menu;
}

void CCameo::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_closing)
        return;
    std::unique_ptr<QMenu> menu = PrepareContextMenu();
    SetPressedLocked(false);
    menu->exec(event->globalPos());
}
