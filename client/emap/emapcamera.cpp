#include "emap/emapcamera.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "emap/emapentry.h"
#include "emap/emaphub.h"
#include "emap/emaplog.h"
#include "emap/emaptile.h"
#include "emap/emapview.h"
#include "session/recordersession.h"
#include "session/sitebook.h"

namespace {
constexpr int kTileGap = 11;
constexpr int kTileWidth = 160;
constexpr int kTileHeight = 120;
} // namespace

EmapCamera::EmapCamera(EmapView* view, int slot)
    : QPushButton(view)
    , m_view(view)
    , m_slot(slot)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(EmapEntry::kIconWidth, EmapEntry::kIconHeight);
    m_viewAct = new QAction(tr("View Cameo"), this);
    m_closeAct = new QAction(tr("Close Cameo"), this);
    m_deleteAct = new QAction(tr("Delete Camera"), this);
    connect(m_viewAct, &QAction::triggered, this, &EmapCamera::viewCameo);
    connect(m_closeAct, &QAction::triggered, this, &EmapCamera::closeCameo);
    connect(m_deleteAct, &QAction::triggered, this, &EmapCamera::deleteCamera);
    if (EmapHub* hub = EmapHub::Instance())
        m_tile = hub->CreateEmapTile(view, this, [this] { OnHideCameo(); });
    if (m_tile)
        m_tileWidget = m_tile->Widget();
}

EmapCamera::~EmapCamera()
{
    // The tile is a child of the window, not of the icon: it goes with its icon.
    if (EmapTile* tile = GetTile()) {
        if (m_tileShown)
            tile->CloseTile();
        delete m_tileWidget.data();
    }
}

void EmapCamera::setSiteBook(SiteBook record)
{
    m_recorder = record.index;
    m_channel = record.channel;
    m_name = record.name;
    setToolTip(m_name);
}

void EmapCamera::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
}

void EmapCamera::setAreaSize(int width, int height)
{
    m_areaWidth = width;
    m_areaHeight = height;
    move(int(float(width) * m_x), int(float(height) * m_y));
}

bool EmapCamera::RecorderRegistered() const
{
    return EmapView::Recorder(m_recorder) != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Drag

void EmapCamera::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = 1;
        m_pressX = event->pos().x();
        m_pressY = event->pos().y();
    }
    QPushButton::mousePressEvent(event);
}

void EmapCamera::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(pos() + QPoint(event->pos().x() - m_pressX, event->pos().y() - m_pressY));
        m_view->redrawLines();
    }
    QPushButton::mouseMoveEvent(event);
}

void EmapCamera::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = 0;
        StoreReleasedPosition();
    }
    QPushButton::mouseReleaseEvent(event);
}

void EmapCamera::StoreReleasedPosition()
{
    if (m_areaWidth <= 0 || m_areaHeight <= 0)
        setAreaSize(m_view->width(), m_view->height());
    const QPoint clamped = EmapEntry::ClampRelease(pos(), m_view->size(), size());
    m_x = float(clamped.x()) / float(m_areaWidth);
    m_y = float(clamped.y()) / float(m_areaHeight);
    move(int(m_x * float(m_areaWidth)), int(m_y * float(m_areaHeight)));
    if (m_deviceCamera) {
        if (RecorderSession* device = EmapView::Recorder(m_recorder)) {
            if (m_cameraMap)
                device->SetEmapDevicePos(m_channel, m_x, m_y);
            else
                device->SetEmapCameraPos(m_channel, m_x, m_y);
        }
    } else {
        m_view->storeEntry();
    }
    m_view->redrawLines();
}

void EmapCamera::mouseDoubleClickEvent(QMouseEvent* event)
{
    Q_UNUSED(event);
    viewCameo();
}

void EmapCamera::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(m_viewAct);
    menu.addAction(m_closeAct);
    menu.addSeparator();
    menu.addAction(m_deleteAct);
    menu.exec(event->globalPos());
}

// ---------------------------------------------------------------------------------------------
// Tile

void EmapCamera::viewCameo()
{
    EmapTile* tile = GetTile();
    if (!tile)
        return;
    EmapHub* hub = EmapHub::Instance();
    if (hub && RecorderRegistered())
        hub->StopEmapTiles(m_recorder, m_channel);
    const QRect icon = geometry();
    const QRect area(icon.x() + icon.width() + kTileGap, icon.y() + icon.height() + kTileGap, kTileWidth,
                     kTileHeight);
    tile->ShowChannel(m_recorder, m_channel, area);
    m_tileShown = 1;
    m_view->redrawLines();
}

void EmapCamera::closeCameo()
{
    if (EmapTile* tile = GetTile())
        tile->CloseTile();
    m_tileShown = 0;
    qCDebug(lcEmap) << "Close" << m_recorder << m_channel;
    m_view->redrawLines();
}

void EmapCamera::deleteCamera()
{
    if (m_deviceCamera) {
        if (RecorderSession* device = EmapView::Recorder(m_recorder)) {
            if (m_cameraMap)
                device->SetEmapDevicePos(m_channel, -1.0f, -1.0f);
            else
                device->SetEmapCameraPos(m_channel, -1.0f, -1.0f);
        }
    }
    closeCameo();
    m_view->removeCamera(m_slot);
    if (!m_view->IsRecorderMode())
        m_view->storeEntry();
    m_view->redrawLines();
}

void EmapCamera::OnHideCameo()
{
    m_tileShown = 0;
    m_view->redrawLines();
}
