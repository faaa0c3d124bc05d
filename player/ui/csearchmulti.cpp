#include "ui/csearchmulti.h"

#include <array>

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSlider>

#include "playback/hpnetserver.h"
#include "playback/searchrequest.h"
#include "ui/cskinbutton.h"
#include "ui/searchcalendarpanel.h"
#include "ui/searchdialoghost.h"
#include "ui/uilog.h"

namespace {

const QColor kBackground(124, 124, 124);
const QColor kEmptyCell(100, 100, 100);
const QColor kRecorded(0, 0, 255);
const QColor kEvent(255, 0, 0);
const QColor kMarker(0, 255, 0);

int Column(int cell)
{
    return CSearchMulti::kBarLeft + 3 * cell / 10;
}

} // namespace

CSearchMulti::CSearchMulti(SearchDialogHost& host, HPImageManager& images, const QString& programFolder,
                           QWidget* parent)
    : QDialog(parent)
    , m_host(host)
{
    setWindowTitle(host.Text("SEARCH"));
    setFixedSize(kSize);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    const QString skin = programFolder + QStringLiteral("Resource/Quessa/Search/");
    m_panel = new SearchCalendarPanel(m_calendar, images, skin, this);
    m_panel->move(8, 12);
    connect(m_panel, &SearchCalendarPanel::monthChanging, this, [this] {
        m_panel->ClearSelection();
        m_ok->setEnabled(false);
        m_slider->setValue(0);
        m_slider->setEnabled(false);
        ClearDayData();
    });
    connect(m_panel, &SearchCalendarPanel::dayChosen, this, &CSearchMulti::OnDayChosen);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, 480);
    m_slider->setGeometry(kBarLeft - 4, 196, 144 + 10, 20);
    m_slider->setEnabled(false);
    connect(m_slider, &QSlider::valueChanged, this, &CSearchMulti::OnSliderMoved);
    m_time = new QLabel(QStringLiteral("00:00:00"), this);
    m_time->setGeometry(kLabelLeft - 4, 198, 56, 16);
    m_time->setStyleSheet(QStringLiteral("color: white; background: rgb(100,100,100); font-size: 10px;"));
    m_ok = new CSkinButton(host.Text("OK"), this);
    m_close = new CSkinButton(host.Text("CANCEL"), this);
    for (CSkinButton* button : {m_ok, m_close}) {
        button->LoadSkin(images, skin, QStringLiteral("Button1.bmp"), QStringLiteral("Button2.bmp"),
                         QStringLiteral("Button1.bmp"), QStringLiteral("Button2.bmp"));
        button->SetDrawCaption(true);
        button->resize(72, 24);
    }
    m_ok->move(kSize.width() - 160, kSize.height() - 34);
    m_close->move(kSize.width() - 80, kSize.height() - 34);
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, &CSearchMulti::OnOK);
    connect(m_close, &QPushButton::clicked, this, &QDialog::hide);
    m_cells.SetWatcher([this](int row, int cell, int value) { m_host.SetTimeBarCell(row, cell, value); });
    const QDate today = QDate::currentDate();
    m_calendar.FillCalendar(today.year(), today.month());
    m_panel->Refresh();
}

QString CSearchMulti::TimeText() const
{
    return m_time->text();
}

bool CSearchMulti::OpenSearch()
{
    if (!m_host.SearchRecorder())
        return false;
    show();
    raise();
    return SendQuery(9, "PLEASE_WAIT");
}

bool CSearchMulti::SendQuery(int kind, const char* boxKey)
{
    HPNetServer* recorder = m_host.SearchRecorder();
    if (!recorder) {
        m_replies.Cancel();
        return false;
    }
    SearchRequest request;
    request.kind = kind;
    request.requestId = m_host.NextRequestId();
    request.tile = 99;
    request.peer = recorder->Peer();
    if (kind != 9)
        request.date = m_calendar.ChosenDay();
    m_replies.Start(kind, request.requestId, 99);
    if (boxKey)
        m_host.ShowSearchWaitBox(SearchReplyAssembler::kReplies, boxKey);
    for (int part = 0; part < SearchReplyAssembler::kReplies; ++part) {
        request.part = part;
        recorder->ReqSearch(request);
    }
    return true;
}

void CSearchMulti::OnDayChosen(const QString&)
{
    ClearDayData();
    update();
    SendQuery(12, "PLEASE_WAIT");
}

void CSearchMulti::ClearDayData()
{
    m_cells.Clear();
    update();
}

void CSearchMulti::OnRecvSearchData(const QByteArray& reply)
{
    const int kind = m_replies.Kind();
    switch (m_replies.OnReply(reply)) {
    case SearchReplyAssembler::Result::Ignored: return;
    case SearchReplyAssembler::Result::Stepped: m_host.StepSearchWaitBox(); return;
    case SearchReplyAssembler::Result::Failed:
        qCDebug(lcPlayerUi) << "calendar search query failed" << kind << m_replies.ErrorMark();
        m_host.StepSearchWaitBox();
        return;
    case SearchReplyAssembler::Result::Complete:
        m_host.StepSearchWaitBox();
        OnQueryDone(kind, m_replies.Data());
        return;
    }
}

void CSearchMulti::OnQueryDone(int kind, const QByteArray& data)
{
    switch (kind) {
    case 9:
        m_calendar.OnDayList(data);
        m_panel->Refresh();
        break;
    case 12:
        m_cells.SetRecordCells(data);
        m_ok->setEnabled(true);
        m_slider->setEnabled(true);
        SendQuery(11, "INFO_LOAD");
        break;
    case 11:
        m_cells.SetEventCells(data);
        SendQuery(16, "PLEASE_WAIT");
        break;
    case 16: m_cells.SetSummaryCells(data); break;
    default: break;
    }
    update();
}

void CSearchMulti::OnSliderMoved()
{
    m_time->setText(SearchCalendar::MarkerTimeText(m_slider->value()));
    update();
}

void CSearchMulti::OnOK()
{
    HPNetServer* recorder = m_host.SearchRecorder();
    if (!recorder || m_calendar.ChosenDay().isEmpty())
        return;
    hide();
    m_host.PlayRecorderDay(*recorder, m_calendar.ChosenDay(), m_slider->value(), TimeText());
}

void CSearchMulti::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_ok->isEnabled())
            OnOK();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return; // swallowed: the dialog closes by its Close button
    QDialog::keyPressEvent(event);
}

void CSearchMulti::reject()
{
    // Escape never closes the dialog; the window's own close does.
    if (!isVisible())
        return;
    hide();
}

void CSearchMulti::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawChannelBars(painter);
}

void CSearchMulti::DrawChannelBars(QPainter& painter)
{
    // A 12-pixel character cell: glyphs of about 9 pixels, so the sixteen labels fit their rows.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int channel = 1; channel <= 16; ++channel)
        painter.drawText(kLabelLeft, 28 + 10 * (channel - 1) + 9, QString::asprintf("Camera %02d", channel));
    const int marker = Column(m_slider->value());
    for (int row = 0; row < SearchCells::kRows; ++row) {
        // Several cells share a column: recorded cells paint blue, events red over them, and
        // columns left unpainted are grey.
        std::array<int, 3 * SearchCells::kHalf / 10 + 2> columns{};
        for (int position = 0; position < SearchCells::kHalf; ++position) {
            int& column = columns[size_t(Column(position) - kBarLeft)];
            column = qMax(column, m_cells.BarValue(row, position));
        }
        int& last = columns[size_t(Column(480) - kBarLeft)];
        last = qMax(last, m_cells.BarValue(row, SearchCells::kHalf - 1));
        const int top = 30 + 10 * row;
        for (size_t x = 0; x < columns.size(); ++x) {
            if (int(x) + kBarLeft == marker)
                continue;
            const int value = columns[x];
            painter.fillRect(QRect(kBarLeft + int(x), top, 1, 9), value == 2   ? kEvent
                                                                  : value == 1 ? kRecorded
                                                                               : kEmptyCell);
        }
    }
    painter.fillRect(QRect(marker, 30, 1, 160), kMarker);
}
