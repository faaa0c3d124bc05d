#include "ui/cameodisplay.h"

#include "engine/hplivecontrol.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/tilesourcerect.h"
#include "ui/uilog.h"
#include "ui/windowcanvas.h"

#include <QPainter>
#include <chrono>

namespace {

constexpr int kBlankWidth = 336;
constexpr int kBlankHeight = 272;

// A tile fed by a recorder client: its live pair, or a playback pair that is not a file.
bool HasRecorderSource(const CameoItem& item)
{
    return item.serverId != kNoSourceId || (item.sourceId != kNoSourceId && !item.fileTile);
}

// The mean colour of a 32-bit picture as "#rrggbb", for the debug line of each shown picture.
QString MeanColour(const uint8_t* picture, int width, int height)
{
    quint64 sum[3] = {0, 0, 0};
    const quint64 count = quint64(width) * quint64(height);
    for (quint64 i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += picture[i * 4 + c];
    }
    const auto mean = [&](int c) { return QStringLiteral("%1").arg(sum[c] / count, 2, 16, QLatin1Char('0')); };
    return QLatin1Char('#') + mean(2) + mean(1) + mean(0);
}

} // namespace

CameoDisplay::CameoDisplay(CameoGrid* grid, CameoDisplayHost* host, WindowCanvas* canvas)
    : m_grid(grid)
    , m_host(host)
    , m_canvas(canvas)
    , m_blankPicture(static_cast<size_t>(kBlankWidth) * kBlankHeight * 4, 0)
{}

CameoDisplay::~CameoDisplay()
{
    StopPresenting();
}

bool CameoDisplay::Place(int tile, LiveFrame& frame, bool hasPicture, Placement* placement)
{
    if (!IsCameoIndex(tile)) {
        return false;
    }
    const CameoView view = m_grid->View(tile);
    if (view.item.assigned && view.item.visible && view.layoutCode == CameoLayout::kSingle) {
        m_host->SetCurrentTile(tile);
    }
    // This program opens no recorder client, so a tile that waits for one has nothing to show.
    if (HasRecorderSource(view.item) && view.item.sourceId != kFileSourceId) {
        return false;
    }
    TileSourceRect::ApplyMultiTileRule(view.layoutCode, &frame.width, &frame.height);
    if (!view.hasRect) {
        qCDebug(lcPlayerUi) << "Get Cameo Rect is NULL" << tile;
        return false;
    }
    if (!hasPicture || frame.width <= 0 || frame.height <= 0 || frame.width > kMaxPictureWidth
        || frame.height > kMaxPictureHeight) {
        qCDebug(lcPlayerUi) << "tile" << tile << "picture of a size it cannot hold:" << frame.width
                            << frame.height;
        return false;
    }

    int panX = view.item.panX;
    int panY = view.item.panY;
    placement->source = TileSourceRect::Compute(frame.width, frame.height, view.item.zoom, &panX, &panY);
    if (panX != view.item.panX || panY != view.item.panY) {
        m_grid->SetPan(tile, panX, panY);
    }
    placement->target = view.rect.ToQRect();
    placement->content = Content(tile, view, frame, placement->target);
    placement->channel = view.item.channel;
    return true;
}

int CameoDisplay::DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                               int fromDecoder)
{
    Placement placement;
    if (!Place(tile, frame, picture != nullptr, &placement)) {
        return 0;
    }
    LogShown(tile, frame, picture);
    if (m_host->CaptureForExport(tile, placement.channel, picture, frame.width, frame.height, fromDecoder,
                                 frame.date, frame.time)) {
        return 0;
    }
    const QImage image(picture, frame.width, frame.height, frame.width * 4, QImage::Format_RGB32);
    if (useDirectDraw && m_front.IsCreated()) {
        DrawThroughFront(tile, image, placement.source, placement.target, placement.content);
    } else {
        DrawThroughCanvas(tile, image, placement.source, placement.target, placement.content);
    }
    return 0;
}

int CameoDisplay::DisplayPicture(int tile, LiveFrame& frame, TilePicture& picture, int useDirectDraw,
                                 int fromDecoder)
{
    // A frame whose size is not the picture's (the multi-tile rule read it as a smaller one)
    // is drawn from the whole picture as the frame describes it.
    const int width = frame.width;
    const int height = frame.height;
    if (!IsCameoIndex(tile) || width != picture.Width() || height != picture.Height()
        || m_host->MayCaptureForExport(tile, m_grid->View(tile).item.channel)) {
        return TileDisplay::DisplayPicture(tile, frame, picture, useDirectDraw, fromDecoder);
    }
    Placement placement;
    if (!Place(tile, frame, true, &placement)) {
        return 0;
    }
    if (frame.width != width || frame.height != height) {
        frame.width = width;
        frame.height = height;
        return TileDisplay::DisplayPicture(tile, frame, picture, useDirectDraw, fromDecoder);
    }
    // Only with the debug line on is the whole picture made, for its mean colour.
    if (lcPlayerUi().isDebugEnabled()) {
        LogShown(tile, frame, picture.Whole());
    }
    const QRect& target = placement.target;
    std::lock_guard<std::mutex> tileLock(m_tileLocks[tile]);
    const bool throughFront = useDirectDraw && m_front.IsCreated();
    // The composed road: the picture is scaled straight into the tile's place in the window's
    // picture and the OSD drawn over it, all under the canvas's lock, so that the window never
    // shows one without the other.
    if (!throughFront && DrawIntoCanvas(tile, picture, placement)) {
        return 0;
    }
    QImage& composed = m_tileImages[tile];
    if (composed.size() != target.size()) {
        composed = QImage(target.size(), QImage::Format_RGB32);
    }
    if (composed.isNull()) {
        return 0;
    }
    // The one conversion of the picture: from the decoder's planes to the tile's size.
    if (!picture.ScaleInto(placement.source, composed.bits(), composed.width(), composed.height(),
                           composed.bytesPerLine())) {
        const uint8_t* whole = picture.Whole();
        if (!whole) {
            return 0;
        }
        const QImage image(whole, width, height, width * 4, QImage::Format_RGB32);
        QPainter painter(&composed);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(QPoint(0, 0), target.size()), image, placement.source);
    }
    Present(tile, composed, target, placement.content, throughFront);
    return 0;
}

// Called with the tile's lock held.
bool CameoDisplay::DrawIntoCanvas(int tile, TilePicture& picture, const Placement& placement)
{
    const QRect& target = placement.target;
    m_osd[tile].SetOptions(GetOsdStyle());
    return m_canvas->Draw([&](QImage& image) {
        if (image.format() != QImage::Format_RGB32 || !image.rect().contains(target)) {
            return false;
        }
        uint8_t* at = image.bits() + size_t(target.top()) * size_t(image.bytesPerLine())
                      + size_t(target.left()) * 4;
        if (!picture.ScaleInto(placement.source, at, target.width(), target.height(), image.bytesPerLine())) {
            return false;
        }
        OsdContent placed = placement.content;
        placed.rect = target;
        m_overlays[tile].Draw(m_osd[tile], placed, image);
        return true;
    });
}

void CameoDisplay::LogShown(int tile, const LiveFrame& frame, const uint8_t* picture) const
{
    if (picture) {
        qCDebug(lcPlayerUi, "tile %d shows %dx%d %08d %06d mean %s", tile, frame.width, frame.height, frame.date,
                frame.time, qPrintable(MeanColour(picture, frame.width, frame.height)));
    }
}

OsdContent CameoDisplay::Content(int tile, const CameoView& view, const LiveFrame& frame, const QRect& rect) const
{
    OsdContent content;
    content.tile = tile;
    content.rect = rect;
    content.selected = view.selected;
    content.multiTile = view.multiTile;
    content.layoutCode = view.layoutCode;
    content.mark = frame.mark;
    content.date = frame.date;
    content.time = frame.time;
    content.fileTile = view.item.fileTile != 0;
    content.liveRecordState = view.item.liveRecordState;
    content.player = m_host->PlayerText(tile);
    return content;
}

void CameoDisplay::DrawThroughFront(int tile, const QImage& picture, const QRect& source, const QRect& target,
                                    const OsdContent& content)
{
    // Locks in one order everywhere: the tile's, then the front's, then the window canvas's.
    const OsdStyle style = GetOsdStyle();
    std::lock_guard<std::mutex> tileLock(m_tileLocks[tile]);
    m_osd[tile].SetOptions(style);
    DrawOnFront(tile, picture, source, target, content);
}

// Called with the tile's lock held: the front takes the picture's source rectangle to the
// target and the tile's OSD overlay is laid over it there (drawn afresh only when what it shows
// changed).
void CameoDisplay::DrawOnFront(int tile, const QImage& picture, const QRect& source, const QRect& target,
                               const OsdContent& content)
{
    m_front.Lock();
    if (m_front.Draw(picture.constBits(), picture.width(), picture.height()) == 0
        && m_front.Blit(source, target) == 0) {
        if (QImage* composition = m_front.CompositionImage()) {
            OsdContent placed = content;
            placed.rect = target;
            m_overlays[tile].Draw(m_osd[tile], placed, *composition);
        }
    }
    m_front.Unlock();
    WakePresent();
}

void CameoDisplay::DrawThroughCanvas(int tile, const QImage& picture, const QRect& source, const QRect& target,
                                     const OsdContent& content)
{
    std::lock_guard<std::mutex> tileLock(m_tileLocks[tile]);
    QImage& composed = m_tileImages[tile];
    if (composed.size() != target.size()) {
        composed = QImage(target.size(), QImage::Format_RGB32);
    }
    if (composed.isNull()) {
        return;
    }
    {
        QPainter painter(&composed);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(QPoint(0, 0), target.size()), picture, source);
    }
    Present(tile, composed, target, content, false);
}

// Called with the tile's lock held.
void CameoDisplay::Present(int tile, QImage& composed, const QRect& target, const OsdContent& content,
                           bool throughFront)
{
    const OsdStyle style = GetOsdStyle();
    m_osd[tile].SetOptions(style);
    if (!throughFront) {
        OsdContent local = content;
        local.rect = QRect(QPoint(0, 0), target.size());
        m_overlays[tile].Draw(m_osd[tile], local, composed);
        m_canvas->Put(target.topLeft(), composed);
        return;
    }
    // The picture already has the tile's size: the front copies it 1:1 and draws the OSD over it.
    DrawOnFront(tile, composed, QRect(QPoint(0, 0), composed.size()), target, content);
}

void CameoDisplay::RedrawCameos(const std::vector<int>& tiles)
{
    const int useDirectDraw = m_host->IsDirectDraw() ? 1 : 0;
    for (int tile : tiles) {
        if (!IsCameoIndex(tile) || !m_grid->View(tile).item.visible) {
            continue;
        }
        m_drawing[tile] = 1;
        if (!(m_host->IsTilePlaying(tile) && m_host->ShowCurrentFrame(tile))) {
            m_blankFrame.Clear();
            DisplayFrame(tile, m_blankFrame, m_blankPicture.data(), useDirectDraw, 0);
        }
        m_drawing[tile] = 0;
    }
}

void CameoDisplay::RedrawAll()
{
    std::vector<int> tiles;
    for (int tile = 0; tile < kCameoCount; ++tile) {
        tiles.push_back(tile);
    }
    RedrawCameos(tiles);
}

void CameoDisplay::RedrawCameo(int tile)
{
    RedrawCameos({tile});
}

int CameoDisplay::OsdRenders(int tile) const
{
    if (!IsCameoIndex(tile)) {
        return 0;
    }
    std::lock_guard<std::mutex> tileLock(m_tileLocks[tile]);
    return m_overlays[tile].Renders();
}

bool CameoDisplay::IsDrawing(int tile) const
{
    return IsCameoIndex(tile) && m_drawing[tile] != 0;
}

int CameoDisplay::CreateFront(int width, int height)
{
    m_front.Lock();
    const int result = m_front.Create(m_canvas, width, height, kMaxPictureWidth, kMaxPictureHeight);
    m_front.Unlock();
    return result;
}

void CameoDisplay::ResizeFront(int width, int height)
{
    m_front.Lock();
    if (m_front.IsCreated()) {
        m_front.Resize(m_canvas, width, height);
    }
    m_front.Unlock();
}

void CameoDisplay::SetFrontSuspended(bool suspended)
{
    m_frontSuspended = suspended;
    if (!suspended) {
        WakePresent();
    }
}

void CameoDisplay::ClearWindow()
{
    const QVector<CameoRect> spare = m_grid->SpareCells();
    auto drawSpare = [&spare](QPainter& painter) {
        painter.setPen(QPen(OsdPainter::kBorderColour, 2, Qt::SolidLine, Qt::SquareCap));
        painter.setBrush(Qt::NoBrush);
        for (const CameoRect& cell : spare) {
            painter.drawRect(cell.ToQRect().adjusted(0, 0, -1, -1));
        }
    };
    m_front.Lock();
    if (m_front.IsCreated()) {
        m_front.Clear(Qt::black);
        if (QPainter* painter = m_front.CompositionDC()) {
            drawSpare(*painter);
            m_front.ReleaseCompositionDC();
        }
    }
    m_front.Unlock();
    m_canvas->Fill(Qt::black);
    m_canvas->Paint(drawSpare);
    WakePresent();
}

void CameoDisplay::SetOsdStyle(const OsdStyle& style)
{
    QMutexLocker locker(&m_styleLock);
    m_style = style;
}

OsdStyle CameoDisplay::GetOsdStyle() const
{
    QMutexLocker locker(&m_styleLock);
    return m_style;
}

void CameoDisplay::SetOsdOptions(const OsdOptions& options)
{
    OsdStyle style;
    style.showCameraTitle = options.showCameraTitle != 0;
    style.showRecorderName = options.showRecorderName != 0;
    style.showDate = options.showDate != 0;
    style.showTime = options.showTime != 0;
    style.showEvent = options.showEvent != 0;
    style.showTileNumber = options.showTileNumber != 0;
    style.textColour = qRgb((options.textColour >> 16) & 0xFF, (options.textColour >> 8) & 0xFF,
                            options.textColour & 0xFF);
    SetOsdStyle(style);
}

void CameoDisplay::SetEventWords(const OsdEventWords& words)
{
    for (int tile = 0; tile < kCameoCount; ++tile) {
        std::lock_guard<std::mutex> tileLock(m_tileLocks[tile]);
        m_osd[tile].SetEventWords(words);
    }
}

void CameoDisplay::StartPresenting()
{
    if (m_presentThread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_presentLock);
        m_presentStop = false;
    }
    m_presentThread = std::thread([this] { PresentLoop(); });
}

void CameoDisplay::StopPresenting()
{
    {
        std::lock_guard<std::mutex> lock(m_presentLock);
        m_presentStop = true;
    }
    m_presentWake.notify_all();
    if (m_presentThread.joinable()) {
        m_presentThread.join();
    }
}

void CameoDisplay::WakePresent()
{
    {
        std::lock_guard<std::mutex> lock(m_presentLock);
        m_presentDirty = true;
    }
    m_presentWake.notify_one();
}

// Copies the composition to the window at most every 33 ms, and only after something was drawn,
// so that a paused player costs nothing here.
void CameoDisplay::PresentLoop()
{
    std::unique_lock<std::mutex> lock(m_presentLock);
    while (true) {
        m_presentWake.wait(lock, [this] { return m_presentStop || m_presentDirty; });
        if (m_presentStop) {
            return;
        }
        m_presentDirty = false;
        lock.unlock();
        bool presented = false;
        if (!m_frontSuspended && !m_host->HoldsPresenting() && m_host->IsDirectDraw() && !m_front.IsLocked()) {
            m_front.Lock();
            m_front.Present();
            m_front.Unlock();
            presented = true;
        }
        lock.lock();
        if (!presented && !m_frontSuspended && !m_host->HoldsPresenting() && m_host->IsDirectDraw()) {
            // A drawer held the front: try again at the next pass.
            m_presentDirty = true;
        }
        m_presentWake.wait_for(lock, std::chrono::milliseconds(kPresentIntervalMs),
                               [this] { return m_presentStop; });
    }
}
