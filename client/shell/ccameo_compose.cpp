// The grid's pictures: the hand-off from the decode threads into the cells, the composition of
// the cells that changed on the redraw thread, and the repaint that hands it to the screen.
#include "shell/ccameo.h"

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QPainter>
#include <QRegion>

#include "common/media/moduledecoder.h"
#include "session/moduleplayback.h"
#include "session/recordersession.h"
#include "shell/cameocellpainter.h"
#include "shell/cameoosd.h"
#include "shell/gridhost.h"
#include "shell/shelllog.h"

namespace {

bool IsOnline(const RecorderSession* device)
{
    return device && device->IsLoggedIn();
}

// What the recorder's playback scheduler of the channel is doing, in playback control codes.
PlaybackControl SchedulerState(const RecorderSession* device, int channel)
{
    return static_cast<PlaybackControl>(int(device->GetChannelPlaybackState(channel)));
}

// What the display of an online cell reads from its recorder: names, the PTZ mark, the record
// mark, whose sound plays and, in a playback grid, how the channel plays.
void ReadRecorderState(CameoOsdInput& in, const RecorderSession& device, int channel, bool emap)
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

} // namespace

// ---------------------------------------------------------------------------------------------
// Picture hand-off

RecorderSession* CCameo::DeviceOf(int recorder) const
{
    return m_host ? m_host->GetDevice(recorder) : nullptr;
}

void CCameo::OnChannelFrame(int recorder, int channel, int cell, bool keep, bool crop)
{
    if (m_closing || !IsUsedCell(cell))
        return;
    const CameoKind kind = m_kind;
    if (kind == CameoKind::Live && (channel < 0 || channel >= kRoutedChannels))
        return;
    if (kind == CameoKind::Playback && (channel < kRoutedChannels || channel >= 2 * kRoutedChannels))
        return;
    if (kind == CameoKind::Playback) {
        m_cellsLock.lock();
    } else if (!m_cellsLock.tryLock()) {
        // A decode thread does not wait for the cells. The next frame may be a second away (key
        // frames only, a low rate), so the next composition takes this picture instead.
        if (kind == CameoKind::Live) {
            const quint64 bit = quint64(1) << cell;
            if (crop)
                m_missedCrop.fetch_or(bit);
            else
                m_missedCrop.fetch_and(~bit);
            m_missedRefresh.fetch_or(bit);
            if (!m_redrawRequested.exchange(true))
                WakeRedrawThread();
        }
        return;
    }

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
    RecorderSession* device = kind == CameoKind::Local ? nullptr : DeviceOf(c.recorder);
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
            TakeDecodedPicture(m_decoders[cell].get(), cell, false);
        c.osdDate = c.localDate;
        c.osdTime = c.localTime;
        c.videoLoss = c.sensor = c.motion = 0;
    }
    RequestCellRedraw(cell);
}

void CCameo::SetCameoImage(QImage picture, int cell, bool crop)
{
    if (!IsCell(cell))
        return;
    if (crop && picture.height() > 8)
        picture = picture.copy(0, 0, picture.width(), picture.height() - 8);
    m_cells[cell].picture = picture;
    m_cells[cell].fitted = false;
    m_cells[cell].pending = false;
    m_cells[cell].formatCode = CameoOsd::FormatCodeOf(picture.size());
    ++m_cellVersion[size_t(cell)];
}

QRect CCameo::PictureRect(const CameoCell& c) const
{
    if (c.recorder != kLocalRecorder)
        return ShownRect(c.formatCode);
    const int n = CameoOsd::IntegerSqrt(m_split);
    return n < 1 ? QRect() : CameoOsd::FitRect(m_width / n, m_height / n, false, c.formatCode);
}

CModuleDecoder* CCameo::CellDecoder(const CameoCell& c, int cell) const
{
    if (m_kind == CameoKind::Local)
        return cell >= 0 && cell < kLocalDecoders ? m_decoders[cell].get() : nullptr;
    RecorderSession* device = c.IsBound() ? DeviceOf(c.recorder) : nullptr;
    if (!device)
        return nullptr;
    return m_kind == CameoKind::Playback ? device->GetPlaybackDecoder(c.channel)
                                         : device->GetLiveDecoder(c.channel);
}

void CCameo::ConvertPending(CameoCell& c, int cell)
{
    c.pending = false;
    CModuleDecoder* decoder = CellDecoder(c, cell);
    if (!decoder || c.zoom != 1.0f)
        return;
    QMutexLocker picture(decoder->GetPictureLock());
    c.formatCode = CameoOsd::FormatCodeOf(decoder->PictureSize());
    const QRect shown = PictureRect(c);
    if (!shown.isEmpty()
        && decoder->ConvertInto(c.picture, shown.width(), shown.height(), c.pendingCrop ? 8 : 0)) {
        ++m_conversions;
        c.fitted = true;
        c.fittedRect = shown;
    }
}

QRect CCameo::ShownRect(int formatCode) const
{
    const int n = CameoOsd::IntegerSqrt(m_split);
    if (n < 1)
        return QRect();
    return CameoOsd::FitRect(m_width / n, m_height / n, true, formatCode);
}

void CCameo::TakeDecodedPicture(CModuleDecoder* decoder, int cell, bool crop)
{
    if (!decoder)
        return;
    CameoCell& c = m_cells[cell];
    // A cell shown whole that already shows a converted picture leaves the next one in the
    // decoder: it is converted once, at the size it is shown, when the grid composes, and only
    // if it is still the newest then. The decode thread goes back to decoding.
    if (decoder->ConvertsOnDemand() && c.zoom == 1.0f && c.fitted) {
        c.pending = true;
        c.pendingCrop = crop;
        return;
    }
    QMutexLocker picture(decoder->GetPictureLock());
    // The first picture, and those of a zoomed cell (which needs every pixel), at once.
    c.formatCode = CameoOsd::FormatCodeOf(decoder->PictureSize());
    if (decoder->ConvertsOnDemand() && c.zoom == 1.0f) {
        const QRect shown = PictureRect(c);
        if (!shown.isEmpty() && decoder->ConvertInto(c.picture, shown.width(), shown.height(), crop ? 8 : 0)) {
            ++m_conversions;
            c.pending = false;
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
    // The marks read from the recorders (video loss, events) and the frame rates change without
    // a new picture: every cell is drawn again with the next composition.
    ++m_allVersion;
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
    RecorderSession* device = DeviceOf(c.recorder);
    const bool online = c.IsBound() && IsOnline(device);
    const bool local = !online && c.recorder == kLocalRecorder && c.channel >= 0;
    const CameoKind kind = m_kind;

    using Source = CameoOsdInput::Source;
    CameoOsdInput in;
    in.source = online ? Source::Online : local ? Source::Local : Source::Unbound;
    in.kind = kind;
    in.emap = m_emap != 0;
    in.fpsOsd = m_fpsOsd != 0;
    if (m_host)
        in.flags = m_host->GetOsdFlags();
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

    if (c.pending && !t.blankPicture)
        ConvertPending(c, cell);
    const int x = c.column * cellWidth;
    const int y = c.row * cellHeight;
    const QRect whole(x, y, cellWidth, cellHeight);
    const bool blank = c.picture.isNull() || c.picture.cacheKey() == m_blank.cacheKey();
    if ((online || local) && c.fitted && c.zoom == 1.0f && c.fittedRect == PictureRect(c) && !blank) {
        c.panX = 0;
        c.panY = 0;
        // Black only around the picture: each pixel is written once.
        const QRect shown = c.fittedRect.translated(x, y) & whole;
        for (const QRect& margin : QRegion(whole).subtracted(shown))
            painter.fillRect(margin, Qt::black);
        painter.drawImage(x + c.fittedRect.x(), y + c.fittedRect.y(), c.picture);
    } else if (blank) {
        // The blank picture is plain black: filling is the same as scaling it to the cell.
        painter.fillRect(whole, Qt::black);
    } else {
        painter.fillRect(whole, Qt::black);
        QPoint offset;
        const QImage shown = CameoOsd::RenderPicture(c.picture, cellWidth, cellHeight, online, c.formatCode,
                                                     c.zoom, c.panX, c.panY, offset);
        if (!shown.isNull())
            painter.drawImage(x + offset.x(), y + offset.y(), shown);
    }

    const QRect rect(x, y, cellWidth, cellHeight);
    m_osdOverlay.Draw(painter, cell, m_osdFit.Fit(cell, t, painter, CameoCellPainter::TextWidth(rect)), rect);
    if (m_emap)
        m_lastEventText = t.event;
    CameoCellPainter::DrawFrame(painter, rect, c.selected && !m_emap);
}

void CCameo::OnDrawCameo(int cell)
{
    const int count = m_cellCount;
    if (cell != -1 && (cell < 0 || cell >= count || cell >= kCells)) {
        m_redrawRequested = false;
        return;
    }
    if (cell == -1)
        ++m_allVersion;
    else if (m_cellsLock.tryLock()) {
        ++m_cellVersion[size_t(cell)];
        m_cellsLock.unlock();
    } else {
        ++m_allVersion;
    }
    Compose();
}

void CCameo::Compose()
{
    if (m_closing)
        return;
    if (!m_cellsLock.tryLock()) {
        // A decode thread holds the cells; the next change asks again, and a picture that found
        // them busy asks until it is taken.
        m_redrawRequested = m_missedRefresh.load() != 0;
        return;
    }
    TakeMissedRefreshes();
    const int count = m_cellCount;
    const int n = CameoOsd::IntegerSqrt(m_split);
    const int width = m_width;
    const int height = m_height;
    const int cellWidth = n >= 1 ? width / n : 0;
    const int cellHeight = n >= 1 ? height / n : 0;
    if (n >= 1 && cellWidth >= 1 && cellHeight >= 1 && !m_buffers.IsNull()) {
        const quint64 allVersion = m_allVersion.load();
        const bool all = !m_buffers.HoldsAll(allVersion);
        QRect changed;
        QPainter painter(&m_buffers.Back());
        painter.setFont(m_font);
        for (int i = 0; i < count; ++i) {
            if (!m_cells[i].active || !m_buffers.NeedsCell(i, m_cellVersion[size_t(i)], all))
                continue;
            DrawCell(painter, i, cellWidth, cellHeight);
            m_buffers.MarkCell(i, m_cellVersion[size_t(i)]);
            changed |= QRect(m_cells[i].column * cellWidth, m_cells[i].row * cellHeight, cellWidth, cellHeight);
        }
        const bool alarm = m_emap && !m_lastEventText.isEmpty();
        if (alarm) {
            CameoCellPainter::DrawEdge(painter, QRect(1, 1, width - 2, height - 2), Qt::red);
            CameoCellPainter::DrawEdge(painter, QRect(0, 0, width, height), Qt::red);
        } else {
            CameoCellPainter::DrawEdge(painter, QRect(0, 0, width, height), Qt::gray);
        }
        painter.end();
        // The outer frame is drawn into each composition; the screen takes it only when its
        // colour changed, else only the cells that changed (it holds the same frame already).
        const QRgb edge = QColor(alarm ? Qt::red : Qt::gray).rgb();
        if (edge != m_edgeDrawn)
            changed |= QRect(0, 0, width, 2) | QRect(0, 0, 2, height) | QRect(width - 3, 0, 3, height)
                       | QRect(0, height - 3, width, 3);
        m_edgeDrawn = edge;
        if (all)
            changed = m_buffers.Back().rect();
        ++m_compositions;
        // The first composition the screen has not taken asks the window thread for a repaint.
        if (m_buffers.Publish(changed, allVersion))
            QMetaObject::invokeMethod(this, &CCameo::ScheduleRepaint, Qt::QueuedConnection);
    }
    // A picture that found the cells busy after the look above keeps the request standing.
    m_redrawRequested = m_missedRefresh.load() != 0;
    m_cellsLock.unlock();
}

void CCameo::TakeMissedRefreshes()
{
    quint64 missed = m_missedRefresh.exchange(0);
    const quint64 crop = m_missedCrop.load();
    while (missed != 0) {
        const int cell = qCountTrailingZeroBits(missed);
        missed &= missed - 1;
        if (!IsUsedCell(cell))
            continue;
        const CameoCell& c = m_cells[cell];
        if (m_kind == CameoKind::Live && c.active && !c.frozen && c.liveStarted)
            RefreshCellPicture(cell, false, (crop >> cell) & 1);
    }
}

void CCameo::RequestCellRedraw(int cell)
{
    if (IsCell(cell))
        ++m_cellVersion[size_t(cell)];
    if (!m_redrawRequested.exchange(true))
        WakeRedrawThread();
}

void CCameo::RequestRedraw()
{
    ++m_allVersion;
    // Only the first request after a composition wakes the thread: one lock per composition,
    // not one per picture.
    if (!m_redrawRequested.exchange(true))
        WakeRedrawThread();
}

void CCameo::WakeRedrawThread()
{
    // A thread that pauses between compositions sleeps on: a request waits for the pause's end
    // anyway, and waking it for each picture only to sleep again costs a switch per picture.
    QMutexLocker lock(&m_wakeLock);
    if (m_waitingForRequest || m_closing)
        m_wake.wakeAll();
}

bool CCameo::WaitForRedrawRequest()
{
    QMutexLocker lock(&m_wakeLock);
    m_waitingForRequest = true;
    while (!m_redrawRequested && !m_closing)
        m_wake.wait(&m_wakeLock);
    m_waitingForRequest = false;
    return !m_closing;
}

void CCameo::PauseRedraw(int ms)
{
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QMutexLocker lock(&m_wakeLock);
    while (!m_closing && !deadline.hasExpired())
        m_wake.wait(&m_wakeLock, deadline);
}

// The grid's redraw thread: it sleeps until something asks for a composition, composes, and
// then lets at least the split's redraw interval (set with the split) pass before the next one;
// a local-file grid composes as often as its pictures arrive.
void CCameo::THREAD_REDRAW(void* arg, int /*value*/)
{
    auto* grid = static_cast<CCameo*>(arg);
    while (grid->WaitForRedrawRequest()) {
        grid->Compose();
        if (grid->m_kind != CameoKind::Local)
            grid->PauseRedraw(grid->m_redrawInterval);
    }
}

void CCameo::ScheduleRepaint()
{
    if (m_repaintTimer.isActive())
        return;
    const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : m_repaintTimer.interval();
    if (since >= m_repaintTimer.interval())
        RepaintFresh();
    else
        m_repaintTimer.start(int(m_repaintTimer.interval() - since));
}

void CCameo::RepaintFresh()
{
    const QRect dirty = m_buffers.TakeDirty();
    m_sinceRepaint.start();
    if (!dirty.isEmpty())
        update(dirty);
}
