#include "backup/cschedulebackup.h"

#include "backup/backupclock.h"
#include "backup/jobmenu.h"
#include "backup/listmodel.h"
#include "common/media/modulerecord.h"
#include "net/hubservices.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>

CScheduleBackup::CScheduleBackup(QWidget* parent)
    : QWidget(parent)
    , m_model(std::make_unique<ListModel>())
    , m_jobs(std::make_unique<ScheduleJobList>(*m_model, m_session))
{
    m_jobs->SetupModel();
    m_form = std::make_unique<JobPageForm>(this, m_model.get(), QVector<int>{130, 160, 90, 90, 90, 90, 100, 100});
    m_form->startButton->setText(QStringLiteral("Start"));
    auto* label = new QLabel(QStringLiteral("Download Start Time"), this);
    label->setGeometry(660, 35, 200, 20);
    m_downloadEdit = new QTimeEdit(QTime::currentTime(), this);
    m_downloadEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_downloadEdit->setGeometry(660, 55, 150, 25);

    connect(m_form->addButton, &QPushButton::clicked, this, &CScheduleBackup::OnClickedAdd);
    connect(m_form->channelAll, &QPushButton::clicked, this, &CScheduleBackup::ChannelAll);
    connect(m_form->weekAll, &QPushButton::clicked, this, &CScheduleBackup::WeekAll);
    connect(m_form->startButton, &QPushButton::clicked, this, &CScheduleBackup::StartBackup);
    connect(m_form->table, &QTableView::customContextMenuRequested, this, &CScheduleBackup::OnContextMenu);
}

CScheduleBackup::~CScheduleBackup() = default;

void CScheduleBackup::SetDeviceIndex(int deviceIndex)
{
    m_session.SetDeviceIndex(deviceIndex);
}

QString CScheduleBackup::Folder() const
{
    HubServices* hub = HubServices::Instance();
    const QString programDirectory = hub ? hub->ProgramDirectory() : QDir::currentPath();
    SessionHub* sessions = SessionHub::Instance();
    RecorderSession* device = sessions ? sessions->GetDevice(m_session.GetDeviceIndex()) : nullptr;
    const QString name = ModuleRecord::SafePathComponent(device ? device->GetDvrName() : QString());
    return programDirectory + QStringLiteral("/backup/ScheduleData/") + name + QLatin1Char('/');
}

void CScheduleBackup::ResetPage()
{
    m_jobs->Reset();
    m_jobs->SetDestination(Folder(), m_session.GetDeviceIndex());
    m_form->ResetButtons(m_channelCount);
    m_form->startButton->setText(QStringLiteral("Stop"));
}

void CScheduleBackup::OnRecvPlaybackVideo(int channel, int size, int frameType, int date, int time,
                                          int requestNumber, bool key, char frameByte, char sequence)
{
    m_jobs->OnRecvPlaybackVideo(channel, size, frameType, date, time, requestNumber, key, frameByte, sequence);
}

void CScheduleBackup::OnConnectionLost()
{
    m_jobs->OnConnectionLost();
}

void CScheduleBackup::AddJobRow(int channel, int weekDays)
{
    m_jobs->AddJobRow(channel, weekDays);
}

bool CScheduleBackup::AskOverlap()
{
    return JobPageForm::AskOverlap(this, QStringLiteral("Schedule Backup"), m_question);
}

void CScheduleBackup::OnClickedAdd()
{
    if (!m_form->CheckNewJob(QStringLiteral("Schedule Backup")))
        return;
    // The recorder's name may have changed since the page was made.
    m_jobs->SetDestination(Folder(), m_session.GetDeviceIndex());
    m_jobs->AddJobs(m_form->DayMask(), m_form->ChannelMask(), m_form->BeginTime(), m_form->EndTime(),
                    BackupClock::ToHms(m_downloadEdit->time()), [this] { return AskOverlap(); });
}

void CScheduleBackup::ChannelAll()
{
    JobPageForm::ToggleAll(m_form->channelButtons.data(), int(m_form->channelButtons.size()));
}

void CScheduleBackup::WeekAll()
{
    JobPageForm::ToggleAll(m_form->dayButtons.data(), int(m_form->dayButtons.size()));
}

void CScheduleBackup::StartBackup()
{
    if (m_jobs->IsRunning()) {
        m_jobs->Stop();
        m_form->startButton->setText(QStringLiteral("Start"));
        return;
    }
    m_jobs->SetDestination(Folder(), m_session.GetDeviceIndex());
    m_jobs->Start();
    m_form->startButton->setText(QStringLiteral("Stop"));
}

void CScheduleBackup::OnWakeupTimer()
{
    m_jobs->OnWakeupTimer();
}

void CScheduleBackup::OnContextMenu(QPoint position)
{
    // Rows are not removed while a download writes into them.
    if (m_jobs->IsBusy())
        return;
    m_contextIndex = m_form->table->indexAt(position);
    ShowJobMenu(
        this, m_form->table->viewport()->mapToGlobal(position),
        {[this] { removeItemAction(); }, [this] { removeCompleteAction(); }, [this] { removeAllAction(); }});
}

void CScheduleBackup::removeItemAction()
{
    if (!m_contextIndex.isValid())
        return;
    m_jobs->RemoveRow(m_contextIndex.row());
    m_contextIndex = QModelIndex();
}

void CScheduleBackup::removeCompleteAction()
{
    m_jobs->RemoveCompleteRows();
}

void CScheduleBackup::removeAllAction()
{
    m_jobs->RemoveAllRows();
}
