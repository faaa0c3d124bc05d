#include "search/searchtime.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "search/ccameomuseum.h"
#include "search/searchlog.h"
#include "search/searchtimeline.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

constexpr int kTileWidth = 960;
constexpr int kTileHeight = 559;
// Recorder kinds whose recording the tile marks.
bool ShowsRecordMark(int kind)
{
    return kind == 2 || kind == 16;
}

void ShowBox(const QString& title, const QString& text, const QString& option)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(title, text, option);
}

int DateOfText(const QString& dateText)
{
    // "MM/DD/YYYY"
    return dateText.right(4).toInt() * 10000 + dateText.left(2).toInt() * 100 + dateText.mid(3, 2).toInt();
}

int TimeOfText(const QString& timeText)
{
    // "hh:mm:ss"
    return timeText.left(2).toInt() * 10000 + timeText.mid(3, 2).toInt() * 100 + timeText.mid(6, 2).toInt();
}

} // namespace

SearchTime::SearchTime(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("Quick Search"));
    setMinimumSize(980, 763);
    BuildWidgets();
    m_walkTimer.setInterval(kWalkMs);
    connect(&m_walkTimer, &QTimer::timeout, this, &SearchTime::OnThumbnailTime);
    connect(this, &SearchTime::pictureArrived, this, &SearchTime::TakePicture, Qt::QueuedConnection);
}

SearchTime::~SearchTime()
{
    if (QuickSearchPopup::Instance() == this)
        QuickSearchPopup::Install(nullptr);
}

void SearchTime::BuildWidgets()
{
    m_tile = new CCameoMuseum;
    m_tile->setParent(this);
    m_tile->setFixedSize(kTileWidth, kTileHeight);
    m_tile->m_searchKind = CCameoMuseum::SearchKind::Quick;
    m_tile->ClearCameo();
    connect(m_tile, &CCameoMuseum::recordSignal, this, &SearchTime::OnRecord);
    connect(m_tile, &CCameoMuseum::museumSearch, this, &SearchTime::OnMuseumSearch);
    connect(m_tile, &CCameoMuseum::thumbnailSearch, this, &SearchTime::OnThumbnailSearch);

    m_timeline = new SearchTimeline(this);
    m_timeline->setFrameStyle(QFrame::Box | QFrame::Plain);
    connect(m_timeline, &SearchTimeline::SetMoveTime, this, &SearchTime::OnSetTimeMove);
    connect(m_timeline, &SearchTimeline::SetDragTime, this, &SearchTime::OnSetDragMove);
    connect(m_timeline, &SearchTimeline::GetEventThumbnail, this, &SearchTime::OnGetEventThumbnail);

    auto* row = new QHBoxLayout;
    const struct
    {
        const char* text;
        void (SearchTime::*slot)();
    } buttons[] = {{"<<", &SearchTime::OnPlayBFBtn},
                   {"<", &SearchTime::OnPlayBBtn},
                   {"||", &SearchTime::OnPlayPBtn},
                   {">", &SearchTime::OnPlayFBtn},
                   {">>", &SearchTime::OnPlayFFBtn}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QLatin1String(b.text), this);
        button->setObjectName(QLatin1String(b.text));
        connect(button, &QPushButton::clicked, this, b.slot);
        row->addWidget(button);
    }
    row->addWidget(new QLabel(QStringLiteral("Wheel Speed :"), this));
    m_wheelSpeed = new QComboBox(this);
    m_wheelSpeed->addItems({QStringLiteral("1 sec"), QStringLiteral("1 min")});
    m_wheelSpeed->setMinimumWidth(70);
    m_wheelSpeed->setCurrentIndex(0);
    connect(m_wheelSpeed, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SearchTime::OnPlayWheelSpeedCombo);
    row->addWidget(m_wheelSpeed);
    row->addStretch(1);
    auto* exit = new QPushButton(QStringLiteral("X"), this);
    exit->setObjectName(QStringLiteral("X"));
    connect(exit, &QPushButton::clicked, this, &SearchTime::OnPlayExitBtn);
    row->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tile);
    layout->addWidget(m_timeline);
    layout->addLayout(row);
}

RecorderSession* SearchTime::Device() const
{
    const SessionHub* hub = SessionHub::Instance();
    return hub && m_deviceIndex >= 0 ? hub->GetDevice(m_deviceIndex) : nullptr;
}

int SearchTime::SecondToHhmm00(int second)
{
    return (second / 3600) * 10000 + ((second / 60) % 60) * 100;
}

void SearchTime::SetSearchInfo(int deviceIndex, int channel, int date, int time)
{
    m_deviceIndex = deviceIndex;
    m_channel = channel;
    m_resumeCode = time;
    m_date = date;
    m_record = 0;
    m_tile->m_deviceIndex = deviceIndex;
    m_tile->m_recordMark = 0;
    const RecorderSession* device = Device();
    m_recorderName = device ? device->GetDvrName() : QString();
    m_cameraName = device ? device->GetCameraTitle(channel) : QString();
    const QString digits = QString::asprintf("%08d", date);
    m_dateText = digits.mid(4, 2) + QLatin1Char('/') + digits.mid(6, 2) + QLatin1Char('/') + digits.left(4);
    m_timeText = QString::asprintf("%02d:%02d:%02d", time / 10000, (time / 100) % 100, time % 100);
    m_picture = QImage();
    RedrawTile();
    m_walkTimer.stop();
    m_busy = 0;
    m_stop = 0;
    m_timeline->ResetTimeline();
    show();
    ShowBox(QStringLiteral("Quick Search"), QStringLiteral("Information loading"), QString());
}

void SearchTime::OnFinishInfo()
{
    qCDebug(lcSearch) << "//////////////////////// finish info";
    const RecorderSession* device = Device();
    m_timeline->SetMinuteTable(device ? device->GetMinuteTable(m_channel) : nullptr);
    m_timeline->RedrawBase();
    // The walk steps to the next slot before it asks, so it starts before the first.
    m_slotIndex = -1;
    m_busy = 0;
    m_stop = 0;
    m_walkTimer.start();
}

void SearchTime::SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture)
{
    // Any thread: the picture is already a copy; the widgets take it on their own thread.
    emit pictureArrived(deviceIndex, channel, timeText, picture);
}

void SearchTime::TakePicture(int deviceIndex, int channel, const QString& timeText, const QImage& picture)
{
    if (deviceIndex != m_deviceIndex || channel - RecorderSession::kChannels != m_channel.load()
        || picture.isNull())
        return;
    if (m_busy) {
        if (m_timeline->Model().GetMode() == TimelineModel::Mode::EventStrip)
            m_timeline->SetStripPicture(m_slotIndex, picture);
        else
            m_timeline->SetThumbnail(m_slotIndex, picture);
        m_busy = 0;
        m_stop = 0;
        return;
    }
    m_picture = picture;
    m_timeText = timeText;
    RedrawTile();
    // The seek in flight is answered: the latest second of the drag goes next.
    m_inFlight = 0;
    if (m_pendingSecond >= 0)
        OnSetDragMove(m_pendingSecond);
    const int time = TimeOfText(timeText);
    m_timeline->SetCurrentSecond((time / 10000) * 3600 + ((time / 100) % 100) * 60 + time % 100);
}

void SearchTime::RedrawTile()
{
    const RecorderSession* device = Device();
    m_tile->m_recordMark = (m_record.load() && device && ShowsRecordMark(device->GetRecorderKind())) ? 1 : 0;
    const int mode = device ? int(device->GetPlaybackMode()) : 0;
    const int speed = device ? device->GetPlaybackSpeed() : 0;
    m_tile->SetCameoInfo(m_picture, 0, 0, 0, 0, 0, 0, m_dateText, m_timeText, m_recorderName, m_cameraName, mode,
                         speed, !m_picture.isNull());
}

void SearchTime::RecordOff()
{
    m_record = 0;
    m_tile->m_recordMark = 0;
}

void SearchTime::PlayCode(int code)
{
    if (code != int(PlaybackMode::Forward))
        RecordOff();
    if (RecorderSession* device = Device())
        device->SetPlaybackCtrl(PlaybackMode(code));
    m_tile->RefreshCameo();
}

void SearchTime::OnPlayBFBtn()
{
    PlayCode(int(PlaybackMode::FastBackward));
}

void SearchTime::OnPlayBBtn()
{
    PlayCode(int(PlaybackMode::Backward));
}

void SearchTime::OnPlayPBtn()
{
    PlayCode(int(PlaybackMode::Stop));
}

void SearchTime::OnPlayFBtn()
{
    PlayCode(int(PlaybackMode::Forward));
}

void SearchTime::OnPlayFFBtn()
{
    PlayCode(int(PlaybackMode::FastForward));
}

void SearchTime::OnPlayWheelSpeedCombo(int index)
{
    m_timeline->Model().SetWheelSpeed(index == 1 ? TimelineModel::WheelSpeed::Minute
                                                 : TimelineModel::WheelSpeed::Second);
}

void SearchTime::OnSetDragMove(int second)
{
    RecordOff();
    RecorderSession* device = Device();
    if (!device)
        return;
    if (m_inFlight) {
        m_pendingSecond = second;
        return;
    }
    m_pendingSecond = -1;
    m_inFlight = 1;
    const int time = (second / 3600) * 10000 + ((second / 60) % 60) * 100 + second % 60;
    if (!device->RequestPlayback(std::min(time, 235959), RecorderSession::kTimeLineSeek))
        m_inFlight = 0;
}

void SearchTime::OnSetTimeMove(int second, bool fromTimeline)
{
    RecordOff();
    RecorderSession* device = Device();
    if (!device)
        return;
    if (!fromTimeline)
        device->SetPlaybackCtrl(PlaybackMode::Stop);
    // The request follows once the recorder has had the stop, and no thumbnail is awaited; the
    // user-interface thread goes on meanwhile.
    QTimer::singleShot(kMoveDelayMs, this, [this, second, fromTimeline] { FinishTimeMove(second, fromTimeline); });
}

void SearchTime::FinishTimeMove(int second, bool fromTimeline)
{
    RecorderSession* device = Device();
    if (!device)
        return;
    if (fromTimeline && m_busy) {
        QTimer::singleShot(kBusyRetryMs, this,
                           [this, second, fromTimeline] { FinishTimeMove(second, fromTimeline); });
        return;
    }
    m_timeline->Model().ClearHold();
    m_pendingSecond = -1;
    m_inFlight = 0;
    device->RequestPlayback(SecondToHhmm00(second), int(PlaybackMode::Forward));
}

void SearchTime::OnThumbnailTime()
{
    if (m_stop)
        return;
    const bool strip = m_timeline->Model().GetMode() == TimelineModel::Mode::EventStrip;
    if (m_busy) {
        // A picture that never comes leaves its slot black and the walk goes on.
        if (m_awaitedSince.isValid() && m_awaitedSince.elapsed() >= m_thumbnailWaitMs) {
            qCDebug(lcSearch) << "thumbnail of slot" << m_slotIndex << "did not come";
            m_busy = 0;
        } else {
            return;
        }
    }
    ++m_slotIndex;
    const int second = strip ? m_timeline->Model().StripSecond(m_slotIndex)
                             : m_timeline->Model().ThumbnailSecond(m_slotIndex);
    if (second < 0) {
        EndWalk();
        return;
    }
    OnGetThumbnail(second);
}

void SearchTime::EndWalk()
{
    m_walkTimer.stop();
    if (m_timeline->Model().GetMode() == TimelineModel::Mode::EventStrip) {
        m_timeline->DrawEventStrip();
        ShowBox(QString(), QStringLiteral("completed."), QStringLiteral("auto"));
        return;
    }
    m_timeline->RedrawBase();
    if (RecorderSession* device = Device())
        device->RequestPlayback(m_resumeCode, int(PlaybackMode::Forward));
    ShowBox(QString(), QString(), QStringLiteral("auto"));
}

void SearchTime::OnGetThumbnail(int second)
{
    RecorderSession* device = Device();
    if (!device || m_busy)
        return;
    m_busy = 1;
    m_stop = 0;
    m_pendingSecond = -1;
    m_awaitedSince.start();
    if (!device->RequestPlayback(SecondToHhmm00(second), RecorderSession::kTimeLineSeek)) {
        QImage black(10, 10, QImage::Format_RGB32);
        black.fill(Qt::black);
        if (m_timeline->Model().GetMode() == TimelineModel::Mode::EventStrip)
            m_timeline->SetStripPicture(m_slotIndex, black);
        else
            m_timeline->SetThumbnail(m_slotIndex, black);
        m_busy = 0;
        m_stop = 0;
    }
}

void SearchTime::OnGetEventThumbnail()
{
    m_busy = 0;
    m_stop = 0;
    m_slotIndex = -1;
    ShowBox(QStringLiteral("Quick Search"), QStringLiteral("Event info loading"), QString());
    m_walkTimer.start(kWalkMs);
}

void SearchTime::OnRecord()
{
    m_record = m_record.load() ? 0 : 1;
    const RecorderSession* device = Device();
    m_tile->m_recordMark = (m_record.load() && device && ShowsRecordMark(device->GetRecorderKind())) ? 1 : 0;
    if (m_record.load()) {
        if (RecorderSession* d = Device())
            d->StartSearchRecord(m_channel, DateOfText(m_dateText), TimeOfText(m_timeText));
    }
    m_tile->RefreshCameo();
}

void SearchTime::SwitchSearch(int resumeCode)
{
    if (RecorderSession* device = Device())
        device->SetSearchRequest(m_channel, DateOfText(m_dateText), TimeOfText(m_timeText));
    m_resumeCode = resumeCode;
    OnPlayExitBtn();
}

void SearchTime::OnMuseumSearch()
{
    SwitchSearch(-3);
}

void SearchTime::OnThumbnailSearch()
{
    SwitchSearch(-2);
}

void SearchTime::OnPlayExitBtn()
{
    if (m_timeline->Model().GetMode() == TimelineModel::Mode::EventStrip) {
        m_walkTimer.stop();
        m_busy = 0;
        m_timeline->LeaveEventStrip();
        return;
    }
    RecordOff();
    RecorderSession* device = Device();
    if (!device) {
        timerOnCancel();
        return;
    }
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    QTimer::singleShot(kExitDelayMs, this, &SearchTime::timerOnCancel);
}

void SearchTime::timerOnCancel()
{
    hide();
}

void SearchTime::showEvent(QShowEvent* event)
{
    m_inFlight = 0;
    m_tile->EnableUpdate(true);
    CPopupDialog::showEvent(event);
}

void SearchTime::hideEvent(QHideEvent* event)
{
    m_tile->EnableUpdate(false);
    m_walkTimer.stop();
    if (RecorderSession* device = Device()) {
        device->SetQuickMode(false);
        m_pendingSecond = -1;
        device->RequestPlayback(m_resumeCode, int(PlaybackMode::Forward));
    }
    CPopupDialog::hideEvent(event);
}
