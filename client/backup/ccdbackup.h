#pragma once
// The remote media backup page: the recorder writes one time range of chosen channels to its
// own CD/DVD writer or to a USB storage plugged into it. The page sizes the range per channel,
// checks the 4 GB limit, then walks the recorder through the media check, an optional erase or
// format, the start and the progress of every medium.
#include <QModelIndex>

#include <array>
#include <memory>

#include "backup/mediabackuppage.h"

class ListModel;

class CCDBackup : public MediaBackupPage
{
    Q_OBJECT
public:
    static constexpr int kLimitMB = 4096;
    static constexpr int kAudioChannel = 999;
    enum Column { ColChannel, ColStartDate, ColStartTime, ColFinishDate, ColFinishTime, ColSize, kColumns };

    explicit CCDBackup(QWidget* parent = nullptr);
    ~CCDBackup() override;

    // The range the edits show (dates YYYYMMDD, times HHMMSS).
    void SetRange(int startDate, int startTime, int finishDate, int finishTime);
    ListModel* Model() const { return m_model.get(); }

public slots:
    void OnListClicked(QModelIndex index);
    void OnGetList();
    void OnAddBackupCapa(int channel, int videoChannels, int sizeMB);
    void OnBackupStart() override;

private:
    void BindSizeAnswer(RecorderSession* device) override;
    void EnablePageButtons(bool enabled) override;
    void SendStart();

    std::unique_ptr<ListModel> m_model;
    int m_startDate = 0;
    int m_startTime = 0;
    int m_finishDate = 0;
    int m_finishTime = 0;
    std::array<int, 17> m_rowSizeMB{};
    std::array<int, 17> m_rowChannel{};
    int m_videoRows = 0;
    int m_audioSizeMB = 0;
    int m_audioRow = -1;
    int m_channelMask = 0;
    int m_totalMB = 0;
    quint16 m_backupBits = 0;
    quint16 m_backupAudio = 0;

    QPushButton* m_getListButton = nullptr;
};
