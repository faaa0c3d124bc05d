#pragma once
// The event backup page of one recorder: jobs of (channel, week days, daily window) during which
// the session records live video of channels that report motion or a sensor alarm into
// "backup/EventData/<recorder>/". The page writes no file itself: it keeps the jobs
// (EventJobList), answers the session's per-frame question and shows its progress reports.
#include <QModelIndex>
#include <QWidget>

#include <functional>
#include <memory>

#include "backup/devicebackupsession.h"
#include "backup/eventjoblist.h"
#include "backup/jobpageform.h"

class ListModel;

class CEventBackup : public QWidget
{
    Q_OBJECT
public:
    explicit CEventBackup(QWidget* parent = nullptr);
    ~CEventBackup() override;

    void SetDeviceIndex(int deviceIndex);
    void SetChannelCount(int channelCount) { m_channelCount = channelCount; }
    void ResetPage();
    bool IsBackupTime(int channel, int time, int weekDay) const;
    void OnEventResult(int channel, int date, int time, int weekDay, qint64 size);
    // The session's recording of `channel` stopped at a failed write: the page stops.
    void OnEventWriteFailed(int channel, int time, int weekDay, const ModuleRecord::WriteFailure& failure);
    void StopBackup();
    bool IsRunning() const { return m_jobs->IsRunning(); }
    void AddJobRow(int channel, int weekDays);

    // The overlap question ("Delete overlapped item?"); tests answer it without a dialog.
    void SetOverlapQuestion(std::function<bool()> question) { m_question = std::move(question); }
    ListModel* Model() const { return m_model.get(); }
    JobPageForm& Form() { return *m_form; }
    EventJobList& Jobs() { return *m_jobs; }

public slots:
    void OnClickedAdd();
    void ChannelAll();
    void WeekAll();
    void StartBackup();
    void OnContextMenu(QPoint position);
    void OnListClicked(QModelIndex index);
    void removeItemAction();
    void removeCompleteAction();
    void removeAllAction();

private:
    bool AskOverlap();

    std::unique_ptr<ListModel> m_model;
    DeviceBackupSession m_session;
    std::unique_ptr<EventJobList> m_jobs;
    std::unique_ptr<JobPageForm> m_form;
    int m_channelCount = 0;
    QModelIndex m_contextIndex;
    std::function<bool()> m_question;
};
