#include "ui/cameocontroller.h"

#include "ui/cameoengine.h"
#include "ui/cameohost.h"
#include "ui/cameoplayer.h"
#include "ui/uilog.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

QString MenuFactor(const QString& text, const char* blanks, float factor)
{
    return text + QLatin1String(blanks) + QString::asprintf("x%.1f", static_cast<double>(factor));
}

std::vector<int> ToVector(const QVector<int>& tiles)
{
    return std::vector<int>(tiles.begin(), tiles.end());
}

} // namespace

CameoController::CameoController(CameoGrid* grid, CameoHost* host, CameoEngine* engine)
    : m_grid(grid)
    , m_host(host)
    , m_engine(engine)
{}

CameoPlayer* CameoController::PlayerOf(int tile) const
{
    return IsCameoIndex(tile) ? m_host->Player(tile) : nullptr;
}

int CameoController::OpenFile(int tile, const QString& folder, const QString& fileName)
{
    if (!IsCameoIndex(tile)) {
        return -1;
    }
    // The file is tried before the tile is cleared, so that a missing path or a file of another
    // kind leaves whatever the tile was playing.
    const QString path = folder + fileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcPlayerUi) << "tile" << tile << "cannot open" << path << file.errorString();
        return -1;
    }
    file.close();
    CameoPlayer* player = PlayerOf(tile);
    if (!player || !player->CanOpen(folder, fileName)) {
        qCDebug(lcPlayerUi) << "tile" << tile << "does not play" << path;
        return -1;
    }
    ClearCameo(tile);
    m_grid->Update(tile, [tile](CameoItem& item) {
        item.assigned = 1;
        item.sourceId = kFileSourceId;
        item.channel = tile;
        item.fileTile = 1;
    });
    m_host->SetPlaybackTile(tile);
    if (player->OpenRecording(folder, fileName, tile) == 0) {
        const QString reason = player->LastOpenError();
        qCDebug(lcPlayerUi) << "tile" << tile << "cannot play" << path << reason;
        ClearCameo(tile);
        if (!reason.isEmpty())
            m_host->ShowOpenFailure(path, reason);
        return -1;
    }
    return 0;
}

void CameoController::SetCameoPlayback(int tile, int sourceId, int channel, bool start)
{
    if (!IsCameoIndex(tile)) {
        return;
    }
    CameoPlayer* player = PlayerOf(tile);
    if (start) {
        m_grid->Update(tile, [](CameoItem& item) { item.liveRecordState = 0; });
        ClearCameo(tile);
        m_engine->RedrawCameo(tile);
        m_grid->Update(tile, [sourceId, channel](CameoItem& item) {
            item.sourceId = sourceId;
            item.channel = channel;
        });
        m_host->SetPlaybackTile(tile);
        if (player) {
            player->Bind(sourceId, channel, tile);
        }
        m_host->SetTilePlaying(tile, true);
        if (player) {
            player->StartSearch();
        }
        return;
    }
    m_host->SetTilePlaying(tile, false);
    m_grid->Update(tile, [](CameoItem& item) {
        item.fileTile = 0;
        item.liveRecordState = 0;
    });
    if (player) {
        player->Stop();
        player->Close();
    }
    m_grid->Update(tile, [](CameoItem& item) {
        item.sourceId = kNoSourceId;
        item.channel = -1;
    });
    ClearCameo(tile);
    m_engine->RedrawCameo(tile);
}

void CameoController::ClearCameo(int tile)
{
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    if (!item || !item->assigned) {
        return;
    }
    if (item->fileTile) {
        m_host->SetTilePlaying(tile, false);
        const int playing = m_grid->FindCameo(item->sourceId, tile);
        if (CameoPlayer* player = PlayerOf(playing)) {
            player->Stop();
            player->Close();
        }
    }
    m_grid->ResetCameo(tile);
    m_engine->SetOwnDecoderSetting(tile, kOwnDecoderBrightness, 0);
    m_engine->SetOwnDecoderSetting(tile, kOwnDecoderContrast, 0);
    if (m_grid->GetFirstSelected() == tile) {
        m_host->SetAudioButton(false);
    }
    m_engine->ClearFrameBuffer(tile);
    m_engine->ClearLastFrame(tile);
}

void CameoController::SetFrameRate(int tile, int frameRate)
{
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    if (!item || item->frameRate == frameRate) {
        return;
    }
    const int rate = std::max(1, frameRate);
    m_grid->Update(tile, [rate](CameoItem& changed) { changed.frameRate = rate; });
    if (CameoPlayer* player = PlayerOf(tile)) {
        player->ResetFramesPerStep();
    }
}

void CameoController::SetAdjust(int tile, int which, int value)
{
    if (!IsCameoIndex(tile) || which < 1 || which > 3) {
        return;
    }
    m_grid->Update(tile, [which, value](CameoItem& item) {
        (which == 1 ? item.adjust1 : which == 2 ? item.adjust2 : item.adjust3) = value;
    });
    if (which == 1) {
        m_engine->SetOwnDecoderSetting(tile, kOwnDecoderBrightness, value);
    } else if (which == 2) {
        m_engine->SetOwnDecoderSetting(tile, kOwnDecoderContrast, value);
    } else {
        m_engine->SetFilter(tile, value);
    }
    m_engine->RedecodeLastFrame(tile);
    m_engine->RedrawCameo(tile);
}

void CameoController::Layout(int width, int height, int code, bool repress, bool restore, bool keepStart)
{
    const CameoLayoutChange change = m_grid->Layout(width, height, code, repress, restore, keepStart);
    m_engine->DemoteQueuedFrames();
    for (int tile : change.clearPictures) {
        m_engine->ClearFrameBuffer(tile);
    }
    if (m_afterLayout) {
        m_afterLayout();
    }
}

void CameoController::Relayout(int code, bool repress, bool restore)
{
    Layout(m_grid->Width(), m_grid->Height(), code, repress, restore, false);
}

void CameoController::SelectAsByClick(int tile, SelectKeys keys)
{
    QVector<int> before;
    m_grid->GetSelectedCameos(before);
    m_grid->SelectByClick(tile, keys);
    QVector<int> after;
    m_grid->GetSelectedCameos(after);

    const int first = after.isEmpty() ? -1 : after.first();
    if (const std::optional<CameoItem> item = m_grid->GetCameo(first)) {
        m_host->ShowAdjustValues(item->frameRate, item->adjust1, item->adjust2, item->adjust3);
        CameoPlayer* player = PlayerOf(first);
        m_host->SetAudioButton(player && player->AudioState() == 2);
    }
    QVector<int> redraw = before;
    for (int selected : after) {
        if (!redraw.contains(selected)) {
            redraw.append(selected);
        }
    }
    std::sort(redraw.begin(), redraw.end());
    m_engine->RedrawCameos(ToVector(redraw));
}

CameoPress CameoController::Press(const QPoint& at, SelectKeys keys)
{
    m_panning = false;
    m_dragSource = -1;
    m_dragShown = false;
    const int tile = m_grid->CameoFromPoint(at.x(), at.y());
    if (tile < 0) {
        return CameoPress::Nothing;
    }
    SelectAsByClick(tile, keys);
    const CameoItem item = *m_grid->GetCameo(tile);
    CameoPress result = CameoPress::Nothing;
    m_pressAt = at;
    if (item.zoom > 1.0f) {
        m_panning = true;
        m_panXAtPress = item.panX;
        m_panYAtPress = item.panY;
        result = CameoPress::Pan;
    } else if (m_grid->IsMultiTile()) {
        m_dragSource = tile;
        result = CameoPress::Drag;
    }
    const int first = m_grid->GetFirstSelected();
    CameoPlayer* player = PlayerOf(first);
    if (player && player->PlayState() != CameoPlayer::kNoData) {
        m_host->FollowTimeBar(first);
    }
    return result;
}

bool CameoController::Move(const QPoint& at)
{
    if (m_dragSource >= 0 && !m_dragShown) {
        m_dragShown = std::abs(at.x() - m_pressAt.x()) > kDragThreshold
                      || std::abs(at.y() - m_pressAt.y()) > kDragThreshold;
    }
    const int first = m_grid->GetFirstSelected();
    if (m_panning && first >= 0 && m_grid->GetCameo(first)->zoom > 1.0f) {
        m_grid->SetPan(first, m_panXAtPress + m_pressAt.x() - at.x(), m_panYAtPress + m_pressAt.y() - at.y());
        m_engine->RedrawCameo(first);
    }
    return m_dragShown;
}

CameoDrop CameoController::Release(const QPoint& at)
{
    const int source = m_dragSource;
    m_dragSource = -1;
    m_dragShown = false;
    m_panning = false;
    if (source < 0) {
        return CameoDrop::Nothing;
    }
    const int target = m_grid->CameoFromPoint(at.x(), at.y());
    if (target < 0 || target == source) {
        return CameoDrop::Nothing;
    }
    const CameoItem from = *m_grid->GetCameo(source);
    const CameoItem to = *m_grid->GetCameo(target);
    if (from.fileTile || to.fileTile) {
        return CameoDrop::Refused;
    }
    if (from.assigned) {
        BindLivePair(target, from);
    }
    if (to.assigned) {
        BindLivePair(source, to);
    }
    SelectAsByClick(target, SelectKeys::None);
    m_engine->RedrawAll();
    return CameoDrop::Swapped;
}

void CameoController::BindLivePair(int tile, const CameoItem& from)
{
    ClearCameo(tile);
    const int holder = m_grid->FindLiveCameo(from.serverId, from.camera);
    if (holder >= 0 && holder != tile) {
        if (m_grid->GetCameo(holder)->fileTile) {
            m_grid->Update(holder, [](CameoItem& item) {
                item.serverId = kNoSourceId;
                item.camera = -1;
            });
        } else {
            ClearCameo(holder);
        }
    }
    m_grid->Update(tile, [&from](CameoItem& item) {
        item.assigned = 1;
        item.serverId = from.serverId;
        item.camera = from.camera;
        item.frameRate = from.frameRate;
        item.adjust1 = from.adjust1;
        item.adjust2 = from.adjust2;
        item.adjust3 = from.adjust3;
        item.zoom = from.zoom;
        item.panX = from.panX;
        item.panY = from.panY;
        item.liveRecordState = from.liveRecordState;
        item.recordTime = from.recordTime;
        item.recordDate = from.recordDate;
        item.recordPath = from.recordPath;
    });
}

void CameoController::Wheel(int delta)
{
    if (delta < 0) {
        ZoomOut();
    } else {
        ZoomIn();
    }
}

void CameoController::ViewSingle(const QPoint& at)
{
    const int tile = m_grid->CameoFromPoint(at.x(), at.y());
    if (tile < 0) {
        return;
    }
    m_grid->SelectCameo(tile, true, false);
    if (m_grid->IsMultiTile()) {
        Relayout(CameoLayout::kSingle, false, true);
    } else {
        Relayout(m_grid->PreviousLayoutCode(), false, true);
    }
    m_engine->RedrawAll();
}

void CameoController::ZoomIn()
{
    const int tile = m_grid->ZoomIn();
    if (tile >= 0) {
        m_engine->RedrawCameo(tile);
    }
}

void CameoController::ZoomOut()
{
    const int tile = m_grid->ZoomOut();
    if (tile >= 0) {
        m_engine->RedrawCameo(tile);
    }
}

void CameoController::SelectAll()
{
    QVector<int> before;
    m_grid->GetSelectedCameos(before);
    m_grid->SelectAll();
    QVector<int> after;
    m_grid->GetSelectedCameos(after);
    for (int tile : after) {
        if (!before.contains(tile)) {
            before.append(tile);
        }
    }
    std::sort(before.begin(), before.end());
    m_engine->RedrawCameos(ToVector(before));
}

CameoMenuState CameoController::MenuState(const QPoint& at)
{
    CameoMenuState menu;
    const int tile = m_grid->CameoFromPoint(at.x(), at.y());
    if (tile >= 0 && !m_grid->IsSelected(tile)) {
        SelectAsByClick(tile, SelectKeys::None);
    }
    menu.onTile = tile >= 0;
    menu.osdSetup = {m_host->Text(QStringLiteral("OSD_SETUP")), m_host->CanOpenOsdSetup(), false};
    const bool failed = m_engine->DirectDrawFailed();
    menu.useDirectX = {m_host->Text(QStringLiteral("USE_DIRECTX")), !failed,
                       !failed && m_engine->IsDirectDrawUsed()};
    menu.printSave = {m_host->Text(QStringLiteral("PRINT_SAVE")), CanPrintAndSave(), false};

    const QString zoomIn = m_host->Text(QStringLiteral("ZOOM_IN"));
    const QString zoomOut = m_host->Text(QStringLiteral("ZOOM_OUT"));
    const bool multi = m_grid->IsMultiTile();
    menu.viewSingle = {m_host->Text(multi ? QStringLiteral("VIEW_SINGLE") : QStringLiteral("VIEW_MULTI")), true,
                       false};
    QVector<int> selected;
    m_grid->GetSelectedCameos(selected);
    if (selected.size() != 1) {
        menu.zoomIn = {zoomIn, false, false};
        menu.zoomOut = {zoomOut, false, false};
        menu.viewSingle.enabled = false;
        menu.audioOut = {QStringLiteral("Audio Out"), false, false};
        return menu;
    }
    const CameoItem item = *m_grid->GetCameo(selected.first());
    // Zoom In is offered only while the next step is one the grid takes, so that the entry
    // never reads a factor that a click would not apply.
    const float next = std::round((item.zoom + CameoGrid::kZoomStep) * 10.0f) / 10.0f;
    if (next <= CameoGrid::kZoomMax) {
        menu.zoomIn = {MenuFactor(zoomIn, "     ", next), true, false};
    } else {
        menu.zoomIn = {zoomIn, false, false};
    }
    if (item.zoom > 1.0f) {
        menu.zoomOut = {MenuFactor(zoomOut, "   ", std::round((item.zoom - CameoGrid::kZoomStep) * 10.0f) / 10.0f),
                        true, false};
    } else {
        menu.zoomOut = {zoomOut, false, false};
    }
    CameoPlayer* player = PlayerOf(selected.first());
    const int audio = player ? player->AudioState() : 0;
    menu.audioOut = {QStringLiteral("Audio Out"), audio > 0, audio == 2};
    return menu;
}

void CameoController::AudioOut()
{
    if (!m_host->HasAudioDevice()) {
        m_host->ShowMessage(QStringLiteral("NO_AUDIO_DEVICE"), QStringLiteral("NOTIFY"));
        return;
    }
    const int tile = m_grid->GetFirstSelected();
    CameoPlayer* player = PlayerOf(tile);
    if (!player || !m_host->IsTilePlaying(tile)) {
        return;
    }
    switch (player->AudioState()) {
    case 2: m_host->OnAudioOff(); break;
    case 1: m_host->OnAudioOn(); break;
    default: break;
    }
}

void CameoController::ToggleDirectX()
{
    if (m_engine->DirectDrawFailed()) {
        return;
    }
    m_engine->SetDirectXWanted(!m_engine->IsDirectDrawUsed());
    if (m_afterLayout) {
        m_afterLayout();
    }
    m_engine->RedrawAll();
}

bool CameoController::CanPrintAndSave() const
{
    return m_host->CanOpenStillDialog() && m_grid->GetFirstSelected() >= 0;
}

void CameoController::PrintAndSave()
{
    StillRecord still;
    if (CanPrintAndSave() && BuildStill(&still)) {
        m_host->OpenStillDialog(still);
    }
}

bool CameoController::PrintAndSaveTile(int tile)
{
    StillRecord still;
    if (!m_host->CanOpenStillDialog() || !BuildStill(&still, tile))
        return false;
    m_host->OpenStillDialog(still);
    return true;
}

bool CameoController::BuildStill(StillRecord* still, int chosen) const
{
    const int tile = chosen < 0 ? m_grid->GetFirstSelected() : chosen;
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    if (!item) {
        return false;
    }
    int date = 0;
    int time = 0;
    if (!m_engine->LastPicture(tile, &still->picture, &date, &time) || still->picture.isNull()) {
        return false;
    }
    still->width = still->picture.width();
    still->height = still->picture.height();
    still->bitsPerPixel = 32;
    still->zoomX = item->zoom;
    still->zoomY = item->zoom;
    still->panX = item->panX;
    still->panY = item->panY;
    CameoPlayer* player = PlayerOf(tile);
    const QString recorder = player ? player->RecorderName() : QString();
    still->recorderName = item->sourceId == kFileSourceId && recorder.isEmpty() ? QStringLiteral("My PC")
                                                                                : recorder;
    const QString address = player ? player->RecorderAddress() : QString();
    still->address = address.isEmpty() ? QStringLiteral("0.0.0.0") : address;
    still->cameraName = player ? player->CameraTitle() : QString();
    still->dateTime = QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", date / 100 % 100, date % 100,
                                        date / 10000, time / 10000, time / 100 % 100, time % 100);
    still->cameraNumber = QString::number((player ? player->Channel() : item->channel) + 1);
    still->imageFolder = QDir(m_host->ProgramDirectory()).filePath(QStringLiteral("Image"));
    return true;
}

void CameoController::Freeze()
{
    QVector<int> selected;
    m_grid->GetSelectedCameos(selected);
    for (int tile : selected) {
        const CameoItem item = *m_grid->GetCameo(tile);
        CameoPlayer* player = PlayerOf(tile);
        if (!player || player->PlayState() == CameoPlayer::kNoData || item.fileTile) {
            continue;
        }
        if (m_host->IsTilePlaying(tile) && item.liveRecordState == 0) {
            player->ShowCurrentFrame();
            const int state = player->PlayState();
            if (state == 3 || state == 6 || state == 8) {
                player->PlayForward();
            }
            player->SetFrozen(true);
        }
        if (item.liveRecordState == 0) {
            m_grid->Update(tile, [](CameoItem& changed) { changed.liveRecordState = 1; });
        }
    }
}

void CameoController::Unfreeze()
{
    QVector<int> selected;
    m_grid->GetSelectedCameos(selected);
    for (int tile : selected) {
        m_grid->Update(tile, [](CameoItem& item) { item.liveRecordState = 0; });
        CameoPlayer* player = PlayerOf(tile);
        if (player && !m_grid->GetCameo(tile)->fileTile && m_host->IsTilePlaying(tile)) {
            player->SetFrozen(false);
            player->ShowCurrentFrame();
        }
    }
}

void CameoController::ToggleFreeze()
{
    QVector<int> selected;
    m_grid->GetSelectedCameos(selected);
    const bool anyRunning = std::any_of(selected.begin(), selected.end(),
                                        [this](int tile) { return m_grid->GetCameo(tile)->liveRecordState == 0; });
    if (anyRunning) {
        Freeze();
    } else {
        Unfreeze();
    }
}

void CameoController::SequenceStep()
{
    const int code = m_grid->LayoutCode();
    if (!m_sequencing || code == CameoLayout::kLastCode) {
        return;
    }
    Relayout(code, true, false);
    m_engine->RedrawAll();
}
