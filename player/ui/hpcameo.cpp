#include "ui/hpcameo.h"
#include "ui/cskinmenu.h"

#include "ui/cameoengine.h"
#include "ui/cameohost.h"
#include "ui/uilog.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

constexpr int kDragImageSize = 64;

SelectKeys KeysOf(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        return SelectKeys::Control;
    }
    if (modifiers & Qt::ShiftModifier) {
        return SelectKeys::Shift;
    }
    return SelectKeys::None;
}

// The drag image: a tile outline with a camera, drawn here rather than loaded.
QPixmap DragPixmap()
{
    QPixmap pixmap(kDragImageSize, kDragImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(212, 230, 255), 2));
    painter.setBrush(QColor(35, 56, 85, 200));
    painter.drawRoundedRect(QRectF(4, 12, 56, 40), 4, 4);
    painter.setBrush(QColor(212, 230, 255));
    painter.drawEllipse(QPointF(30, 32), 9, 9);
    painter.drawRect(QRectF(44, 24, 10, 6));
    return pixmap;
}

} // namespace

HPCameo::HPCameo(CameoHost* host, CameoDisplayHost* displayHost, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
    , m_display(std::make_unique<CameoDisplay>(&m_grid, displayHost, &m_canvas))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    m_dragImage = new QLabel(this);
    m_dragImage->setPixmap(DragPixmap());
    m_dragImage->setFixedSize(kDragImageSize, kDragImageSize);
    m_dragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dragImage->hide();
    // Drawing threads only post a repaint; the window itself is touched on its own thread.
    QPointer<HPCameo> self(this);
    m_canvas.SetChangeCallback([self] {
        if (self) {
            QMetaObject::invokeMethod(
                self.data(), [self] { self->update(); }, Qt::QueuedConnection);
        }
    });
    m_sequenceTimer.setInterval(kSequenceIntervalMs);
    connect(&m_sequenceTimer, &QTimer::timeout, this, [this] {
        if (m_controller) {
            m_controller->SequenceStep();
        }
    });
}

HPCameo::~HPCameo()
{
    m_canvas.SetChangeCallback(nullptr);
    m_display->StopPresenting();
}

void HPCameo::Init(CameoEngine* engine)
{
    m_engine = engine;
    m_controller = std::make_unique<CameoController>(&m_grid, m_host, engine);
    // A layout clears the window; its tiles are drawn again at once (blank with their numbers,
    // or their last picture), whoever asked for the layout.
    m_controller->SetAfterLayout([this] {
        m_display->ClearWindow();
        m_engine->RedrawAll();
    });
    m_grid.SelectCameo(0, true, false);
}

void HPCameo::SelectCameo(int tile, bool select, bool add)
{
    m_grid.SelectCameo(tile, select, add);
}

bool HPCameo::PtInWindow(const QPoint& screenPoint) const
{
    return rect().contains(mapFromGlobal(screenPoint));
}

void HPCameo::Layout(int width, int height, int code, bool repress, bool restore, bool keepStart)
{
    // A layout chosen by the user ends the automatic cycling.
    SetSequencing(false);
    LayOut(width, height, code, repress, restore, keepStart);
}

void HPCameo::LayOut(int width, int height, int code, bool repress, bool restore, bool keepStart)
{
    m_canvas.Resize(width, height);
    m_display->ResizeFront(width, height);
    if (m_controller) {
        m_controller->Layout(width, height, code, repress, restore, keepStart);
    } else {
        m_grid.Layout(width, height, code, repress, restore, keepStart);
        m_display->ClearWindow();
    }
}

int HPCameo::OpenFile(int tile, const QString& folder, const QString& fileName)
{
    return m_controller ? m_controller->OpenFile(tile, folder, fileName) : -1;
}

void HPCameo::SetCameoPlayback(int tile, int sourceId, int channel, bool start)
{
    if (m_controller) {
        m_controller->SetCameoPlayback(tile, sourceId, channel, start);
    }
}

void HPCameo::ClearCameo(int tile)
{
    if (m_controller) {
        m_controller->ClearCameo(tile);
    }
}

void HPCameo::SetFrameRate(int tile, int frameRate)
{
    if (m_controller) {
        m_controller->SetFrameRate(tile, frameRate);
    }
}

void HPCameo::SetAdjust1(int tile, int value)
{
    if (m_controller) {
        m_controller->SetAdjust(tile, 1, value);
    }
}

void HPCameo::SetAdjust2(int tile, int value)
{
    if (m_controller) {
        m_controller->SetAdjust(tile, 2, value);
    }
}

void HPCameo::SetAdjust3(int tile, int value)
{
    if (m_controller) {
        m_controller->SetAdjust(tile, 3, value);
    }
}

void HPCameo::SelectAll()
{
    if (m_controller) {
        m_controller->SelectAll();
    }
}

void HPCameo::FreezeSelected()
{
    if (m_controller) {
        m_controller->Freeze();
    }
}

void HPCameo::UnfreezeSelected()
{
    if (m_controller) {
        m_controller->Unfreeze();
    }
}

void HPCameo::ToggleFreeze()
{
    if (m_controller) {
        m_controller->ToggleFreeze();
    }
}

void HPCameo::SetSequencing(bool on)
{
    if (!m_controller) {
        return;
    }
    m_controller->SetSequencing(on);
    if (on) {
        m_sequenceTimer.start();
    } else {
        m_sequenceTimer.stop();
    }
}

QMenu* HPCameo::ContextMenu() const
{
    return m_menu.data();
}

bool HPCameo::IsDragImageShown() const
{
    return m_dragImage->isVisible();
}

void HPCameo::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    m_canvas.PaintOnto(painter);
}

void HPCameo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int code = m_grid.LayoutCode();
    LayOut(width(), height(), code < 0 ? CameoLayout::kSixteen : code, false, false, true);
    if (m_engine) {
        m_engine->RedrawAll();
    }
}

void HPCameo::mousePressEvent(QMouseEvent* event)
{
    if (!m_controller) {
        return;
    }
    if (event->button() == Qt::RightButton) {
        ShowContextMenu(event->pos());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const CameoPress press = m_controller->Press(event->pos(), KeysOf(event->modifiers()));
    if (press != CameoPress::Nothing) {
        grabMouse();
    }
}

void HPCameo::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_controller || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (m_controller->Move(event->pos())) {
        MoveDragImage(event->pos());
    }
}

void HPCameo::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_controller || event->button() != Qt::LeftButton) {
        return;
    }
    HideDragImage();
    releaseMouse();
    if (m_controller->Release(event->pos()) == CameoDrop::Refused) {
        QApplication::beep();
        emit DropRefused();
    }
}

void HPCameo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_controller && event->button() == Qt::LeftButton) {
        m_controller->ViewSingle(event->pos());
    }
}

void HPCameo::wheelEvent(QWheelEvent* event)
{
    if (m_controller && event->angleDelta().y() != 0) {
        m_controller->Wheel(event->angleDelta().y());
    }
    event->accept();
}

void HPCameo::ShowContextMenu(const QPoint& at)
{
    const CameoMenuState state = m_controller->MenuState(at);
    if (m_menu) {
        m_menu->deleteLater();
    }
    auto* menu = new CSkinMenu(this);
    m_menu = menu;
    m_menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [this, menu](int id, const CameoMenuEntry& entry, auto slot, bool checkable = false) {
        QAction* action = menu->AppendItem(entry.text, id);
        action->setEnabled(entry.enabled);
        action->setCheckable(checkable);
        action->setChecked(entry.checked);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    if (state.onTile) {
        add(kViewSingleCommand, state.viewSingle, [this, at] { m_controller->ViewSingle(at); });
        add(kZoomInCommand, state.zoomIn, [this] { m_controller->ZoomIn(); });
        add(kZoomOutCommand, state.zoomOut, [this] { m_controller->ZoomOut(); });
        add(
            kAudioOutCommand, state.audioOut, [this] { m_controller->AudioOut(); }, true);
        m_menu->addSeparator();
    }
    add(kOsdSetupCommand, state.osdSetup, [this] { m_host->OpenOsdSetup(); });
    add(
        kUseDirectXCommand, state.useDirectX, [this] { m_controller->ToggleDirectX(); }, true);
    if (state.onTile) {
        add(kPrintSaveCommand, state.printSave, [this] { m_controller->PrintAndSave(); });
    }
    // The administrator password, which no other menu offers.
    m_menu->addSeparator();
    add(kPasswordCommand, CameoMenuEntry{QStringLiteral("Administrator Password"), true, false},
        [this] { m_host->OpenPasswordDialog(); });
    m_menu->popup(mapToGlobal(at));
}

void HPCameo::MoveDragImage(const QPoint& at)
{
    m_dragImage->move(at - QPoint(kDragImageSize / 2, kDragImageSize / 2));
    m_dragImage->show();
    m_dragImage->raise();
}

void HPCameo::HideDragImage()
{
    m_dragImage->hide();
}
