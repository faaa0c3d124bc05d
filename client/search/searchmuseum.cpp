#include "search/searchmuseum.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTime>
#include <QTimeEdit>

#include "search/ccameomuseum.h"
#include "search/ccameosub.h"
#include "search/searchlog.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

constexpr int kNothingToDo = -999;
constexpr int kRowY = 603;
constexpr int kRowHeight = 28;
// Room for as many slots as the hit list holds.
constexpr int kStripCanvasHeight = MuseumSearchRun::kMaxHits * CCameoSub::kSlotHeight;
const QString kTitle = QStringLiteral("Museum Search");
// The refusals carry a title of their own, so the box they open is a plain one.
const QString kRefusalTitle = QStringLiteral("Museum Search ");

void ShowBox(const QString& title, const QString& text, const QString& option)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(title, text, option);
}

void ShowCompleted()
{
    ShowBox(QString(), QStringLiteral("Search completed."), QString());
    ShowBox(QString(), QString(), QStringLiteral("auto"));
}

QString WallClock()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

int HhmmssOf(const QTime& time)
{
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}

QTime TimeOfHhmmss(int hhmmss)
{
    return QTime(hhmmss / 10000, hhmmss / 100 % 100, hhmmss % 100);
}

// "hh:mm:ss" as HHMMSS; -1 for a text that is no time.
int HhmmssOfText(const QString& text)
{
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm:ss"));
    return time.isValid() ? HhmmssOf(time) : -1;
}

// The step code that keeps the search thread playing in a mode.
int KeepPlayingCode(PlaybackMode mode)
{
    switch (mode) {
    case PlaybackMode::Forward: return -15;
    case PlaybackMode::FastForward: return -115;
    case PlaybackMode::Backward: return -25;
    case PlaybackMode::FastBackward: return -125;
    default: return kNothingToDo;
    }
}

// The fast modes count their speed 2 .. 8 and start over at 2.
int NextFastStep(bool alreadyInMode, int speedStep)
{
    const int next = alreadyInMode ? speedStep + 1 : 2;
    return next >= 9 ? 2 : next;
}

} // namespace

SearchMuseum::SearchMuseum(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(kTitle);
    setMinimumSize(kDialogWidth, kDialogHeight);
    resize(kDialogWidth, kDialogHeight);
    BuildWidgets();

    m_messageTimer.setInterval(kMessageTickMs);
    connect(&m_messageTimer, &QTimer::timeout, this, &SearchMuseum::OnMessageTimeOut);
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &SearchMuseum::CloseTimeOut);

    connect(this, &SearchMuseum::resizeAreaWidth, this, &SearchMuseum::resizeArea, Qt::QueuedConnection);
    connect(this, &SearchMuseum::resizeCameoHeight, this, &SearchMuseum::resizeCameo, Qt::QueuedConnection);
    connect(this, &SearchMuseum::hitFound, this, &SearchMuseum::TakeHit, Qt::QueuedConnection);
    connect(this, &SearchMuseum::progressChanged, this, &SearchMuseum::TakeProgress, Qt::QueuedConnection);
    connect(this, &SearchMuseum::searchFinished, this, &SearchMuseum::FinishSearch, Qt::QueuedConnection);
    connect(this, &SearchMuseum::pictureArrived, this, &SearchMuseum::TakePicture, Qt::QueuedConnection);
}

SearchMuseum::~SearchMuseum()
{
    if (MuseumSearchPopup::Instance() == this)
        MuseumSearchPopup::Install(nullptr);
}

void SearchMuseum::BuildWidgets()
{
    m_picture = QImage(MuseumGrid::kPictureWidth, MuseumGrid::kPictureHeight, QImage::Format_RGB888);
    m_picture.fill(Qt::black);

    m_tile = new CCameoMuseum;
    m_tile->setParent(this);
    m_tile->m_searchKind = CCameoMuseum::SearchKind::Museum;
    m_tile->setGeometry(MuseumGrid::kTileX, MuseumGrid::kTileY, MuseumGrid::kPictureWidth,
                        MuseumGrid::kPictureHeight);
    m_tile->ClearCameo();
    m_tile->installEventFilter(this);
    connect(m_tile, &CCameoMuseum::thumbnailSearch, this, &SearchMuseum::OnThumbSearch);
    connect(m_tile, &CCameoMuseum::quickSearch, this, &SearchMuseum::OnQuickSearch);
    connect(m_tile, &CCameoMuseum::recordSignal, this, &SearchMuseum::OnRecord);
    connect(m_tile, &CCameoMuseum::OnMouseMove, this, &SearchMuseum::OnMouseMoveEvent);
    connect(m_tile, &CCameoMuseum::OnMousePress, this, &SearchMuseum::OnMousePressEvent);

    m_strip = new CCameoSub;
    m_strip->resize(kThumbnailWidth, 1);
    m_strip->SetFixedCanvas(true);
    QPixmap canvas(kThumbnailWidth, kStripCanvasHeight);
    canvas.fill(Qt::black);
    m_strip->SetCanvas(canvas);
    m_matchList = new QScrollArea(this);
    m_matchList->setWidgetResizable(false);
    m_matchList->setWidget(m_strip);
    ResetMatchList();

    BuildPlayRow(kRowY);
    BuildRangeRow(kRowY);

    // Kept from the paged match list that the scrolling strip replaced; never shown.
    m_hitLabel = new QLabel(QStringLiteral("000 / 000"), this);
    m_hitLabel->hide();
    for (const char* text : {"<", ">"}) {
        auto* pager = new QPushButton(QLatin1String(text), this);
        pager->hide();
    }
}

void SearchMuseum::BuildPlayRow(int rowY)
{
    const struct
    {
        const char* text;
        void (SearchMuseum::*slot)();
    } buttons[] = {{"<<", &SearchMuseum::OnPlayBFBtn}, {"<", &SearchMuseum::OnPlayBBtn},
                   {"||", &SearchMuseum::OnPlayPBtn},  {">", &SearchMuseum::OnPlayFBtn},
                   {">>", &SearchMuseum::OnPlayFFBtn}, {"X", &SearchMuseum::OnPlayExitBtn}};
    int x = 10;
    for (size_t i = 0; i < m_playButtons.size(); ++i) {
        auto* button = new QPushButton(QLatin1String(buttons[i].text), this);
        button->setObjectName(QLatin1String(buttons[i].text));
        const bool exit = i + 1 == m_playButtons.size();
        button->setGeometry(exit ? 420 : x, rowY, exit ? 40 : 70, kRowHeight);
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, buttons[i].slot);
        m_playButtons[i] = button;
        x += 80;
    }
}

void SearchMuseum::BuildRangeRow(int rowY)
{
    QFont editFont(QStringLiteral("arial"), 9);
    editFont.setWeight(75);
    auto makeEdit = [&](int x) {
        auto* edit = new QTimeEdit(this);
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        edit->setFont(editFont);
        edit->setMinimumHeight(25);
        // Seventy pixels hold the bold time only without the step arrows; the keys and the wheel
        // still step it.
        edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
        edit->setGeometry(x, rowY, 70, kRowHeight);
        return edit;
    };
    m_startEdit = makeEdit(490);
    auto* tilde = new QLabel(QStringLiteral("~"), this);
    tilde->setAlignment(Qt::AlignCenter);
    tilde->setGeometry(560, rowY, 20, kRowHeight);
    m_endEdit = makeEdit(580);

    auto makeButton = [&](const QString& text, int x, int width, void (SearchMuseum::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(text);
        button->setGeometry(x, rowY, width, kRowHeight);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    m_searchButton = makeButton(QStringLiteral("Search"), 655, 80, &SearchMuseum::OnSearchBtn);
    m_gotoButton = makeButton(QStringLiteral("Goto"), 765, 100, &SearchMuseum::OnOkBtn);
    m_closeButton = makeButton(QStringLiteral("Close"), 870, 100, &SearchMuseum::OnCancelBtn);
}

// ---------------------------------------------------------------------------------------------
// What the session calls

void SearchMuseum::SetSearchInfo(int deviceIndex, int channel, int date, int time, int resolutionClass,
                                 int gridFamily, int videoFormatBit)
{
    show();
    {
        QMutexLocker locker(&m_walkLock);
        m_deviceIndex = deviceIndex;
        m_channel = channel;
    }
    m_tile->m_deviceIndex = deviceIndex;
    const MuseumRecorder* recorder = Recorder();
    m_recorderName = recorder ? recorder->RecorderName() : QString();
    m_cameraName = recorder ? recorder->CameraName(channel) : QString();
    m_resolutionClass = resolutionClass;
    m_gridFamily = gridFamily;
    m_videoFormatBit = videoFormatBit;
    m_searchTime = time;
    m_returnTime = time;

    // The login reply carries nothing about the finer motion grids, so the three grid arguments
    // alone choose the size.
    m_grid.Configure(MuseumGridCaps{}, resolutionClass, gridFamily, videoFormatBit);
    m_grid.ResetArea(-1);
    if (MuseumRecorder* r = Recorder())
        r->SetArea(-1, 0, 0, 0, 0);
    m_picture.fill(Qt::black);
    const QRect tile = m_grid.TileRect();
    if (!tile.isEmpty())
        m_tile->setGeometry(tile);

    m_dateText = QString::asprintf("%02d/%02d/%04d", date / 100 % 100, date % 100, date / 10000);
    m_currentTimeText = MuseumSearchRun::TimeText(time);
    m_startEdit->setTime(TimeOfHhmmss(time));
    m_endEdit->setTime(TimeOfHhmmss(MuseumSearchRun::DefaultEnd(time)));
    RedrawTile();
}

int SearchMuseum::SetCameoImage(int deviceIndex, int /*channel*/, const QString& timeText, const QImage& picture,
                                bool match)
{
    // The session's search thread: nothing here touches a widget, a timer or the message box.
    const bool boxOpen = ProgressBoxOpen();
    QMutexLocker locker(&m_walkLock);
    if (m_deviceIndex < 0 || deviceIndex != m_deviceIndex)
        return kNothingToDo;

    switch (m_viewState) {
    case ViewState::Searching: {
        const int slot = m_run.HitCount();
        const MuseumSearchRun::Step step = m_run.OnPicture(timeText, match, boxOpen);
        const int hits = m_run.HitCount();
        locker.unlock();
        if (step.hitStored) {
            qCDebug(lcSearch) << "museum hit" << hits;
            QImage thumbnail = picture.isNull() ? QImage(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB888)
                                                : picture.scaled(kThumbnailWidth, kThumbnailHeight,
                                                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (picture.isNull())
                thumbnail.fill(Qt::black);
            if (hits == kWideListHits)
                emit resizeAreaWidth();
            emit hitFound(thumbnail, timeText, slot);
            emit resizeCameoHeight(hits * CCameoSub::kSlotHeight);
        }
        if (step.next == MuseumSearchRun::kFinished) {
            if (step.finishedNow)
                emit searchFinished();
            return MuseumSearchRun::kFinished;
        }
        emit progressChanged(MuseumSearchRun::ProgressText(step.progress));
        return step.next;
    }
    case ViewState::ShowOne:
        locker.unlock();
        emit pictureArrived(picture, timeText, true);
        return MuseumSearchRun::kFinished;
    case ViewState::Playing: {
        if (m_playMode == PlaybackMode::Stop)
            return kNothingToDo;
        const int code = KeepPlayingCode(m_playMode);
        locker.unlock();
        emit pictureArrived(picture, timeText, false);
        return code;
    }
    }
    return kNothingToDo;
}

void SearchMuseum::OnRecorderLost()
{
    // Close would wait for a busy search that can no longer end; the recorder is forgotten so
    // that the dialog closes at once and asks nothing of it.
    {
        QMutexLocker locker(&m_walkLock);
        m_run.Stop();
        m_deviceIndex = -1;
    }
    m_tile->m_deviceIndex = -1;
    m_busy = false;
    m_messageTimer.stop();
    OnCancelBtn();
}

int SearchMuseum::GetPlayState() const
{
    return int(GetPlayMode());
}

int SearchMuseum::GetChannel() const
{
    QMutexLocker locker(&m_walkLock);
    return m_channel;
}

int SearchMuseum::GetSpeedCode() const
{
    return GetSpeedStep();
}

SearchMuseum::ViewState SearchMuseum::GetViewState() const
{
    QMutexLocker locker(&m_walkLock);
    return m_viewState;
}

PlaybackMode SearchMuseum::GetPlayMode() const
{
    QMutexLocker locker(&m_walkLock);
    return m_playMode;
}

int SearchMuseum::GetSpeedStep() const
{
    QMutexLocker locker(&m_walkLock);
    return m_speedStep;
}

int SearchMuseum::HitCount() const
{
    QMutexLocker locker(&m_walkLock);
    return m_run.HitCount();
}

int SearchMuseum::HitTime(int index) const
{
    QMutexLocker locker(&m_walkLock);
    return m_run.HitTime(index);
}

// ---------------------------------------------------------------------------------------------
// Hand-overs from the search thread

void SearchMuseum::TakeHit(const QImage& thumbnail, const QString& timeText, int slot)
{
    m_lastThumbnail = thumbnail;
    m_strip->SetSlotImage(thumbnail, timeText, false, slot);
}

void SearchMuseum::TakeProgress(const QString& text)
{
    ShowBox(QString(), text, QString());
}

void SearchMuseum::FinishSearch()
{
    if (MuseumRecorder* r = Recorder())
        r->SetArea(-1, 0, 0, 0, 0);
    ShowCompleted();
    qCDebug(lcSearch) << "Finish Search" << WallClock();
    m_busy = false;
    m_messageTimer.stop();
}

void SearchMuseum::TakePicture(const QImage& picture, const QString& timeText, bool single)
{
    if (!picture.isNull())
        m_picture = picture.scaled(m_tile->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The shown picture's time is where Goto and the play buttons go on from.
    if (HhmmssOfText(timeText) >= 0)
        m_currentTimeText = timeText;
    RedrawTile();
    if (!single)
        return;
    m_busy = false;
    if (MuseumRecorder* r = Recorder())
        r->SetArea(-1, 0, 0, 0, 0);
    ShowCompleted();
    m_messageTimer.stop();
}

// ---------------------------------------------------------------------------------------------
// Searching

void SearchMuseum::OnSearchBtn()
{
    if (m_busy)
        return;
    const int start = HhmmssOf(m_startEdit->time());
    const int end = HhmmssOf(m_endEdit->time());
    MuseumStartCheck check;
    {
        QMutexLocker locker(&m_walkLock);
        check = m_run.Start(start, end, m_latestTime, m_grid.Area().IsSet());
        if (check == MuseumStartCheck::Ok)
            m_viewState = ViewState::Searching;
    }
    if (check != MuseumStartCheck::Ok) {
        ShowBox(kRefusalTitle,
                check == MuseumStartCheck::BadTime ? QStringLiteral("Please check the time.")
                                                   : QStringLiteral("Please select the area."),
                QString());
        ShowBox(QString(), QString(), QStringLiteral("stop"));
        return;
    }

    m_hitLabel->setText(QStringLiteral("000 / 000"));
    ResetMatchList();
    m_strip->ClearSlot(-1);
    m_messageTimer.start();
    m_boxOpened = false;
    ShowBox(kTitle, QStringLiteral("Searching..."), QString());
    if (MuseumRecorder* r = Recorder()) {
        m_busy = true;
        m_showingMatch = false;
        {
            QMutexLocker locker(&m_walkLock);
            m_playMode = PlaybackMode::FastForward;
        }
        const MuseumArea area = m_grid.Area();
        r->SetArea(m_gridFamily, area.x1, area.y1, area.x2, area.y2);
        RequestPlayback(start);
    }
    qCDebug(lcSearch) << "Start Search" << WallClock();
}

void SearchMuseum::OnMessageTimeOut()
{
    const SessionHub* hub = SessionHub::Instance();
    // The box opens sooner than the first tick comes, so from the first tick on a box that is
    // not open has been closed, for the search thread as well.
    m_boxOpened = true;
    if (hub && hub->IsMessageBoxOpen())
        return;
    {
        QMutexLocker locker(&m_walkLock);
        m_run.Stop();
    }
    m_busy = false;
    m_messageTimer.stop();
}

bool SearchMuseum::ProgressBoxOpen()
{
    const SessionHub* hub = SessionHub::Instance();
    const bool open = hub && hub->IsMessageBoxOpen();
    if (open)
        m_boxOpened = true;
    return open || !m_boxOpened.load();
}

void SearchMuseum::resizeArea()
{
    m_matchList->setGeometry(kListX, kListY, kWideListWidth, kListHeight);
}

void SearchMuseum::resizeCameo(int height)
{
    m_strip->resize(kThumbnailWidth, height);
}

void SearchMuseum::ResetMatchList()
{
    m_matchList->setGeometry(kListX, kListY, kListWidth, kListHeight);
    m_strip->setGeometry(0, 0, kThumbnailWidth, 1);
}

bool SearchMuseum::OnSelectCameo(int x, int y)
{
    if (m_busy || !m_matchList->geometry().contains(x, y))
        return false;
    const int stripY = m_strip->mapFrom(this, QPoint(x, y)).y();
    const int index = stripY / CCameoSub::kSlotHeight;
    // Only a slot that holds a match can be picked.
    if (stripY < 0 || index >= HitCount())
        return true;
    m_strip->SelectSlot(index);
    if (!Recorder())
        return true;
    int time = -1;
    {
        QMutexLocker locker(&m_walkLock);
        m_viewState = ViewState::ShowOne;
        m_run.Stop();
        m_playMode = PlaybackMode::Forward;
        m_speedStep = 0;
        time = m_run.HitTime(index);
    }
    m_busy = true;
    m_showingMatch = true;
    m_searchButton->setEnabled(false);
    EnablePlayRow(true);
    RequestPlayback(time);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Playing a match

void SearchMuseum::Play(PlaybackMode mode, int speedStep, bool recordOff)
{
    if (recordOff)
        RecordOff();
    {
        QMutexLocker locker(&m_walkLock);
        m_viewState = ViewState::Playing;
        m_playMode = mode;
        m_speedStep = speedStep;
    }
    RedrawTile();
    RequestPlayback(HhmmssOfText(m_currentTimeText));
}

void SearchMuseum::OnPlayBFBtn()
{
    Play(PlaybackMode::FastBackward, NextFastStep(GetPlayMode() == PlaybackMode::FastBackward, GetSpeedStep()),
         true);
}

void SearchMuseum::OnPlayBBtn()
{
    Play(PlaybackMode::Backward, 1, true);
}

void SearchMuseum::OnPlayFBtn()
{
    Play(PlaybackMode::Forward, 1, false);
}

void SearchMuseum::OnPlayFFBtn()
{
    Play(PlaybackMode::FastForward, NextFastStep(GetPlayMode() == PlaybackMode::FastForward, GetSpeedStep()),
         true);
}

void SearchMuseum::OnPlayPBtn()
{
    RecordOff();
    {
        QMutexLocker locker(&m_walkLock);
        m_playMode = PlaybackMode::Stop;
        m_speedStep = 1;
    }
    RedrawTile();
}

void SearchMuseum::OnPlayExitBtn()
{
    RecordOff();
    {
        QMutexLocker locker(&m_walkLock);
        m_speedStep = 1;
    }
    EnablePlayRow(false);
    m_searchButton->setEnabled(true);
    m_showingMatch = false;
    RedrawTile();
}

void SearchMuseum::EnablePlayRow(bool enable)
{
    for (QPushButton* button : m_playButtons)
        button->setEnabled(enable);
}

void SearchMuseum::RecordOff()
{
    m_record = false;
    m_tile->m_recordMark = 0;
}

void SearchMuseum::OnRecord()
{
    m_record = !m_record.load();
    RedrawTile();
    if (!m_record.load())
        return;
    if (MuseumRecorder* r = Recorder())
        r->StartSearchRecord(GetChannel(), SearchDate(), HhmmssOfText(m_currentTimeText));
}

void SearchMuseum::RequestPlayback(int time)
{
    // A time of the day, or the codes that open the thumbnail (-2) and quick (-4) searches.
    if (time < 0 && time != -2 && time != -4) {
        qCDebug(lcSearch) << "museum search: no time to play" << time;
        return;
    }
    if (MuseumRecorder* r = Recorder())
        r->RequestPlayback(time);
}

// ---------------------------------------------------------------------------------------------
// Closing and switching

void SearchMuseum::StopPlaying()
{
    if (GetPlayMode() == PlaybackMode::Stop)
        return;
    RecordOff();
    {
        QMutexLocker locker(&m_walkLock);
        m_playMode = PlaybackMode::Stop;
        m_speedStep = 1;
    }
    RedrawTile();
}

void SearchMuseum::OnCancelBtn()
{
    if (m_busy && Recorder())
        return;
    StopPlaying();
    if (!Recorder()) {
        {
            QMutexLocker locker(&m_walkLock);
            m_run.Stop();
        }
        hide();
        return;
    }
    // The recorder has a moment to take the stop before normal playback is asked again.
    m_closeByOk = false;
    m_closeTimer.start(kCloseDelayMs);
}

void SearchMuseum::OnOkBtn()
{
    if (m_busy)
        return;
    StopPlaying();
    m_closeByOk = true;
    m_closeTimer.start(kCloseDelayMs);
}

void SearchMuseum::CloseTimeOut()
{
    if (m_closeByOk)
        timerOnOk();
    else
        timerOnCancel();
}

void SearchMuseum::timerOnCancel()
{
    {
        QMutexLocker locker(&m_walkLock);
        m_run.Stop();
    }
    hide();
}

void SearchMuseum::timerOnOk()
{
    {
        QMutexLocker locker(&m_walkLock);
        m_run.Stop();
    }
    m_returnTime = HhmmssOfText(m_currentTimeText);
    hide();
}

void SearchMuseum::OnThumbSearch()
{
    MuseumRecorder* r = Recorder();
    if (!r)
        return;
    r->SetSearchRequest(GetChannel(), SearchDate(), m_searchTime);
    m_returnTime = -2;
    OnCancelBtn();
}

void SearchMuseum::OnQuickSearch()
{
    MuseumRecorder* r = Recorder();
    if (!r)
        return;
    r->SetSearchRequest(GetChannel(), SearchDate(), HhmmssOfText(m_currentTimeText));
    m_returnTime = -4;
    OnCancelBtn();
}

void SearchMuseum::showEvent(QShowEvent* event)
{
    CPopupDialog::showEvent(event);
    // A window restored by the desktop goes on where it was.
    if (event->spontaneous())
        return;
    {
        QMutexLocker locker(&m_walkLock);
        m_viewState = ViewState::ShowOne;
        m_playMode = PlaybackMode::FastForward;
        m_run.Reset();
    }
    m_closeTimer.stop();
    m_grid.ResetArea(0);
    RecordOff();
    m_showingMatch = false;
    EnablePlayRow(false);
    m_searchButton->setEnabled(true);
    ResetMatchList();
    m_tile->EnableUpdate(true);
    m_strip->EnableUpdate(true);
    m_strip->ClearSlot(-1);
    // The first picture at the requested time ends this wait.
    m_busy = true;
    m_messageTimer.start();
    m_boxOpened = false;
    ShowBox(kTitle, QStringLiteral("Searching..."), QString());
}

void SearchMuseum::hideEvent(QHideEvent* event)
{
    CPopupDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    {
        QMutexLocker locker(&m_walkLock);
        m_viewState = ViewState::ShowOne;
    }
    RecordOff();
    m_messageTimer.stop();
    m_closeTimer.stop();
    m_tile->EnableUpdate(false);
    m_strip->EnableUpdate(false);
    if (MuseumRecorder* r = Recorder()) {
        r->LeaveSearch();
        RequestPlayback(m_returnTime);
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing the area

void SearchMuseum::RedrawTile()
{
    PlaybackMode mode;
    int speedStep;
    {
        QMutexLocker locker(&m_walkLock);
        mode = m_playMode;
        speedStep = m_speedStep;
    }
    const bool markable = mode == PlaybackMode::Forward || mode == PlaybackMode::Stop;
    m_tile->m_recordMark = m_record.load() && markable ? 1 : 0;
    const MuseumArea area = m_grid.Area();
    m_tile->SetCameoInfo(m_picture, m_grid.Columns(), m_grid.Rows(), area.x2, area.y2, area.x1, area.y1,
                         m_dateText, m_currentTimeText, m_recorderName, m_cameraName, int(mode), speedStep,
                         m_showingMatch);
}

void SearchMuseum::ClearArea()
{
    m_grid.ResetArea(0);
    RedrawTile();
}

bool SearchMuseum::LeftPressAt(QPoint pos)
{
    const std::optional<QPoint> cell = m_grid.CellAt(pos);
    if (cell && !m_showingMatch) {
        m_grid.BeginDrag(*cell);
        RedrawTile();
        return true;
    }
    return OnSelectCameo(pos.x(), pos.y());
}

void SearchMuseum::DragAt(QPoint pos)
{
    if (!m_grid.IsDragging())
        return;
    if (const std::optional<QPoint> cell = m_grid.CellAt(pos)) {
        m_grid.DragTo(*cell);
        RedrawTile();
    }
}

void SearchMuseum::OnMousePressEvent(int x, int y)
{
    LeftPressAt(QPoint(x, y));
}

void SearchMuseum::OnMouseMoveEvent(int x, int y)
{
    DragAt(QPoint(x, y));
}

void SearchMuseum::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        ClearArea();
        return;
    }
    if (!LeftPressAt(event->pos()))
        CPopupDialog::mousePressEvent(event);
}

void SearchMuseum::mouseMoveEvent(QMouseEvent* event)
{
    if (m_grid.IsDragging()) {
        DragAt(event->pos());
        return;
    }
    CPopupDialog::mouseMoveEvent(event);
}

void SearchMuseum::mouseReleaseEvent(QMouseEvent* event)
{
    m_grid.EndDrag();
    CPopupDialog::mouseReleaseEvent(event);
}

bool SearchMuseum::eventFilter(QObject* watched, QEvent* event)
{
    // The tile hands on every press as a left one; another button over the picture clears the
    // area, as it does elsewhere in the dialog.
    if (watched == m_tile && event->type() == QEvent::MouseButtonPress && !m_tile->IsPlaying()) {
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
            ClearArea();
            return true;
        }
    }
    return CPopupDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------

MuseumRecorder* SearchMuseum::Recorder()
{
    if (DeviceIndex() < 0)
        return nullptr;
    if (m_recorderStandIn)
        return m_recorderStandIn;
    const SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(DeviceIndex()) : nullptr;
    if (!device)
        return nullptr;
    m_sessionRecorder.Bind(device);
    return &m_sessionRecorder;
}

int SearchMuseum::DeviceIndex() const
{
    QMutexLocker locker(&m_walkLock);
    return m_deviceIndex;
}

int SearchMuseum::SearchDate() const
{
    // "MM/DD/YYYY"
    return m_dateText.right(4).toInt() * 10000 + m_dateText.left(2).toInt() * 100 + m_dateText.mid(3, 2).toInt();
}
