#pragma once
// The schedule backup page of one recorder: jobs of (channel, week days, daily window, download
// start). At the download start the previous day's window is fetched from the recorder and
// written into "backup/ScheduleData/<recorder>/" (ScheduleJobList does the work).
#include <QModelIndex>
#include <QWidget>

#include <functional>
#include <memory>

#include "backup/devicebackupsession.h"
#include "backup/jobpageform.h"
#include "backup/schedulejoblist.h"

class ListModel;
class QTimeEdit;

class CScheduleBackup : public QWidget
{
    Q_OBJECT
public:
    explicit CScheduleBackup(QWidget* parent = nullptr);
    ~CScheduleBackup() override;

    void SetDeviceIndex(int deviceIndex);
    void SetChannelCount(int channelCount) { m_channelCount = channelCount; }
    void ResetPage();
    void OnRecvPlaybackVideo(int channel, int size, int frameType, int date, int time, int requestNumber, bool key,
                             char frameByte, char sequence);
    void OnConnectionLost();
    void AddJobRow(int channel, int weekDays);

    void SetOverlapQuestion(std::function<bool()> question) { m_question = std::move(question); }
    ListModel* Model() const { return m_model.get(); }
    JobPageForm& Form() { return *m_form; }
    QTimeEdit* DownloadStartEdit() const { return m_downloadEdit; }
    ScheduleJobList& Jobs() { return *m_jobs; }

public slots:
    void OnClickedAdd();
    void ChannelAll();
    void WeekAll();
    void StartBackup();
    void OnContextMenu(QPoint position);
    void removeItemAction();
    void removeCompleteAction();
    void removeAllAction();
    void OnWakeupTimer();

private:
    bool AskOverlap();
    QString Folder() const;

    std::unique_ptr<ListModel> m_model;
    DeviceBackupSession m_session;
    std::unique_ptr<ScheduleJobList> m_jobs;
    std::unique_ptr<JobPageForm> m_form;
    QTimeEdit* m_downloadEdit = nullptr;
    int m_channelCount = 0;
    QModelIndex m_contextIndex;
    std::function<bool()> m_question;
};
