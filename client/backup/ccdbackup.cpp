#include "backup/ccdbackup.h"

#include "backup/backupclock.h"
#include "backup/backuplog.h"
#include "backup/formatbackupsize.h"
#include "backup/listmodel.h"
#include "backup/mediarangeform.h"
#include "backup/sitebookdrop.h"
#include "net/hubservices.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"

#include <QComboBox>
#include <QDataStream>
#include <QDateEdit>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>

#include <initializer_list>

namespace {

constexpr int kRows = 17;
constexpr int kVideoRows = 16;

QString DateText(int ymd)
{
    return QString::asprintf("%02d/%02d/%04d", ymd / 100 % 100, ymd % 100, ymd / 10000);
}

} // namespace

CCDBackup::CCDBackup(QWidget* parent)
    : QWidget(parent)
    , m_model(std::make_unique<ListModel>())
    , m_flow(
          {[this] { return Device(); }, [this](const QString& text) { SetStatus(text); },
           [this](const QString& title, const QString& text, bool okCancel) { return Ask(title, text, okCancel); },
           [this] { SendStart(); }, [this] { Stop(); }, [this] { return m_totalMB; }})
{
    setAcceptDrops(true);
    m_rowChannel.fill(-1);
    m_form = std::make_unique<MediaRangeForm>(this);
    connect(m_form->allButton, &QPushButton::clicked, this, &CCDBackup::ChannelAll);
    m_getListButton = new QPushButton(QStringLiteral("Get List"), this);
    m_getListButton->setGeometry(730, 105, 150, 25);
    connect(m_getListButton, &QPushButton::clicked, this, &CCDBackup::OnGetList);

    struct Column
    {
        const char* header;
        int width;
        int alignment;
    };
    const Column columns[kColumns] = {
        {"Channel", 170, Qt::AlignLeft},       {"Start Date", 130, Qt::AlignCenter},
        {"Start Time", 140, Qt::AlignCenter},  {"Finish Date", 140, Qt::AlignCenter},
        {"Finish Time", 140, Qt::AlignCenter}, {"Size", 140, Qt::AlignRight},
    };
    m_model->SetColumnCount(kColumns);
    for (int c = 0; c < kColumns; ++c) {
        m_model->SetHeaderText(c, QString::fromLatin1(columns[c].header));
        m_model->SetColumnAlignment(c, columns[c].alignment);
    }
    m_model->SetModelCount(kColumns);
    m_table = new QTableView(this);
    m_table->setModel(m_model.get());
    m_table->setGeometry(10, 160, 870, 524);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int c = 0; c < kColumns; ++c)
        m_table->setColumnWidth(c, columns[c].width);
    connect(m_table, &QTableView::clicked, this, &CCDBackup::OnListClicked);

    m_mediaCombo = new QComboBox(this);
    m_mediaCombo->addItems({QStringLiteral("CD/DVD RW"), QStringLiteral("USB Storage")});
    m_mediaCombo->setGeometry(570, 695, 150, 30);
    m_startButton = new QPushButton(QStringLiteral("Start"), this);
    m_startButton->setGeometry(730, 695, 150, 30);
    connect(m_startButton, &QPushButton::clicked, this, &CCDBackup::OnBackupStart);
    EnableControls(false);
}

CCDBackup::~CCDBackup() = default;

RecorderSession* CCDBackup::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_deviceIndex) : nullptr;
}

QPushButton* CCDBackup::ChannelButton(int channel) const
{
    return m_form->channelButtons[size_t(channel)];
}

void CCDBackup::EnableControls(bool enabled)
{
    m_form->SetEnabled(enabled);
    m_getListButton->setEnabled(enabled);
}

void CCDBackup::SetStatus(const QString& text)
{
    m_form->SetStatus(text);
}

QString CCDBackup::StatusText() const
{
    return m_form->Status();
}

void CCDBackup::SetRange(int startDate, int startTime, int finishDate, int finishTime)
{
    m_form->SetRange(MediaRange{startDate, startTime, finishDate, finishTime});
}

void CCDBackup::Bind(RecorderSession* device)
{
    if (m_bound && m_bound != device)
        disconnect(m_bound, nullptr, this, nullptr);
    m_bound = device;
    if (!device)
        return;
    connect(device, &RecorderSession::OnConnected_CDBackup, this, &CCDBackup::OnConnected, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnAddBackupCapa, this, &CCDBackup::OnAddBackupCapa, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnSetCDMedia, this, &CCDBackup::SetRecvCDMedia, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnEraseResult, this, &CCDBackup::OnEraseResult, Qt::UniqueConnection);
    connect(device, &RecorderSession::OnBurningRate, this, &CCDBackup::OnBurningRate, Qt::UniqueConnection);
}

void CCDBackup::AttachDevice()
{
    m_form->UncheckChannels();
    EnableControls(true);
    m_startButton->setText(QStringLiteral("Start"));
    m_running = false;
    Bind(Device());
}

void CCDBackup::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptSiteBookDrag(event);
}

void CCDBackup::dragMoveEvent(QDragMoveEvent* event)
{
    AcceptSiteBookDrag(event);
}

void CCDBackup::dropEvent(QDropEvent* event)
{
    SiteBook record;
    if (m_running || !ReadSiteBookDrop(event->mimeData(), &record)) {
        event->ignore();
        return;
    }
    DropRecord(record);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CCDBackup::DropRecord(const SiteBook& record)
{
    if (m_running || record.kind != QLatin1String("device"))
        return;
    SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(record.index) : nullptr;
    if (!device)
        return;
    m_deviceIndex = record.index;
    // The session never announces a connection made for this page, so the page binds at once;
    // its requests go out once the recorder is logged in.
    AttachDevice();
    if (!device->IsLoggedIn())
        device->StartConnect(9);
}

void CCDBackup::OnConnected(QString /*name*/, int index)
{
    m_deviceIndex = index;
    EnableControls(true);
}

void CCDBackup::ChannelAll()
{
    m_form->ToggleAll();
}

void CCDBackup::OnListClicked(QModelIndex index)
{
    if (!index.isValid())
        return;
    const int state = m_model->data(index, Qt::CheckStateRole).toInt();
    if (!m_model->data(index, Qt::CheckStateRole).isValid())
        return;
    if (state == Qt::Unchecked)
        m_model->setData(index, int(Qt::Checked), Qt::CheckStateRole);
    else if (state == Qt::Checked)
        m_model->setData(index, int(Qt::Unchecked), Qt::CheckStateRole);
}

void CCDBackup::OnGetList()
{
    m_channelMask = int(m_form->ChannelMask());
    m_rowSizeMB.fill(0);
    m_rowChannel.fill(-1);
    if (m_channelMask == 0)
        return;
    const MediaRange range = m_form->Range();
    if (!range.IsForward())
        return;
    m_startDate = range.startDate;
    m_startTime = range.startTime;
    m_finishDate = range.finishDate;
    m_finishTime = range.finishTime;
    m_model->Clear();
    m_audioSizeMB = 0;
    m_audioRow = -1;
    m_videoRows = 0;
    if (RecorderSession* device = Device()) {
        Bind(device);
        device->SendBackupCapaRequest(m_startDate, m_startTime, m_finishDate, m_finishTime, m_channelMask);
    }
}

void CCDBackup::OnAddBackupCapa(int channel, int videoChannels, int sizeMB)
{
    if (sizeMB <= 0)
        return;
    const bool audio = channel >= videoChannels;
    const int row = m_model->rowCount();
    // One row per channel and one for the sound: a reply that names more is not believed.
    if (row >= kRows || (audio && m_audioRow >= 0) || (!audio && m_videoRows >= kVideoRows)) {
        qCDebug(lcBackup) << "remote media backup: capacity entry of channel" << channel
                          << "beyond the rows dropped";
        return;
    }
    m_model->AppendRow();
    m_model->SetText(row, ColChannel,
                     audio ? QStringLiteral("Audio") : QString::asprintf("Ch - %02d", channel + 1));
    m_model->setData(m_model->index(row, ColChannel), int(Qt::Checked), Qt::CheckStateRole);
    m_model->SetText(row, ColStartDate, DateText(m_startDate));
    m_model->SetText(row, ColStartTime, BackupClock::HmsText(m_startTime));
    m_model->SetText(row, ColFinishDate, DateText(m_finishDate));
    m_model->SetText(row, ColFinishTime, BackupClock::HmsText(m_finishTime));
    m_model->SetText(row, ColSize, FormatBackupSize(sizeMB, false));
    m_rowSizeMB[size_t(row)] = sizeMB;
    if (audio) {
        m_rowChannel[size_t(row)] = kAudioChannel;
        m_audioSizeMB = sizeMB;
        m_audioRow = row;
    } else {
        m_rowChannel[size_t(row)] = channel;
        ++m_videoRows;
    }
}

bool CCDBackup::Ask(const QString& title, const QString& text, bool okCancel)
{
    if (m_question)
        return m_question(title, text, okCancel);
    QMessageBox box(QMessageBox::Information, title, text,
                    okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No, this);
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    const int answer = box.exec();
    return answer == QMessageBox::Yes || answer == QMessageBox::Ok;
}

void CCDBackup::OnBackupStart()
{
    if (m_running) {
        SetStatus(QStringLiteral("Stop"));
        Stop();
        return;
    }
    const int rows = m_model->rowCount();
    m_totalMB = 0;
    m_backupBits = 0;
    m_backupAudio = 0;
    bool anyTicked = false;
    for (int row = 0; row < rows && row < kRows; ++row) {
        if (m_model->data(m_model->index(row, ColChannel), Qt::CheckStateRole).toInt() != Qt::Checked)
            continue;
        anyTicked = true;
        m_totalMB += m_rowSizeMB[size_t(row)];
        const int channel = m_rowChannel[size_t(row)];
        if (channel == kAudioChannel)
            m_backupAudio = 0xFFFF;
        else if (channel >= 0 && channel < 16)
            m_backupBits |= quint16(1u << channel);
    }
    const QString problem = MediaBackupFlow::StartProblem(
        rows, anyTicked, m_totalMB, kLimitMB, QStringLiteral("Press Get List first, then tick what to back up."),
        QStringLiteral("The Remote Backup 4GByte is limit."));
    if (!problem.isEmpty()) {
        if (HubServices* hub = HubServices::Instance())
            hub->ShowMessageBox(QStringLiteral("Remote CD Backup"), problem, QStringLiteral("stop"));
        return;
    }
    EnableControls(false);
    m_table->setEnabled(false);
    m_mediaCombo->setEnabled(false);
    m_startButton->setText(QStringLiteral("Stop"));
    m_running = true;
    m_flow.Begin(MediaBackupFlow::MediaKindOfChoice(m_mediaCombo->currentIndex()));
}

void CCDBackup::SetRecvCDMedia(short state, short freeMB)
{
    if (m_running)
        m_flow.OnMedia(state, freeMB);
}

void CCDBackup::OnEraseResult(char result)
{
    if (m_running)
        m_flow.OnErase(result);
}

void CCDBackup::OnBurningRate(char state, char percent, char discs, char discIndex)
{
    if (m_running)
        m_flow.OnRate(state, percent, discs, discIndex);
}

void CCDBackup::SendStart()
{
    if (RecorderSession* device = Device())
        device->SendCDBackupStart(m_startDate, m_startTime, m_finishDate, m_finishTime, m_backupBits,
                                  m_backupAudio, m_flow.MediaKind());
}

void CCDBackup::Stop()
{
    EnableControls(true);
    m_table->setEnabled(true);
    m_mediaCombo->setEnabled(true);
    if (m_running)
        m_flow.SendStop();
    m_startButton->setText(QStringLiteral("Start"));
    m_running = false;
}
