#include "ui/cviewerdlg.h"
#include "playback/hpnetwork.h"
#include "ui/cameotiles.h"
#include "ui/carriedfiles.h"
#include "ui/caviconvert.h"
#include "ui/cbackuptree.h"
#include "ui/cdlgadjust.h"
#include "ui/cdlgalarm.h"
#include "ui/cdlgaudio.h"
#include "ui/cfullscreendlg.h"
#include "ui/cmsgdlg.h"
#include "ui/cpreviewdlg.h"
#include "ui/csearchcontrol.h"
#include "ui/csearchevent.h"
#include "ui/csearchmulti.h"
#include "ui/csearchtime.h"
#include "ui/cskinbutton.h"
#include "ui/cskinslider.h"
#include "ui/ctimeslider.h"
#include "ui/filetypes.h"
#include "ui/gridlivecontrolhost.h"
#include "ui/handoveropener.h"
#include "ui/hpcameo.h"
#include "ui/hpmessagebox.h"
#include "ui/livecontrolcameoengine.h"
#include "ui/mastervolume.h"
#include "ui/openpath.h"
#include "ui/qtaudiocapturedevice.h"
#include "ui/siblinglauncher.h"
#include "ui/skinbitmaps.h"
#include "ui/skintooltip.h"
#include "ui/splitmodes.h"
#include "ui/uilog.h"
#include "ui/vieweradjusttarget.h"
#include "ui/vieweraudiooutput.h"
#include "ui/viewercameohost.h"
#include "ui/viewergeometry.h"
#include "ui/viewerpreviews.h"
#include "ui/viewerrecorderhost.h"
#include "ui/viewertoolshost.h"
#include "ui/viewertreehost.h"
#include "ui/viewerwaitboxhost.h"

#include "engine/hplivecontrol.h"
#include "engine/qtaudiosink.h"
#include "playback/backupdrives.h"
#include "playback/caviwriter.h"
#include "playback/cclientsetup.h"
#include "playback/livecontrolframesink.h"
#include "playback/searchview.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int kMinimise = 1021;
constexpr int kClose = 1000;
constexpr int kImg = 1048;
constexpr int kPlay = 1049;
constexpr int kEtc = 1050;
constexpr int kSelectAll = 1016;
constexpr int kFullScreen = 1017;
constexpr int kLiveAudio = 1033;
constexpr int kCap = 1178;
constexpr int kOsd = 1177;
constexpr int kAvi = 1179;
// "1", "4", "9", "16", select all, full screen.
constexpr int kLayoutButtons[6] = {1008, 1009, 1010, 1011, kSelectAll, kFullScreen};
const QColor kFrameColour(19, 35, 59);

QString CarriedPath(const ViewerEnvironment& env, const char* drivePath)
{
    return env.drives.Map(QString::fromLatin1(drivePath));
}

Qt::Edges EdgesOf(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left: return Qt::LeftEdge;
    case FrameHit::Right: return Qt::RightEdge;
    case FrameHit::Top: return Qt::TopEdge;
    case FrameHit::Bottom: return Qt::BottomEdge;
    case FrameHit::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case FrameHit::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case FrameHit::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case FrameHit::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

Qt::CursorShape CursorOf(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left:
    case FrameHit::Right: return Qt::SizeHorCursor;
    case FrameHit::Top:
    case FrameHit::Bottom: return Qt::SizeVerCursor;
    case FrameHit::TopLeft:
    case FrameHit::BottomRight: return Qt::SizeFDiagCursor;
    case FrameHit::TopRight:
    case FrameHit::BottomLeft: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
    }
}

} // namespace

CViewerDlg::CViewerDlg(const ViewerEnvironment& environment, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_env(environment)
{
    SkinBitmaps::Init();
    setWindowTitle(QStringLiteral("Orvane"));
    setAcceptDrops(true);
    setMouseTracking(true);
    m_audio = std::make_unique<ViewerAudioOutput>();
}

CViewerDlg::~CViewerDlg()
{
    m_closing = true;
    if (m_players)
        m_players->StopAll();
    if (m_grid)
        m_grid->Display().StopPresenting();
    // The engine's threads end before the grid and the players they draw for go.
    if (m_engine && !m_engine->Shutdown(3000))
        qCWarning(lcPlayerUi) << "the video engine did not stop in time";
    m_players.reset();
}

bool CViewerDlg::OnInitDialog()
{
    // The start-up runs in a fixed order: the carried files and the file types first, then the
    // window's place, the library probe and the language table, then the objects (the grid, the
    // engine, the panels and the tile players), the skin, the layout, and last the showing and
    // the command line's recording. Objects that take another in their constructor are made
    // after it.
    WriteOutCarriedFiles();
    if (m_env.registerFileTypes)
        FileTypes::Register(m_env.dataFolder, m_env.programPath);
    resize(kStartSize);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kStartSize.width() / 2, kStartSize.height() / 2));
        setMaximumSize(ViewerGeometry::MaximumSize(area.size()));
    }
    setMinimumSize(ViewerGeometry::kMinimumSize);
    setWindowIcon(QIcon(QStringLiteral(":/orvane/orvane.png")));
    ProbeLibraries();
    m_language.Load(m_env.programFolder + QStringLiteral("Script.txt"));
    const QString face = m_language.GetText(QStringLiteral("SYSTEM_FONT"));
    m_faceName = m_boldFaceName = face.isEmpty() ? QStringLiteral("Arial") : face;

    CreateControls();
    InitSkin();
    m_timer4444.setSingleShot(true);
    m_timer4444.start(500);
    SetSplitMode(1, false, false);
    m_searchMulti = new CSearchMulti(*m_recorderHost, m_images, m_env.programFolder, this);
    m_recorderHost->Attach(m_hub.get(), m_searchMulti);
    m_timeBar->SetCalendarSearch([this] { return m_searchMulti->OpenSearch(); });
    m_askOnExit = m_env.askOnExit;
    show();
    ShowPanel(1);
    m_tree->show();
    LayoutControls();
    // The grid's layout clears its tiles' pictures: the command line's recording opens after
    // it, so that its first picture stays shown.
    if (!m_env.pendingPath.isEmpty())
        OpenWithMode(m_env.pendingPath, HandOverOpener::Mode::StartUp);
    m_initialised = true;
    return true;
}

void CViewerDlg::CreateControls()
{
    m_cameoHost = std::make_unique<ViewerCameoHost>(*this);
    m_grid = new HPCameo(m_cameoHost.get(), m_cameoHost.get(), this);
    m_grid->setGeometry(18, 18, 569, 468);
    m_playSlider = new CTimeSlider(this);
    m_playSlider->setGeometry(16, 488, 572, 21);
    m_playSlider->hide();
    connect(m_playSlider, &CTimeSlider::seekRequested, this, &CViewerDlg::OnPlaySliderSeek);
    connect(m_playSlider, &CTimeSlider::hoverChanged, this, &CViewerDlg::ShowSliderPreviews);
    m_messageBox = new HPMessageBox(m_images, m_env.programFolder + QStringLiteral("Resource/KRO/Connect/"),
                                    m_faceName, this);
    m_tiles = std::make_unique<CameoTiles>(*m_grid);
    m_engineHost = std::make_unique<GridLiveControlHost>(
        &m_grid->Grid(), [this] { return m_closing.load(); }, [] { return -1; });
    m_engine = std::make_unique<HPLiveControl>(m_engineHost.get(), &m_grid->Display());
    DecoderLibraries libraries = DecoderLibraries::Defaults();
    libraries.wedraPath = m_wedraPath;
    // The library this program carries comes first, as the one written out at start-up.
    libraries.h264Candidates.prepend(CarriedPath(m_env, "c:\\Player\\KRO_SDK_H264_Dec.dll"));
    m_engine->Init(libraries);
    // The display front draws the tiles when it can be made; the composed road stays otherwise.
    const bool frontFailed = m_grid->Display().CreateFront(569, 468) != 0;
    if (!frontFailed) {
        m_engine->SetUseDirectDraw(1);
        m_grid->Display().StartPresenting();
    }
    m_cameoHost->AttachEngine(m_engine.get());
    m_cameoEngine = std::make_unique<LiveControlCameoEngine>(m_engine.get(), frontFailed);
    m_frames = std::make_unique<LiveControlFrameSink>(*m_engine);
    m_previews = std::make_unique<ViewerPreviews>(this, libraries);
    m_players = std::make_unique<ViewerPlayers>(*this, *m_tiles, m_playFlags, *m_frames, *m_audio,
                                                m_previews.get());
    m_cameoHost->AttachPlayers(m_players.get());
    m_tiles->SetOpenedCheck([this](int tile) { return m_players->IsOpen(tile); });
    m_grid->Init(m_cameoEngine.get());

    for (int i = 0; i < ViewerPreviews::kPreviews; ++i)
        connect(m_previews->Preview(i), &CPreviewDlg::HotChanged, this,
                [this](int, bool hot) { ShowSliderPreviews(hot); });
    CreatePanels();

    m_controlBar = new CSearchControl(*this, *m_players, this);
    m_controlBar->ShowPanel(true);
    m_timeBar = new CSearchTime([this](int tile) { return PlayFlag(tile); }, this);
    m_timeBar->hide();
    m_waitBoxHost = std::make_unique<ViewerWaitBoxHost>(*this);
    m_waitBox = new CMsgDlg(*m_waitBoxHost, m_faceName, m_language.GetText(QStringLiteral("CANCEL")), this);
    m_waitBox->hide();

    // The hub with its recorder clients (none in this program), the live audio panel and the
    // event panel, made hidden: no control of the dialog shows them.
    m_recorderHost = std::make_unique<ViewerRecorderHost>(
        ViewerRecorderHost::Parts{&m_language, m_engine.get(), m_waitBox, m_timeBar,
                                  [this](int code) { SetSplitMode(code, false, false); }});
    m_hub = std::make_unique<HPNetwork>(*m_recorderHost);
    m_hub->Init();
    m_audioPanel = new CDlgAudio(
        *m_hub, std::make_unique<QtAudioCaptureDevice>(),
        [this](const QString& text, const QString& caption) {
            QMessageBox::information(this, m_language.GetText(caption), m_language.GetText(text));
        },
        [this](const QString& text, const QString& caption) {
            QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, this);
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
            box.exec();
        },
        this);
    m_audioPanel->hide();
    m_searchEvent = new CSearchEvent(this);

    // 1111 hides the slider previews; 4444 does the same once after start-up.
    auto hidePreviews = [this] {
        m_timer1111.stop();
        m_previews->Show(false, m_playSlider->geometry());
    };
    connect(&m_timer1111, &QTimer::timeout, this, hidePreviews);
    connect(&m_timer4444, &QTimer::timeout, this, hidePreviews);
}

void CViewerDlg::CreatePanels()
{
    m_treeHost = std::make_unique<ViewerTreeHost>(*this);
    m_drives = std::make_unique<SystemBackupDrives>();
    CClientSetup setup;
    setup.Init(m_env.programFolder);
    // The client starts the player in its own program directory, where it keeps its archive;
    // a player started by hand beside the client finds it beside itself.
    const QString archive = BackupTreeRules::ClientArchiveFolder({m_env.workingFolder, m_env.programFolder});
    const BackupPathContext context{m_env.programFolder, setup.GetBackupFolder(), m_env.programFolder, archive};
    m_tree = new CBackupTree(*m_treeHost, *m_treeHost, *m_drives, context,
                             CarriedPath(m_env, "c:\\Player\\CD_DATA"), this);
    m_tree->setHeaderHidden(true);
    m_tree->setStyleSheet(QStringLiteral("QTreeWidget { background: rgb(53,83,124); color: rgb(212,230,255);"
                                         " border: 1px solid rgb(19,35,59); }"));
    m_tree->setGeometry(624, 93, 141, 304);
    m_tree->FillRootItems();

    auto text = [this](const QString& key) { return m_language.GetText(key); };
    m_adjustTarget = std::make_unique<ViewerAdjustTarget>(*m_grid, *m_engine);
    m_adjust = new CDlgAdjust(m_adjustTarget.get(), text, this);
    m_adjust->hide();
    m_toolsHost = std::make_unique<ViewerToolsHost>(*this, CarriedPath(m_env, "c:\\Player\\XviD_Codec.exe"));
    m_alarm = new CDlgAlarm(*m_toolsHost, CAviWriter::XvidInstalled(), m_ffmpegFound, this);
    DecoderLibraries libraries = DecoderLibraries::Defaults();
    libraries.wedraPath = m_wedraPath;
    libraries.h264Candidates.prepend(CarriedPath(m_env, "c:\\Player\\KRO_SDK_H264_Dec.dll"));
    m_aviConvert = new CAVIConvert(*m_toolsHost, libraries, this);
    m_aviConvert->hide();
}

QString CViewerDlg::AccountFile() const
{
    return CarriedPath(m_env, "c:\\KRO\\Account.ini");
}

void CViewerDlg::ShowSliderPreviews(bool enter)
{
    if (!enter) {
        m_timer1111.start(500);
        return;
    }
    m_timer1111.stop();
    if (m_currentTile < 0)
        return;
    m_previews->SetPlayer(m_players->Player(m_currentTile));
    m_previews->Show(true, m_playSlider->geometry());
}

CSkinButton* CViewerDlg::AddButton(int id, const QString& caption, const QRect& place,
                                   const std::array<int, 4>& bitmaps, const QString& tip)
{
    auto* button = new CSkinButton(caption, this);
    button->LoadBitmaps(bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[3]);
    button->setGeometry(place);
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
        SkinTooltip::SetDelay(this, {button});
    }
    m_buttons.append({id, button});
    return button;
}

void CViewerDlg::InitSkin()
{
    m_skin = SkinBitmaps::Load(302);
    setStyleSheet(QStringLiteral("QToolTip { background: rgb(35,56,85); color: rgb(212,230,255);"
                                 " border: 1px solid rgb(19,35,59); }"));
    const QString t = QString();
    auto text = [this](const char* key) { return m_language.GetText(QString::fromLatin1(key)); };
    connect(AddButton(kMinimise, QStringLiteral("_"), {753, 10, 16, 16}, {230, 230, 230, 230}, text("MINIMIZE")),
            &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(AddButton(kClose, QStringLiteral("X"), {773, 10, 16, 16}, {231, 231, 231, 231}, text("EXIT")),
            &QPushButton::clicked, this, &CViewerDlg::OnCancel);
    const int layoutBitmaps[6][4] = {{233, 234, 232, 232}, {237, 238, 239, 239}, {240, 241, 242, 242},
                                     {243, 244, 245, 245}, {246, 247, 246, 247}, {248, 236, 248, 236}};
    const char* captions[6] = {"1", "4", "9", "16", "64", "F"};
    for (int i = 0; i < 6; ++i) {
        const int id = kLayoutButtons[i];
        const QRect place(629 + 44 * (i % 3), i < 3 ? 482 : 523, 42, 39);
        CSkinButton* button = AddButton(
            id, QString::fromLatin1(captions[i]), place,
            {layoutBitmaps[i][0], layoutBitmaps[i][1], layoutBitmaps[i][2], layoutBitmaps[i][3]},
            id == kFullScreen ? text("FULL_SCREEN") : t);
        if (id == kSelectAll) {
            connect(button, &QPushButton::clicked, this, [this] {
                m_tiles->SelectAll();
                m_tiles->RedrawAll();
            });
        } else if (id == kFullScreen) {
            connect(button, &QPushButton::clicked, this, &CViewerDlg::OnFullScreen);
        } else {
            const int code = SplitModes::CodeOfButton(id, LayoutOwner::MainDialog);
            connect(button, &QPushButton::clicked, this, [this, code] { SetSplitMode(code, true, false); });
        }
    }
    connect(
        AddButton(kImg, QStringLiteral("Img"), {620, 432, 47, 34}, {250, 251, 252, 252}, text("ADJUST_CONTROL")),
        &QPushButton::clicked, this, [this] { ShowPanel(0); });
    connect(AddButton(kPlay, QStringLiteral("PLAY"), {669, 432, 47, 34}, {256, 257, 249, 249},
                      QStringLiteral("Screen Mode")),
            &QPushButton::clicked, this, [this] { ShowPanel(1); });
    connect(
        AddButton(kEtc, QStringLiteral("ETC"), {719, 432, 47, 34}, {253, 254, 255, 255}, text("OPTION_CONTROL")),
        &QPushButton::clicked, this, [this] { ShowPanel(2); });
    CSkinButton* avi = AddButton(kAvi, QStringLiteral("avi"), {620, 400, 42, 24}, {304, 306, 304, 306},
                                 QStringLiteral("AVI Convert"));
    connect(avi, &QPushButton::clicked, this, [this] { m_alarm->OnAviConvert(); });
    avi->hide();
    CSkinButton* cap = AddButton(kCap, QStringLiteral("CAP"), {664, 400, 42, 24}, {307, 308, 307, 308},
                                 QStringLiteral("Print & Save"));
    connect(cap, &QPushButton::clicked, this, [this] { m_alarm->OnPrint(); });
    cap->hide();
    CSkinButton* osd = AddButton(kOsd, QStringLiteral("OSD"), {708, 400, 42, 24}, {309, 305, 309, 305},
                                 QStringLiteral("OSD Setup"));
    connect(osd, &QPushButton::clicked, this, [this] { m_cameoHost->OpenOsdSetup(); });
    osd->hide();
    CSkinButton* liveAudio = AddButton(kLiveAudio, QStringLiteral("Live Audio"), {620, 400, 42, 24},
                                       {311, 310, 310, 310}, QString());
    connect(liveAudio, &QPushButton::clicked, this, &CViewerDlg::OnLiveAudio);
    liveAudio->hide();
    // The master volume of the speakers. Shown (hidden, no user could reach the volume at all),
    // and greyed when the system has no mixer to set it with.
    m_masterVolume = std::make_unique<MasterVolume>(
        m_env.mixerProgram.isNull() ? MasterVolume::FindMixer() : m_env.mixerProgram,
        m_env.startMixer ? m_env.startMixer : MasterVolume::Runner(&MasterVolume::StartDetached));
    m_volume = new CSkinSlider(1180, this);
    m_volume->LoadChannelBitmaps(312, 0, false, 0, 0, 0);
    m_volume->SetLimits(0, MasterVolume::kMaxPosition);
    m_volume->SetPosition(MasterVolume::kMaxPosition);
    m_volume->setToolTip(QStringLiteral("Volume"));
    SkinTooltip::SetDelay(this, {m_volume});
    m_volume->setEnabled(m_masterVolume->IsOpen());
    connect(m_volume, &CSkinSlider::sliderMoved, this,
            [this](int, int position) { m_masterVolume->OnVolumeChanged(position); });
}

CSkinButton* CViewerDlg::Button(int id) const
{
    for (const auto& entry : m_buttons) {
        if (entry.first == id)
            return entry.second;
    }
    return nullptr;
}

void CViewerDlg::WriteOutCarriedFiles()
{
    CarriedFiles::WriteOut(m_env.programPath, CarriedPath(m_env, "c:\\Player\\KRO_SDK_H264_Dec.dll"),
                           CarriedPath(m_env, "c:\\Player\\XviD_Codec.exe"),
                           CarriedPath(m_env, "c:\\Player\\CD_DATA"));
}

void CViewerDlg::ProbeLibraries()
{
    m_ffmpegFound = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
    const QString folder = QDir::cleanPath(m_env.programFolder);
    for (const QString& candidate :
         {folder + QStringLiteral("/lib/Wedra.DLL"), folder + QStringLiteral("/Wedra.DLL")}) {
        if (QFile::exists(candidate)) {
            m_wedraFound = true;
            m_wedraPath = candidate;
            break;
        }
    }
}

// -- layout, painting and the frameless frame ---------------------------------------------------

void CViewerDlg::LayoutControls()
{
    const ViewerRects r = ViewerGeometry::Layout(size());
    m_grid->setGeometry(r.grid);
    m_grid->Layout(r.grid.width(), r.grid.height(), m_tiles->SplitCode(), false, false, true);
    if (CSkinButton* b = Button(kMinimise))
        b->move(r.minimise);
    if (CSkinButton* b = Button(kClose))
        b->move(r.close);
    m_tree->setGeometry(r.tree);
    const QPoint panel(width() - 177, height() - 128);
    m_adjust->move(panel);
    m_alarm->move(panel);
    Button(kImg)->move(r.img);
    Button(kPlay)->move(r.play);
    Button(kEtc)->move(r.etc);
    for (int i = 0; i < 6; ++i)
        Button(kLayoutButtons[i])->move(r.layoutButtons[i]);
    m_controlBar->move(r.controlBar);
    m_playSlider->setGeometry(r.playSlider);
    m_volume->setGeometry(r.volume);
    update();
}

void CViewerDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_initialised)
        LayoutControls();
}

void CViewerDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    if (!m_skin.isNull()) {
        painter.drawPixmap(QRect(0, 0, w, h), m_skin, QRect(5, 5, 5, 5));
        painter.drawPixmap(QPoint(w - 200, 0), m_skin, QRect(600, 0, 200, 200));
        painter.drawPixmap(QRect(w - 200, 200, 200, h - 250), m_skin, QRect(600, 200, 200, 200));
        painter.drawPixmap(QPoint(w - 200, h - 250), m_skin, QRect(600, 350, 200, 250));
        painter.drawPixmap(QPoint(w - (w + 200) / 2 - 292, h - 100), m_skin, QRect(10, 500, 590, 100));
    } else {
        painter.fillRect(rect(), QColor(59, 91, 134));
    }
    QFont font(m_faceName);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(kFrameColour);
    const QString version = QStringLiteral("Ver 3.08");
    painter.drawText(w - 60 - painter.fontMetrics().horizontalAdvance(version),
                     10 + painter.fontMetrics().ascent(), version);
    painter.setPen(QPen(kFrameColour, 3));
    painter.drawRect(QRect(1, 1, w - 3, h - 3));
}

void CViewerDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || windowHandle() == nullptr)
        return QDialog::mousePressEvent(event);
    const FrameHit hit = ViewerGeometry::HitTest(event->pos(), size(), isMaximized());
    if (hit == FrameHit::Caption)
        windowHandle()->startSystemMove();
    else if (hit != FrameHit::Client)
        windowHandle()->startSystemResize(EdgesOf(hit));
}

void CViewerDlg::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(CursorOf(ViewerGeometry::HitTest(event->pos(), size(), isMaximized())));
    QDialog::mouseMoveEvent(event);
}

// -- layouts, panels and full screen ------------------------------------------------------------

void CViewerDlg::SetSplitMode(int code, bool repress, bool restore)
{
    m_layoutBusy = true;
    const int checked = SplitModes::ButtonOfCode(code);
    for (const int id : {1008, 1009, 1010, 1011, 1016}) {
        if (CSkinButton* b = Button(id))
            b->SetCheck(id == checked);
    }
    // A new layout hides the previews; the one-tile layout may show another tile's.
    m_timer1111.stop();
    m_previews->Clear();
    m_tiles->Layout(m_grid->size(), code, repress, restore);
    m_players->SetSplitCount(SplitModes::TileCount(m_tiles->SplitCode()));
    for (int t = 0; t < 16; ++t)
        m_players->SetVisible(t, m_tiles->IsVisible(t));
    m_tiles->RedrawAll();
    if (m_tiles->SplitCode() != 0) {
        m_currentTile = -1;
        m_playSlider->hide();
    } else {
        const QVector<int> selected = m_tiles->SelectedCameos();
        m_currentTile = selected.isEmpty() ? -1 : selected.first();
        m_playSlider->show();
        CSearchView* player = m_players->Player(m_currentTile);
        const bool open = player && player->IsOpened();
        m_playSlider->setMinimum(0);
        m_playSlider->setMaximum(open ? qMax(0, player->GetPlayRange()) : 0);
        m_playSlider->setValue(open ? qMax(0, player->GetPlayPosition()) : 0);
    }
    m_layoutBusy = false;
}

int CViewerDlg::GetSplitCount() const
{
    return SplitModes::TileCount(m_tiles->SplitCode());
}

void CViewerDlg::ShowPanel(int code)
{
    if (code < 0 || code > 3)
        return;
    m_panel = code;
    for (const int id : kLayoutButtons)
        Button(id)->setVisible(code == 1);
    m_adjust->setVisible(code == 0);
    m_alarm->ShowPopup(code == 2);
    Button(kImg)->SetCheck(code == 0);
    Button(kPlay)->SetCheck(code == 1);
    Button(kEtc)->SetCheck(code == 2);
}

void CViewerDlg::OnFullScreen()
{
    m_timer1111.stop();
    CFullScreenDlg full(*this, m_grid, *m_tiles, this);
    full.exec();
}

// -- hand-over and shut-down ----------------------------------------------------------------------

int CViewerDlg::OpenHandedOverPath(const QString& path)
{
    const int result = OpenWithMode(path, HandOverOpener::Mode::HandOver);
    // A list reports when its files are open (OnListRead).
    if (!OpenPath::IsFileList(OpenPath::Split(path).name))
        emit handedOverPathOpened(path);
    return result;
}

HandOverOpener CViewerDlg::Opener()
{
    return HandOverOpener(
        *m_tiles, m_playFlags,
        [](const QString& p) {
            QFile file(p);
            return file.open(QIODevice::ReadOnly) ? file.read(ListFileReader::kMaxListBytes) : QByteArray();
        },
        [](const QString& p) { return QFileInfo::exists(p); }, [this] { m_controlBar->OnPause(); });
}

int CViewerDlg::OpenWithMode(const QString& path, HandOverOpener::Mode mode)
{
    // A list may name many thousands of files: it is read and looked up off this thread.
    if (OpenPath::IsFileList(OpenPath::Split(path).name)) {
        if (!m_lists) {
            m_lists = std::make_unique<ListFileReader>([](const QString& p) { return QFileInfo::exists(p); });
            connect(m_lists.get(), &ListFileReader::listRead, this, &CViewerDlg::OnListRead);
        }
        m_lists->Read(path, mode);
        return 0;
    }
    const int result = Opener().Open(path, mode);
    if (m_tiles->SplitCode() == 0)
        SetSplitMode(0, false, false);
    return result;
}

void CViewerDlg::OnListRead(const QString& listPath, HandOverOpener::Mode mode, const ListFiles& files)
{
    if (m_closing)
        return;
    Opener().OpenList(files, mode);
    if (m_tiles->SplitCode() == 0)
        SetSplitMode(0, false, false);
    if (files.skipped > 0) {
        MessageBoxRequest request;
        request.firstLine = QStringLiteral("Not opened: %1 entries").arg(files.skipped);
        request.secondLine = QStringLiteral("Tiles show %1 at most.").arg(ViewerTiles::kTileCount);
        request.animate = false;
        m_messageBox->ShowBox(&request);
    }
    if (mode == HandOverOpener::Mode::HandOver)
        emit handedOverPathOpened(listPath);
}

void CViewerDlg::OnCancel()
{
    if (m_askOnExit) {
        const auto answer = QMessageBox::question(this, m_language.GetText(QStringLiteral("EXIT_PROGRAM")),
                                                  m_language.GetText(QStringLiteral("EXIT_QUESTION")),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    } else {
        hide();
    }
    ShutDown();
}

void CViewerDlg::CloseWithoutAsking()
{
    m_askOnExit = false;
    OnCancel();
}

void CViewerDlg::ShutDown()
{
    m_closing = true;
    m_players->StopAll();
    CarriedFiles::Remove(CarriedPath(m_env, "c:\\Player\\KRO_SDK_H264_Dec.dll"),
                         CarriedPath(m_env, "c:\\Player\\XviD_Codec.exe"),
                         CarriedPath(m_env, "c:\\Player\\CD_DATA"));
    done(QDialog::Rejected);
}

void CViewerDlg::reject()
{
    // Escape does not close the player; the close button and the window's close do.
}

void CViewerDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!m_closing)
        OnCancel();
}

// -- drops ----------------------------------------------------------------------------------------

void CViewerDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CViewerDlg::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    OnDropFiles(paths, event->pos());
    event->acceptProposedAction();
}

void CViewerDlg::OnDropFiles(const QStringList& paths, const QPoint& dialogPoint)
{
    if (paths.isEmpty())
        return;
    const QString path = paths.first();
    const int tile = m_tiles->CameoFromPoint(m_grid->mapFrom(this, dialogPoint));
    if (tile < 0 || tile >= 16)
        return;
    const SplitPath split = OpenPath::Split(path);
    if (split.folder.isEmpty() || split.name.isEmpty())
        return;
    const QString name = split.name.toLower();
    const bool recording = name.startsWith(QLatin1String("stream_000."))
                           || name.startsWith(QLatin1String("intra_idx."))
                           || name.startsWith(QLatin1String("hd_idx.")) || name.startsWith(QLatin1Char('h'))
                           || name.startsWith(QLatin1Char('i'));
    if (!recording)
        return;
    m_tiles->SelectOnly(tile);
    m_controlBar->OnPause();
    m_playFlags[tile] = m_tiles->OpenFile(tile, path);
    m_tiles->RedrawAll();
}

// -- play slider, groups and audio ------------------------------------------------------------------

void CViewerDlg::UpdatePlaySlider(int tile)
{
    if (m_sliderDragging || tile != m_currentTile)
        return;
    CSearchView* player = m_players->Player(tile);
    if (!player)
        return;
    const int range = player->GetPlayRange();
    if (range != m_sliderRange) {
        m_sliderRange = range;
        m_playSlider->setMaximum(qMax(0, range));
    }
    const int position = player->GetPlayPosition();
    if (position >= 0 && !m_playSlider->IsDragging())
        m_playSlider->setValue(position);
}

void CViewerDlg::MarkTimeBar(int tile, int firstCell, int count)
{
    m_timeBar->MarkFileCells(tile, firstCell, count);
}

void CViewerDlg::OnPlaySliderSeek()
{
    m_sliderDragging = true;
    if (CSearchView* player = m_players->Player(m_currentTile))
        player->SeekToFrame(m_playSlider->value());
    m_sliderDragging = false;
}

int CViewerDlg::NewPlayGroup()
{
    return m_players->Groups().NewPlayGroup(m_tiles->SelectedCameos(), *m_players);
}

void CViewerDlg::ShowGroupTime(int group, int tile, int hhmmss, int direction)
{
    m_players->Groups().UpdateGroupTime(group, hhmmss, tile, direction, false, *m_players,
                                        m_timeBar->CurrentGroup(), m_timeBar->CurrentTile(), [this](int time) {
                                            const int position = PlayGroups::BarPosition(time);
                                            if (!m_timeBar->Slider()->IsDragging()
                                                && m_timeBar->Slider()->value() != position) {
                                                m_timeBar->Slider()->setValue(position);
                                                m_timeBar->UpdateTimeBar();
                                            }
                                        });
}

void CViewerDlg::OnLiveAudio()
{
    if (QtAudioSink::OutputDevice().isNull()) {
        QMessageBox::information(this, m_language.GetText(QStringLiteral("NOTIFY")),
                                 m_language.GetText(QStringLiteral("NO_AUDIO_DEVICE")));
        return;
    }
    const QVector<int> selected = m_tiles->SelectedCameos();
    if (selected.isEmpty() || !PlayFlag(selected.first()))
        return;
    const int audio = m_players->Player(selected.first())->AudioOn();
    if (audio <= 0)
        return;
    if (audio == 2)
        OnAudioOff();
    else
        OnAudioOn();
}

void CViewerDlg::OnAudioOn()
{
    const int tile = m_timeBar->CurrentTile();
    for (int t = 0; t < 16; ++t) {
        if (m_players->Player(t)->AudioOn() == 2)
            m_players->Player(t)->WaitAudioReady();
    }
    m_audio->Flush();
    if (CSearchView* player = m_players->Player(tile); player && player->AudioOn() == 1)
        player->StartAudio();
}

void CViewerDlg::OnAudioOff()
{
    CSearchView* player = m_players->Player(m_timeBar->CurrentTile());
    if (player && player->AudioOn() == 2) {
        player->WaitAudioReady();
        m_audio->Flush();
    }
}

namespace {

SiblingLauncher Siblings(const ViewerEnvironment& env)
{
    return SiblingLauncher(env.programFolder,
                           env.startProgram ? env.startProgram
                                            : SiblingLauncher::Runner(&SiblingLauncher::StartDetached),
                           &SiblingLauncher::RaiseOwnWindow);
}

} // namespace

bool CViewerDlg::OnLaunchKro()
{
    return Siblings(m_env).LaunchKro(frameGeometry().topLeft());
}

bool CViewerDlg::OnLaunchVistrel()
{
    return Siblings(m_env).LaunchVistrel(frameGeometry().topLeft());
}

// -- the control bar's and the wait box's host ----------------------------------------------------

QVector<int> CViewerDlg::SelectedCameos() const
{
    return m_tiles->SelectedCameos();
}

void CViewerDlg::SetCurrentTile(int tile)
{
    if (m_tiles->SplitCode() == 0)
        m_currentTile = tile;
}

void CViewerDlg::ShowWaitBox(int steps, const QString& text)
{
    m_barOwnsWaitBox = true;
    m_waitBox->ShowMessage(steps, text, WaitBoxStyle::TileView, 4);
}

void CViewerDlg::StepWaitBox()
{
    m_waitBox->Step();
    if (!m_waitBox->Counter().IsShown())
        m_barOwnsWaitBox = false;
}

void CViewerDlg::EngineStepsWaitBox()
{
    // The control bar answers for each of its tiles itself; the engines' own steps count only for
    // the boxes that others opened.
    if (!m_barOwnsWaitBox)
        m_waitBox->Step();
}

void CViewerDlg::ClearGroupSlot(int group, int tile)
{
    m_players->Groups().ClearSlot(group, tile);
}

void CViewerDlg::SetTimeBarGroup(int group)
{
    m_timeBar->SetCurrentGroup(group);
}

void CViewerDlg::SetTimeBarTile(int tile)
{
    m_timeBar->SetCurrentTile(tile);
}

void CViewerDlg::EnableButtons(bool enable)
{
    m_controlBar->EnableButtons(enable);
}

QString CViewerDlg::Text(const char* key) const
{
    return m_language.GetText(QString::fromLatin1(key));
}

void CViewerDlg::EnableMainDialog(bool enable)
{
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != m_waitBox && child != m_messageBox && !child->isWindow())
            child->setEnabled(enable);
    }
}

void CViewerDlg::CancelWaitBox(CancelAction action, int tile)
{
    m_barOwnsWaitBox = false;
    CSearchView* player = m_players->Player(tile);
    switch (action) {
    case CancelAction::CloseTileView:
        if (player)
            player->CloseSearch();
        break;
    case CancelAction::ResetTimeBar: m_timeBar->ResetSelection(); break;
    case CancelAction::HideCalendar:
        if (m_searchMulti)
            m_searchMulti->hide();
        break;
    case CancelAction::ClearCalendarSearch:
        if (m_searchMulti)
            m_searchMulti->ClearDayData();
        break;
    default:
        // The search data of tile views come with their recorder search face.
        break;
    }
}

ViewerTiles& CViewerDlg::Tiles() const
{
    return *m_tiles;
}
