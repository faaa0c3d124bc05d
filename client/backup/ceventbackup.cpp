#include "backup/ceventbackup.h"

#include "backup/jobmenu.h"
#include "backup/listmodel.h"

#include <QPushButton>
#include <QTableView>

CEventBackup::CEventBackup(QWidget* parent)
    : QWidget(parent)
    , m_model(std::make_unique<ListModel>())
    , m_jobs(std::make_unique<EventJobList>(*m_model, m_session))
{
    m_jobs->SetupModel();
    m_form = std::make_unique<JobPageForm>(this, m_model.get(), QVector<int>{130, 190, 95, 95, 140, 100, 100});
    connect(m_form->addButton, &QPushButton::clicked, this, &CEventBackup::OnClickedAdd);
    connect(m_form->channelAll, &QPushButton::clicked, this, &CEventBackup::ChannelAll);
    connect(m_form->weekAll, &QPushButton::clicked, this, &CEventBackup::WeekAll);
    connect(m_form->startButton, &QPushButton::clicked, this, &CEventBackup::StartBackup);
    connect(m_form->table, &QTableView::customContextMenuRequested, this, &CEventBackup::OnContextMenu);
    connect(m_form->table, &QTableView::clicked, this, &CEventBackup::OnListClicked);
}

CEventBackup::~CEventBackup() = default;

void CEventBackup::SetDeviceIndex(int deviceIndex)
{
    m_session.SetDeviceIndex(deviceIndex);
}

void CEventBackup::ResetPage()
{
    m_jobs->Reset();
    m_form->ResetButtons(m_channelCount);
    m_jobs->SetRunning(true);
    m_form->startButton->setText(QStringLiteral("Stop"));
}

bool CEventBackup::IsBackupTime(int channel, int time, int weekDay) const
{
    return m_jobs->IsBackupTime(channel, time, weekDay);
}

void CEventBackup::OnEventResult(int channel, int date, int time, int weekDay, qint64 size)
{
    m_jobs->OnEventResult(channel, date, time, weekDay, size);
}

void CEventBackup::OnEventWriteFailed(int channel, int time, int weekDay,
                                      const ModuleRecord::WriteFailure& failure)
{
    if (m_jobs->OnWriteFailure(channel, time, weekDay, failure))
        m_form->startButton->setText(QStringLiteral("Start"));
}

void CEventBackup::StopBackup()
{
    m_jobs->Stop();
    m_form->startButton->setText(QStringLiteral("Start"));
}

void CEventBackup::AddJobRow(int channel, int weekDays)
{
    m_jobs->AddJobRow(channel, weekDays);
}

bool CEventBackup::AskOverlap()
{
    return JobPageForm::AskOverlap(this, QStringLiteral("Event Backup"), m_question);
}

void CEventBackup::OnClickedAdd()
{
    if (!m_form->CheckNewJob(QStringLiteral("Event Backup")))
        return;
    m_jobs->AddJobs(m_form->DayMask(), m_form->ChannelMask(), m_form->BeginTime(), m_form->EndTime(),
                    [this] { return AskOverlap(); });
}

void CEventBackup::ChannelAll()
{
    JobPageForm::ToggleAll(m_form->channelButtons.data(), int(m_form->channelButtons.size()));
}

void CEventBackup::WeekAll()
{
    JobPageForm::ToggleAll(m_form->dayButtons.data(), int(m_form->dayButtons.size()));
}

void CEventBackup::StartBackup()
{
    if (m_jobs->IsRunning()) {
        StopBackup();
        return;
    }
    // A channel whose recording failed records again from here on.
    m_session.ClearEventRecordMarks();
    m_jobs->Start();
    m_form->startButton->setText(QStringLiteral("Stop"));
}

void CEventBackup::OnContextMenu(QPoint position)
{
    m_contextIndex = m_form->table->indexAt(position);
    ShowJobMenu(
        this, m_form->table->viewport()->mapToGlobal(position),
        {[this] { removeItemAction(); }, [this] { removeCompleteAction(); }, [this] { removeAllAction(); }});
}

void CEventBackup::OnListClicked(QModelIndex /*index*/) {}

void CEventBackup::removeItemAction()
{
    if (!m_contextIndex.isValid())
        return;
    m_jobs->RemoveRow(m_contextIndex.row());
    m_contextIndex = QModelIndex();
}

void CEventBackup::removeCompleteAction()
{
    m_jobs->RemoveCompleteRows();
}

void CEventBackup::removeAllAction()
{
    m_jobs->RemoveAllRows();
}
