#pragma once
// The remote media list backup page: up to 16 ranges, each sized by the recorder when it is
// added ("Add List"), written together by the recorder to its own CD/DVD or USB medium. The
// media steps are those of the single-range page (MediaBackupFlow).
//
// Ranges wait for their size in the order they were asked for, and each reply takes the oldest
// waiting range, so no row gets another range's times however the replies are spaced.
#include <QModelIndex>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

#include "backup/mediabackupflow.h"
#include "backup/mediarangeform.h"
#include "net/requestbuilder.h"

class CListBackupModel;
class RecorderSession;
class QComboBox;
class QPushButton;
class QTableView;
class SiteBook;

class CCDListBackup : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 16;
    static constexpr int kLimitMB = 49152;
    using Question = std::function<bool(const QString& title, const QString& text, bool okCancel)>;

    explicit CCDListBackup(QWidget* parent = nullptr);
    ~CCDListBackup() override;

    void SetDeviceIndex(int deviceIndex) { m_deviceIndex = deviceIndex; }
    int GetDeviceIndex() const { return m_deviceIndex; }
    void AttachDevice();
    void DropRecord(const SiteBook& record);
    void SetQuestion(Question question) { m_question = std::move(question); }
    void SetRange(const MediaRange& range) { m_form->SetRange(range); }

    // A pending range overlaps a listed (or still waiting) one unless they only touch.
    bool CheckOverlapTimeFromModel() const;
    static QString ConvertTextFromChannelBits(int bits, int channelCount);
    int GetTotalSizeFromModel() const;
    void SetListBackupFromModel();
    void ResetBackup();

    bool IsRunning() const { return m_running; }
    QString StatusText() const { return m_form->Status(); }
    CListBackupModel* Model() const { return m_model.get(); }
    QPushButton* ChannelButton(int channel) const { return m_form->channelButtons[size_t(channel)]; }
    QComboBox* MediaCombo() const { return m_mediaCombo; }
    int PendingCount() const { return int(m_pending.size()); }
    const QVector<RequestBuilder::ListBackupEntry>& RangeList() const { return m_rangeList; }

public slots:
    void OnListClicked(QModelIndex index);
    void OnConnected(QString name, int index);
    void ChannelAll();
    void OnClearList();
    void OnGetList();
    void OnAddBackupCapa(int channel, int videoChannels, int sizeMB);
    void OnAddBackupCapaAll(int mask, int channelCount, int totalMB);
    void OnBackupStart();
    void SetRecvCDMedia(short state, short freeMB);
    void OnEraseResult(char result);
    void OnBurningRate(char state, char percent, char discs, char discIndex);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct PendingRange
    {
        MediaRange range;
        quint32 mask = 0;
    };

    RecorderSession* Device() const;
    void Bind(RecorderSession* device);
    void EnableControls(bool enabled);
    bool Ask(const QString& title, const QString& text, bool okCancel);
    void StartList();
    static bool Before(int dateA, int timeA, int dateB, int timeB);

    std::unique_ptr<CListBackupModel> m_model;
    std::unique_ptr<MediaRangeForm> m_form;
    MediaBackupFlow m_flow;
    QPointer<RecorderSession> m_bound;
    Question m_question;
    int m_deviceIndex = -1;
    bool m_running = false;
    std::deque<PendingRange> m_pending;
    QVector<RequestBuilder::ListBackupEntry> m_rangeList;

    QPushButton* m_clearButton = nullptr;
    QPushButton* m_addButton = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_mediaCombo = nullptr;
    QPushButton* m_startButton = nullptr;
};
