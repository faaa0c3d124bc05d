#include "ui/searchviewface.h"

#include <array>

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPainter>
#include <QSlider>

#include "playback/hpnetserver.h"
#include "playback/hpnetwork.h"
#include "playback/searcheventlist.h"
#include "playback/searchrequest.h"
#include "ui/cskinbutton.h"
#include "ui/searchcalendarpanel.h"
#include "ui/searchdialoghost.h"

namespace {

int Column(int position)
{
    return SearchViewFace::kBarLeft + 3 * qBound(0, position, 479) / 10;
}

QColor CellColour(int value)
{
    return value == 2 ? QColor(255, 0, 0) : value == 1 ? QColor(0, 0, 255) : QColor(100, 100, 100);
}

} // namespace

SearchViewFace::SearchViewFace(HPNetwork& hub, SearchDialogHost& host, HPImageManager& images,
                               const QString& programFolder, QWidget* parent)
    : QDialog(parent)
    , m_hub(hub)
    , m_host(host)
{
    setWindowTitle(host.Text("SEARCH"));
    setFixedSize(kSize);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(124, 124, 124));
    setPalette(palette);
    const QString skin = programFolder + QStringLiteral("Resource/Quessa/Search/");
    m_panel = new SearchCalendarPanel(m_calendar, images, skin, this);
    m_panel->move(8, 8);
    connect(m_panel, &SearchCalendarPanel::dayChosen, this, [this] { QueryDay(); });
    m_cameras = new QComboBox(this);
    m_cameras->setGeometry(kBarLeft, 190, 90, 22);
    connect(m_cameras, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { update(); });
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, 480);
    m_slider->setGeometry(kBarLeft - 4, 236, 152, 20);
    connect(m_slider, &QSlider::valueChanged, this, [this] {
        m_time->setText(SearchCalendar::MarkerTimeText(m_slider->value()));
        update();
    });
    m_time = new QLabel(QStringLiteral("00:00:00"), this);
    m_time->setGeometry(8, 218, 56, 16);
    m_time->setStyleSheet(QStringLiteral("color: white; background: rgb(100,100,100); font-size: 10px;"));
    m_ok = new CSkinButton(host.Text("OK"), this);
    m_close = new CSkinButton(host.Text("CANCEL"), this);
    for (CSkinButton* button : {m_ok, m_close}) {
        button->LoadSkin(images, skin, QStringLiteral("Button1.bmp"), QStringLiteral("Button2.bmp"),
                         QStringLiteral("Button1.bmp"), QStringLiteral("Button2.bmp"));
        button->SetDrawCaption(true);
        button->resize(60, 22);
    }
    m_ok->move(kSize.width() - 136, kSize.height() - 26);
    m_close->move(kSize.width() - 68, kSize.height() - 26);
    // The face has no command of its own behind Ok: it stays greyed.
    m_ok->setEnabled(false);
    m_slider->setEnabled(false);
    connect(m_close, &QPushButton::clicked, this, &QDialog::hide);
}

int SearchViewFace::Channel() const
{
    return m_cameras->currentIndex();
}

QString SearchViewFace::TimeText() const
{
    return m_time->text();
}

bool SearchViewFace::SelectCamera(int recorderId, int channel, int tile)
{
    HPNetServer* recorder = m_hub.GetServer(recorderId);
    if (!recorder || tile < 0 || tile > 15)
        return false;
    m_recorderId = recorderId;
    m_tile = tile;
    m_replies.Cancel();
    {
        QSignalBlocker block(m_cameras);
        m_cameras->clear();
        for (int i = 1; i <= recorder->CameraCount(); ++i)
            m_cameras->addItem(QString::asprintf("Cam%02d", i));
        m_cameras->setCurrentIndex(channel >= 0 && channel < m_cameras->count() ? channel : -1);
    }
    m_calendar.ClearDays();
    m_calendar.ClearChosenDay();
    m_cells.Clear();
    m_eventText.clear();
    const QDate today = QDate::currentDate();
    m_calendar.FillCalendar(today.year(), today.month());
    m_panel->Refresh();
    m_slider->setEnabled(false);
    update();
    return true;
}

bool SearchViewFace::Send(int kind, const QString& date, const char* boxKey)
{
    HPNetServer* recorder = m_hub.GetServer(m_recorderId);
    if (!recorder)
        return false;
    SearchRequest request;
    request.kind = kind;
    request.requestId = m_host.NextRequestId();
    request.date = date;
    request.tile = m_tile;
    request.peer = recorder->Peer();
    m_replies.Start(kind, request.requestId, m_tile);
    if (boxKey)
        m_host.ShowSearchWaitBox(SearchReplyAssembler::kReplies, boxKey);
    for (int part = 0; part < SearchReplyAssembler::kReplies; ++part) {
        request.part = part;
        recorder->ReqSearch(request);
    }
    return true;
}

bool SearchViewFace::StartRemoteSearch()
{
    return Send(9, QStringLiteral("0"), "PLEASE_WAIT");
}

bool SearchViewFace::RequestDayIndex()
{
    return !m_calendar.ChosenDay().isEmpty() && Send(10, m_calendar.ChosenDay(), nullptr);
}

bool SearchViewFace::RequestEventList()
{
    return !m_calendar.ChosenDay().isEmpty() && Send(11, m_calendar.ChosenDay(), "PLEASE_WAIT");
}

bool SearchViewFace::QueryDay()
{
    if (m_calendar.ChosenDay().isEmpty())
        return false;
    m_cells.Clear();
    update();
    return Send(12, m_calendar.ChosenDay(), "PLEASE_WAIT");
}

void SearchViewFace::OnRecvSearchData(const QByteArray& reply)
{
    const int kind = m_replies.Kind();
    const SearchReplyAssembler::Result result = m_replies.OnReply(reply);
    if (result == SearchReplyAssembler::Result::Ignored)
        return;
    if (kind != 10) // the day index is asked without a box
        m_host.StepSearchWaitBox();
    if (result != SearchReplyAssembler::Result::Complete)
        return;
    const QByteArray& data = m_replies.Data();
    switch (kind) {
    case 9:
        m_calendar.OnDayList(data);
        m_panel->Refresh();
        break;
    case 10: m_eventText = SearchEventList::OnEventList(data, Channel()); break;
    case 11: m_cells.SetEventCells(data); break;
    case 12:
        m_cells.SetRecordCells(data);
        m_slider->setEnabled(true);
        break;
    default: break;
    }
    update();
}

void SearchViewFace::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const int row = Channel();
    std::array<int, 145> columns{};
    for (int position = 0; position < SearchCells::kHalf; ++position) {
        int& column = columns[size_t(Column(position) - kBarLeft)];
        column = qMax(column, m_cells.BarValue(row, position));
    }
    columns[144] = qMax(columns[144], m_cells.BarValue(row, SearchCells::kHalf - 1)); // cell 479 twice
    for (size_t x = 0; x < columns.size(); ++x)
        painter.fillRect(QRect(kBarLeft + int(x), kBarTop, 1, kBarBottom - kBarTop + 1), CellColour(columns[x]));
    const int marker = kBarLeft + 3 * m_slider->value() / 10;
    painter.fillRect(QRect(marker, kBarTop, 1, kBarBottom - kBarTop + 1), QColor(255, 0, 0));
}
