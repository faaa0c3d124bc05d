#pragma once
// The remote media backup page: the recorder writes one time range of chosen channels to its
// own CD/DVD writer or to a USB storage plugged into it. The page sizes the range per channel,
// checks the 4 GB limit, then walks the recorder through the media check, an optional erase or
// format, the start and the progress of every medium.
#include <QModelIndex>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "backup/mediabackupflow.h"

class RecorderSession;
class ListModel;
class MediaRangeForm;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class QTimeEdit;
class SiteBook;

class CCDBackup : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kLimitMB = 4096;
    static constexpr int kAudioChannel = 999;
    enum Column { ColChannel, ColStartDate, ColStartTime, ColFinishDate, ColFinishTime, ColSize, kColumns };
    // Asks the user (title, text, with Cancel instead of No when the flag is set); true for
    // Yes or OK. Tests answer it without a dialog.
    using Question = std::function<bool(const QString& title, const QString& text, bool okCancel)>;

    explicit CCDBackup(QWidget* parent = nullptr);
    ~CCDBackup() override;

    void SetDeviceIndex(int deviceIndex) { m_deviceIndex = deviceIndex; }
    int GetDeviceIndex() const { return m_deviceIndex; }
    // Binds the page to its recorder's session (the one at the device index) and enables it. A
    // page bound before lets the earlier session go, so no answer reaches it twice.
    void AttachDevice();
    // What a drop of this record does.
    void DropRecord(const SiteBook& record);
    void SetQuestion(Question question) { m_question = std::move(question); }
    // The range the edits show (dates YYYYMMDD, times HHMMSS).
    void SetRange(int startDate, int startTime, int finishDate, int finishTime);

    bool IsRunning() const { return m_running; }
    QString StatusText() const;
    ListModel* Model() const { return m_model.get(); }
    QPushButton* ChannelButton(int channel) const;
    QPushButton* StartButton() const { return m_startButton; }
    QComboBox* MediaCombo() const { return m_mediaCombo; }

public slots:
    void OnListClicked(QModelIndex index);
    void OnConnected(QString name, int index);
    void ChannelAll();
    void OnGetList();
    void OnAddBackupCapa(int channel, int videoChannels, int sizeMB);
    void OnBackupStart();
    void SetRecvCDMedia(short state, short freeMB);
    void OnEraseResult(char result);
    void OnBurningRate(char state, char percent, char discs, char discIndex);

protected:
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    RecorderSession* Device() const;
    void Bind(RecorderSession* device);
    void EnableControls(bool enabled);
    void SetStatus(const QString& text);
    bool Ask(const QString& title, const QString& text, bool okCancel);
    void SendStart();
    void Stop();

    std::unique_ptr<ListModel> m_model;
    QPointer<RecorderSession> m_bound;
    Question m_question;
    MediaBackupFlow m_flow;
    bool m_running = false;
    int m_deviceIndex = -1;
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

    std::unique_ptr<MediaRangeForm> m_form;
    QPushButton* m_getListButton = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_mediaCombo = nullptr;
    QPushButton* m_startButton = nullptr;
};
