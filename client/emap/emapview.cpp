#include "emap/emapview.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDataStream>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include "emap/emapcamera.h"
#include "emap/emaphub.h"
#include "emap/emaplog.h"
#include "emap/emaptile.h"
#include "session/connectpurpose.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "sitebook/itemkind.h"
#include "sitebook/sitebooktreewidget.h"

namespace {
const QString kTitlePrefix = QStringLiteral("Emap - ");
constexpr double kZoomInFactor = 1.25;
constexpr double kZoomOutFactor = 0.8;
constexpr double kMaxScale = 3.0;
constexpr double kMinScale = 0.333;

QPoint Centre(const QRect& r)
{
    // The integer mean of the edges, rounded toward zero.
    return {(r.left() + r.right()) / 2, (r.top() + r.bottom()) / 2};
}

bool ValidChannel(int channel)
{
    return channel >= 0 && channel < EmapView::kCameras;
}
} // namespace

EmapView::EmapView(QWidget* parent, int viewSlot)
    : QDialog(parent)
    , m_viewSlot(viewSlot)
{
    setWindowTitle(QStringLiteral("Emap"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/5.png")));
    setMinimumSize(320, 240);
    resize(640, 480);
    setAcceptDrops(true);
    CreateActions();
    m_entryRecorder.fill(-1);
    m_entryChannel.fill(-1);
    m_entryX.fill(-1.0f);
    m_entryY.fill(-1.0f);
    m_picture = QPixmap(QLatin1String(kDefaultMap));
    m_scaledPicture = m_picture;
    BuildMapArea();
    loadStyleSheet(QStringLiteral("main"));
}

EmapView::~EmapView()
{
    for (EmapCamera* camera : m_cameras) {
        if (camera)
            camera->closeCameo();
    }
    if (EmapHub* hub = EmapHub::Instance())
        hub->deleteEmapView(m_viewSlot);
}

void EmapView::CreateActions()
{
    const auto make = [this](ActionIndex index, const QString& text, auto slot) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        m_actions[index] = action;
        return action;
    };
    make(LoadMap, tr("Load Map Image"), &EmapView::loadMapImage)
        ->setIcon(QIcon(QStringLiteral(":/res/Resource/folder.png")));
    make(SaveMap, tr("Save eMap"), &EmapView::saveMapImage)
        ->setIcon(QIcon(QStringLiteral(":/res/Resource/save.png")));
    make(Popup, tr("Popup Mode"), &EmapView::OnPopupAction);
    make(ZoomIn, tr("Zoom &In (25%)"), &EmapView::zoomIn)->setEnabled(false);
    make(ZoomOut, tr("Zoom &Out (25%)"), &EmapView::zoomOut)->setEnabled(false);
    make(NormalSize, tr("&Normal Size"), &EmapView::normalSize)->setEnabled(false);
    QAction* fit = make(FitToWindow, tr("&Fit to Window"), &EmapView::fitToWindow);
    fit->setEnabled(false);
    fit->setCheckable(true);
}

QAction* EmapView::GetAction(int index) const
{
    return index >= 0 && index < ActionCount ? m_actions[size_t(index)] : nullptr;
}

void EmapView::BuildMapArea()
{
    m_mapPath.clear();
    m_mapLabel = new QLabel;
    m_mapLabel->setBackgroundRole(QPalette::Base);
    m_mapLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_mapLabel->setScaledContents(true);
    m_mapLabel->setPixmap(m_picture);
    m_scrollArea = new QScrollArea;
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setWidget(m_mapLabel);
    auto* layout = new QHBoxLayout;
    layout->addWidget(m_scrollArea);
    setLayout(layout);
    m_scrollArea->setWidgetResizable(true);
    m_recorderMode = 0;
    m_channel = -1;
    m_recorder = -1;
    m_entrySlot = -1;
}

void EmapView::loadStyleSheet(const QString& name)
{
    const SessionHub* hub = SessionHub::Instance();
    const QString directory = hub ? hub->ProgramDirectory() : QDir::currentPath();
    QFile file(directory + QStringLiteral("/qss/") + name.toLower() + QStringLiteral(".qss"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    setStyleSheet(QString::fromUtf8(file.readAll()));
}

bool EmapView::IsPoppedOut() const
{
    const EmapHub* hub = EmapHub::Instance();
    return hub && hub->IsEmapViewPopup(m_viewSlot);
}

// ---------------------------------------------------------------------------------------------
// Reading

RecorderSession* EmapView::Recorder(int recorder)
{
    const SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(recorder) : nullptr;
}

bool EmapView::Shows(int recorder, int channel) const
{
    return m_recorderMode && m_recorder == recorder && m_channel == channel;
}

EmapCamera* EmapView::GetCamera(int slot) const
{
    return ValidChannel(slot) ? m_cameras[size_t(slot)] : nullptr;
}

QList<EmapCamera*> EmapView::VisibleCameras() const
{
    QList<EmapCamera*> shown;
    for (EmapCamera* camera : m_cameras) {
        if (camera && !camera->isHidden())
            shown.append(camera);
    }
    return shown;
}

QString EmapView::RecorderName(int recorder) const
{
    const RecorderSession* device = Recorder(recorder);
    return device ? device->GetDvrName() : QString();
}

QString EmapView::CameraTitle(int recorder, int channel) const
{
    const RecorderSession* device = Recorder(recorder);
    return device ? device->GetCameraTitle(channel) : QString();
}

// ---------------------------------------------------------------------------------------------
// Pictures

void EmapView::ShowPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_mapLabel->setPixmap(m_picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_scaledPicture = m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool EmapView::setMap(const QString& path)
{
    if (!path.isEmpty()) {
        const QImage image(path);
        if (image.isNull())
            return false;
        ShowPicture(QPixmap::fromImage(image));
        return true;
    }
    StoreRecorderMap(m_mapPath);
    return false;
}

void EmapView::StoreRecorderMap(const QString& path)
{
    if (!m_recorderMode)
        return;
    RecorderSession* device = Recorder(m_recorder);
    if (!device)
        return;
    if (m_channel == -1)
        device->SetEmapPath(path);
    else
        device->SetCameraEmapPath(path, m_channel);
}

void EmapView::loadMapImage()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open File"),
                                                      QDir::currentPath() + QStringLiteral("/emap"));
    if (path.isEmpty())
        return;
    OpenMapFile(path);
}

bool EmapView::OpenMapFile(const QString& path)
{
    const QImage image(path);
    if (image.isNull()) {
        QMessageBox::information(this, tr("Emap Viewer"),
                                 tr("Cannot load %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    ShowPicture(QPixmap::fromImage(image));
    m_mapPath = path;
    if (m_recorderMode)
        StoreRecorderMap(path);
    else
        storeEntry();
    redrawLines();
    return true;
}

void EmapView::saveMapImage()
{
    EmapHub* hub = EmapHub::Instance();
    SiteBookTreeWidget* tree = hub ? hub->EmapSiteBook() : nullptr;
    if (!tree)
        return;
    const EmapEntry::Lists lists = EntryLists();
    const QString name = tree->addEmapItem(QString(), lists.devices, lists.channels, m_mapPath, lists.positions);
    if (name.isEmpty())
        return;
    setWindowTitle(kTitlePrefix + name);
    // The window now shows the new entry: later moves and deletions are kept in it too.
    if (!m_recorderMode) {
        QTreeWidgetItem* root = tree->GetEmapRoot();
        for (int i = root ? root->childCount() - 1 : -1; i >= 0; --i) {
            const SiteBook* record = SiteBook::FromItem(root->child(i));
            if (record && ItemKindOf(root->child(i)) == ItemKind::EmapEntry && record->name == name) {
                m_entrySlot = record->index;
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Modes

bool EmapView::EnterRecorderMode(int recorder, int channel)
{
    m_recorderMode = 1;
    m_recorder = recorder;
    m_channel = channel;
    m_entrySlot = -1;
    if (!Recorder(recorder)) {
        m_recorderMode = 0;
        m_recorder = -1;
        m_channel = -1;
        return false;
    }
    return true;
}

void EmapView::AskForMapWhenNone(const QString& recorderPicture)
{
    if (!recorderPicture.isEmpty() || !m_mapPath.isEmpty())
        return;
    QMessageBox box(QMessageBox::Information, tr("eMap"),
                    tr("Map file has not been set.\nDo you load a map file?"), QMessageBox::Yes | QMessageBox::No,
                    this);
    if (box.exec() == QMessageBox::Yes)
        loadMapImage();
}

void EmapView::ConnectForMap()
{
    RecorderSession* device = Recorder(m_recorder);
    if (!device)
        return;
    EmapWindow::SetActive(this);
    device->StartConnect(ConnectPurpose::EmapOpen);
}

void EmapView::setDevice(int recorder, int channel)
{
    if (!EnterRecorderMode(recorder, channel))
        return;
    if (channel != -1)
        return;
    AskForMapWhenNone(Recorder(recorder)->GetEmapPath());
    ConnectForMap();
}

void EmapView::openEmap(const QString& path)
{
    RemoveAllCameras();
    QString title = kTitlePrefix + RecorderName(m_recorder);
    if (m_channel != -1)
        title += QLatin1Char(':') + CameraTitle(m_recorder, m_channel);
    setWindowTitle(title);
    // The picture shown is the one "Save eMap" hands on: without it a recorder's map saved as an
    // entry would come back as the default picture.
    if (setMap(path))
        m_mapPath = path;
}

void EmapView::openEmapEntry(const QString& devices, const QString& channels, const QString& positions,
                             const QString& mapPath, const QString& name, int slot)
{
    m_recorderMode = 0;
    m_recorder = -1;
    m_channel = -1;
    m_entrySlot = slot;
    const EmapEntry::Positions entry = EmapEntry::Parse(devices, channels, positions);
    const SessionHub* hub = SessionHub::Instance();
    for (int i = 0; i < kCameras; ++i) {
        removeCamera(i);
        const EmapEntry::Position& p = entry[size_t(i)];
        m_entryRecorder[size_t(i)] = p.IsPlaced() && hub ? hub->FindDeviceByName(p.recorderName) : -1;
        m_entryChannel[size_t(i)] = p.channel;
        m_entryX[size_t(i)] = p.x;
        m_entryY[size_t(i)] = p.y;
    }
    m_cursor = 0;
    if (SessionHub* box = SessionHub::Instance())
        box->ShowMessageBox(tr("eMap"), tr("Network Connecting..."), QString());
    setWindowTitle(kTitlePrefix + name);
    m_mapPath = mapPath;
    setMap(mapPath);
    EmapWindow::SetActive(this);
    RemoveAllCameras();
    m_cursor = -1;
    m_entryConnectAsked = AdvanceEntryCursor();
}

bool EmapView::AdvanceEntryCursor()
{
    ++m_cursor;
    while (m_cursor < kCameras
           && !(m_entryRecorder[size_t(m_cursor)] > -1 && m_entryChannel[size_t(m_cursor)] > -1))
        ++m_cursor;
    RecorderSession* device = m_cursor < kCameras ? Recorder(m_entryRecorder[size_t(m_cursor)]) : nullptr;
    if (!device) {
        CloseConnectingBox();
        return false;
    }
    EmapWindow::SetActive(this);
    device->StartConnect(ConnectPurpose::EmapRefresh);
    return true;
}

void EmapView::CloseConnectingBox()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
}

void EmapView::refreshCameras()
{
    if (m_recorderMode || m_cursor < 0 || m_cursor >= kCameras)
        return;
    const size_t at = size_t(m_cursor);
    const int slot = FreeSlot();
    const int recorder = m_entryRecorder[at];
    if (slot >= 0 && Recorder(recorder)) {
        SiteBook record;
        record.name = CameraTitle(recorder, m_entryChannel[at]);
        record.index = recorder;
        record.channel = m_entryChannel[at];
        EmapCamera* camera = CameraForSlot(slot);
        camera->SetDeviceCamera(false);
        camera->SetCameraMap(false);
        SetUpCamera(camera, record, RecorderName(recorder) + QLatin1Char(':') + record.name, m_entryX[at],
                    m_entryY[at]);
    }
    AdvanceEntryCursor();
}

// ---------------------------------------------------------------------------------------------
// Cameras

int EmapView::FreeSlot() const
{
    for (int i = 0; i < kCameras; ++i) {
        const EmapCamera* camera = m_cameras[size_t(i)];
        if (!camera || camera->isHidden())
            return i;
    }
    return -1;
}

EmapCamera* EmapView::CameraForSlot(int slot)
{
    EmapCamera*& camera = m_cameras[size_t(slot)];
    if (!camera)
        camera = new EmapCamera(this, slot);
    return camera;
}

void EmapView::SetUpCamera(EmapCamera* camera, const SiteBook& record, const QString& toolTip, float x, float y)
{
    camera->setText(QString::asprintf("\n\nC%02d", record.channel + 1));
    camera->setObjectName(QStringLiteral("emapCamera"));
    // The camera picture sits in the two blank lines above the channel text; without a frame and
    // padding of its own the button's style left a blank tile with the text cut off.
    camera->setStyleSheet(QStringLiteral(
        "QPushButton#emapCamera { background-color: #dce8f4; border: 1px solid #32506e; border-radius: 3px;"
        " padding: 0px; color: #1e2832; background-image: url(:/res/Resource/Camera.png);"
        " background-repeat: no-repeat; background-position: top center; }"
        "QPushButton#emapCamera:pressed { background-color: #b4cce4; }"));
    QFont font(QStringLiteral("Arial"), 8, QFont::Bold, false);
    // Three lines of the stand-in sans font at 8 points are taller than the icon.
    if (!QFontInfo(font).exactMatch())
        font = QFont(QStringLiteral("DejaVu Sans"), 7, QFont::Bold, false);
    camera->setFont(font);
    camera->setSiteBook(record);
    camera->setToolTip(toolTip);
    camera->SetPosition(x, y);
    camera->resize(EmapEntry::kIconWidth, EmapEntry::kIconHeight);
    // Every placement knows the window's size, so a release never divides by zero.
    camera->setAreaSize(width(), height());
    camera->show();
}

int EmapView::createCamera(const SiteBook& record, const QPoint& point)
{
    if (!ValidChannel(record.channel))
        return -1;
    if (m_recorderMode && record.index != m_recorder)
        return -1;
    for (EmapCamera* camera : m_cameras) {
        if (camera && !camera->isHidden() && camera->GetRecorder() == record.index
            && camera->GetChannel() == record.channel)
            removeCamera(camera->GetSlot());
    }
    const int slot = FreeSlot();
    if (slot < 0)
        return -1;
    EmapCamera* camera = CameraForSlot(slot);
    camera->SetDeviceCamera(m_recorderMode != 0);
    camera->SetCameraMap(false);
    const QPointF at = EmapEntry::DropFraction(point, size());
    SetUpCamera(camera, record, RecorderName(record.index) + QLatin1Char(':') + record.name, float(at.x()),
                float(at.y()));
    if (m_recorderMode) {
        if (RecorderSession* device = Recorder(m_recorder))
            device->SetEmapCameraPos(record.channel, camera->GetX(), camera->GetY());
    } else {
        // A camera dropped on an entry's map is kept at once, like every later move.
        storeEntry();
    }
    redrawLines();
    return slot;
}

void EmapView::createDeviceCamera(SiteBook record, int channel, bool cameraMap)
{
    if (!m_recorderMode || record.index != m_recorder || !ValidChannel(channel))
        return;
    for (EmapCamera* camera : m_cameras) {
        if (camera && !camera->isHidden() && camera->GetChannel() == record.channel)
            removeCamera(camera->GetSlot());
    }
    EmapCamera* camera = CameraForSlot(channel);
    camera->SetCameraMap(cameraMap);
    camera->SetDeviceCamera(true);
    qCDebug(lcEmap) << "emap1" << channel << record.posX << record.posY;
    SetUpCamera(camera, record, RecorderName(m_recorder) + QLatin1Char(':') + record.name, record.posX,
                record.posY);
}

void EmapView::removeCamera(int slot)
{
    EmapCamera* camera = GetCamera(slot);
    if (!camera)
        return;
    camera->closeCameo();
    camera->hide();
    camera->SetDeviceCamera(false);
    SiteBook empty;
    empty.name.clear();
    empty.index = -1;
    empty.channel = -1;
    camera->setSiteBook(empty);
}

void EmapView::RemoveAllCameras()
{
    for (int i = 0; i < kCameras; ++i)
        removeCamera(i);
}

EmapEntry::Lists EmapView::EntryLists() const
{
    EmapEntry::Positions positions;
    for (int i = 0; i < kCameras; ++i) {
        const EmapCamera* camera = m_cameras[size_t(i)];
        if (!camera || camera->isHidden() || !Recorder(camera->GetRecorder()))
            continue;
        EmapEntry::Position& p = positions[size_t(i)];
        p.recorderName = RecorderName(camera->GetRecorder());
        p.channel = camera->GetChannel();
        p.x = camera->GetX();
        p.y = camera->GetY();
    }
    return EmapEntry::Build(positions);
}

void EmapView::storeEntry()
{
    if (m_recorderMode || m_entrySlot < 0)
        return;
    EmapHub* hub = EmapHub::Instance();
    SiteBookTreeWidget* tree = hub ? hub->EmapSiteBook() : nullptr;
    if (!tree)
        return;
    const EmapEntry::Lists lists = EntryLists();
    tree->updateEmapItem(windowTitle().mid(kTitlePrefix.size()), lists.devices, lists.channels, m_mapPath,
                         lists.positions, m_entrySlot, true);
}

// ---------------------------------------------------------------------------------------------
// Lines from icons to their open tiles

bool EmapView::DrawLines(QPixmap& copy)
{
    const QList<EmapCamera*> icons = findChildren<EmapCamera*>();
    QPainter painter(&copy);
    painter.setPen(QPen(Qt::red, 2));
    bool changed = false;
    for (int i = 0; i < icons.size() && i < kCameras; ++i) {
        const EmapCamera* icon = icons.at(i);
        EmapTile* tile = icon->GetTile();
        if (!tile || !icon->IsTileShown())
            continue;
        const QPoint start = Centre(icon->geometry());
        const QPoint end = Centre(tile->Widget()->geometry());
        painter.drawLine(start, end);
        if (start != m_lineStart[size_t(i)] || end != m_lineEnd[size_t(i)]) {
            m_lineStart[size_t(i)] = start;
            m_lineEnd[size_t(i)] = end;
            changed = true;
        }
    }
    return changed;
}

void EmapView::redrawLines()
{
    if (findChildren<EmapCamera*>().isEmpty())
        return;
    QPixmap copy = m_scaledPicture.copy();
    if (copy.isNull())
        return;
    DrawLines(copy);
    // Always shown, so that the line of a tile closed since the last drawing goes.
    m_mapLabel->setPixmap(copy);
}

void EmapView::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    if (findChildren<EmapCamera*>().isEmpty())
        return;
    QPixmap copy = m_scaledPicture.copy();
    if (copy.isNull())
        return;
    if (DrawLines(copy))
        m_mapLabel->setPixmap(copy);
}

// ---------------------------------------------------------------------------------------------
// Zoom

void EmapView::ScaleImage(double factor)
{
    m_scale *= factor;
    const QSize natural = m_mapLabel->pixmap(Qt::ReturnByValue).size();
    m_mapLabel->resize(natural * m_scale);
    for (QScrollBar* bar : {m_scrollArea->horizontalScrollBar(), m_scrollArea->verticalScrollBar()})
        bar->setValue(int(factor * bar->value() + ((factor - 1) * bar->pageStep() / 2)));
    m_actions[ZoomIn]->setEnabled(m_scale < kMaxScale);
    m_actions[ZoomOut]->setEnabled(m_scale > kMinScale);
}

void EmapView::zoomIn()
{
    ScaleImage(kZoomInFactor);
}

void EmapView::zoomOut()
{
    ScaleImage(kZoomOutFactor);
}

void EmapView::normalSize()
{
    m_mapLabel->adjustSize();
    m_scale = 1.0;
}

void EmapView::fitToWindow()
{
    const bool fit = m_actions[FitToWindow]->isChecked();
    m_scrollArea->setWidgetResizable(fit);
    if (!fit)
        normalSize();
    for (ActionIndex index : {ZoomIn, ZoomOut, NormalSize})
        m_actions[index]->setEnabled(!fit);
}

// ---------------------------------------------------------------------------------------------
// Events

void EmapView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType)))
        event->accept();
    else
        event->ignore();
}

void EmapView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType))) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void EmapView::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType))) {
        event->ignore();
        return;
    }
    QByteArray data = event->mimeData()->data(QLatin1String(SiteBook::MimeType));
    QDataStream stream(&data, QIODevice::ReadOnly);
    stream.setVersion(SiteBook::StreamVersion);
    SiteBook record;
    stream >> record;
    if (stream.status() != QDataStream::Ok) {
        event->ignore();
        return;
    }
    const auto acceptCopy = [event] {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    };
    switch (ItemKindFromText(record.kind)) {
    case ItemKind::Camera:
        if (m_channel == -1) {
            createCamera(record, event->pos());
            acceptCopy();
        }
        break;
    case ItemKind::RecorderEmapList:
        if (EnterRecorderMode(record.index, -1)) {
            AskForMapWhenNone(Recorder(m_recorder)->GetEmapPath());
            ConnectForMap();
            acceptCopy();
        }
        break;
    case ItemKind::CameraEmap:
        if (EnterRecorderMode(record.index, record.channel)) {
            RecorderSession* device = Recorder(m_recorder);
            const QString picture = device->GetCameraEmapPath(m_channel);
            AskForMapWhenNone(picture);
            device = Recorder(m_recorder);
            if (!device)
                break;
            openEmap(device->GetCameraEmapPath(m_channel));
            record.posX = device->GetCameraOwnX(m_channel);
            record.posY = device->GetCameraOwnY(m_channel);
            createDeviceCamera(record, m_channel, true);
            acceptCopy();
        }
        break;
    case ItemKind::EmapEntry:
        openEmapEntry(record.favoritesdevice, record.favoriteschannel, record.emapPos, record.emapPath,
                      record.name, record.index);
        if (m_entryConnectAsked)
            acceptCopy();
        break;
    default: break;
    }
}

void EmapView::contextMenuEvent(QContextMenuEvent* event)
{
    QAction* popup = m_actions[Popup];
    if (IsPoppedOut()) {
        popup->setText(tr("Child Mode"));
        popup->setIcon(QIcon(QStringLiteral(":/res/Resource/child.png")));
    } else {
        popup->setText(tr("Popup Mode"));
        popup->setIcon(QIcon(QStringLiteral(":/res/Resource/popup.png")));
    }
    QMenu menu(this);
    menu.addAction(popup);
    menu.addSeparator();
    menu.addAction(m_actions[LoadMap]);
    menu.addAction(m_actions[SaveMap]);
    menu.exec(event->globalPos());
}

void EmapView::OnPopupAction()
{
    if (EmapHub* hub = EmapHub::Instance())
        hub->ToggleEmapPopup(m_viewSlot);
}

void EmapView::closeEvent(QCloseEvent* event)
{
    if (IsPoppedOut()) {
        // A popped-out window goes back into the multi-document area instead of closing.
        EmapHub::Instance()->DockEmapView(m_viewSlot);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void EmapView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    ShowPicture(m_picture);
    for (EmapCamera* camera : m_cameras) {
        if (camera)
            camera->setAreaSize(width(), height());
    }
    redrawLines();
    EmapHub* hub = EmapHub::Instance();
    if (hub && isMaximized() && !IsPoppedOut())
        hub->SetupTabBar(false);
}

void EmapView::showEvent(QShowEvent* event)
{
    if (EmapHub* hub = EmapHub::Instance())
        hub->ResetEmapFlag();
    QDialog::showEvent(event);
}

void EmapView::hideEvent(QHideEvent* event)
{
    if (EmapHub* hub = EmapHub::Instance())
        hub->ResetEmapFlag();
    QDialog::hideEvent(event);
}

void EmapView::keyPressEvent(QKeyEvent* event)
{
    // Keys, Escape included, never close the window.
    Q_UNUSED(event);
}
