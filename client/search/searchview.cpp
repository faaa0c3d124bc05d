#include "search/searchview.h"

#include <QCloseEvent>
#include <QDate>
#include <QIcon>
#include <QResizeEvent>
#include <QTimer>

#include "search/calendarmonth.h"
#include "search/playbackstart.h"
#include "search/searchcalendar.h"
#include "search/searchhub.h"
#include "search/searchinfo.h"
#include "search/searchlog.h"
#include "search/stylesheetloader.h"
#include "search/tileview.h"
#include "session/connectpurpose.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {

constexpr int kGridMargin = 10;
constexpr int kResizeMargin = 19;

void ShowLoading()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
}

} // namespace

SearchView::SearchView(QWidget* parent, int slot)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_slot(slot)
{
    setWindowTitle(QStringLiteral("Search"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/3.png")));
    setMinimumSize(320, 240);
    resize(640, 480);
    if (SearchHub* hub = SearchHub::Instance()) {
        m_grid = hub->CreatePlaybackGrid(this, 1, slot);
        if (m_grid) {
            m_grid->setGeometry(kGridMargin, kGridMargin, width() - kGridMargin, height() - kGridMargin);
            m_grid->setMinimumSize(10, 10);
            m_grid->show();
        }
    }
    loadStyleSheet(this, QStringLiteral("main"));
}

SearchView::~SearchView()
{
    // No waits here: the stop goes out at once and the grid's own destructor ends its work.
    if (RecorderSession* device = Device()) {
        if (device->GetPlaybackView() == this)
            device->SetPlaybackView(nullptr);
        device->SetPlaybackActive(false);
        device->SetPlaybackCtrl(PlaybackMode::Stop);
    }
    delete m_grid.data();
    if (SearchHub* hub = SearchHub::Instance())
        hub->deleteSearchView(m_slot);
}

RecorderSession* SearchView::Device() const
{
    const SessionHub* hub = SessionHub::Instance();
    return hub && m_deviceIndex >= 0 ? hub->GetDevice(m_deviceIndex) : nullptr;
}

bool SearchView::IsPopup() const
{
    const SearchHub* hub = SearchHub::Instance();
    return hub && hub->IsSearchViewPopup(m_slot);
}

int SearchView::ShownRecorder() const
{
    const SearchHub* hub = SearchHub::Instance();
    return hub && m_grid ? hub->GridRecorder(m_grid) : -1;
}

void SearchView::StartSearch(int deviceIndex, int date, int time)
{
    SessionHub* sessions = SessionHub::Instance();
    RecorderSession* device = sessions ? sessions->GetDevice(deviceIndex) : nullptr;
    if (!device)
        return;
    if (SearchHub* hub = SearchHub::Instance(); hub && m_grid)
        hub->GridShowRecorder(m_grid, deviceIndex);
    m_started = 0;
    device->SetPlaybackView(this);
    if (date == -1 && time == -1) {
        device->ClearPlayStart();
        device->StartConnect(ConnectPurpose::Playback);
    } else {
        device->ChoosePlayStart(date, time);
        device->StartConnect(ConnectPurpose::CellPlayback);
    }
}

void SearchView::ReleaseRecorder()
{
    RecorderSession* device = Device();
    if (!device) {
        const SessionHub* sessions = SessionHub::Instance();
        device = sessions ? sessions->GetDevice(ShownRecorder()) : nullptr;
    }
    if (device && device->IsLoggedIn())
        device->SetPlaybackCtrl(PlaybackMode::Stop);
    if (device && device->GetPlaybackView() == this)
        device->SetPlaybackView(nullptr);
    if (SearchHub* hub = SearchHub::Instance(); hub && m_grid)
        hub->GridCloseAll(m_grid);
}

void SearchView::SetPlaybackInfo(int deviceIndex, bool dateChosen)
{
    m_deviceIndex = deviceIndex;
    if (dateChosen) {
        if (RecorderSession* device = Device())
            LoadChosenDay(device);
        return;
    }
    m_reselect = 0;
    QTimer::singleShot(kInfoDelayMs, this, &SearchView::timerOnPlaybackInfo);
}

void SearchView::LoadChosenDay(RecorderSession* device)
{
    device->SetTimeListDate(device->GetPlayDate());
    m_calendarOpen = 0;
    ShowLoading();
    device->SetPlaybackActive(true);
    getTimeList(device->GetPlayDate());
}

void SearchView::timerOnPlaybackInfo()
{
    RecorderSession* device = Device();
    if (!device)
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    const QString first = PlaybackStart::RecordTimeText(
        QStringLiteral("First Record Time : "), device->GetFirstRecordDate(), device->GetFirstRecordTime());
    const QString last = PlaybackStart::RecordTimeText(QStringLiteral("Last Record Time : "),
                                                       device->GetLastRecordDate(), device->GetLastRecordTime());
    m_calendarOpen = 0;
    QPointer<SearchView> self(this);
    SearchInfo info(this, m_deviceIndex, first, last, device->GetLastRecordDate(), device->GetLastRecordTime());
    const int result = info.exec();
    // The window or the recorder may have gone while the dialog ran.
    if (!self)
        return;
    device = Device();
    if (result == SearchInfo::Chosen) {
        if (device) {
            ShowLoading();
            device->SetPlaybackActive(true);
            getTimeList(device->GetPlayDate());
        }
    } else if (result == SearchInfo::Calendar) {
        if (device)
            RunCalendar(device);
    } else {
        ClearGridsUnlessPlaying(device);
    }
}

void SearchView::RunCalendar(RecorderSession* device)
{
    m_calendarOpen = 1;
    QPointer<SearchView> self(this);
    searchCalendar calendar(this);
    connect(&calendar, &searchCalendar::getTimeList, this, &SearchView::getTimeList);
    connect(this, &SearchView::setTimeList, &calendar, &searchCalendar::SetTimeList);
    const QDate last = PlaybackStart::DateOf(device->GetLastRecordDate());
    const QDate shown = last.isValid() ? last : QDate::currentDate();
    calendar.SetCalendar(shown.year(), shown.month(), m_deviceIndex);
    const int result = calendar.exec();
    if (!self)
        return;
    m_calendarOpen = 0;
    device = Device();
    if (result == 1) {
        if (device) {
            ShowLoading();
            device->SetPlaybackActive(true);
            device->GetIntraIndex(-1);
        }
    } else {
        ClearGridsUnlessPlaying(device);
    }
}

void SearchView::ClearGridsUnlessPlaying(RecorderSession* device)
{
    if (m_reselect != 0 || (device && device->IsPlaybackActive()))
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->OnDeviceDisconnected(m_deviceIndex, 1);
}

void SearchView::NotifyTimeList()
{
    emit setTimeList();
}

void SearchView::MarkPlaybackStarted(const QString& recorderName)
{
    m_started = 1;
    setWindowTitle(QStringLiteral("Search - ") + recorderName);
}

void SearchView::OnSelectDate()
{
    m_reselect = 1;
    if (RecorderSession* device = Device()) {
        // The day chosen before would be loaded again at once, without asking: forget it, so
        // that the recorder's answer offers the date.
        device->ClearPlayStart();
        device->SetPlaybackCtrl(PlaybackMode::Stop);
        device->OnConnectionOption(ConnectPurpose::Playback);
    }
}

void SearchView::getTimeList(int date)
{
    if (RecorderSession* device = Device()) {
        ShowLoading();
        device->SendTimeRecList(date, 0);
    }
}

void SearchView::SetPlaybackControl(int code)
{
    RecorderSession* device = Device();
    if (!device || !device->IsPlaybackActive())
        return;
    device->SetPlaybackCtrl(PlaybackMode(code));
}

void SearchView::closeEvent(QCloseEvent* event)
{
    if (IsPopup()) {
        if (SearchHub* hub = SearchHub::Instance())
            hub->DockSearchView(m_slot);
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SearchView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_grid)
        return;
    const SearchHub* hub = SearchHub::Instance();
    const QSize area = event->size() - QSize(kResizeMargin, kResizeMargin);
    m_grid->resize(TileView::WholeCellSize(area, hub ? hub->GridCellCount(m_grid) : 0));
    if (isMaximized() && !IsPopup())
        if (SearchHub* searchHub = SearchHub::Instance())
            searchHub->SetupTabBar(false);
}

void SearchView::keyPressEvent(QKeyEvent* /*event*/)
{
    // Keys, Escape included, never close the window.
}
