#include "console/configview.h"

#include "console/configxmlreader.h"
#include "console/consolehost.h"
#include "console/consolelivelink.h"
#include "console/consolelog.h"
#include "widgets/stylesheetfile.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Remote Config");
// The largest layout file the operator may load by hand.
constexpr qint64 kMaxLayoutFile = 8 * 1024 * 1024;

ConsolePointer::Clock MonotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

PointerButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    default: return PointerButton::Other;
    }
}

// The saving of the layout stops the main window's audio output and the next one starts it again,
// for the whole program.
bool g_audioStopped = false;

} // namespace

ConfigView::ConfigView(ConsoleHost* host, QWidget* parent, ConsolePointer::Clock clock)
    : QDialog(parent)
    , m_host(host)
    , m_pointer(clock ? std::move(clock) : MonotonicClock())
{
    setWindowTitle(QStringLiteral("Config Viewer"));
    setWindowIcon(QIcon(QStringLiteral(":/res/config_normal.PNG")));
    setStyleSheet(ReadPanelStyleSheet(QStringLiteral("config")));
    setMinimumSize(kMinWidth, kMinHeight);
    setObjectName(QStringLiteral("ConfigViewer"));
    setAcceptDrops(true);
    setAttribute(Qt::WA_DeleteOnClose);
    m_loadAction = new QAction(tr("Load Config UI"), this);
    connect(m_loadAction, &QAction::triggered, this, &ConfigView::loadConfig);
    m_saveAction = new QAction(tr("Save Config UI"), this);
    connect(m_saveAction, &QAction::triggered, this, &ConfigView::saveConfig);
    // Until a recorder's menu arrives the frame is empty; the hint says how to fill it.
    m_hint = new QLabel(tr("Drag a recorder from the site book onto this window\nto open its setup menu here."),
                        this);
    m_hint->setObjectName(QStringLiteral("consoleHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* hintLayout = new QVBoxLayout(this);
    hintLayout->addWidget(m_hint, 0, Qt::AlignCenter);
    m_refreshTimer = new QTimer(this);
    connect(m_refreshTimer, &QTimer::timeout, this, &ConfigView::refreshConfig);
    m_live = new ConsoleLiveLink(this);
    connect(m_live, &ConsoleLiveLink::pictureDecoded, this, &ConfigView::didAVFrameDecoded);
    connect(m_live, &ConsoleLiveLink::vdaGrid, this, &ConfigView::didReceiveVdaData);
    connect(m_live, &ConsoleLiveLink::loginRefused, this,
            [this](const QString& reason) { m_host->ShowMessageBox(kTitle, reason, QStringLiteral("stop")); });
}

ConfigView::~ConfigView()
{
    // The main window's own adapter forgets the window by itself; the host may be gone already.
    Forget();
    qCDebug(lcConsole) << " ConfigView closed===============================";
}

void ConfigView::Forget()
{
    m_pointer.ClearRestartZones();
    m_recorderIndex = -1;
    clearConsoleWidgets();
    m_refreshTimer->stop();
}

bool ConfigView::RecorderExists() const
{
    return m_recorderIndex >= 0 && m_host->RecorderExists(m_recorderIndex);
}

bool ConfigView::refreshRunning() const
{
    return m_refreshTimer->isActive();
}

void ConfigView::setRecorder(const SiteBook& record)
{
    m_siteBook = record;
    m_recorderIndex = record.index;
    m_restartPermitted = false;
    m_live->SetRecorder(record.addr, record.port.toInt(), record.id, record.password);
    if (RecorderExists()) {
        m_host->StartConnect(m_recorderIndex, 2);
        setWindowTitle(QStringLiteral("Config Viewer : ") + record.name + QStringLiteral("-") + record.addr);
        m_hint->setText(tr("Waiting for the setup menu of %1 (%2).").arg(record.name, record.addr));
    }
}

void ConfigView::UpdateHint()
{
    m_hint->setVisible(m_widgets.isEmpty() && !m_background);
}

// ---------------------------------------------------------------------------------------------
// Calls of the session

void ConfigView::startRemoteConsole()
{
    if (!RecorderExists())
        return;
    m_restartPermitted = ReadRestartPermission();
    m_host->SendConsoleMode(m_recorderIndex, 0);
    m_host->SendConsoleMode(m_recorderIndex, 1);
    m_host->RequestConsoleData(m_recorderIndex, 0);
}

void ConfigView::stopRemoteConsole()
{
    m_restartPermitted = false;
    m_refreshTimer->stop();
    if (RecorderExists())
        m_host->SendConsoleMode(m_recorderIndex, 0);
}

bool ConfigView::ReadRestartPermission() const
{
    // The recorder's settings file, just downloaded by its session.
    QSettings ini(m_host->ProgramDirectory() + QStringLiteral("/config.ini"), QSettings::IniFormat);
    return ini.value(QStringLiteral("CLIENT_NETWORK/csReboot"), QStringLiteral("0")).toString()
           != QLatin1String("0");
}

void ConfigView::OnRecvGuiData(int size, int originX, int originY, int width, int height, int resolutionWidth,
                               int resolutionHeight)
{
    if (!RecorderExists())
        return;
    const ConsoleArea area(originX, originY, width, height, resolutionWidth, resolutionHeight);
    if (!area.Showable()) {
        qCWarning(lcConsole) << "console layout refused: area" << width << "x" << height << "screen"
                             << resolutionWidth << "x" << resolutionHeight;
        m_host->ShowModalMessage(kTitle,
                                 tr("The recorder reported a screen of %1 x %2 pixels (menu %3 x %4); "
                                    "the console shows screens up to %5 x %5 pixels. The menu is not shown.")
                                     .arg(resolutionWidth)
                                     .arg(resolutionHeight)
                                     .arg(width)
                                     .arg(height)
                                     .arg(ConsoleArea::kMaxScreenSide));
        return;
    }
    m_area = area;
    QByteArray text = m_host->ConsoleLayoutText(m_recorderIndex, size);
    // The layout text ends at its zero byte.
    const int end = text.indexOf('\0');
    if (end >= 0)
        text.truncate(end);
    SaveReceivedLayout(text);
    ReadLayout(text, m_area, true);
}

void ConfigView::SaveReceivedLayout(const QByteArray& text)
{
    // A copy for the operator to look at; the layout itself is read from memory.
    QSaveFile file(m_host->ProgramDirectory() + QStringLiteral("/recv.xml"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text) == text.size() && file.commit())
        return;
    qCWarning(lcConsole) << "recv.xml not written:" << file.errorString();
    if (!m_saveFailureShown) {
        m_saveFailureShown = true;
        m_host->ShowMessageBox(
            kTitle, tr("The recorder's layout could not be saved as recv.xml: %1").arg(file.errorString()),
            QStringLiteral("stop"));
    }
}

void ConfigView::ReadLayout(const QByteArray& text, const ConsoleArea& area, bool fromRecorder)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    ConfigXmlReader reader(this);
    reader.setStartMousePos(area.OriginX(), area.OriginY());
    reader.setWidgetSize(area.Width(), area.Height());
    reader.setResolutionInfo(area.ResolutionWidth(), area.ResolutionHeight());
    const bool ok = reader.read(&buffer);
    if (!ok)
        m_host->ShowModalMessage(kTitle, fromRecorder ? QStringLiteral("Parse Error")
                                                      : QStringLiteral("Parse error in file"));
    if (!fromRecorder) {
        if (reader.shutdownPage())
            qCDebug(lcConsole) << "---------------------- reboot check --------------";
        UpdateHint();
        return;
    }
    if (reader.shutdownPage())
        m_pointer.SetRestartZones(reader.layout().restartZones, !m_restartPermitted);
    // A document that was no layout at all leaves the old one, its channel included.
    if (reader.layout().rootAccepted)
        m_channel = reader.channel();
    checkAndStartStopLive();
    UpdateHint();
}

void ConfigView::OnAsyncEvent()
{
    if (RecorderExists())
        m_host->RequestConsoleData(m_recorderIndex, 0);
}

void ConfigView::OnConsoleLockCanceled()
{
    ConsoleHost* host = m_host;
    m_releaseOnClose = false;
    close();
    host->ShowModalMessage(kTitle, QStringLiteral("Console Config canceled from device - dvr"));
}

void ConfigView::OnDisconnected()
{
    m_host->ShowModalMessage(kTitle, QStringLiteral("Console Config canceled from device - disconnected"));
    // The window stays for the operator to drop the recorder again once it is back, or another;
    // the lost recorder is forgotten, so nothing more is sent to it.
    const QString name = m_siteBook.name;
    m_channel = -1;
    checkAndStartStopLive();
    Forget();
    setWindowTitle(QStringLiteral("Config Viewer"));
    m_hint->setText(tr("The connection to %1 was lost.\nDrag a recorder from the site book onto this window\n"
                       "to open its setup menu here.")
                        .arg(name));
    UpdateHint();
}

// ---------------------------------------------------------------------------------------------
// Layout widgets

void ConfigView::clearConsoleWidgets()
{
    qDeleteAll(m_widgets);
    m_widgets.clear();
    delete m_background;
    m_pointer.ClearRestartZones();
}

void ConfigView::AddConsoleWidget(const QString& id, QWidget* widget)
{
    // The layout reader already let a repeated id replace the earlier element.
    delete m_widgets.take(id);
    m_widgets.insert(id, widget);
}

void ConfigView::SetRestartZones(const QVector<QRect>& zones)
{
    m_pointer.SetRestartZones(zones, m_pointer.RestartBlocked());
}

void ConfigView::createBackground(int channel, const QRect& rect)
{
    if (!RecorderExists())
        return;
    auto* label = new QLabel(this);
    auto* effect = new QGraphicsOpacityEffect(label);
    effect->setOpacity(0.6);
    label->setGraphicsEffect(effect);
    label->setScaledContents(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The session's last picture of the channel shows until the live connection's first one.
    const QPixmap last = QPixmap::fromImage(m_host->GetChannelImage(m_recorderIndex, channel));
    if (!last.isNull())
        label->setPixmap(last.scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    label->setGeometry(rect);
    label->show();
    // Behind the menu.
    label->lower();
    m_background = label;
}

void ConfigView::checkAndStartStopLive()
{
    m_live->checkAndStartStopLive(m_channel);
}

void ConfigView::didAVFrameDecoded(QImage picture)
{
    if (!m_live->isDecoding() || picture.isNull() || picture.width() <= 300 || !m_background)
        return;
    const QSize size = m_background->geometry().size();
    QImage shown = picture.scaled(size, Qt::KeepAspectRatio, Qt::FastTransformation);
    if (shown.isNull())
        return;
    shown = shown.convertToFormat(QImage::Format_RGB32);
    m_vda.Draw(shown);
    m_background->setScaledContents(true);
    m_background->setPixmap(QPixmap::fromImage(shown));
}

void ConfigView::didReceiveVdaData(int columns, int rows, int rowBytes, QByteArray mask)
{
    m_vda.Set(columns, rows, rowBytes, mask);
}

// ---------------------------------------------------------------------------------------------
// Operator

void ConfigView::mousePressEvent(QMouseEvent* event)
{
    int code = 0;
    const PressVerdict verdict = m_pointer.Press(event->pos(), ButtonOf(event->button()), &code);
    if (verdict == PressVerdict::Ignored)
        return;
    m_refreshTimer->stop();
    if (verdict == PressVerdict::Refused) {
        m_host->ShowMessageBox(kTitle, QStringLiteral("No Remote restart permissions"), QStringLiteral("stop"));
        return;
    }
    if (!RecorderExists())
        return;
    const QPoint at = m_area.ToRecorder(event->pos());
    m_host->SendMousePos(m_recorderIndex, at.x(), at.y(), code, 0);
}

void ConfigView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pointer.Release(ButtonOf(event->button())) || !RecorderExists())
        return;
    const QPoint at = m_area.ToRecorder(event->pos());
    m_host->SendMousePos(m_recorderIndex, at.x(), at.y(), 0, 0);
    m_host->RequestConsoleData(m_recorderIndex, 0);
    m_refreshTimer->start(kRefreshMs);
}

void ConfigView::refreshConfig()
{
    if (!RecorderExists())
        return;
    m_host->SendMousePos(m_recorderIndex, 1, 1, 0, 0);
    m_host->RequestConsoleData(m_recorderIndex, 0);
}

void ConfigView::closeEvent(QCloseEvent* event)
{
    qCDebug(lcConsole) << " ConfigView closeEvent===============================";
    m_channel = -1;
    checkAndStartStopLive();
    if (m_recorderIndex >= 0 && m_releaseOnClose) {
        if (RecorderExists())
            m_host->SendMousePos(m_recorderIndex, -1, 0, -1, 0);
        qCDebug(lcConsole) << "close event config";
    }
    event->accept();
    Forget();
    m_host->CloseConfigView(m_slot);
}

void ConfigView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ConfigView::dropEvent(QDropEvent* event)
{
    SiteBook record;
    if (!event->mimeData()->hasFormat(QLatin1String(SiteBook::MimeType))
        || !SiteBook::FromDragData(event->mimeData()->data(QLatin1String(SiteBook::MimeType)), &record)) {
        event->ignore();
        return;
    }
    setRecorder(record);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Layout files

void ConfigView::loadConfig()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Open DVR Config UI File"), QDir::currentPath(),
                                                      tr("DVR Config UI Files (*.xml)"));
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > kMaxLayoutFile) {
        m_host->ShowModalMessage(kTitle, QStringLiteral("Cannot load config data"));
        return;
    }
    ReadLayout(file.readAll(), ConsoleArea(), false);
}

void ConfigView::saveConfig()
{
    if (g_audioStopped)
        m_host->StartAudioOutput();
    else
        m_host->StopAudioOutput();
    g_audioStopped = !g_audioStopped;
}
