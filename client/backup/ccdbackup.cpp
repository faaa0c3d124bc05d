#include "backup/ccdbackup.h"

#include "backup/backupclock.h"
#include "backup/backuplog.h"
#include "backup/formatbackupsize.h"
#include "backup/listmodel.h"
#include "backup/mediarangeform.h"
#include "session/recordersession.h"

#include <QPushButton>
#include <QTableView>

namespace {

constexpr int kRows = 17;
constexpr int kVideoRows = 16;

QString DateText(int ymd)
{
    return QString::asprintf("%02d/%02d/%04d", ymd / 100 % 100, ymd % 100, ymd / 10000);
}

} // namespace

CCDBackup::CCDBackup(QWidget* parent)
    : MediaBackupPage(
        parent, [this] { SendStart(); }, [this] { return m_totalMB; })
    , m_model(std::make_unique<ListModel>())
{
    m_rowChannel.fill(-1);
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
    m_table->setModel(m_model.get());
    m_table->setGeometry(10, 160, 870, 524);
    for (int c = 0; c < kColumns; ++c)
        m_table->setColumnWidth(c, columns[c].width);
    connect(m_table, &QTableView::clicked, this, &CCDBackup::OnListClicked);
    EnableControls(false);
}

CCDBackup::~CCDBackup() = default;

void CCDBackup::EnablePageButtons(bool enabled)
{
    m_getListButton->setEnabled(enabled);
}

void CCDBackup::SetRange(int startDate, int startTime, int finishDate, int finishTime)
{
    m_form->SetRange(MediaRange{startDate, startTime, finishDate, finishTime});
}

void CCDBackup::BindSizeAnswer(RecorderSession* device)
{
    connect(device, &RecorderSession::OnAddBackupCapa, this, &CCDBackup::OnAddBackupCapa, Qt::UniqueConnection);
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

void CCDBackup::OnBackupStart()
{
    if (StopIfRunning())
        return;
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
    BeginRun(MediaBackupFlow::StartProblem(rows, anyTicked, m_totalMB, kLimitMB,
                                           QStringLiteral("Press Get List first, then tick what to back up."),
                                           QStringLiteral("The Remote Backup 4GByte is limit.")));
}

void CCDBackup::SendStart()
{
    if (RecorderSession* device = Device())
        device->SendCDBackupStart(m_startDate, m_startTime, m_finishDate, m_finishTime, m_backupBits,
                                  m_backupAudio, MediaKind());
}
