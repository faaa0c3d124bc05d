#include "shell/ccameo.h"

#include <QDebug>
#include <QFile>
#include <QMutexLocker>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/media/moduledecoder.h"
#include "session/cameoroute.h"
#include "session/moduleplayback.h"
#include "session/recordersession.h"
#include "session/recordertable.h"
#include "shell/cameocellpainter.h"
#include "shell/cameoosd.h"
#include "shell/gridhost.h"
#include "shell/shelllog.h"

namespace {

constexpr int kSequenceStepsMax = CCameo::kCells + 1;

bool IsOnline(const RecorderSession* device)
{
    return device && device->IsLoggedIn();
}

// The route of a recorder channel; only channels 0..15 have one.
CameoRoute* RouteOf(RecorderSession* device, int channel)
{
    if (!device || channel < 0 || channel >= CCameo::kRoutedChannels)
        return nullptr;
    return device->GetCameoRoute(channel);
}

// The grid no longer shows the channel: its live video stops when this grid asked for it, and
// the recorder's live sound stops when it is this channel's.
void ReleaseChannel(RecorderSession* device, int channel, bool stopLive)
{
    if (!device)
        return;
    if (stopLive)
        device->OnLiveStop(channel);
    if (device->GetLiveAudioChannel() == channel)
        device->StopLiveAudio();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

CCameo::CCameo(QWidget* owner, int /*unused*/)
    : CCameo(owner, GridHost::Instance())
{}

CCameo::CCameo(QWidget* owner, GridHost* host)
    : QLabel(nullptr)
    , m_host(host)
    , m_owner(owner)
{
    m_blank = QImage(10, 10, QImage::Format_RGB888);
    m_blank.fill(Qt::black);
    m_font = CameoCellPainter::OsdFont();
    for (int i = 0; i < kCells; ++i) {
        m_frameCounter[i] = 0;
        m_framesPerSecond[i] = 0;
    }
    ResetCell(-1);

    if (m_host) {
        const int index = m_host->GetFreeCameoIndex();
        if (index >= 0 && m_host->AddCameo(index, this))
            m_cameoIndex = index;
    }
    if (m_cameoIndex < 0)
        qCWarning(lcShell) << "CCameo: no slot in the hub's grid table, this grid receives no pictures";

    setAcceptDrops(true);
    // paintEvent draws every pixel: nothing beneath the grid is painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_dragMimeType = QString::asprintf("application/cameodrag_%d", m_cameoIndex);
    CreateActions();

    // The screen takes a new composition at most once per repaint interval. Nothing runs while
    // nothing is composed: the redraw thread asks for the repaint, the timer only delays it.
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(250);
    connect(&m_repaintTimer, &QTimer::timeout, this, &CCameo::RepaintFresh);
    connect(&m_fpsTimer, &QTimer::timeout, this, &CCameo::OnFPSTimer);
    m_fpsTimer.start(1000);
    connect(&m_sequenceTimer, &QTimer::timeout, this, &CCameo::OnSeqenceActionTimer);
}

CCameo::~CCameo()
{
    m_closing = true;
    WakeRedrawThread();
    // Leave the grid table first: the hub holds its table lock across every hand-off, so once
    // this returns no decode thread is inside this grid and none can reach it again.
    if (m_cameoIndex >= 0 && m_host)
        m_host->RemoveCameo(m_cameoIndex);

    m_sequenceTimer.stop();
    m_repaintTimer.stop();
    m_fpsTimer.stop();
    m_sequenceOn = 0;
    qCDebug(lcShell) << "release cameo " << m_cameoIndex;
    m_redrawThread.WaitThread();
    StopLocalPlayback();
    for (auto& decoder : m_decoders) {
        if (decoder)
            decoder->CloseDecoder();
        decoder.reset();
    }

    struct Stop
    {
        RecorderSession* device;
        int channel;
        bool live;
    };
    std::vector<Stop> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.IsBound())
                continue;
            RecorderSession* device = DeviceOf(c.recorder);
            if (IsOnline(device))
                stops.push_back({device, c.channel, c.liveStarted != 0});
            ForgetRoute(c.recorder, c.channel, i);
            c.recorder = -1;
            c.channel = -1;
        }
    }
    for (const Stop& s : stops)
        ReleaseChannel(s.device, s.channel, s.live);
}

void CCameo::InitCameo(int kindCode, int cells, int split)
{
    if (m_closing)
        return;
    if (m_initialised) {
        qCWarning(lcShell) << "CCameo::InitCameo: grid already set up";
        return;
    }
    if (kindCode < int(CameoKind::Live) || kindCode > int(CameoKind::Local) || cells < 1 || cells > kCells
        || (split != -1 && (split < 1 || split > cells))) {
        qCWarning(lcShell) << "CCameo::InitCameo: bad kind, cell count or split" << kindCode << cells << split;
        return;
    }
    const auto kind = static_cast<CameoKind>(kindCode);
    m_initialised = true;
    {
        // The grid is in the table already: a hand-off may look at the kind and the cell
        // decoders from now on.
        QMutexLocker lock(&m_cellsLock);
        if (kind == CameoKind::Local) {
            for (auto& decoder : m_decoders) {
                decoder = std::make_unique<CModuleDecoder>();
                decoder->OpenDecoder();
                // Converted only when shown, at the cell's size, as live pictures are.
                decoder->SetConvertOnDemand(true);
            }
            for (auto& local : m_local)
                local = std::make_unique<LocalPlaybackCell>();
        }
        m_kind = kind;
        m_cellCount = cells;
    }
    OnSplitMode(0, split == -1 ? cells : split, false);
    m_redrawThread.StartThread(&CCameo::THREAD_REDRAW, this, 0);
}

// ---------------------------------------------------------------------------------------------
// Binding

void CCameo::WriteRoute(int cell, int recorder, int channel)
{
    // A grid without a table slot must not overwrite another grid's route with -1.
    if (m_cameoIndex < 0 || channel < 0 || channel >= kRoutedChannels)
        return;
    RecorderSession* device = DeviceOf(recorder);
    CameoRoute* route = RouteOf(device, channel);
    if (!route)
        return;
    if (m_kind == CameoKind::Live && !m_emap) {
        route->liveGrid = m_cameoIndex;
        route->liveCell = cell;
    } else if (m_kind == CameoKind::Live) {
        route->emapGrid = m_cameoIndex;
        route->emapCell = cell;
    } else if (m_kind == CameoKind::Playback) {
        device->SetPlaybackGrid(m_cameoIndex);
        route->playbackCell = cell;
    }
}

void CCameo::ForgetRoute(int recorder, int channel, int cell)
{
    // A route that still names this grid's cell would send the channel's pictures (and ask for
    // its live video) for a cell that no longer shows it.
    if (m_cameoIndex < 0)
        return;
    RecorderSession* device = DeviceOf(recorder);
    CameoRoute* route = RouteOf(device, channel);
    if (!route)
        return;
    if (m_kind == CameoKind::Live && !m_emap) {
        int grid = m_cameoIndex;
        if (route->liveCell == cell && route->liveGrid.compare_exchange_strong(grid, -1))
            route->liveCell = -1;
    } else if (m_kind == CameoKind::Live) {
        int grid = m_cameoIndex;
        if (route->emapCell == cell && route->emapGrid.compare_exchange_strong(grid, -1))
            route->emapCell = -1;
    } else if (m_kind == CameoKind::Playback) {
        int shown = cell;
        if (device->GetPlaybackGrid() == m_cameoIndex)
            route->playbackCell.compare_exchange_strong(shown, -1);
    }
}

void CCameo::SetCellChannel(int cell, int recorder, int channel)
{
    if (m_closing)
        return;
    const bool unbind = recorder == -1 && channel == -1;
    if (!IsCell(cell)
        || (!unbind && (!RecorderTable::IsIndex(recorder) || channel < 0 || channel >= kRoutedChannels))) {
        qCWarning(lcShell) << "CCameo::SetCellChannel: bad cell, recorder or channel" << cell << recorder
                           << channel;
        return;
    }
    {
        QMutexLocker lock(&m_cellsLock);
        CameoCell& c = m_cells[cell];
        c.recorder = recorder;
        c.channel = channel;
    }
    if (!unbind)
        WriteRoute(cell, recorder, channel);
    RequestRedraw();
}

void CCameo::SetCameoChannel(int channel, int recorder, int cell)
{
    if (m_closing)
        return;
    if (cell == -1)
        cell = m_selectedCell;
    if (!IsUsedCell(cell) || !RecorderTable::IsIndex(recorder) || channel < 0 || channel >= kRoutedChannels) {
        qCWarning(lcShell) << "CCameo::SetCameoChannel: bad cell, recorder or channel" << cell << recorder
                           << channel;
        return;
    }
    int oldRecorder = -1;
    int oldChannel = -1;
    {
        QMutexLocker lock(&m_cellsLock);
        CameoCell& c = m_cells[cell];
        if (m_kind == CameoKind::Live && c.IsBound() && IsOnline(DeviceOf(c.recorder))) {
            c.liveStarted = 0;
            oldRecorder = c.recorder;
            oldChannel = c.channel;
        }
    }
    // The channel stops on the recorder that showed it, not on the new one.
    if (RecorderSession* previous = oldRecorder >= 0 ? DeviceOf(oldRecorder) : nullptr)
        previous->OnLiveStop(oldChannel);

    SetCellChannel(cell, recorder, channel);
    RecorderSession* device = DeviceOf(recorder);
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.Place(cell, recorder, channel);
        CameoCell& c = m_cells[cell];
        if (m_kind == CameoKind::Live && device)
            c.liveStarted = 1;
        else if (m_kind == CameoKind::Playback)
            c.liveStarted = 0;
    }
    RefreshAdjust(cell);
    if (m_kind == CameoKind::Live && device) {
        device->SetLiveWanted(channel, true);
        device->OnLiveStart(0);
    }
    m_frameCounter[cell] = 0;
}

void CCameo::OnConnectDevice(int channels, int recorder)
{
    if (m_closing)
        return;
    RecorderSession* device = DeviceOf(recorder);
    if (!device || channels < 1 || channels > kRoutedChannels) {
        qCWarning(lcShell) << "CCameo::OnConnectDevice: no recorder" << recorder << "or bad channel count"
                           << channels;
        return;
    }
    const quint32 liveMask = device->GetLiveMask();
    const quint32 playbackMask = device->GetSearchMask();
    qCDebug(lcShell) << "liveChanbit" << liveMask;
    if (m_kind == CameoKind::Playback) {
        const int split = channels == 8 ? 9 : channels == 12 ? 16 : channels;
        m_cellCount = split;
        OnSplitMode(0, split, false);
        m_playbackRecorder = recorder;
    } else if (m_host) {
        // One recorder channel shows in one live cell at a time.
        m_host->ClearDeviceCells(recorder, -1, 0);
    }

    int running = m_selectedCell;
    for (int i = 0; i < channels; ++i) {
        if (m_kind == CameoKind::Live && !(liveMask & (1u << i)))
            continue;
        if (m_kind == CameoKind::Playback) {
            device->SetScrMode(i, m_cellCount);
            if (!(playbackMask & (1u << i)))
                continue;
        }
        if (m_kind == CameoKind::Local)
            continue;
        if (running >= m_cellCount || running < 0)
            running = 0;
        const int cell = running;
        {
            QMutexLocker lock(&m_cellsLock);
            m_cells.Place(cell, recorder, i);
        }
        m_frameCounter[cell] = 0;
        SetCellChannel(cell, recorder, i);
        if (m_kind == CameoKind::Live) {
            bool active = false;
            {
                QMutexLocker lock(&m_cellsLock);
                active = m_cells[cell].active != 0;
                if (active)
                    m_cells[cell].liveStarted = 1;
            }
            if (!active)
                device->OnLiveStop(i);
        }
        ++running;
    }
    RefreshAdjust(m_selectedCell);
    if (m_kind == CameoKind::Live)
        QTimer::singleShot(500, this, &CCameo::OnRedrawSplit);
}

void CCameo::StartLiveDevice(int recorder)
{
    if (m_closing)
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.SelectOnly(0);
    }
    m_selectedCell = 0;
    RecorderSession* device = DeviceOf(recorder);
    if (!device) {
        qCWarning(lcShell) << "CCameo::StartLiveDevice: no recorder" << recorder;
        return;
    }
    const int channels = device->GetChannelCount(m_cameoIndex);
    if (channels > 0) {
        CloseAllCameo();
        OnConnectDevice(channels, recorder);
    } else if (m_kind == CameoKind::Live) {
        // The session places its channels here once its login completes.
        device->StartConnect(ConnectPurpose::CellLive);
    }
}

void CCameo::CloseAllCameo()
{
    if (m_closing)
        return;
    struct Stop
    {
        RecorderSession* device;
        int channel;
    };
    std::vector<Stop> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.IsBound())
                continue;
            RecorderSession* device = DeviceOf(c.recorder);
            if (!device)
                continue;
            if (IsOnline(device) && c.liveStarted) {
                stops.push_back({device, c.channel});
                c.liveStarted = 0;
            }
            ForgetRoute(c.recorder, c.channel, i);
            m_cells.Unbind(i, m_blank);
        }
    }
    for (const Stop& s : stops)
        ReleaseChannel(s.device, s.channel, true);
    OnDrawCameo(-1);
}

void CCameo::SetCellEnable(int cell, bool on)
{
    if (m_closing || !IsUsedCell(cell))
        return;
    int recorder = -1;
    int channel = -1;
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells[cell].active = on ? 1 : 0;
        recorder = m_cells[cell].recorder;
        channel = m_cells[cell].channel;
    }
    if (m_kind == CameoKind::Playback && channel >= 0) {
        RecorderSession* device = DeviceOf(recorder);
        if (IsOnline(device))
            device->SetPlaybackVisible(channel, on);
    }
    RequestRedraw();
}

void CCameo::ResetCellLocked(int cell)
{
    const CameoCell& c = m_cells[cell];
    if (m_kind == CameoKind::Playback && c.channel >= 0) {
        RecorderSession* device = DeviceOf(c.recorder);
        if (IsOnline(device))
            device->SetPlaybackVisible(c.channel, false);
    }
    m_cells.Reset(cell, m_kind == CameoKind::Local, m_blank);
}

void CCameo::ResetCell(int cell)
{
    if (cell != -1 && !IsUsedCell(cell)) {
        qCWarning(lcShell) << "CCameo::ResetCell: bad cell" << cell;
        return;
    }
    QMutexLocker lock(&m_cellsLock);
    if (cell != -1) {
        ResetCellLocked(cell);
        return;
    }
    for (int i = 0; i < m_cellCount; ++i) {
        ResetCellLocked(i);
        m_cells[i].liveStarted = 0;
    }
}

void CCameo::EmptyCellLocked(int cell)
{
    ForgetRoute(m_cells[cell].recorder, m_cells[cell].channel, cell);
    m_cells.Empty(cell, m_blank);
}

void CCameo::ClearDeviceChannel(int recorder, int channel)
{
    if (m_closing || m_kind != CameoKind::Live || m_emap)
        return;
    if (!RecorderTable::IsIndex(recorder) || channel < 0 || channel >= kRoutedChannels)
        return;
    bool cleared = false;
    {
        QMutexLocker lock(&m_cellsLock);
        const int cell = m_cells.Find(recorder, channel, m_cellCount);
        if (cell >= 0) {
            EmptyCellLocked(cell);
            cleared = true;
        }
    }
    if (cleared) {
        if (RecorderSession* device = DeviceOf(recorder))
            device->OnLiveStop(channel);
        RequestRedraw();
    }
}

void CCameo::SetDisconnectCameo(int recorder)
{
    if (m_closing || !RecorderTable::IsIndex(recorder))
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < kCells; ++i) {
            if (m_cells[i].recorder == recorder)
                EmptyCellLocked(i);
        }
        if (m_kind == CameoKind::Playback && m_playbackRecorder == recorder)
            m_playbackRecorder = -1;
    }
    RequestRedraw();
    qCDebug(lcShell) << "disconnect cameo";
}

void CCameo::OnSwapCameo(int cell, int otherCell)
{
    if (m_closing)
        return;
    if (!IsUsedCell(cell) || !IsUsedCell(otherCell)) {
        qCWarning(lcShell) << "CCameo::OnSwapCameo: bad cell" << cell << otherCell;
        return;
    }
    if (cell == otherCell)
        return;
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells.Swap(cell, otherCell);
        for (int moved : {cell, otherCell}) {
            const CameoCell& c = m_cells[moved];
            RecorderSession* device = DeviceOf(c.recorder);
            CameoRoute* route = RouteOf(device, c.channel);
            if (!route || !IsOnline(device) || m_cameoIndex < 0)
                continue;
            if (m_kind == CameoKind::Live && !m_emap)
                route->liveCell = moved;
            else if (m_kind == CameoKind::Playback)
                route->playbackCell = moved;
            qCDebug(lcShell) << "live status" << c.liveStarted;
        }
    }
    RequestRedraw();
}

int CCameo::CellAt(int x, int y) const
{
    QMutexLocker lock(&m_cellsLock);
    return m_cells.CellAt(x, y, m_width, m_height, m_split);
}

int CCameo::GetLayoutCell(int column, int row) const
{
    QMutexLocker lock(&m_cellsLock);
    return m_cells.LayoutCell(column, row);
}

CameoCell CCameo::GetCell(int cell) const
{
    if (!IsCell(cell))
        return CameoCell();
    QMutexLocker lock(&m_cellsLock);
    return m_cells[cell];
}

int CCameo::GetCellFps(int cell) const
{
    return IsCell(cell) ? m_framesPerSecond[cell].load() : 0;
}

QImage CCameo::GetBackBuffer() const
{
    // After a composition that is running: the cells lock is held across each.
    QMutexLocker cells(&m_cellsLock);
    return m_buffers.FrontCopy();
}

// ---------------------------------------------------------------------------------------------
// Layout

void CCameo::LayOutPage()
{
    std::vector<std::pair<int, int>> visible; // playback cells that become shown
    {
        QMutexLocker lock(&m_cellsLock);
        std::vector<int> shown;
        std::vector<int> hidden;
        m_cells.LayOut(m_firstCell, m_split, m_cellCount, &shown, &hidden);
        for (int cell : hidden)
            ResetCellLocked(cell);
        for (int cell : shown) {
            if (m_kind == CameoKind::Playback && m_cells[cell].channel >= 0)
                visible.emplace_back(m_cells[cell].recorder, m_cells[cell].channel);
        }
    }
    for (const auto& v : visible) {
        RecorderSession* device = DeviceOf(v.first);
        if (IsOnline(device))
            device->SetPlaybackVisible(v.second, true);
    }
}

void CCameo::StartShownLive()
{
    std::vector<std::pair<RecorderSession*, int>> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.IsBound() || !c.liveStarted)
                continue;
            RecorderSession* device = DeviceOf(c.recorder);
            if (!IsOnline(device))
                continue;
            CameoRoute* route = RouteOf(device, c.channel);
            const bool onEmap = route && route->emapGrid >= 0 && route->emapCell >= 0;
            if (onEmap || device->IsRecordMarked(c.channel))
                continue;
            c.liveStarted = 0;
            stops.emplace_back(device, c.channel);
        }
    }
    // Stopped first, so that the channels of the page are asked for again below.
    for (const auto& s : stops)
        s.first->OnLiveStop(s.second);

    std::vector<std::pair<int, int>> wanted; // (recorder, channel) of the shown cells
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.active || !c.IsBound() || !IsOnline(DeviceOf(c.recorder)))
                continue;
            c.liveStarted = 1;
            wanted.emplace_back(c.recorder, c.channel);
        }
    }
    std::vector<int> starting;
    for (const auto& w : wanted) {
        RecorderSession* device = DeviceOf(w.first);
        if (!device)
            continue;
        device->SetLiveWanted(w.second, true);
        starting.push_back(w.first);
    }
    std::sort(starting.begin(), starting.end());
    starting.erase(std::unique(starting.begin(), starting.end()), starting.end());
    for (int recorder : starting) {
        if (RecorderSession* device = DeviceOf(recorder))
            device->OnLiveStart(0);
    }
}

void CCameo::ResizeToSplit()
{
    const int n = CameoOsd::IntegerSqrt(m_split);
    QSize size = this->size();
    if (m_owner && !m_emap && n >= 1) {
        const int w = m_owner->width() - 20;
        const int h = m_owner->height() - 20;
        if (w >= 1 && h >= 1)
            size = QSize(w / n * n, h / n * n);
    }
    if (size == this->size() && !m_buffers.IsNull())
        OnDrawCameo(-1);
    else
        resize(size);
}

void CCameo::RefreshAdjust(int cell)
{
    int brightness = 0;
    int contrast = 0;
    int frameRate = 15;
    const CameoCell c = GetCell(cell);
    RecorderSession* device = DeviceOf(c.recorder);
    if (c.IsBound() && IsOnline(device)) {
        const int index = m_kind == CameoKind::Playback ? c.channel + kRoutedChannels : c.channel;
        CModuleDecoder* decoder = m_kind == CameoKind::Playback ? device->GetPlaybackDecoder(c.channel)
                                                                : device->GetLiveDecoder(c.channel);
        if (decoder) {
            brightness = decoder->GetBrightness(0);
            contrast = decoder->GetContrast(0);
        }
        frameRate = device->GetChannelFps(index);
    }
    m_brightness = brightness;
    m_contrast = contrast;
    m_frameRate = frameRate;
    if (m_host && m_cameoIndex >= 0)
        m_host->SetActiveCameoIndex(m_cameoIndex);
    // After the grid became the active one: the panel's echo of a moved slider reaches this grid.
    if (m_host)
        m_host->ShowAdjustValues(brightness, contrast, frameRate);
}

bool CCameo::PageHasOnline(int from, int cells) const
{
    const int count = m_cellCount;
    QMutexLocker lock(&m_cellsLock);
    for (int i = std::max(0, from); i < std::min(count, from + cells); ++i) {
        const CameoCell& c = m_cells[i];
        if (c.IsBound() && IsOnline(DeviceOf(c.recorder)))
            return true;
    }
    return false;
}

void CCameo::StopSequence()
{
    m_sequenceOn = 0;
    m_sequenceTimer.stop();
}

void CCameo::OnSplitMode(int first, int split, bool sequenceStep)
{
    ApplySplitMode(first, split, sequenceStep, false);
}

// newSplit lays the split out as if another split had been shown before, so that the split
// already shown does not move to the next page.
void CCameo::ApplySplitMode(int first, int split, bool sequenceStep, bool newSplit)
{
    if (m_closing)
        return;
    const int count = m_cellCount;
    if (count < 1 || split < 1 || split > count) {
        qCWarning(lcShell) << "CCameo::OnSplitMode: split" << split << "does not fit" << count << "cells";
        return;
    }
    if (first == -1)
        first = m_selectedCell;
    if (first < 0 || first >= count) {
        qCWarning(lcShell) << "CCameo::OnSplitMode: bad first cell" << first;
        return;
    }
    if (m_host && m_cameoIndex >= 0)
        m_host->SetActiveCameoIndex(m_cameoIndex);

    // Rotation goes on only for its own steps, and in a live grid only while a recorder shows:
    // any split the user chooses ends it.
    bool keepSequence = false;
    if (sequenceStep)
        keepSequence = m_kind != CameoKind::Live || PageHasOnline(0, count);
    if (!keepSequence)
        StopSequence();

    first = CameoCells::PageFirst(first, split, m_split, count, newSplit);
    qCDebug(lcShell) << "split mode" << first << split;

    if (sequenceStep && m_kind == CameoKind::Live && keepSequence) {
        // Pages without an online recorder are passed over. Pages start at multiples of the
        // split, so every cell lies on one of them and the online cell found above is reached.
        for (int step = 0; step < kSequenceStepsMax && !PageHasOnline(first, split); ++step) {
            first += split;
            if (first >= count)
                first = 0;
            first = first / split * split;
        }
    }

    m_split = split;
    if (!m_emap)
        m_redrawInterval = CameoOsd::RedrawInterval(split, false);
    m_firstCell = first;
    LayOutPage();
    m_selectedCell = first;
    {
        QMutexLocker lock(&m_cellsLock);
        m_cells[first].selected = 1;
    }
    RefreshAdjust(first);

    if (m_kind == CameoKind::Live) {
        StartShownLive();
    } else if (m_kind == CameoKind::Playback) {
        std::vector<std::pair<int, int>> shown;
        {
            QMutexLocker lock(&m_cellsLock);
            for (int i = 0; i < count; ++i) {
                CameoCell& c = m_cells[i];
                if (!c.IsBound() || !IsOnline(DeviceOf(c.recorder)))
                    continue;
                c.liveStarted = 0;
                if (c.active)
                    shown.emplace_back(c.recorder, c.channel);
            }
        }
        for (const auto& s : shown) {
            if (RecorderSession* device = DeviceOf(s.first))
                device->SetScrMode(s.second, split);
        }
    }
    ResizeToSplit();
    m_repaintTimer.setInterval(CameoOsd::RepaintInterval(split, m_emap));
    if (m_kind == CameoKind::Playback)
        ResendPlaybackControl();
}

void CCameo::ResendPlaybackControl()
{
    // The recorder of the last bound cell, in cell order, plays on with its current control.
    int recorder = -1;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = m_cellCount - 1; i >= 0; --i) {
            if (m_cells[i].IsBound()) {
                recorder = m_cells[i].recorder;
                break;
            }
        }
    }
    RecorderSession* device = DeviceOf(recorder);
    if (IsOnline(device) && device->IsPlaybackActive())
        device->ResendPlaybackCtrl();
}

void CCameo::OnRedrawSplit()
{
    if (m_closing || m_split < 1)
        return;
    LayOutPage();
    {
        QMutexLocker lock(&m_cellsLock);
        if (IsUsedCell(m_selectedCell))
            m_cells[m_selectedCell].selected = 1;
    }
    if (IsUsedCell(m_selectedCell))
        RefreshAdjust(m_selectedCell);
    if (m_kind == CameoKind::Live)
        StartShownLive();
    ResizeToSplit();
    const bool byTable = !m_emap && (m_kind == CameoKind::Live || m_kind == CameoKind::Local);
    m_repaintTimer.setInterval(byTable ? CameoOsd::RepaintInterval(m_split, false) : 250);
}

void CCameo::ApplyAdjust(bool brightness, int value)
{
    bool any = false;
    std::vector<std::pair<int, int>> targets;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            const CameoCell& c = m_cells[i];
            if (c.selected && c.IsBound() && c.channel < kRoutedChannels)
                targets.emplace_back(c.recorder, c.channel);
        }
    }
    for (const auto& t : targets) {
        RecorderSession* device = DeviceOf(t.first);
        if (!IsOnline(device))
            continue;
        CModuleDecoder* decoder = m_kind == CameoKind::Playback ? device->GetPlaybackDecoder(t.second)
                                                                : device->GetLiveDecoder(t.second);
        if (!decoder)
            continue;
        if (brightness) {
            decoder->SetBrightness(0, value);
            m_brightness = decoder->GetBrightness(0);
        } else {
            decoder->SetContrast(0, value);
            m_contrast = decoder->GetContrast(0);
        }
        any = true;
    }
    if (!any) {
        m_brightness = 0;
        m_contrast = 0;
        m_frameRate = 15;
    }
}

void CCameo::SetCellBrightness(int value)
{
    if (!m_closing)
        ApplyAdjust(true, value);
}

void CCameo::SetCellContrast(int value)
{
    if (!m_closing)
        ApplyAdjust(false, value);
}

// ---------------------------------------------------------------------------------------------
// Page rotation

void CCameo::OnSequenceAction(int ms)
{
    if (m_closing)
        return;
    if (ms < 1) {
        qCWarning(lcShell) << "CCameo::OnSequenceAction: bad period" << ms;
        return;
    }
    m_sequenceSplit = m_split;
    m_sequenceOn = m_sequenceOn ? 0 : 1;
    m_sequenceTimer.stop();
    if (m_sequenceOn)
        m_sequenceTimer.start(ms);
}

void CCameo::OnSequenceAction5()
{
    OnSequenceAction(5000);
}
void CCameo::OnSequenceAction10()
{
    OnSequenceAction(10000);
}
void CCameo::OnSequenceAction15()
{
    OnSequenceAction(15000);
}
void CCameo::OnSequenceAction20()
{
    OnSequenceAction(20000);
}

void CCameo::OnSeqenceActionTimer()
{
    qCDebug(lcShell) << "sequcence";
    if (!m_closing && m_sequenceOn)
        OnSplitMode(-1, m_sequenceSplit, true);
}

// ---------------------------------------------------------------------------------------------
// Widget

void CCameo::paintEvent(QPaintEvent* event)
{
    // Only the finished picture, as it is, and only where it changed: the composition runs on
    // the redraw thread, and the front lock is held for no longer than the drawing.
    // The grid is opaque: what lies beneath it is never painted, so every pixel of the area is
    // drawn here, the few pixels right of and below the last whole cells in the background.
    const int n = CameoOsd::IntegerSqrt(m_split);
    QPainter painter(this);
    QRegion rest(event->rect());
    if (n >= 1 && width() / n >= 1 && height() / n >= 1) {
        const QRect grid(0, 0, width() / n * n, height() / n * n);
        if (m_buffers.DrawFront(painter, event->rect() & grid, grid))
            rest -= grid;
    }
    for (const QRect& r : rest)
        painter.fillRect(r, palette().brush(backgroundRole()));
}

void CCameo::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    {
        QMutexLocker lock(&m_cellsLock);
        const int w = event->size().width();
        const int h = event->size().height();
        const int n = CameoOsd::IntegerSqrt(m_split);
        QSize buffer = size();
        if (n >= 1 && w >= 1 && h >= 1)
            buffer = QSize(w / n * n, h / n * n);
        m_buffers.Resize(buffer);
        m_width = w;
        m_height = h;
    }
    OnDrawCameo(-1);
}
