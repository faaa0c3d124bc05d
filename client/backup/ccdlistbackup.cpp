#include "backup/ccdlistbackup.h"

#include "backup/backuplog.h"
#include "backup/clistbackupmodel.h"
#include "net/hubservices.h"
#include "session/recordersession.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableView>

CCDListBackup::CCDListBackup(QWidget* parent)
    : MediaBackupPage(
        parent, [this] { StartList(); }, [this] { return GetTotalSizeFromModel(); })
    , m_model(std::make_unique<CListBackupModel>())
{
    auto* frame = new QLabel(this);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(0, 0, 890, 740);
    // The frame is drawn under the form and the table, which were made first.
    frame->lower();
    m_clearButton = new QPushButton(QStringLiteral("Clear List"), this);
    m_clearButton->setGeometry(730, 75, 150, 25);
    connect(m_clearButton, &QPushButton::clicked, this, &CCDListBackup::OnClearList);
    m_addButton = new QPushButton(QStringLiteral("Add List"), this);
    m_addButton->setGeometry(730, 105, 150, 25);
    connect(m_addButton, &QPushButton::clicked, this, &CCDListBackup::OnGetList);
    auto* line = new QLabel(this);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("QLabel {color : gray;}"));
    line->setGeometry(5, 140, 880, 2);

    const char* const headers[6] = {"Select Channel", "Start Date",  "Start Time",
                                    "Finish Date",    "Finish Time", "Size"};
    const int widths[6] = {230, 130, 130, 130, 130, 110};
    m_model->SetModelCount(6);
    for (int c = 0; c < 6; ++c) {
        m_model->SetHeaderText(c, QString::fromLatin1(headers[c]));
        m_model->SetColumnAlignment(c, c == 0   ? int(Qt::AlignLeft)
                                       : c == 5 ? int(Qt::AlignRight)
                                                : int(Qt::AlignCenter));
    }
    m_table->setModel(m_model.get());
    m_table->setGeometry(10, 180, 870, 504);
    m_table->setFrameShape(QFrame::Box);
    for (int c = 0; c < 6; ++c)
        m_table->setColumnWidth(c, widths[c]);
    connect(m_table, &QTableView::clicked, this, &CCDListBackup::OnListClicked);

    EnableControls(false);
    StartButton()->setEnabled(false);
}

CCDListBackup::~CCDListBackup() = default;

void CCDListBackup::EnablePageButtons(bool enabled)
{
    m_clearButton->setEnabled(enabled);
    m_addButton->setEnabled(enabled);
}

void CCDListBackup::BindSizeAnswer(RecorderSession* device)
{
    connect(device, &RecorderSession::OnAddBackupCapaAll, this, &CCDListBackup::OnAddBackupCapaAll,
            Qt::UniqueConnection);
}

void CCDListBackup::keyPressEvent(QKeyEvent* /*event*/) {}

void CCDListBackup::keyReleaseEvent(QKeyEvent* /*event*/) {}

void CCDListBackup::OnListClicked(QModelIndex index)
{
    if (!index.isValid())
        return;
    const QModelIndex cell = m_model->index(index.row(), 0);
    const QVariant state = m_model->data(cell, Qt::CheckStateRole);
    if (!state.isValid())
        return;
    if (state.toInt() == Qt::Unchecked)
        m_model->setData(cell, int(Qt::Checked), Qt::CheckStateRole);
    else if (state.toInt() == Qt::Checked)
        m_model->setData(cell, int(Qt::Unchecked), Qt::CheckStateRole);
}

void CCDListBackup::OnClearList()
{
    while (m_model->rowCount() > 0)
        m_model->removeRows(0, 1);
    m_rangeList.clear();
}

bool CCDListBackup::Before(int dateA, int timeA, int dateB, int timeB)
{
    return dateA < dateB || (dateA == dateB && timeA < timeB);
}

bool CCDListBackup::CheckOverlapTimeFromModel() const
{
    const MediaRange pending = m_form->Range();
    auto overlaps = [&pending](int startDate, int startTime, int finishDate, int finishTime) {
        return Before(pending.startDate, pending.startTime, finishDate, finishTime)
               && Before(startDate, startTime, pending.finishDate, pending.finishTime);
    };
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const ListBackupItem* item = m_model->Item(row);
        if (item && overlaps(item->startDate, item->startTime, item->finishDate, item->finishTime))
            return true;
    }
    for (const PendingRange& waiting : m_pending) {
        const MediaRange& r = waiting.range;
        if (overlaps(r.startDate, r.startTime, r.finishDate, r.finishTime))
            return true;
    }
    return false;
}

void CCDListBackup::OnGetList()
{
    const quint32 mask = m_form->ChannelMask();
    if (mask == 0)
        return;
    const MediaRange range = m_form->Range();
    if (!range.IsForward() || CheckOverlapTimeFromModel())
        return;
    // Ranges still waiting for their size count against the limit as well.
    if (m_model->rowCount() + int(m_pending.size()) >= kMaxRows) {
        if (HubServices* hub = HubServices::Instance())
            hub->ShowMessageBox(QStringLiteral("Remote CD Backup"),
                                QStringLiteral("The Remote Backup 16 List is limit."), QStringLiteral("stop"));
        return;
    }
    RecorderSession* device = Device();
    if (!device)
        return;
    Bind(device);
    m_pending.push_back(PendingRange{range, mask});
    device->SendBackupCapaRequest(range.startDate, range.startTime, range.finishDate, range.finishTime, int(mask));
}

void CCDListBackup::OnAddBackupCapa(int /*channel*/, int /*videoChannels*/, int /*sizeMB*/) {}

QString CCDListBackup::ConvertTextFromChannelBits(int bits, int channelCount)
{
    QStringList runs;
    const int count = std::min(channelCount, 16);
    for (int n = 1; n <= count; ++n) {
        if (!(bits & (1 << (n - 1))))
            continue;
        int last = n;
        while (last < count && (bits & (1 << last)))
            ++last;
        runs << (last == n ? QString::asprintf("%d", n) : QString::asprintf("%d~%d", n, last));
        n = last;
    }
    return runs.join(QStringLiteral(", "));
}

void CCDListBackup::OnAddBackupCapaAll(int mask, int channelCount, int totalMB)
{
    if (m_pending.empty()) {
        qCDebug(lcBackup) << "list backup: a size came back that no range waits for";
        return;
    }
    const PendingRange pending = m_pending.front();
    m_pending.pop_front();
    if (totalMB <= 0 || m_model->rowCount() >= kMaxRows)
        return;
    const int row = m_model->rowCount();
    m_model->insertRows(row, 1);
    const QModelIndex cell = m_model->index(row, 0);
    m_model->setData(cell, int(Qt::Checked), Qt::CheckStateRole);
    ListBackupItem* item = m_model->Item(row);
    item->startDate = pending.range.startDate;
    item->startTime = pending.range.startTime;
    item->finishDate = pending.range.finishDate;
    item->finishTime = pending.range.finishTime;
    item->chanBits = quint16(mask);
    item->audioFlag = 0xFFFF;
    item->sizeMB = totalMB;
    item->channelCount = channelCount;
    item->channelText = ConvertTextFromChannelBits(mask & 0xFFFF, channelCount);
    m_model->setData(cell, QVariant::fromValue(item), Qt::UserRole);
}

int CCDListBackup::GetTotalSizeFromModel() const
{
    int total = 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->data(m_model->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked)
            total += m_model->Item(row)->sizeMB;
    }
    return total;
}

void CCDListBackup::SetListBackupFromModel()
{
    m_rangeList.clear();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->data(m_model->index(row, 0), Qt::CheckStateRole).toInt() != Qt::Checked)
            continue;
        const ListBackupItem* item = m_model->Item(row);
        RequestBuilder::ListBackupEntry entry;
        entry.startDate = item->startDate;
        entry.startTime = item->startTime;
        entry.finishDate = item->finishDate;
        entry.finishTime = item->finishTime;
        entry.channelMask = item->chanBits;
        entry.audioFlag = 0xFFFF;
        m_rangeList.append(entry);
    }
}

void CCDListBackup::StartList()
{
    SetListBackupFromModel();
    if (RecorderSession* device = Device())
        device->SendCDListBackupStart(m_rangeList, MediaKind());
}

void CCDListBackup::OnBackupStart()
{
    if (StopIfRunning())
        return;
    bool anyChecked = false;
    for (int row = 0; row < m_model->rowCount(); ++row)
        anyChecked = anyChecked
                     || m_model->data(m_model->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked;
    BeginRun(MediaBackupFlow::StartProblem(
        m_model->rowCount(), anyChecked, GetTotalSizeFromModel(), kLimitMB,
        QStringLiteral("Add a time range with Add List first, then tick what to back up."),
        QStringLiteral("The Remote Backup 48GByte is limit.")));
}
