#include "search/ccameomuseum.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPainter>
#include <QWheelEvent>

#include "search/searchlog.h"
#include "search/snapshotfile.h"
#include "search/tileview.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

// The tile stands at (10, 30) in the museum search dialog; positions handed up while not playing
// are in the dialog's coordinates.
const QPoint kDialogOffset(10, 30);
constexpr int kSnapshotArchiveKind = 4;

QFont CaptionFont()
{
    QFont font(QStringLiteral("Lucida"), 9);
    font.setWeight(75);
    return font;
}

void OutlineFrame(QPainter& painter, const QSize& size)
{
    painter.setOpacity(1.0);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, size.width() - 2, size.height() - 2);
}

} // namespace

CCameoMuseum::CCameoMuseum()
    : QLabel(nullptr)
    , m_canvas(size())
{
    ClearCameo();
    CreateActions();
    connect(&m_refreshTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void CCameoMuseum::CreateActions()
{
    struct Def
    {
        QAction** action;
        const char* text;
        const char* icon;
        void (CCameoMuseum::*slot)();
    };
    const Def defs[] = {
        {&m_zoomIn, "Zoom In", ":/res/Resource/zoom in.png", &CCameoMuseum::zoomInAction},
        {&m_zoomOut, "Zoom Out", ":/res/Resource/zoomout.png", &CCameoMuseum::zoomOutAction},
        {&m_record, "Record", ":/res/Resource/record.png", &CCameoMuseum::recordAction},
        {&m_snapShot, "Snap Shot", ":/res/Resource/snap.png", &CCameoMuseum::snapShotAction},
        {&m_quick, "Quick Search", ":/res/Resource/seldate.png", &CCameoMuseum::quickSearchAction},
        {&m_thumbnail, "Thumbnail Search", ":/res/Resource/thumbnail.png", &CCameoMuseum::thumnailSearchAction},
        {&m_museum, "Museum Search", ":/res/Resource/museum.png", &CCameoMuseum::museumSearchAction},
    };
    for (const Def& d : defs) {
        *d.action = new QAction(QIcon(QLatin1String(d.icon)), QLatin1String(d.text), this);
        connect(*d.action, &QAction::triggered, this, d.slot);
    }
}

QAction* CCameoMuseum::Action(const char* text) const
{
    for (QAction* a : {m_zoomIn, m_zoomOut, m_record, m_snapShot, m_quick, m_thumbnail, m_museum}) {
        if (a->text().section(QLatin1Char('\t'), 0, 0) == QLatin1String(text))
            return a;
    }
    return nullptr;
}

void CCameoMuseum::SetCameoInfo(const QImage& picture, int columns, int rows, int areaEndColumn, int areaEndRow,
                                int areaStartColumn, int areaStartRow, const QString& dateText,
                                const QString& timeText, const QString& recorderName, const QString& cameraName,
                                int playMode, int speedStep, bool playing)
{
    Info info;
    info.picture = picture;
    info.columns = columns;
    info.rows = rows;
    info.areaEndColumn = areaEndColumn;
    info.areaEndRow = areaEndRow;
    info.areaStartColumn = areaStartColumn;
    info.areaStartRow = areaStartRow;
    info.dateText = dateText;
    info.timeText = timeText;
    info.recorderName = recorderName;
    info.cameraName = cameraName;
    info.playMode = playMode;
    info.speedStep = speedStep;
    info.playing = playing;
    SetCameoInfo(info);
}

void CCameoMuseum::SetCameoInfo(const Info& info)
{
    QMutexLocker locker(&m_lock);
    DrawLocked(info);
}

void CCameoMuseum::DrawLocked(const Info& info)
{
    if (!info.playing) {
        m_zoom = 1.0;
        m_pan = QPoint(0, 0);
    }
    m_playing = info.playing;
    m_info = info;
    // A resize of a hidden tile reaches resizeEvent only when it is shown; drawing follows the
    // tile's size at once.
    if (m_canvas.size() != size())
        m_canvas = QPixmap(size());
    if (m_canvas.isNull())
        return;
    const QSize tile = m_canvas.size();
    QPainter painter(&m_canvas);

    if (!info.picture.isNull()) {
        const QRect part = TileView::ShownPart(info.picture.size(), m_zoom, m_pan);
        const QImage shown = part == info.picture.rect() ? info.picture : info.picture.copy(part);
        painter.drawImage(0, 0, shown.scaled(tile, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    } else {
        painter.fillRect(QRect(QPoint(0, 0), tile), Qt::black);
    }

    const bool grid = info.columns > 0 && info.rows > 0 && !info.playing;
    if (grid) {
        painter.setOpacity(0.5);
        painter.setPen(Qt::green);
        painter.setBrush(Qt::NoBrush);
        for (int r = 0; r < info.rows; ++r) {
            for (int c = 0; c < info.columns; ++c) {
                const QRect cell = TileView::CellRect(tile, info.columns, info.rows, c, r);
                painter.drawRect(cell.x(), cell.y(), cell.width() - 1, cell.height() - 1);
            }
        }
        if (info.areaEndColumn > 0 && info.areaEndRow > 0)
            painter.fillRect(TileView::AreaRect(tile, info.columns, info.rows, info.areaEndColumn, info.areaEndRow,
                                                info.areaStartColumn, info.areaStartRow),
                             QColor(0, 0, 128));
    }
    const QString caption = grid ? QString() : TileView::SpeedCaption(info.playMode, info.speedStep);
    if (!info.timeText.isEmpty())
        DrawTexts(painter, caption, grid);
    OutlineFrame(painter, tile);
}

void CCameoMuseum::DrawTexts(QPainter& painter, const QString& caption, bool /*grid*/)
{
    const QSize tile = m_canvas.size();
    painter.setOpacity(1.0);
    painter.setFont(CaptionFont());
    const QRect shadow(5, 5, tile.width() - 9, tile.height() - 8);
    const QRect front = shadow.translated(-1, -1);
    const QString stamp = m_info.dateText + QLatin1Char('\n') + m_info.timeText;
    for (const auto& [rect, colour] :
         {std::pair{shadow, QColor(Qt::black)}, std::pair{front, QColor(Qt::white)}}) {
        painter.setPen(colour);
        painter.drawText(rect, Qt::AlignTop | Qt::AlignRight, stamp);
        painter.drawText(rect, Qt::AlignTop | Qt::AlignLeft, m_info.cameraName);
        painter.drawText(rect, Qt::AlignBottom | Qt::AlignLeft, m_info.recorderName);
        painter.drawText(rect, Qt::AlignBottom | Qt::AlignRight, caption);
    }
    if (m_recordMark == 1) {
        painter.setPen(Qt::red);
        painter.drawText(front, Qt::AlignBottom | Qt::AlignHCenter, QStringLiteral("REC"));
    }
}

void CCameoMuseum::RefreshCameo()
{
    if (!m_lock.tryLock())
        return;
    Info info = m_info;
    info.columns = info.rows = 0;
    info.areaEndColumn = info.areaEndRow = info.areaStartColumn = info.areaStartRow = 0;
    DrawLocked(info);
    m_lock.unlock();
}

void CCameoMuseum::ClearCameo()
{
    {
        QMutexLocker locker(&m_lock);
        if (m_canvas.isNull())
            return;
        m_canvas.fill(Qt::black);
        QPainter painter(&m_canvas);
        OutlineFrame(painter, m_canvas.size());
    }
    update();
}

void CCameoMuseum::EnableUpdate(bool on)
{
    if (on)
        m_refreshTimer.start(kRefreshMs);
    else
        m_refreshTimer.stop();
}

QPixmap CCameoMuseum::Canvas() const
{
    QMutexLocker locker(&m_lock);
    return m_canvas;
}

void CCameoMuseum::paintEvent(QPaintEvent* /*event*/)
{
    QMutexLocker locker(&m_lock);
    if (m_canvas.isNull()) {
        qCDebug(lcSearch) << "pixmap null";
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(QRect(0, 0, width(), height()), m_canvas);
}

void CCameoMuseum::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    QMutexLocker locker(&m_lock);
    m_canvas = QPixmap(size());
    if (!m_canvas.isNull())
        m_canvas.fill(Qt::black);
}

QMenu* CCameoMuseum::BuildContextMenu()
{
    if (!m_playing)
        return nullptr;
    auto* menu = new QMenu(this);
    const bool full = TileView::IsFullZoom(m_zoom);
    m_zoomIn->setText(full ? QStringLiteral("Zoom In")
                           : QStringLiteral("Zoom In\t")
                                 + QString::asprintf("x%0.1f", m_zoom + TileView::kZoomStep));
    m_zoomIn->setEnabled(!full);
    const bool unzoomed = TileView::IsUnzoomed(m_zoom);
    m_zoomOut->setText(unzoomed ? QStringLiteral("Zoom Out")
                                : QStringLiteral("Zoom Out\t")
                                      + QString::asprintf("x%0.1f", m_zoom - TileView::kZoomStep));
    m_zoomOut->setEnabled(!unzoomed);
    menu->addAction(m_zoomIn);
    menu->addAction(m_zoomOut);
    menu->addSeparator();
    menu->addAction(m_record);
    menu->addAction(m_snapShot);
    menu->addSeparator();
    switch (m_searchKind) {
    case SearchKind::Quick:
        menu->addAction(m_museum);
        menu->addAction(m_thumbnail);
        break;
    case SearchKind::Museum:
        menu->addAction(m_quick);
        menu->addAction(m_thumbnail);
        break;
    case SearchKind::Thumbnail:
        menu->addAction(m_quick);
        menu->addAction(m_museum);
        break;
    }
    return menu;
}

void CCameoMuseum::contextMenuEvent(QContextMenuEvent* event)
{
    m_drag = false;
    QMenu* menu = BuildContextMenu();
    if (!menu)
        return;
    menu->exec(event->globalPos());
    delete menu;
}

void CCameoMuseum::ChangeZoom(double zoom)
{
    m_zoom = std::clamp(zoom, TileView::kMinZoom, TileView::kMaxZoom);
    if (TileView::IsUnzoomed(m_zoom))
        m_pan = QPoint(0, 0);
    RefreshCameo();
}

void CCameoMuseum::zoomInAction()
{
    ChangeZoom(m_zoom + TileView::kZoomStep);
}

void CCameoMuseum::zoomOutAction()
{
    ChangeZoom(m_zoom - TileView::kZoomStep);
}

void CCameoMuseum::wheelEvent(QWheelEvent* event)
{
    if (!m_playing)
        return;
    ChangeZoom(TileView::WheelZoom(m_zoom, event->angleDelta().y()));
}

void CCameoMuseum::mousePressEvent(QMouseEvent* event)
{
    if (!m_playing)
        emit OnMousePress(event->pos().x() + kDialogOffset.x(), event->pos().y() + kDialogOffset.y());
    if (event->button() == Qt::LeftButton) {
        m_lastMouse = event->pos();
        m_drag = true;
    }
}

void CCameoMuseum::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_playing) {
        emit OnMouseMove(event->pos().x() + kDialogOffset.x(), event->pos().y() + kDialogOffset.y());
        return;
    }
    if (!m_drag || !(event->buttons() & Qt::LeftButton) || TileView::IsUnzoomed(m_zoom))
        return;
    m_pan = TileView::Pan(m_pan, m_lastMouse, event->pos());
    m_lastMouse = event->pos();
    RefreshCameo();
}

void CCameoMuseum::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag = false;
    // A dialog that drags an area over the tile ends its drag with this release.
    if (!m_playing)
        event->ignore();
}

void CCameoMuseum::recordAction()
{
    emit recordSignal();
}

void CCameoMuseum::quickSearchAction()
{
    emit quickSearch();
}

void CCameoMuseum::thumnailSearchAction()
{
    emit thumbnailSearch();
}

void CCameoMuseum::museumSearchAction()
{
    emit museumSearch();
}

void CCameoMuseum::snapShotAction()
{
    TakeSnapshot();
}

QString CCameoMuseum::TakeSnapshot()
{
    if (m_deviceIndex < 0)
        return QString();
    Info info;
    {
        QMutexLocker locker(&m_lock);
        info = m_info;
    }
    SnapshotFile::Moment moment;
    if (info.picture.isNull() || !SnapshotFile::ParseMoment(info.dateText, info.timeText, moment)) {
        qCDebug(lcSearch) << "snapshot without a picture or a time" << info.dateText << info.timeText;
        return QString();
    }
    const QSize size = SnapshotFile::SavedSize(info.picture.size());
    const QImage picture = size == info.picture.size()
                               ? info.picture
                               : info.picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage stamped(size, QImage::Format_RGB32);
    {
        QPainter painter(&stamped);
        painter.drawImage(0, 0, picture);
        painter.setFont(CaptionFont());
        const QString stamp = SnapshotFile::StampText(moment);
        const QRect shadow(QPoint(5, 5), QPoint(size.width() - 6, size.height() - 6));
        const QRect front(QPoint(4, 4), QPoint(size.width() - 6, size.height() - 6));
        for (const auto& [rect, colour] :
             {std::pair{shadow, QColor(Qt::black)}, std::pair{front, QColor(Qt::white)}}) {
            painter.setPen(colour);
            painter.drawText(rect, Qt::AlignTop | Qt::AlignRight, stamp);
            painter.drawText(rect, Qt::AlignBottom | Qt::AlignLeft, info.recorderName);
        }
    }
    SessionHub* hub = SessionHub::Instance();
    const QString folder = SnapshotFile::DayFolder(hub ? hub->ProgramDirectory() : QDir::currentPath(),
                                                   info.recorderName, moment);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + SnapshotFile::FileName(moment, info.cameraName);
    if (!stamped.save(path, "JPG")) {
        // A failed save is not reported to the user.
        qCDebug(lcSearch) << "snapshot not saved" << path;
        return QString();
    }
    if (RecorderSession* device = hub ? hub->GetDevice(m_deviceIndex) : nullptr)
        device->UpdateArchiveItems(nullptr, kSnapshotArchiveKind);
    return path;
}
