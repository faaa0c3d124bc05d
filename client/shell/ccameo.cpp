#include "shell/ccameo.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QFontInfo>
#include <QIcon>
#include <QMutexLocker>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <vector>

#include "backup/caviconvert.h"
#include "common/media/moduledecoder.h"
#include "session/cameoroute.h"
#include "session/moduledevice.h"
#include "session/moduleplayback.h"
#include "shell/cadjust.h"
#include "shell/cameoosd.h"
#include "shell/mainwindow.h"
#include "shell/shelllog.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

constexpr int kLayoutSide = 8;
constexpr int kSequenceStepsMax = CCameo::kCells + 1;

// The session registered in the hub's recorder table at that index, or null.
CModuleDevice* DeviceOf(int recorder)
{
    return g_pMainWindow ? g_pMainWindow->GetDevice(recorder) : nullptr;
}

bool IsOnline(const CModuleDevice* device)
{
    return device && device->IsLoggedIn();
}

// The route of a recorder channel; only channels 0..15 have one.
CameoRoute* RouteOf(CModuleDevice* device, int channel)
{
    if (!device || channel < 0 || channel >= CCameo::kRoutedChannels)
        return nullptr;
    return device->GetCameoRoute(channel);
}

// The grid no longer shows the channel: its live video stops when this grid asked for it, and
// the recorder's live sound stops when it is this channel's.
void ReleaseChannel(CModuleDevice* device, int channel, bool stopLive)
{
    if (!device)
        return;
    if (stopLive)
        device->OnLiveStop(channel);
    if (device->GetLiveAudioChannel() == channel)
        device->StopLiveAudio();
}

// What the recorder's playback scheduler of the channel is doing, in playback control codes.
PlaybackControl SchedulerState(const CModuleDevice* device, int channel)
{
    return static_cast<PlaybackControl>(int(device->GetChannelPlaybackState(channel)));
}

// What the display of an online cell reads from its recorder: names, the PTZ mark, the record
// mark, whose sound plays and, in a playback grid, how the channel plays.
void ReadRecorderState(CameoOsdInput& in, const CModuleDevice& device, int channel, bool emap)
{
    in.dvrName = device.GetDvrName();
    in.cameraTitle = device.GetCameraTitle(channel);
    in.ptz = device.IsPtzChannel(channel);
    if (in.kind == CameoKind::Playback) {
        in.recording = device.IsRecordMarked(channel + CCameo::kRoutedChannels);
        in.audioIsThisChannel = device.GetAudioChannel() == channel;
        in.playbackState = SchedulerState(&device, channel);
        in.speed = device.GetPlaybackSpeed();
    } else {
        in.recording = !emap && device.IsRecordMarked(channel);
        in.audioIsThisChannel = device.GetLiveAudioChannel() == channel;
    }
    if (in.recording)
        qCDebug(lcShell) << "record" << channel;
}

// The cell's texts, first as a black shadow one pixel down and right, then in white (the event
// and record texts in red).
void DrawCellTexts(QPainter& painter, const CameoOsdTexts& t, const QRect& cell)
{
    const QPoint end(cell.right() - 4, cell.bottom() - 2);
    const QRect shadow(cell.topLeft() + QPoint(5, 3), end);
    const QRect text(cell.topLeft() + QPoint(4, 2), end);
    // Texts of line breaks only draw nothing; they are skipped.
    const auto draw = [&painter](const QRect& r, int flags, const QString& s) {
        if (!s.trimmed().isEmpty())
            painter.drawText(r, flags, s);
    };
    const auto drawCorners = [&](const QRect& r) {
        draw(r, Qt::AlignLeft | Qt::AlignTop, t.topLeft);
        draw(r, Qt::AlignRight | Qt::AlignTop, t.topRight);
        draw(r, Qt::AlignLeft | Qt::AlignBottom, t.bottomLeft);
        draw(r, Qt::AlignRight | Qt::AlignBottom, t.bottomRight);
    };
    painter.setPen(Qt::black);
    drawCorners(shadow);
    draw(shadow, Qt::AlignCenter, t.event);
    draw(shadow, Qt::AlignHCenter | Qt::AlignBottom, t.record);
    painter.setPen(Qt::white);
    drawCorners(text);
    painter.setPen(Qt::red);
    draw(text, Qt::AlignCenter, t.event);
    draw(text, Qt::AlignHCenter | Qt::AlignBottom, t.record);
}

// A grey line on the cell's edge; the selected cell gets a cyan frame inside it.
void DrawCellFrame(QPainter& painter, const QRect& cell, bool selected)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(cell.x(), cell.y(), cell.width() - 1, cell.height() - 1);
    if (!selected)
        return;
    painter.setPen(QPen(Qt::cyan, 1));
    painter.drawRect(cell.x() + 1, cell.y() + 1, cell.width() - 3, cell.height() - 3);
    painter.setPen(QPen(Qt::cyan, 2));
    painter.drawRect(cell.x() + 2, cell.y() + 2, cell.width() - 5, cell.height() - 5);
}

QFont OsdFont()
{
    // The display font is named "Lucida"; where it is missing, a sans font through fontconfig.
    QFont font(QStringLiteral("Lucida"), 9, QFont::Bold);
    if (!QFontInfo(font).exactMatch())
        font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

CCameo::CCameo(QWidget* owner, int /*unused*/)
    : QLabel(nullptr)
    , m_cells(new CameoCell[kCells])
    , m_owner(owner)
{
    m_blank = QImage(10, 10, QImage::Format_RGB888);
    m_blank.fill(Qt::black);
    m_font = OsdFont();
    for (int i = 0; i < kCells; ++i) {
        m_frameCounter[i] = 0;
        m_framesPerSecond[i] = 0;
        m_layout[i] = -1;
    }
    ResetCell(-1);

    if (g_pMainWindow) {
        const int index = g_pMainWindow->GetFreeCameoIndex();
        if (index >= 0 && g_pMainWindow->AddCameo(index, this))
            m_cameoIndex = index;
    }
    if (m_cameoIndex < 0)
        qCWarning(lcShell) << "CCameo: no slot in the hub's grid table, this grid receives no pictures";

    setAcceptDrops(true);
    m_dragMimeType = QString::asprintf("application/cameodrag_%d", m_cameoIndex);
    CreateActions();

    // The timer paces the screen; it repaints only when the redraw thread has composed since.
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] {
        if (m_frontFresh.exchange(false))
            update();
    });
    m_repaintTimer.start(250);
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
    if (m_cameoIndex >= 0 && g_pMainWindow)
        g_pMainWindow->RemoveCameo(m_cameoIndex);

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
        CModuleDevice* device;
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
            CModuleDevice* device = DeviceOf(c.recorder);
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
    CModuleDevice* device = DeviceOf(recorder);
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
    CModuleDevice* device = DeviceOf(recorder);
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
    if (CModuleDevice* previous = oldRecorder >= 0 ? DeviceOf(oldRecorder) : nullptr)
        previous->OnLiveStop(oldChannel);

    SetCellChannel(cell, recorder, channel);
    CModuleDevice* device = DeviceOf(recorder);
    {
        QMutexLocker lock(&m_cellsLock);
        CameoCell& c = m_cells[cell];
        c.rememberedRecorder = recorder;
        c.rememberedChannel = channel;
        c.osdDate = -1;
        c.osdTime = -1;
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
    CModuleDevice* device = DeviceOf(recorder);
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
    } else if (g_pMainWindow) {
        // One recorder channel shows in one live cell at a time.
        g_pMainWindow->ClearDeviceCells(recorder, -1, 0);
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
            CameoCell& c = m_cells[cell];
            c.rememberedRecorder = recorder;
            c.rememberedChannel = i;
            c.osdDate = -1;
            c.osdTime = -1;
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
        for (int i = 0; i < kCells; ++i)
            m_cells[i].selected = 0;
        m_cells[0].selected = 1;
    }
    m_selectedCell = 0;
    CModuleDevice* device = DeviceOf(recorder);
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
        CModuleDevice* device;
        int channel;
    };
    std::vector<Stop> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.IsBound())
                continue;
            CModuleDevice* device = DeviceOf(c.recorder);
            if (!device)
                continue;
            if (IsOnline(device) && c.liveStarted) {
                stops.push_back({device, c.channel});
                c.liveStarted = 0;
            }
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
        CModuleDevice* device = DeviceOf(recorder);
        if (IsOnline(device))
            device->SetPlaybackVisible(channel, on);
    }
    RequestRedraw();
}

void CCameo::ResetCellLocked(int cell)
{
    CameoCell& c = m_cells[cell];
    c.active = 0;
    c.selected = 0;
    if (m_kind == CameoKind::Playback && c.channel >= 0) {
        CModuleDevice* device = DeviceOf(c.recorder);
        if (IsOnline(device))
            device->SetPlaybackVisible(c.channel, false);
    }
    c.column = 0;
    c.row = 0;
    c.zoom = 1.0f;
    c.osdDate = 0;
    c.osdTime = 0;
    c.frozen = 0;
    c.videoLoss = 0;
    c.sensor = 0;
    c.motion = 0;
    if (m_kind != CameoKind::Local)
        c.picture = m_blank;
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
    CameoCell& c = m_cells[cell];
    ForgetRoute(c.recorder, c.channel, cell);
    c.recorder = -1;
    c.channel = -1;
    c.rememberedRecorder = -1;
    c.rememberedChannel = -1;
    c.liveStarted = 0;
    c.zoom = 1.0f;
    c.picture = m_blank;
    c.videoLoss = 0;
    c.sensor = 0;
    c.motion = 0;
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
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (c.recorder == recorder && c.channel == channel) {
                EmptyCellLocked(i);
                cleared = true;
                break;
            }
        }
    }
    if (cleared) {
        if (CModuleDevice* device = DeviceOf(recorder))
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
        CameoCell& first = m_cells[cell];
        CameoCell& second = m_cells[otherCell];
        // Contents change places; each place keeps its column and row.
        std::swap(first, second);
        std::swap(first.column, second.column);
        std::swap(first.row, second.row);
        for (int moved : {cell, otherCell}) {
            const CameoCell& c = m_cells[moved];
            CModuleDevice* device = DeviceOf(c.recorder);
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
    const int n = CameoOsd::IntegerSqrt(m_split);
    if (n < 1 || x < 0 || y < 0)
        return -1;
    const int cw = m_width / n;
    const int ch = m_height / n;
    if (cw < 1 || ch < 1)
        return -1;
    const int column = x / cw;
    const int row = y / ch;
    if (column >= n || row >= n)
        return -1;
    return GetLayoutCell(column, row);
}

int CCameo::GetLayoutCell(int column, int row) const
{
    if (column < 0 || column >= kLayoutSide || row < 0 || row >= kLayoutSide)
        return -1;
    return m_layout[column * kLayoutSide + row];
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
    QMutexLocker lock(&m_cellsLock);
    return m_backBuffer.copy();
}

// ---------------------------------------------------------------------------------------------
// Layout

void CCameo::LayOutPage()
{
    const int count = m_cellCount;
    const int split = m_split;
    const int n = CameoOsd::IntegerSqrt(split);
    std::vector<std::pair<int, int>> visible; // playback cells that become shown
    {
        QMutexLocker lock(&m_cellsLock);
        std::fill(std::begin(m_layout), std::end(m_layout), -1);
        int c = m_firstCell;
        int x = 0;
        int y = 0;
        for (int i = 0; i < count; ++i) {
            m_cells[i].selected = 0;
            if (i < split) {
                CameoCell& cell = m_cells[c];
                cell.active = 1;
                if (m_kind == CameoKind::Playback && cell.channel >= 0)
                    visible.emplace_back(cell.recorder, cell.channel);
                cell.column = x;
                cell.row = y;
                if (x < kLayoutSide && y < kLayoutSide)
                    m_layout[x * kLayoutSide + y] = c;
                if (++x >= n) {
                    x = 0;
                    ++y;
                }
            } else {
                ResetCellLocked(c);
            }
            if (++c >= count)
                c = 0;
        }
    }
    for (const auto& v : visible) {
        CModuleDevice* device = DeviceOf(v.first);
        if (IsOnline(device))
            device->SetPlaybackVisible(v.second, true);
    }
}

void CCameo::StartShownLive()
{
    std::vector<std::pair<CModuleDevice*, int>> stops;
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < m_cellCount; ++i) {
            CameoCell& c = m_cells[i];
            if (!c.IsBound() || !c.liveStarted)
                continue;
            CModuleDevice* device = DeviceOf(c.recorder);
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
        CModuleDevice* device = DeviceOf(w.first);
        if (!device)
            continue;
        device->SetLiveWanted(w.second, true);
        starting.push_back(w.first);
    }
    std::sort(starting.begin(), starting.end());
    starting.erase(std::unique(starting.begin(), starting.end()), starting.end());
    for (int recorder : starting) {
        if (CModuleDevice* device = DeviceOf(recorder))
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
    if (size == this->size() && !m_backBuffer.isNull())
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
    CModuleDevice* device = DeviceOf(c.recorder);
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
    if (g_pMainWindow && m_cameoIndex >= 0)
        g_pMainWindow->SetActiveCameoIndex(m_cameoIndex);
    // After the grid became the active one: the panel's echo of a moved slider reaches this grid.
    if (g_pMainWindow && g_pMainWindow->GetAdjustPanel())
        g_pMainWindow->GetAdjustPanel()->SetValues(brightness, contrast, frameRate);
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
    if (g_pMainWindow && m_cameoIndex >= 0)
        g_pMainWindow->SetActiveCameoIndex(m_cameoIndex);

    // Rotation goes on only for its own steps, and in a live grid only while a recorder shows:
    // any split the user chooses ends it.
    bool keepSequence = false;
    if (sequenceStep)
        keepSequence = m_kind != CameoKind::Live || PageHasOnline(0, count);
    if (!keepSequence)
        StopSequence();

    if (split == m_split && !newSplit) {
        first += split;
        if (first >= count)
            first = 0;
        else
            first = first / split * split;
    } else if (first >= 1) {
        first = first / split * split;
    }
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
            if (CModuleDevice* device = DeviceOf(s.first))
                device->SetScrMode(s.second, split);
        }
    }
    ResizeToSplit();
    m_repaintTimer.start(CameoOsd::RepaintInterval(split, m_emap));
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
    CModuleDevice* device = DeviceOf(recorder);
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
    m_repaintTimer.start(byTable ? CameoOsd::RepaintInterval(m_split, false) : 250);
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
        CModuleDevice* device = DeviceOf(t.first);
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
// Favorites

void CCameo::OpenFavorite(int layout, const QString& names, const QString& channels, bool automatic)
{
    if (m_closing)
        return;
    const int count = m_cellCount;
    const int split = layout / 100;
    const int first = layout % 100;
    if (layout < 0 || split < 1 || split > count || first >= count) {
        qCWarning(lcShell) << "CCameo::OpenFavorite: layout code" << layout << "does not fit" << count << "cells";
        return;
    }
    CloseAllCameo();
    m_selectedCell = first;
    ApplySplitMode(first, split, false, true);
    // The page starts at a multiple of the split; the favorite's own first cell is selected.
    {
        QMutexLocker lock(&m_cellsLock);
        for (int i = 0; i < kCells; ++i)
            m_cells[i].selected = 0;
        m_cells[first].selected = 1;
    }
    m_selectedCell = first;
    OnDrawCameo(-1);
    StartFavorite(names, channels, automatic);
}

void CCameo::StartFavorite(const QString& names, const QString& channels, bool automatic)
{
    if (m_closing)
        return;
    m_favoriteAutomatic = automatic;
    if (g_pMainWindow && !automatic)
        g_pMainWindow->ShowMessageBox(QStringLiteral("Favorites"), QStringLiteral("Network Connecting..."),
                                      QString());
    m_favoriteCursor = 0;
    m_favoriteNames = names.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    m_favoriteChannels = channels.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (!ConnectNextFavorite(0))
        FinishFavorite(true);
}

bool CCameo::ConnectNextFavorite(int from)
{
    for (int i = from; i < kFavoritePositions; ++i) {
        m_favoriteCursor = i;
        if (i >= m_favoriteNames.size() || i >= m_favoriteChannels.size())
            continue;
        const QString name = m_favoriteNames.at(i);
        const QString channelText = m_favoriteChannels.at(i).trimmed();
        if (name.isEmpty() || channelText == QLatin1String("-1"))
            continue;
        bool ok = false;
        const int channel = channelText.toInt(&ok);
        if (!ok || channel < 0 || channel >= kRoutedChannels) {
            qCWarning(lcShell) << "CCameo: favorite position" << i << "has a bad channel" << channelText;
            continue;
        }
        if (i >= m_cellCount) {
            qCWarning(lcShell) << "CCameo: favorite position" << i << "has no cell in a grid of" << m_cellCount;
            continue;
        }
        const int recorder = g_pMainWindow ? g_pMainWindow->FindDeviceByName(name) : -1;
        CModuleDevice* device = DeviceOf(recorder);
        if (!device)
            continue;
        if (g_pMainWindow)
            g_pMainWindow->SetFavoriteCameoIndex(m_cameoIndex);
        // The session calls OnFavoriteNext once the login completes or the connect fails; for a
        // recorder already logged in that may happen inside this call, so nothing follows it.
        device->StartConnect(ConnectPurpose::Favorite);
        return true;
    }
    m_favoriteCursor = kFavoritePositions;
    return false;
}

void CCameo::FinishFavorite(bool relayout)
{
    if (relayout)
        ApplySplitMode(m_selectedCell, m_split, false, true);
    // The box closes by itself; empty title and text keep what it shows.
    if (g_pMainWindow && !m_favoriteAutomatic)
        g_pMainWindow->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
}

void CCameo::OnFavoriteNext()
{
    if (m_closing)
        return;
    const int cursor = m_favoriteCursor;
    if (cursor < 0 || cursor >= kFavoritePositions) {
        qCDebug(lcShell) << "CCameo::OnFavoriteNext: no favorite position is being opened";
        return;
    }
    // Position i always lands in cell i.
    const int recorder = g_pMainWindow ? g_pMainWindow->FindDeviceByName(m_favoriteNames.value(cursor)) : -1;
    bool ok = false;
    const int channel = m_favoriteChannels.value(cursor).trimmed().toInt(&ok);
    if (recorder >= 0 && ok)
        SetCameoChannel(channel, recorder, cursor);
    else
        qCWarning(lcShell) << "CCameo::OnFavoriteNext: the recorder of position" << cursor << "is gone";

    const int next = cursor + 1;
    if (next >= kFavoritePositions) {
        m_favoriteCursor = kFavoritePositions;
        FinishFavorite(false);
        return;
    }
    if (!ConnectNextFavorite(next))
        FinishFavorite(true);
}

// ---------------------------------------------------------------------------------------------
// Context-menu actions and the actions on the selected cell

void CCameo::CreateActions()
{
    struct ActionDef
    {
        const char* text;
        const char* icon;
        void (CCameo::*slot)();
    };
    // The menu sets the texts and enabled states anew each time it opens.
    static const ActionDef defs[kActionCount] = {
        {QT_TR_NOOP("View Single"), ":/res/Resource/single.png", &CCameo::viewSingleAction},
        {QT_TR_NOOP("View Multi"), ":/res/Resource/multi.png", &CCameo::viewMultiAction},
        {QT_TR_NOOP("Zoom In"), ":/res/Resource/zoom in.png", &CCameo::zoomInAction},
        {QT_TR_NOOP("Zoom Out"), ":/res/Resource/zoomout.png", &CCameo::zoomOutAction},
        {QT_TR_NOOP("Audio Out"), ":/res/Resource/audio.png", &CCameo::audioOutAction},
        {QT_TR_NOOP("OSD Setup"), ":/res/Resource/osd.png", &CCameo::osdSetupAction},
        {QT_TR_NOOP("Freeze"), ":/res/Resource/freeze.png", &CCameo::freezeAction},
        {QT_TR_NOOP("Snap Shot"), ":/res/Resource/snap.png", &CCameo::snapShotAction},
        {QT_TR_NOOP("Close Cameo"), ":/res/Resource/close.png", &CCameo::closeCameoAction},
        {QT_TR_NOOP("Select Date"), ":/res/Resource/seldate.png", &CCameo::selectDateAction},
        {QT_TR_NOOP("Museum Search"), ":/res/Resource/museum.png", &CCameo::museumSearchAction},
        {QT_TR_NOOP("Thumbnail Search"), ":/res/Resource/thumbnail.png", &CCameo::thumnailSearchAction},
        {QT_TR_NOOP("Quick Search"), ":/res/Resource/seldate.png", &CCameo::timeSearchAction},
        {QT_TR_NOOP("View x 1/4"), nullptr, &CCameo::emapScr1Action},
        {QT_TR_NOOP("View x 1"), nullptr, &CCameo::emapScr2Action},
        {QT_TR_NOOP("View x 4"), nullptr, &CCameo::emapScr3Action},
        {QT_TR_NOOP("Record"), ":/res/Resource/record.png", &CCameo::OnRecordAction},
        // The stop entry while the rotation runs: any sequence action toggles it.
        {QT_TR_NOOP("Rotation start"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction5},
        {QT_TR_NOOP("Rotation start\t5 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction5},
        {QT_TR_NOOP("Rotation start\t10 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction10},
        {QT_TR_NOOP("Rotation start\t15 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction15},
        {QT_TR_NOOP("Rotation start\t20 sec"), ":/res/Resource/multi.png", &CCameo::OnSequenceAction20},
        {QT_TR_NOOP("Add Favorite"), ":/res/Resource/favoritesitem.png", &CCameo::newFavoriteAction},
        {QT_TR_NOOP("Popup Mode"), ":/res/Resource/popup.png", &CCameo::OnPopupAction},
        {QT_TR_NOOP("MP4 Convert"), ":/res/Resource/25.png", &CCameo::OnAviAction},
        {QT_TR_NOOP("UCC Control"), nullptr, &CCameo::OnUccAction},
        {QT_TR_NOOP("Live Output"), nullptr, &CCameo::OnLiveOutputAction},
    };
    for (int i = 0; i < kActionCount; ++i) {
        const ActionDef& def = defs[i];
        auto* action = new QAction(tr(def.text), this);
        // Icons that the embedded resources do not carry are left empty.
        if (def.icon && QFile::exists(QLatin1String(def.icon)))
            action->setIcon(QIcon(QLatin1String(def.icon)));
        if (def.slot)
            connect(action, &QAction::triggered, this, def.slot);
        else
            action->setEnabled(false);
        m_actions[i] = action;
    }
}

QAction* CCameo::GetAction(ActionId id) const
{
    const int index = static_cast<int>(id);
    return index >= 0 && index < kActionCount ? m_actions[index] : nullptr;
}

bool CCameo::SelectedRecorderCell(CModuleDevice*& device, int& recorder, int& channel) const
{
    if (!IsUsedCell(m_selectedCell))
        return false;
    const CameoCell c = GetCell(m_selectedCell);
    if (!c.IsBound() || c.channel < 0 || c.channel >= kRoutedChannels)
        return false;
    device = DeviceOf(c.recorder);
    if (!device)
        return false;
    recorder = c.recorder;
    channel = c.channel;
    return true;
}

void CCameo::OnRecordAction()
{
    CModuleDevice* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    // Local recording of the channel's live video, or of its playback (channel + 16).
    device->ToggleRecord(m_kind == CameoKind::Playback ? channel + kRoutedChannels : channel);
}

void CCameo::OnLiveOutputAction()
{
    CModuleDevice* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    device->SetLiveOutputChannel(channel);
    device->SendLiveOutput();
}

void CCameo::OnUccAction()
{
    CModuleDevice* device = nullptr;
    int recorder = -1;
    int channel = -1;
    if (m_closing || !SelectedRecorderCell(device, recorder, channel))
        return;
    if (m_split != 1) {
        m_prevSplit = m_split;
        OnSplitMode(-1, 1, false);
    }
    if (g_pMainWindow)
        g_pMainWindow->ShowCameraControl(recorder, channel, m_cameoIndex);
}

void CCameo::OnAviAction()
{
    if (m_closing || !IsUsedCell(m_selectedCell))
        return;
    const CameoCell c = GetCell(m_selectedCell);
    if (c.localDataFile.isEmpty())
        return;
    qCDebug(lcShell) << "mp4 convert" << c.localFolder << c.localDataFile;
    // The tile's recording in a convert window of its own, run modally.
    QString folder = c.localFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    CAVIConvert convert(this);
    if (convert.AddList(folder, c.localDataFile))
        convert.SetArchivePath(folder, c.localDataFile);
    convert.exec();
}

void CCameo::OnPopupAction()
{
    MainWindow* hub = g_pMainWindow;
    if (m_closing || !hub)
        return;
    // The window that owns this grid leaves the multi-document area, or docks back into it.
    if (m_kind == CameoKind::Live && !m_emap)
        hub->ToggleLiveViewPopup(m_ownerSlot);
    else if (m_kind == CameoKind::Playback)
        hub->ToggleSearchViewPopup(m_ownerSlot);
    else if (m_kind == CameoKind::Local)
        hub->ToggleSearchLocalViewPopup(m_ownerSlot);
}

void CCameo::newFavoriteAction()
{
    MainWindow* hub = g_pMainWindow;
    SiteBookTreeWidget* tree = hub ? hub->GetSiteBookTree() : nullptr;
    if (m_closing || !tree)
        return;
    if (m_kind == CameoKind::Live) {
        // Every cell in order, an empty name and channel -1 where no known recorder shows.
        QString names;
        QString channels;
        for (int i = 0; i < kCells; ++i) {
            const CameoCell c = GetCell(i);
            CModuleDevice* device = c.IsBound() ? DeviceOf(c.recorder) : nullptr;
            if (device) {
                names += device->GetDvrName() + QLatin1Char(';');
                channels += QString::asprintf("%d;", c.channel);
            } else {
                names += QLatin1Char(';');
                channels += QLatin1String("-1;");
            }
        }
        // The site book stores the layout as split x 100 + first cell.
        tree->addFavorite(QStringLiteral("live"), m_split, m_selectedCell, names, channels);
    } else if (m_kind == CameoKind::Playback) {
        // The recorder and where its playback stands; both empty without a recorder.
        QString names;
        QString position;
        if (CModuleDevice* device = DeviceOf(m_playbackRecorder)) {
            names = device->GetDvrName();
            position = QString::asprintf("%08d;%06d;", device->GetPlaybackDate(), device->GetPlaybackTime());
        }
        tree->addFavorite(QStringLiteral("search"), m_split, m_selectedCell, names, position);
    }
}

void CCameo::emapScr1Action()
{
    resize(80, 60);
}

void CCameo::emapScr2Action()
{
    resize(160, 120);
}

void CCameo::emapScr3Action()
{
    resize(320, 240);
}

void CCameo::OnHideEmap()
{
    hide();
    emit OnHide();
}

// ---------------------------------------------------------------------------------------------
// Picture hand-off

void CCameo::OnChannelFrame(int recorder, int channel, int cell, bool keep, bool crop)
{
    if (m_closing || !IsUsedCell(cell))
        return;
    const CameoKind kind = m_kind;
    if (kind == CameoKind::Live && (channel < 0 || channel >= kRoutedChannels))
        return;
    if (kind == CameoKind::Playback && (channel < kRoutedChannels || channel >= 2 * kRoutedChannels))
        return;
    if (kind == CameoKind::Playback)
        m_cellsLock.lock();
    else if (!m_cellsLock.tryLock())
        return; // the next frame refreshes the cell

    const CameoCell& c = m_cells[cell];
    bool accepted = true;
    if (kind == CameoKind::Live) {
        accepted = c.active && !c.frozen && c.liveStarted && c.recorder == recorder && c.channel == channel;
        if (accepted)
            ++m_frameCounter[cell];
    } else if (kind == CameoKind::Playback) {
        accepted = c.recorder == recorder && c.channel == channel - kRoutedChannels;
    }
    if (accepted)
        RefreshCellPicture(cell, keep, crop);
    m_cellsLock.unlock();
}

void CCameo::RefreshCellPicture(int cell, bool keep, bool crop)
{
    if (m_closing || !IsUsedCell(cell))
        return;
    if (CameoOsd::IntegerSqrt(m_split) < 1 || m_width < 1 || m_height < 1)
        return;
    CameoCell& c = m_cells[cell];
    if (!c.active || !c.IsBound()) {
        c.zoom = 1.0f;
        c.picture = m_blank;
        return;
    }
    const CameoKind kind = m_kind;
    CModuleDevice* device = kind == CameoKind::Local ? nullptr : DeviceOf(c.recorder);
    if (kind != CameoKind::Local && !IsOnline(device)) {
        c.picture = m_blank;
        c.recorder = -1;
        c.channel = -1;
        c.zoom = 1.0f;
        c.frozen = 0;
        c.videoLoss = c.sensor = c.motion = c.audio = 0;
        return;
    }
    if (kind == CameoKind::Playback) {
        if (!keep)
            TakeDecodedPicture(device->GetPlaybackDecoder(c.channel), cell, false);
        c.osdDate = device->GetPlaybackDate();
        c.osdTime = device->GetChannelPlayTime(c.channel);
        c.videoLoss = c.sensor = c.motion = 0;
        c.audio = device->GetChannelActive(c.channel + kRoutedChannels);
    } else if (kind == CameoKind::Live) {
        if (!c.frozen) {
            const bool cut = crop && device->GetModelCode() == 8;
            if (!keep)
                TakeDecodedPicture(device->GetLiveDecoder(c.channel), cell, cut);
            c.osdDate = device->GetLiveFrameDate(c.channel);
            c.osdTime = device->GetLiveFrameTime(c.channel);
            c.videoLoss = device->GetVideoLoss(c.channel);
            c.sensor = device->GetSensorState(c.channel);
            c.motion = device->GetMotionState(c.channel);
            c.audio = device->GetChannelActive(c.channel);
        }
    } else {
        if (!keep && cell < kLocalDecoders && m_decoders[cell])
            c.picture = m_decoders[cell]->GetImage();
        c.fitted = false;
        c.osdDate = c.localDate;
        c.osdTime = c.localTime;
        c.videoLoss = c.sensor = c.motion = 0;
    }
    RequestRedraw();
}

void CCameo::SetCameoImage(QImage picture, int cell, bool crop)
{
    if (!IsCell(cell) || !m_cells)
        return;
    if (crop && picture.height() > 8)
        picture = picture.copy(0, 0, picture.width(), picture.height() - 8);
    m_cells[cell].picture = picture;
    m_cells[cell].fitted = false;
}

QRect CCameo::ShownRect() const
{
    const int n = CameoOsd::IntegerSqrt(m_split);
    if (n < 1)
        return QRect();
    // pending: the session's picture format code of the channel (every picture is 4:3 until then)
    const int formatCode = 0;
    return CameoOsd::FitRect(m_width / n, m_height / n, true, formatCode);
}

void CCameo::TakeDecodedPicture(CModuleDecoder* decoder, int cell, bool crop)
{
    if (!decoder)
        return;
    CameoCell& c = m_cells[cell];
    QMutexLocker picture(decoder->GetPictureLock());
    // A cell shown whole gets the picture converted once, at the size it is shown; a zoomed
    // one needs every pixel of it.
    if (decoder->ConvertsOnDemand() && c.zoom == 1.0f) {
        const QRect shown = ShownRect();
        if (!shown.isEmpty() && decoder->ConvertInto(c.picture, shown.width(), shown.height(), crop ? 8 : 0)) {
            c.fitted = true;
            c.fittedRect = shown;
            return;
        }
    }
    QImage image = decoder->GetImage();
    if (image.isNull()) {
        // The decoder is closed: a black picture.
        image = m_blank;
        crop = false;
    }
    SetCameoImage(image, cell, crop);
}

void CCameo::OnFPSTimer()
{
    for (int i = 0; i < kCells; ++i)
        m_framesPerSecond[i] = m_frameCounter[i].exchange(0);
}

// ---------------------------------------------------------------------------------------------
// Composition

void CCameo::OnRedrawCameo()
{
    OnDrawCameo(-1);
}

void CCameo::OnRedrawTimer()
{
    OnDrawCameo(-1);
    if (m_owner)
        m_owner->update();
}

void CCameo::DrawCell(QPainter& painter, int cell, int cellWidth, int cellHeight)
{
    CameoCell& c = m_cells[cell];
    CModuleDevice* device = DeviceOf(c.recorder);
    const bool online = c.IsBound() && IsOnline(device);
    const bool local = !online && c.recorder == kLocalRecorder && c.channel >= 0;
    const CameoKind kind = m_kind;

    using Source = CameoOsdInput::Source;
    CameoOsdInput in;
    in.source = online ? Source::Online : local ? Source::Local : Source::Unbound;
    in.kind = kind;
    in.emap = m_emap != 0;
    in.fpsOsd = m_fpsOsd != 0;
    if (g_pMainWindow)
        in.flags = g_pMainWindow->Settings().GetOsdFlags();
    in.cell = cell;
    in.channel = c.channel;
    in.cellWidth = cellWidth;
    in.osdDate = c.osdDate;
    in.osdTime = c.osdTime;
    in.fps = m_framesPerSecond[cell];
    in.frozen = c.frozen;
    in.sensor = c.sensor;
    in.motion = c.motion;
    in.audio = c.audio;
    if (online) {
        if (kind == CameoKind::Live)
            c.videoLoss = device->GetVideoLoss(c.channel);
        in.videoLoss = c.videoLoss;
        ReadRecorderState(in, *device, c.channel, m_emap != 0);
    } else if (local) {
        in.localDataFile = c.localDataFile;
        in.playbackState = c.playbackControl;
        in.speed = c.speed;
        c.zoom = 1.0f;
    }

    CameoOsdTexts t = CameoOsd::BuildTexts(in);
    if (t.fps >= 0)
        m_framesPerSecond[cell] = t.fps;
    if (t.blankPicture) {
        c.picture = m_blank;
        c.fitted = false;
        c.zoom = 1.0f;
    }

    const int x = c.column * cellWidth;
    const int y = c.row * cellHeight;
    // The blank picture is plain black: filling is the same as scaling it to the cell.
    painter.fillRect(QRect(x, y, cellWidth, cellHeight), Qt::black);
    const bool blank = c.picture.isNull() || c.picture.cacheKey() == m_blank.cacheKey();
    if (online && c.fitted && c.zoom == 1.0f && c.fittedRect == ShownRect() && !blank) {
        c.panX = 0;
        c.panY = 0;
        painter.drawImage(x + c.fittedRect.x(), y + c.fittedRect.y(), c.picture);
    } else if (!blank) {
        QPoint offset;
        // pending: the session's picture format code of the channel (every picture is 4:3 until then)
        const int formatCode = 0;
        const QImage shown = CameoOsd::RenderPicture(c.picture, cellWidth, cellHeight, online, formatCode, c.zoom,
                                                     c.panX, c.panY, offset);
        if (!shown.isNull())
            painter.drawImage(x + offset.x(), y + offset.y(), shown);
    }

    DrawCellTexts(painter, t, QRect(x, y, cellWidth, cellHeight));
    if (m_emap)
        m_lastEventText = t.event;
    DrawCellFrame(painter, QRect(x, y, cellWidth, cellHeight), c.selected && !m_emap);
}

void CCameo::OnDrawCameo(int cell)
{
    const int count = m_cellCount;
    if (cell != -1 && (cell < 0 || cell >= count || cell >= kCells)) {
        m_redrawRequested = false;
        return;
    }
    if (m_closing || !m_cells)
        return;
    if (!m_cellsLock.tryLock()) {
        // A decode thread holds the cells; the next change asks again.
        m_redrawRequested = false;
        return;
    }
    const int n = CameoOsd::IntegerSqrt(m_split);
    const int width = m_width;
    const int height = m_height;
    const int cellWidth = n >= 1 ? width / n : 0;
    const int cellHeight = n >= 1 ? height / n : 0;
    if (n >= 1 && cellWidth >= 1 && cellHeight >= 1 && !m_backBuffer.isNull()) {
        QPainter painter(&m_backBuffer);
        painter.setFont(m_font);
        const int from = cell == -1 ? 0 : cell;
        const int to = cell == -1 ? count - 1 : cell;
        for (int i = from; i <= to; ++i) {
            if (m_cells[i].active)
                DrawCell(painter, i, cellWidth, cellHeight);
        }
        painter.setBrush(Qt::NoBrush);
        if (m_emap && !m_lastEventText.isEmpty()) {
            painter.setPen(QPen(Qt::red, 1));
            painter.drawRect(QRect(QPoint(1, 1), QPoint(width - 3, height - 3)));
            painter.drawRect(QRect(QPoint(0, 0), QPoint(width - 2, height - 2)));
        } else {
            painter.setPen(QPen(Qt::gray, 1));
            painter.drawRect(QRect(QPoint(0, 0), QPoint(width - 2, height - 2)));
        }
        painter.end();
        PublishBackBuffer();
    }
    m_redrawRequested = false;
    m_cellsLock.unlock();
}

void CCameo::RequestRedraw()
{
    // Only the first request after a composition wakes the thread: one lock per composition,
    // not one per picture.
    if (!m_redrawRequested.exchange(true))
        WakeRedrawThread();
}

void CCameo::WakeRedrawThread()
{
    QMutexLocker lock(&m_wakeLock);
    m_wake.wakeAll();
}

bool CCameo::WaitForRedrawRequest()
{
    QMutexLocker lock(&m_wakeLock);
    while (!m_redrawRequested && !m_closing)
        m_wake.wait(&m_wakeLock);
    return !m_closing;
}

void CCameo::PauseRedraw(int ms)
{
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QMutexLocker lock(&m_wakeLock);
    while (!m_closing && !deadline.hasExpired())
        m_wake.wait(&m_wakeLock, deadline);
}

void CCameo::PublishBackBuffer()
{
    {
        QMutexLocker front(&m_frontLock);
        if (m_frontBuffer.size() == m_backBuffer.size() && m_frontBuffer.format() == m_backBuffer.format()
            && m_frontBuffer.isDetached() && m_frontBuffer.sizeInBytes() == m_backBuffer.sizeInBytes())
            std::memcpy(m_frontBuffer.bits(), m_backBuffer.constBits(), size_t(m_backBuffer.sizeInBytes()));
        else
            m_frontBuffer = m_backBuffer.copy();
    }
    m_frontFresh = true;
}

// The grid's redraw thread: it sleeps until something asks for a composition, composes, and
// then lets at least the split's redraw interval (set with the split) pass before the next one;
// a local-file grid composes as often as its pictures arrive.
void CCameo::THREAD_REDRAW(void* arg, int /*value*/)
{
    auto* grid = static_cast<CCameo*>(arg);
    while (grid->WaitForRedrawRequest()) {
        grid->OnDrawCameo(-1);
        if (grid->m_kind != CameoKind::Local)
            grid->PauseRedraw(grid->m_redrawInterval);
    }
}

// ---------------------------------------------------------------------------------------------
// Widget

void CCameo::paintEvent(QPaintEvent* /*event*/)
{
    // Only the finished picture, under a lock held for no longer than a copy of it: the
    // composition runs on the redraw thread.
    QMutexLocker lock(&m_frontLock);
    const int n = CameoOsd::IntegerSqrt(m_split);
    if (n < 1 || width() / n < 1 || height() / n < 1 || m_frontBuffer.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QRect(0, 0, width() / n * n, height() / n * n), m_frontBuffer);
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
        m_backBuffer = buffer.isEmpty() ? QImage() : QImage(buffer, QImage::Format_RGB32);
        if (!m_backBuffer.isNull())
            m_backBuffer.fill(Qt::black);
        QMutexLocker front(&m_frontLock);
        m_frontBuffer = m_backBuffer.copy();
        m_width = w;
        m_height = h;
    }
    OnDrawCameo(-1);
}
