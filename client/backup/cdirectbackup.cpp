#include "backup/cdirectbackup.h"

#include "backup/backupcapacity.h"
#include "backup/backupclock.h"
#include "backup/backuplog.h"
#include "backup/formatbackupsize.h"
#include "backup/listmodel.h"
#include "backup/monthcalendar.h"
#include "backup/remotebackupdownload.h"
#include "backup/sitebookdrop.h"
#include "net/hubservices.h"
#include "net/modulenetwork.h"
#include "net/sendbackupcapa.h"
#include "platform/process.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"
#include "widgets/rangeslider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {

const char* const kBlueStyle =
    "QPushButton {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 #7ba5de, "
    "stop:1 #466b9e);}";
// The grey buttons are the disabled ones: their text is drawn light, since the program's dimmed
// text for disabled buttons would vanish into the grey.
const char* const kGreyStyle =
    "QPushButton {background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,stop:0 #838383, "
    "stop:1 #5a5a5a);} QPushButton:disabled {color: #e0e0e0;}";
const char* const kChosenStyle = "QPushButton {background-color: #13233b; color:#d4e6ff;}";
const char* const kPageStyle = "QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}";
constexpr int kGraphWidth = 483;
constexpr int kGraphHeight = 233;
constexpr int kRowHeight = 20;

const char* const kFinish = "finish";
const char* const kDownloading = "downloading";
// A row whose files could not be written: never "finish".
const char* const kDiskFull = "disk full";
const char* const kWriteFailed = "write failed";

// Files that travel with the player to a user folder.
const char* const kPlayerLibraries[] = {"avcodec-52.dll", "avdevice-52.dll", "avformat-52.dll",
                                        "avutil-49.dll",  "Wedra.dll",       "swscale-0.dll"};

} // namespace

CDirectBackup::CDirectBackup(QWidget* parent)
    : QWidget(parent)
    , m_model(std::make_unique<ListModel>())
    , m_download(std::make_unique<RemoteBackupDownload>(static_cast<RemoteBackupLink&>(*this)))
{
    setAcceptDrops(true);
    setStyleSheet(QLatin1String(kPageStyle));
    BuildCalendar();
    BuildGraph();
    BuildDestination();
    BuildJobList();
    connect(m_download.get(), &RemoteBackupDownload::ChannelStatus, this, &CDirectBackup::ShowChannelStatus);
    connect(m_download.get(), &RemoteBackupDownload::ChannelProgress, this, &CDirectBackup::ShowChannelProgress);
    connect(m_download.get(), &RemoteBackupDownload::Ended, this, &CDirectBackup::OnDownloadEnded);
    connect(this, &CDirectBackup::OnDrawTimeList, this, &CDirectBackup::SetDrawTimeList);
    const QDate today = QDate::currentDate();
    m_year = today.year();
    m_month = today.month();
    ChangeTimeSlider(0, 60);
    DrawCalendar();
}

CDirectBackup::~CDirectBackup()
{
    m_download->disconnect(this);
    if (m_network)
        delete m_network.data();
}

// =============================================================================================
// Widgets

void CDirectBackup::BuildCalendar()
{
    auto* prev = new QPushButton(QStringLiteral("<<"), this);
    prev->setGeometry(10, 10, 75, 20);
    auto* next = new QPushButton(QStringLiteral(">>"), this);
    next->setGeometry(210, 10, 75, 20);
    connect(prev, &QPushButton::clicked, this, &CDirectBackup::onDatePrevButtonClicked);
    connect(next, &QPushButton::clicked, this, &CDirectBackup::onDateNextButtonClicked);
    m_monthLabel = new QLabel(QStringLiteral("00 - 0000"), this);
    m_monthLabel->setAlignment(Qt::AlignCenter);
    m_monthLabel->setGeometry(60, 15, 180, 20);
    connect(this, &CDirectBackup::dateSetText, m_monthLabel, &QLabel::setText);
    static const char* const kWeek[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int i = 0; i < 7; ++i) {
        auto* label = new QLabel(QLatin1String(kWeek[i]), this);
        label->setGeometry(10 + 40 * i, 53, 35, 15);
        if (i == 0)
            label->setStyleSheet(QStringLiteral("QLabel {color: red;}"));
        else if (i == 6)
            label->setStyleSheet(QStringLiteral("QLabel {color: blue;}"));
    }
    for (int i = 0; i < 42; ++i) {
        auto* button = new QPushButton(this);
        button->setGeometry(10 + 40 * (i % 7), 75 + 35 * (i / 7), 35, 30);
        connect(button, &QPushButton::clicked, this, &CDirectBackup::onDateButtonClicked);
        m_dayButtons[size_t(i)] = button;
    }
}

void CDirectBackup::BuildGraph()
{
    m_graph = new QLabel(this);
    m_graph->setGeometry(390, 25, kGraphWidth, kGraphHeight);
    for (int h = 0; h <= 24; ++h) {
        auto* label = new QLabel(QString::asprintf("%02d", h), this);
        label->setGeometry(383 + 20 * h, 10, 20, 15);
    }
    for (int row = 0; row < RecordMinuteMaps::kRows; ++row) {
        const QString text = row < 16 ? QString::asprintf("Cam %02d", row + 1) : QStringLiteral("AUDIO");
        auto* label = new QLabel(text, this);
        label->setGeometry(320, 35 + 13 * row, 60, 13);
    }
    m_slider = new RangeSlider(this);
    m_slider->setGeometry(380, 258, 500, 20);
    m_slider->SetRange(0, 1440);
    m_slider->SetValue(0, 60);
    connect(m_slider, &RangeSlider::valueChanged, this, &CDirectBackup::ChangeTimeSlider);
    // White on the page's own dark blue, so that the range reads on a light window as well.
    const QString style = QStringLiteral("QLabel {color: white; font: bold 12px; background-color: #35537C; "
                                         "border: 1px solid grey;}");
    m_lowLabel = new QLabel(QStringLiteral("00:00"), this);
    m_lowLabel->setGeometry(550, 295, 60, 25);
    auto* tilde = new QLabel(QStringLiteral("~"), this);
    tilde->setGeometry(600, 295, 60, 25);
    m_highLabel = new QLabel(QStringLiteral("00:00"), this);
    m_highLabel->setGeometry(650, 295, 60, 25);
    for (QLabel* label : {m_lowLabel, tilde, m_highLabel}) {
        label->setStyleSheet(style);
        label->setAlignment(Qt::AlignCenter);
    }
    connect(this, &CDirectBackup::timeSetText1, m_lowLabel, &QLabel::setText);
    connect(this, &CDirectBackup::timeSetText2, m_highLabel, &QLabel::setText);
}

void CDirectBackup::BuildDestination()
{
    m_archiveBox = new QCheckBox(QStringLiteral("Archive"), this);
    // Wide enough for the word in the fonts of this platform (the folder field starts at 120).
    m_archiveBox->setGeometry(10, 295, 105, 20);
    m_archiveBox->setChecked(true);
    m_archiveBox->setEnabled(false);
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setReadOnly(true);
    m_folderEdit->setGeometry(120, 295, 150, 20);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setGeometry(275, 295, 30, 20);
    connect(browse, &QPushButton::clicked, this, &CDirectBackup::onOpenFolderButtonClicked);
    m_spaceButton = new QPushButton(QStringLiteral("Estimate Space"), this);
    m_spaceButton->setGeometry(730, 295, 150, 20);
    connect(m_spaceButton, &QPushButton::clicked, this, &CDirectBackup::onSpaceButtonClicked);
}

void CDirectBackup::BuildJobList()
{
    struct Column
    {
        const char* header;
        int width;
        int alignment;
    };
    const Column columns[kColumns] = {
        {"Channel", 115, Qt::AlignLeft},      {"Date", 150, Qt::AlignCenter},
        {"Begin Time", 120, Qt::AlignCenter}, {"End Time", 120, Qt::AlignCenter},
        {"Backup Size", 120, Qt::AlignRight}, {"Percent", 120, Qt::AlignRight},
        {"Status", 120, Qt::AlignRight},
    };
    m_model->SetColumnCount(kColumns);
    for (int c = 0; c < kColumns; ++c) {
        m_model->SetHeaderText(c, QString::fromLatin1(columns[c].header));
        m_model->SetColumnAlignment(c, columns[c].alignment);
    }
    m_model->SetModelCount(17);
    m_table = new QTableView(this);
    m_table->setModel(m_model.get());
    m_table->setGeometry(10, 325, 870, 359);
    for (int c = 0; c < kColumns; ++c)
        m_table->setColumnWidth(c, columns[c].width);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(m_table, &QTableView::clicked, this, &CDirectBackup::OnListClicked);
    connect(m_table, &QTableView::doubleClicked, this, &CDirectBackup::OnListDbClicked);

    m_mediaCombo = new QComboBox(this);
    m_mediaCombo->addItems({QStringLiteral("Archive"), QStringLiteral("CD-ROM"), QStringLiteral("USB")});
    m_mediaCombo->setGeometry(570, 695, 150, 30);
    m_mediaCombo->hide();
    m_startButton = new QPushButton(QStringLiteral("Start"), this);
    m_startButton->setGeometry(730, 695, 150, 30);
    connect(m_startButton, &QPushButton::clicked, this, &CDirectBackup::onStartButtonClicked);
}

// =============================================================================================
// Helpers

QString CDirectBackup::ProgramDirectory() const
{
    HubServices* hub = HubServices::Instance();
    return hub ? hub->ProgramDirectory() : QDir::currentPath();
}

void CDirectBackup::Message(const QString& title, const QString& text, const QString& option)
{
    if (HubServices* hub = HubServices::Instance())
        hub->ShowMessageBox(title, text, option);
}

int CDirectBackup::NextSequence(int sequence)
{
    return RemoteBackupDownload::NextSequence(sequence);
}

int CDirectBackup::RowOfChannel(int channel) const
{
    return m_rowChannel.indexOf(channel);
}

void CDirectBackup::SetRowStatus(int row, const QString& status)
{
    if (row >= 0)
        m_model->SetText(row, ColStatus, status);
}

bool CDirectBackup::IsRecordedDay(int date) const
{
    return m_recordDays.contains(date);
}

// =============================================================================================
// Drop and connection

void CDirectBackup::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptSiteBookDrag(event);
}

void CDirectBackup::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptSiteBookDrag(event);
}

void CDirectBackup::dropEvent(QDropEvent* event)
{
    SiteBook record;
    if (!ReadSiteBookDrop(event->mimeData(), &record)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    DropRecord(record);
}

void CDirectBackup::DropRecord(const SiteBook& record)
{
    SessionHub* hub = SessionHub::Instance();
    if (!hub || !hub->GetDevice(record.index) || record.kind != QLatin1String("device") || m_download->IsRunning())
        return;
    if (m_connected && record.index == m_deviceIndex)
        return;
    if (m_connected && m_network)
        DisconnectOnPurpose();
    m_model->Clear();
    m_rowChannel.clear();
    m_backupMask = quint16(record.permissionBackup);
    m_deviceIndex = record.index;
    m_name = record.name;
    m_addr = record.addr;
    m_port = record.port.toInt();
    m_id = record.id;
    m_password = record.password;
    m_tls = record.use_ssl != 0;
    m_netKind = 0;
    m_download->ResetSequence();
    Message(QStringLiteral("Backup Viewer"), QStringLiteral("Information Loading"), QString());
    if (!m_network)
        CreateNetwork();
    QTimer::singleShot(100, this, &CDirectBackup::timerOnConnect);
}

void CDirectBackup::CreateNetwork()
{
    auto* network = new CModuleNetwork(m_netKind, m_deviceIndex, m_tls);
    m_network = network;
    connect(network, &CModuleNetwork::SetNetworkState, this, &CDirectBackup::OnNetworkState);
    connect(network, &CModuleNetwork::SetRecvPlaybackInfo, this, &CDirectBackup::OnRecvPlaybackInfo);
    connect(network, &CModuleNetwork::SetRecvPlaybackVideo, this, &CDirectBackup::OnRecvPlaybackVideo);
    connect(network, &CModuleNetwork::SetRecvPlaybackAudio, this, &CDirectBackup::OnRecvPlaybackAudio);
    connect(network, &CModuleNetwork::SetRecvTimeRecList, this, &CDirectBackup::OnRecvTimeRecList);
    connect(network, &CModuleNetwork::SetRecvEventRecList, this, &CDirectBackup::OnRecvEventRecList);
    connect(network, &CModuleNetwork::SetRecvAudioRecList, this, &CDirectBackup::OnRecvAudioRecList);
    connect(network, &CModuleNetwork::SetRecvBackupCapa, this, &CDirectBackup::OnRecvBackupCapa);
}

void CDirectBackup::timerOnConnect()
{
    ResetView();
    if (m_network) {
        m_network->SetRecorderName(m_name);
        m_network->SetConnectInfo(m_addr, m_port, m_id, m_password, m_tls);
        if (m_network->OnConnect())
            return;
    }
    Message(QString(), QStringLiteral("Loading fail"), QString());
    Message(QString(), QString(), QStringLiteral("stop"));
}

void CDirectBackup::DisconnectOnPurpose()
{
    // Only a loss nobody asked for is a failure: the drop that follows is not reported.
    m_loggedInOnce = false;
    m_network->Disconnect();
    m_connected = false;
}

void CDirectBackup::OnNetworkState(int state)
{
    if (state == 1) {
        m_loggedInOnce = true;
    } else if (state == 2) {
        if (m_frameBuffer.empty())
            m_frameBuffer.assign(size_t(kFrameBufferSize), 0);
        if (m_listBuffer.empty())
            m_listBuffer.assign(size_t(kListBufferSize), 0);
        m_connected = true;
        m_channelCount = std::clamp(m_network ? m_network->GetChannelCount() : 0, 0, 16);
        window()->setWindowTitle(QStringLiteral("Remote Backup - ") + m_name);
        bool permitted = false;
        for (int ch = 0; ch < 16 && m_network; ++ch)
            permitted = permitted || m_network->GetLoginMaskBit(2, ch);
        if (!permitted) {
            Message(QStringLiteral("Sitebook"), QStringLiteral("No permission."), QStringLiteral("stop"));
            ResetView();
        } else if (m_network) {
            m_network->SendConsoleLock(0);
        }
    } else if (state == -1) {
        if (m_loggedInOnce) {
            // The box may have closed since the loading: the title opens it again, so a recorder
            // that goes away is never a silent reset of the page.
            Message(QStringLiteral("Backup Viewer"), QStringLiteral("Loading fail"), QString());
            Message(QString(), QString(), QStringLiteral("stop"));
        }
        if (m_download->IsRunning())
            StopBackup();
        m_loggedInOnce = false;
        m_connected = false;
        m_deviceIndex = -1;
        // The module is inside its own signal here: it goes once control is back in the loop.
        if (m_network)
            m_network->deleteLater();
        m_network = nullptr;
        DrawCalendar();
    }
}

// =============================================================================================
// Calendar and day

void CDirectBackup::OnRecvPlaybackInfo(int /*firstDate*/, int /*firstTime*/, int lastDate, int /*lastTime*/,
                                       int count, int* days)
{
    m_recordDays.clear();
    const int n = std::clamp(count, 0, kMaxRecordDays);
    for (int i = 0; i < n && days; ++i)
        m_recordDays.append(days[i]);
    Message(QString(), QString(), QStringLiteral("exit"));
    if (lastDate > 0 && BackupClock::FromYmd(lastDate).isValid()) {
        m_year = lastDate / 10000;
        m_month = lastDate / 100 % 100;
    }
    DrawCalendar();
}

void CDirectBackup::ClearDayButtons()
{
    for (QPushButton* button : m_dayButtons) {
        button->setEnabled(false);
        button->setText(QString());
        button->setStyleSheet(QLatin1String(kGreyStyle));
    }
}

void CDirectBackup::DrawCalendar()
{
    emit dateSetText(QString::asprintf("%02d - %04d", m_month, m_year));
    m_day = 0;
    ClearDayButtons();
    const int start = MonthCalendar::FirstWeekday(m_year, m_month);
    const int length = MonthCalendar::DaysInMonth(m_year, m_month);
    for (int day = 1; day <= length && start + day - 1 < 42; ++day) {
        QPushButton* button = m_dayButtons[size_t(start + day - 1)];
        button->setText(QString::number(day));
        const int date = m_year * 10000 + m_month * 100 + day;
        if (m_connected && IsRecordedDay(date)) {
            button->setEnabled(true);
            button->setStyleSheet(QLatin1String(kBlueStyle));
        }
    }
    m_maps.Clear();
    emit OnDrawTimeList(m_range.low / 3, m_range.high / 3);
    DisableStart();
    m_spaceButton->setEnabled(false);
}

void CDirectBackup::DisableStart()
{
    m_startButton->setEnabled(false);
    m_startButton->setStyleSheet(QLatin1String(kGreyStyle));
}

void CDirectBackup::onDatePrevButtonClicked()
{
    if (m_download->IsRunning())
        return;
    if (--m_month < 1) {
        m_month = 12;
        --m_year;
    }
    DrawCalendar();
}

void CDirectBackup::onDateNextButtonClicked()
{
    if (m_download->IsRunning())
        return;
    if (++m_month > 12) {
        m_month = 1;
        ++m_year;
    }
    DrawCalendar();
}

void CDirectBackup::onDateButtonClicked()
{
    if (m_download->IsRunning())
        return;
    auto* pressed = qobject_cast<QPushButton*>(sender());
    if (!pressed)
        return;
    for (QPushButton* button : m_dayButtons) {
        if (button->isEnabled())
            button->setStyleSheet(QLatin1String(button == pressed ? kChosenStyle : kBlueStyle));
    }
    m_day = pressed->text().toInt();
    m_maps.Clear();
    Message(QStringLiteral("Backup View"), QStringLiteral("Information Loading"), QString());
    LoadDay(m_year * 10000 + m_month * 100 + m_day);
}

void CDirectBackup::LoadDay(int date)
{
    SendTimeRecList(date, 0);
}

void CDirectBackup::SendTimeRecList(int date, int part)
{
    if (!m_connected || !m_network) {
        Message(QString(), QStringLiteral("Network error"), QStringLiteral("stop"));
        return;
    }
    m_selectDate = date;
    if (part == 0)
        m_maps.Clear();
    m_network->SendTimeRecList(date, part, m_listBuffer.data());
}

void CDirectBackup::SendEventRecList(int date, int part)
{
    if (!m_connected || !m_network) {
        Message(QString(), QStringLiteral("Network error"), QStringLiteral("stop"));
        return;
    }
    m_network->SendEventRecList(date, part, m_listBuffer.data());
}

void CDirectBackup::SendAudioRecList(int date, int part)
{
    if (!m_connected || !m_network) {
        Message(QString(), QStringLiteral("Network error"), QStringLiteral("stop"));
        return;
    }
    m_network->SendAudioRecList(date, part, m_listBuffer.data());
}

void CDirectBackup::OnRecvTimeRecList(int part, int length)
{
    m_maps.ApplyTimeList(m_listBuffer.data(), std::clamp(length, 0, int(m_listBuffer.size())), m_backupMask);
    if (part + 1 < kListParts)
        SendTimeRecList(m_selectDate, part + 1);
    else
        SendEventRecList(m_selectDate, 0);
}

void CDirectBackup::OnRecvEventRecList(int part, int length)
{
    m_maps.ApplyEventList(m_listBuffer.data(), std::clamp(length, 0, int(m_listBuffer.size())), m_backupMask);
    if (part + 1 < kListParts)
        SendEventRecList(m_selectDate, part + 1);
    else
        SendAudioRecList(m_selectDate, 0);
}

void CDirectBackup::OnRecvAudioRecList(int part, int length)
{
    m_maps.ApplyAudioList(m_listBuffer.data(), std::clamp(length, 0, int(m_listBuffer.size())));
    if (part + 1 < kListParts) {
        SendAudioRecList(m_selectDate, part + 1);
        return;
    }
    Message(QString(), QString(), QStringLiteral("exit"));
    emit OnDrawTimeList(m_range.low / 3, m_range.high / 3);
    m_spaceButton->setEnabled(true);
}

// =============================================================================================
// Range and graph

void CDirectBackup::ChangeTimeSlider(int low, int high)
{
    if (low == -1)
        low = m_slider->GetLow();
    if (high == -1)
        high = m_slider->GetHigh();
    m_range = BackupTimeRange::FromMinutes(low, high);
    emit OnDrawTimeList(m_range.low / 3, m_range.high / 3);
    emit timeSetText1(m_range.lowText);
    emit timeSetText2(m_range.highText);
}

void CDirectBackup::SetDrawTimeList(int x1, int x2)
{
    QImage image(kGraphWidth, kGraphHeight, QImage::Format_RGB888);
    image.fill(QColor(0xd3, 0xd3, 0xd3));
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(0, 5, kGraphWidth, 5);
    for (int x = 0; x < kGraphWidth; x += 10)
        painter.drawLine(x, 2, x, 8);
    for (int row = 0; row < RecordMinuteMaps::kRows; ++row) {
        const int y = 15 + 13 * row;
        painter.setPen(QPen(Qt::darkGray, 10, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(0, y, RecordMinuteMaps::kMinutes / 3, y);
        for (int minute = 0; minute < RecordMinuteMaps::kMinutes; ++minute) {
            const quint8 mark = m_maps.At(row, minute);
            if (!mark)
                continue;
            const QColor colour = m_maps.HasEvent(row, minute) ? Qt::red : Qt::blue;
            painter.setPen(QPen(colour, 10, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(minute / 3, y, minute / 3 + 1, y);
        }
    }
    painter.setPen(QPen(Qt::green, 1));
    painter.drawLine(x1, 0, x1, kGraphHeight);
    painter.drawLine(x2, 0, x2, kGraphHeight);
    painter.end();
    m_graph->setPixmap(QPixmap::fromImage(image));
}

// =============================================================================================
// Estimate and job list

void CDirectBackup::onSpaceButtonClicked()
{
    m_model->Clear();
    m_rowChannel.clear();
    Message(QStringLiteral("Backup View"), QStringLiteral("Information Loading"), QString());
    if (!m_network || !m_connected) {
        Message(QString(), QStringLiteral("Not a data"), QStringLiteral("stop"));
        return;
    }
    m_date = m_selectDate;
    m_begin = m_range.beginHms;
    m_end = m_range.endHms;
    m_audioSize = 0;
    m_audioRow = -1;
    m_network->SendBackupCapaRequest(m_date, m_begin, m_date, m_end, 0xFFFF, 0);
}

void CDirectBackup::AddCapacityRow(int channel, bool audio, qint32 sizeMb)
{
    const int row = m_model->AppendRow();
    m_rowChannel.append(channel);
    m_model->SetText(row, ColChannel,
                     audio ? QStringLiteral("Audio") : QString::asprintf("Ch - %02d", channel + 1));
    m_model->setData(m_model->index(row, ColChannel), int(Qt::Unchecked), Qt::CheckStateRole);
    m_model->SetText(row, ColDate,
                     QString::asprintf("%02d/%02d/%04d", m_date / 100 % 100, m_date % 100, m_date / 10000));
    m_model->SetText(row, ColBegin, m_range.lowText + QStringLiteral(":00"));
    m_model->SetText(row, ColEnd, m_range.highText + QStringLiteral(":00"));
    m_model->SetText(row, ColSize, FormatBackupSize(audio ? 0 : sizeMb, false));
    m_model->SetText(row, ColPercent, audio ? QStringLiteral("-") : QStringLiteral("0.0 %"));
    m_model->SetText(row, ColStatus, QStringLiteral("wait"));
    if (audio) {
        m_audioSize = sizeMb;
        m_audioRow = row;
    }
}

void CDirectBackup::OnRecvBackupCapa(_SEND_BACKUP_CAPA* reply)
{
    m_channelCount = std::clamp(m_network ? m_network->GetChannelCount() : 0, 0, 16);
    const QVector<CapacityEntry> entries = BackupCapacity::Parse(reply, int(sizeof(*reply)), m_channelCount);
    bool anyData = false;
    for (const CapacityEntry& entry : entries) {
        anyData = anyData || entry.sizeMb > 0;
        if (entry.audio || (m_backupMask & (1u << entry.channel)))
            AddCapacityRow(entry.channel, entry.audio, entry.sizeMb);
    }
    if (anyData) {
        Message(QString(), QString(), QStringLiteral("exit"));
        m_startButton->setEnabled(true);
        m_startButton->setStyleSheet(QLatin1String(kBlueStyle));
    } else {
        Message(QString(), QStringLiteral("Not a data"), QStringLiteral("stop"));
    }
}

int CDirectBackup::CheckedRowCount() const
{
    int checked = 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (row != m_audioRow
            && m_model->data(m_model->index(row, ColChannel), Qt::CheckStateRole).toInt() == Qt::Checked)
            ++checked;
    }
    return checked;
}

void CDirectBackup::OnListClicked(QModelIndex index)
{
    if (!index.isValid() || m_download->IsRunning())
        return;
    if (index.column() == ColChannel) {
        const QModelIndex cell = m_model->index(index.row(), ColChannel);
        const bool checked = m_model->data(cell, Qt::CheckStateRole).toInt() == Qt::Checked;
        m_model->setData(cell, int(checked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
    }
    if (m_audioRow < 0 || m_channelCount <= 0)
        return;
    // The sound is shared out among the channels: the audio row shows the share of the checked ones.
    const int checked = CheckedRowCount();
    QString text;
    if (m_audioSize < m_channelCount)
        text = FormatBackupSize(m_audioSize * 1024 / m_channelCount * checked, true);
    else
        text = FormatBackupSize(m_audioSize / m_channelCount * checked, false);
    m_model->SetText(m_audioRow, ColSize, text);
}

// =============================================================================================
// Download

void CDirectBackup::onStartButtonClicked()
{
    if (m_download->IsRunning())
        StopBackup();
    else
        BeginBackup();
}

void CDirectBackup::SetUserFolder(const QString& folder)
{
    m_userFolder = folder;
    m_folderEdit->setText(folder);
    m_archiveBox->setChecked(folder.isEmpty());
    m_archiveBox->setEnabled(!folder.isEmpty());
}

void CDirectBackup::onOpenFolderButtonClicked()
{
    SetUserFolder(QFileDialog::getExistingDirectory(this, QStringLiteral("Backup Folder"), m_userFolder));
}

void CDirectBackup::CopyPlayer(const QString& folder)
{
    const QString programDirectory = ProgramDirectory();
    const QString player = platform::Process::FindProgram(QStringLiteral("Orvane.exe"), programDirectory);
    if (!player.isEmpty()) {
        const QString target = folder + QLatin1Char('/') + QFileInfo(player).fileName();
        QFile::remove(target);
        if (QFile::copy(player, target))
            QFile::setPermissions(target, QFile::permissions(player));
    }
    QDir().mkpath(folder + QStringLiteral("/lib"));
    for (const char* library : kPlayerLibraries) {
        const QString name = QLatin1String(library);
        QFile::copy(programDirectory + QLatin1Char('/') + name, folder + QStringLiteral("/lib/") + name);
    }
}

void CDirectBackup::BeginBackup()
{
    if (!m_network || !m_connected)
        return;
    if (CheckedRowCount() == 0) {
        // The sound goes with its channels: a ticked audio row alone backs up nothing.
        Message(QStringLiteral("Remote Backup"), QStringLiteral("Tick at least one channel to back up."),
                QStringLiteral("stop"));
        return;
    }
    RemoteBackupDownload::Plan plan;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->data(m_model->index(row, ColChannel), Qt::CheckStateRole).toInt() != Qt::Checked)
            continue;
        if (row == m_audioRow)
            plan.audio = true;
        else
            plan.channels.append(m_rowChannel.value(row, -1));
    }

    const QString name = ModuleRecord::SafePathComponent(m_name);
    m_toArchive = m_archiveBox->isChecked() || m_userFolder.isEmpty();
    if (m_toArchive) {
        m_destination = ProgramDirectory() + QStringLiteral("/backup/BackupData/") + name + QLatin1Char('/');
    } else {
        m_destination = m_userFolder + QStringLiteral("/backup/") + name + QLatin1Char('/');
        CopyPlayer(m_userFolder);
    }
    const int deviceIndex = m_deviceIndex;
    m_download->SetArchiveRefresh([deviceIndex](int, int kind) {
        SessionHub* hub = SessionHub::Instance();
        if (RecorderSession* device = hub ? hub->GetDevice(deviceIndex) : nullptr)
            device->UpdateArchiveItems(nullptr, kind);
    });
    plan.destination = m_destination;
    plan.recorderName = m_name;
    plan.date = m_date;
    plan.begin = m_begin;
    plan.end = m_end;
    plan.toArchive = m_toArchive;
    if (!m_download->Start(plan))
        return;
    m_startButton->setText(QStringLiteral("Stop"));
    m_startButton->setStyleSheet(QLatin1String(kChosenStyle));
    m_table->setEnabled(false);
    m_spaceButton->setEnabled(false);
    m_mediaCombo->setEnabled(false);
}

void CDirectBackup::SendPlaybackRate(int rate)
{
    if (m_network)
        m_network->SendPlaybackRate(rate);
}

void CDirectBackup::SendPlayback(int sequence, int channel, int audio, int date, int begin)
{
    if (m_network && !m_frameBuffer.empty())
        m_network->SendPlaybackCtrlExt(2, quint8(sequence), 16, 0, quint8(audio), quint16(1u << channel), date,
                                       begin, 1, m_frameBuffer.data(), 0);
}

void CDirectBackup::SendPlaybackStop()
{
    if (m_network && !m_frameBuffer.empty())
        m_network->SendPlaybackCtrlExt(0, 0, 2, 0, 0, 0xFFFF, 0, 0, 0, m_frameBuffer.data(), 0);
}

void CDirectBackup::OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int sequence,
                                        bool key, char frameType, char marker)
{
    const bool fits = size > 0 && size <= kFrameBufferSize && !m_frameBuffer.empty();
    m_download->OnVideo(channel, size, kind, date, time, sequence, key, frameType, marker,
                        fits ? m_frameBuffer.data() : nullptr);
}

int CDirectBackup::AudioPayloadLength(int size)
{
    return RemoteBackupDownload::AudioPayloadLength(size, kFrameBufferSize);
}

void CDirectBackup::OnRecvPlaybackAudio(int size, int /*kind*/, int /*date*/, int /*time*/, int sequence)
{
    if (AudioPayloadLength(size) < 0 || m_frameBuffer.empty()) {
        qCDebug(lcBackup) << "remote backup: audio block of" << size << "bytes dropped";
        return;
    }
    m_download->OnAudio(size, sequence, m_frameBuffer.data());
}

void CDirectBackup::ShowChannelStatus(int channel, RemoteBackupDownload::Status status)
{
    const int row = channel == RemoteBackupDownload::kAudio ? m_audioRow : RowOfChannel(channel);
    if (row < 0)
        return;
    const char* text = kDownloading;
    switch (status) {
    case RemoteBackupDownload::Status::Downloading: text = kDownloading; break;
    case RemoteBackupDownload::Status::Finished: text = kFinish; break;
    case RemoteBackupDownload::Status::Stopped: text = "stop"; break;
    case RemoteBackupDownload::Status::DiskFull: text = kDiskFull; break;
    case RemoteBackupDownload::Status::WriteFailed: text = kWriteFailed; break;
    }
    SetRowStatus(row, QLatin1String(text));
    if (status == RemoteBackupDownload::Status::Finished)
        m_model->SetText(row, ColPercent, QStringLiteral("100.0 %"));
}

void CDirectBackup::ShowChannelProgress(int channel, double percent)
{
    const int row = RowOfChannel(channel);
    if (row >= 0 && percent < 100.0)
        m_model->SetText(row, ColPercent, QString::asprintf("%.1f %%", percent));
}

bool CDirectBackup::IsFailedRow(int row) const
{
    const QString status = m_model->Text(row, ColStatus);
    return status == QLatin1String(kDiskFull) || status == QLatin1String(kWriteFailed);
}

void CDirectBackup::StopBackup()
{
    m_download->Stop();
}

void CDirectBackup::OnDownloadEnded()
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->Text(row, ColStatus) != QLatin1String(kFinish) && !IsFailedRow(row))
            SetRowStatus(row, QStringLiteral("stop"));
    }
    m_startButton->setText(QStringLiteral("Start"));
    m_startButton->setStyleSheet(QLatin1String(kBlueStyle));
    m_table->setEnabled(true);
    m_spaceButton->setEnabled(true);
    m_mediaCombo->setEnabled(true);
    if (m_mediaCombo->currentIndex() == 1)
        qCDebug(lcBackup) << "CD Burning";
    else if (m_mediaCombo->currentIndex() == 2)
        qCDebug(lcBackup) << "USB Backup";
    if (!m_download->FailureText().isEmpty())
        Message(QStringLiteral("Remote Backup"), m_download->FailureText(), QStringLiteral("stop"));
}

// =============================================================================================
// Player and reset

void CDirectBackup::OnListDbClicked(QModelIndex index)
{
    if (!index.isValid() || index.column() == ColChannel)
        return;
    if (m_model->Text(index.row(), ColStatus) != QLatin1String(kFinish) || index.row() == m_audioRow)
        return;
    const int channel = m_rowChannel.value(index.row(), -1);
    if (channel < 0 || m_destination.isEmpty())
        return;
    // The folder written by the last backup, which may be a user folder.
    m_playerFile = m_destination + QString::asprintf("%08d/h%06d.%03d", m_date, m_begin, channel + 1);
    QTimer::singleShot(100, this, &CDirectBackup::timerOnPlayer);
}

void CDirectBackup::timerOnPlayer()
{
    if (m_playerFile.isEmpty())
        return;
    platform::Process::StartDetached(QStringLiteral("Orvane.exe"), {m_playerFile}, ProgramDirectory());
    m_playerFile.clear();
}

void CDirectBackup::ResetView()
{
    window()->setWindowTitle(QStringLiteral("Remote Backup"));
    if (m_connected && m_network) {
        if (m_download->IsRunning())
            StopBackup();
        DisconnectOnPurpose();
    }
    ClearDayButtons();
    m_maps.Clear();
    emit OnDrawTimeList(m_range.low / 3, m_range.high / 3);
    DisableStart();
    m_spaceButton->setEnabled(false);
    m_model->Clear();
    m_rowChannel.clear();
    m_audioRow = -1;
}
