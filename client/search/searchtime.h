#pragma once
// The "Quick Search" pop-up: one channel of one recorder on one day, the playing picture in a
// large playback tile above the draggable 24-hour time line with record marks, key-frame
// thumbnails and event marks. Dragging or wheeling the line seeks; a thumbnail or an event jumps.
// The program has one; the recorder's session hands it searches and pictures.
#include <QElapsedTimer>
#include <QImage>
#include <QMutex>
#include <QTimer>
#include <atomic>

#include "session/quicksearchpopup.h"
#include "widgets/cpopupdialog.h"

class CCameoMuseum;
class RecorderSession;
class QComboBox;
class QPushButton;
class SearchTimeline;

class SearchTime : public CPopupDialog, public QuickSearchPopup
{
    Q_OBJECT

public:
    static constexpr int kWalkMs = 100;
    static constexpr int kThumbnailWaitMs = 3000;
    static constexpr int kMoveDelayMs = 100;
    static constexpr int kBusyRetryMs = 10;
    static constexpr int kExitDelayMs = 1000;

    explicit SearchTime(QWidget* parent = nullptr);
    ~SearchTime() override;

    // QuickSearchPopup
    void SetSearchInfo(int deviceIndex, int channel, int date, int time) override;
    void OnFinishInfo() override;
    void SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture) override;
    int GetChannel() const override { return m_channel.load(); }
    bool GetRecordFlag() const override { return m_record.load() != 0; }

    int GetDeviceIndex() const { return m_deviceIndex; }
    int GetResumeCode() const { return m_resumeCode; }
    QString GetDateText() const { return m_dateText; }
    QString GetTimeText() const { return m_timeText; }
    bool IsWalking() const { return m_walkTimer.isActive(); }
    bool IsThumbnailAwaited() const { return m_busy != 0; }
    int GetPendingSecond() const { return m_pendingSecond; }
    SearchTimeline* Timeline() const { return m_timeline; }
    CCameoMuseum* Tile() const { return m_tile; }
    QComboBox* WheelSpeedCombo() const { return m_wheelSpeed; }
    // How long an expected thumbnail is waited for before its slot stays black.
    void SetThumbnailWait(int ms) { m_thumbnailWaitMs = ms; }

signals:
    void OnNext();
    // The hand-over of a picture from whichever thread produced it.
    void pictureArrived(int deviceIndex, int channel, QString timeText, QImage picture);

public slots:
    void OnSetTimeMove(int second, bool fromTimeline);
    void OnPlayBFBtn();
    void OnPlayBBtn();
    void OnPlayPBtn();
    void OnPlayFBtn();
    void OnPlayFFBtn();
    void OnPlayWheelSpeedCombo(int index);
    void OnPlayExitBtn();
    void OnSetDragMove(int second);
    void OnGetThumbnail(int second);
    void OnThumbnailTime();
    void OnMuseumSearch();
    void OnThumbnailSearch();
    void timerOnCancel();
    void OnRecord();
    void OnGetEventThumbnail();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void TakePicture(int deviceIndex, int channel, const QString& timeText, const QImage& picture);

private:
    RecorderSession* Device() const;
    void BuildWidgets();
    void RecordOff();
    void RedrawTile();
    void PlayCode(int code);
    void FinishTimeMove(int second, bool fromTimeline);
    void EndWalk();
    void SwitchSearch(int resumeCode);
    static int SecondToHhmm00(int second);

    int m_deviceIndex = -1;
    std::atomic<int> m_channel{0};
    int m_date = 0;
    QString m_dateText;
    QString m_timeText;
    QString m_recorderName;
    QString m_cameraName;
    QImage m_picture;
    int m_resumeCode = 0;
    int m_pendingSecond = -1;
    quint8 m_inFlight = 0;
    std::atomic<quint8> m_record{0};
    quint8 m_busy = 0;
    quint8 m_stop = 0;
    int m_slotIndex = 0;
    int m_thumbnailWaitMs = kThumbnailWaitMs;
    QElapsedTimer m_awaitedSince;
    QTimer m_walkTimer;

    CCameoMuseum* m_tile = nullptr;
    SearchTimeline* m_timeline = nullptr;
    QComboBox* m_wheelSpeed = nullptr;
};
