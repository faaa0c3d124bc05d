#pragma once
// The remote backup page: a recorder dropped from the site book gets a connection of the page's
// own; the page shows the recorder's month calendar of recorded days, the chosen day's minute
// graph per channel and a time range slider, asks the recorder how much each channel holds in
// the range, and downloads the checked channels one after another into the client recording
// layout, under the archive ("backup/BackupData/<recorder>/") or under a folder of the user's
// choice with the backup player copied beside it.
#include <QModelIndex>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "backup/backuptimerange.h"
#include "backup/recordminutemaps.h"
#include "backup/remotebackupdownload.h"
#include "backup/remotebackuplink.h"
#include "common/media/modulerecord.h"
#include "net/modulenetwork.h"

class CModuleNetwork;
class ListModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class RangeSlider;
class SiteBook;
struct _SEND_BACKUP_CAPA;

// The page shows the download (RemoteBackupDownload) and lends it its connection.
class CDirectBackup : public QWidget, private RemoteBackupLink
{
    Q_OBJECT
public:
    static constexpr int kFrameBufferSize = 6221824;
    static constexpr int kListBufferSize = 2097152;
    static constexpr int kListParts = 9;
    static constexpr int kMaxRecordDays = 1825;
    static constexpr int kAudioHeaderSize = 24;
    // A download that gets no frame for this long has lost its recorder.
    static constexpr int kSilenceLimitMs = RemoteBackupDownload::kSilenceLimitMs;
    enum Column { ColChannel, ColDate, ColBegin, ColEnd, ColSize, ColPercent, ColStatus, kColumns };

    explicit CDirectBackup(QWidget* parent = nullptr);
    // The sound bytes of a playback audio block of `size` bytes (after its header), or -1 for
    // a block that cannot hold its header or does not fit the frame buffer.
    static int AudioPayloadLength(int size);
    // The request sequence number after `sequence`: 1 to 100, then 0 again.
    static int NextSequence(int sequence);
    ~CDirectBackup() override;

    void ResetView();
    void BeginBackup();
    void StopBackup();
    void SendEventRecList(int date, int part);
    void SendTimeRecList(int date, int part);
    void SendAudioRecList(int date, int part);

    // What a drop of this record does (the drop event reads the record from its mime data).
    void DropRecord(const SiteBook& record);
    // The destination folder chosen with "..." (empty: the archive).
    void SetUserFolder(const QString& folder);

    bool IsRunning() const { return m_download->IsRunning(); }
    bool IsConnected() const { return m_connected; }
    int GetDeviceIndex() const { return m_deviceIndex; }
    int GetSequence() const { return m_download->Sequence(); }
    QString GetDestination() const { return m_destination; }
    CModuleNetwork* GetNetwork() const { return m_network.data(); }
    ListModel* Model() const { return m_model.get(); }
    const RecordMinuteMaps& Maps() const { return m_maps; }
    RangeSlider* Slider() const { return m_slider; }
    QPushButton* DayButton(int index) const { return m_dayButtons[size_t(index)]; }
    QPushButton* StartButton() const { return m_startButton; }
    QPushButton* SpaceButton() const { return m_spaceButton; }
    QCheckBox* ArchiveBox() const { return m_archiveBox; }
    QLabel* MonthLabel() const { return m_monthLabel; }
    QLabel* Graph() const { return m_graph; }
    QString PendingPlayerCommand() const { return m_playerFile; }

signals:
    void OnDrawTimeList(int, int);
    void dateSetText(QString);
    void timeSetText1(QString);
    void timeSetText2(QString);

public slots:
    void timerOnPlayer();
    void ChangeTimeSlider(int low, int high);
    void SetDrawTimeList(int x1, int x2);
    void onDatePrevButtonClicked();
    void onDateNextButtonClicked();
    void onDateButtonClicked();
    void OnListClicked(QModelIndex index);
    void OnListDbClicked(QModelIndex index);
    void timerOnConnect();
    void OnNetworkState(int state);
    void OnRecvPlaybackInfo(int firstDate, int firstTime, int lastDate, int lastTime, int count, int* days);
    void OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int sequence, bool key,
                             char frameType, char marker);
    void OnRecvPlaybackAudio(int size, int kind, int date, int time, int sequence);
    void OnRecvTimeRecList(int part, int length);
    void OnRecvEventRecList(int part, int length);
    void OnRecvAudioRecList(int part, int length);
    void OnRecvBackupCapa(_SEND_BACKUP_CAPA* reply);
    void onSpaceButtonClicked();
    void onStartButtonClicked();
    void onOpenFolderButtonClicked();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildCalendar();
    void BuildGraph();
    void BuildDestination();
    void BuildJobList();
    void CreateNetwork();
    void DisconnectOnPurpose();
    void Message(const QString& title, const QString& text, const QString& option);
    void DrawCalendar();
    void ClearDayButtons();
    // "Start" disabled, in the grey style that says so.
    void DisableStart();
    void LoadDay(int date);
    void AddCapacityRow(int channel, bool audio, qint32 sizeMb);
    // RemoteBackupLink: the download's requests on this page's connection.
    void SendPlaybackRate(int rate) override;
    void SendPlayback(int sequence, int channel, int audio, int date, int begin) override;
    void SendPlaybackStop() override;
    void ShowChannelStatus(int channel, RemoteBackupDownload::Status status);
    void ShowChannelProgress(int channel, double percent);
    void OnDownloadEnded();
    bool IsFailedRow(int row) const;
    void SetRowStatus(int row, const QString& status);
    int RowOfChannel(int channel) const;
    int CheckedRowCount() const;
    void CopyPlayer(const QString& folder);
    QString ProgramDirectory() const;
    bool IsRecordedDay(int date) const;

    std::unique_ptr<ListModel> m_model;
    std::unique_ptr<RemoteBackupDownload> m_download;
    QPointer<CModuleNetwork> m_network;
    bool m_connected = false;
    bool m_loggedInOnce = false;
    std::vector<char> m_frameBuffer;
    std::vector<char> m_listBuffer;

    // The dropped recorder.
    quint16 m_backupMask = 0;
    int m_deviceIndex = -1;
    QString m_name;
    QString m_addr;
    int m_port = 0;
    QString m_id;
    QString m_password;
    bool m_tls = false;
    int m_netKind = 0;

    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    int m_selectDate = 0;
    QVector<int> m_recordDays;
    RecordMinuteMaps m_maps;
    BackupTimeRange m_range;

    int m_date = 0;
    int m_begin = 0;
    int m_end = 0;
    bool m_toArchive = true;
    QString m_userFolder;
    QString m_destination;
    qint64 m_audioSize = 0;
    int m_audioRow = -1;
    int m_channelCount = 0;
    // The channel each row stands for (the channel count for the audio row).
    QVector<int> m_rowChannel;
    QString m_playerFile;

    // Widgets.
    QLabel* m_monthLabel = nullptr;
    std::array<QPushButton*, 42> m_dayButtons{};
    QLabel* m_graph = nullptr;
    RangeSlider* m_slider = nullptr;
    QLabel* m_lowLabel = nullptr;
    QLabel* m_highLabel = nullptr;
    QCheckBox* m_archiveBox = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_spaceButton = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_mediaCombo = nullptr;
    QPushButton* m_startButton = nullptr;
};
