#pragma once
// The "Thumbnail Search" pop-up: one camera of one recorder on one day, searched by drilling
// down through columns of thumbnails (hours, ten minutes, minutes, ten seconds, seconds) beside
// a large playback tile. The program has one; the recorder's session hands it the search and
// every fetched picture, and takes back the next time to fetch.
//
// The session calls SetCameoImage on its search thread: the step is worked out there under the
// dialog's lock, and everything the widgets show reaches the user-interface thread through
// queued signals. The columns are painted on that thread from the stored thumbnails.
#include <QImage>
#include <QMutex>
#include <QString>
#include <QTimer>

#include <array>
#include <atomic>

#include "search/thumbnaillevels.h"
#include "session/thumbnailsearchpopup.h"
#include "widgets/cpopupdialog.h"

class CCameoMuseum;
class RecorderSession;
class QLabel;
class QPushButton;
class QScrollArea;

class SearchThumnail : public CPopupDialog, public ThumbnailSearchPopup
{
    Q_OBJECT

public:
    static constexpr int kSlotHeight = 120;
    static constexpr int kThumbnailWidth = 160;
    static constexpr int kCloseDelayMs = 1000;

    // The play modes the play row chooses, as the session's scheduler codes them.
    enum class PlayMode { None = 0, Stop = 2, Forward = 16, FastForward = 32, Backward = 256, FastBackward = 512 };

    explicit SearchThumnail(QWidget* parent = nullptr);
    ~SearchThumnail() override;

    // ThumbnailSearchPopup
    void SetSearchInfo(int deviceIndex, int channel, int date, int time) override;
    int SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture) override;
    void OnRecorderLost() override;
    int GetPlayState() const override { return m_playMode.load(); }
    int GetChannel() const override { return m_channel.load(); }
    bool GetRecordFlag() const override { return m_record.load(); }
    int GetSpeedCode() const override { return m_speedStep.load(); }

    // Opens the level below `level` from one of its slots (nothing for a slot without thumbnail).
    void SetLevel(int level, int slot);
    // Declared for the dialogs' common face; the thumbnail search keeps no time lists.
    void GetTimeList() {}
    void GetTimeList1() {}
    void GetTimeList2() {}

    // What the dialog shows and holds, for the main window and the tests.
    int GetDeviceIndex() const;
    int GetLevelOnScreen() const;
    int GetLevelSearched() const;
    int GetSlotsReceived() const;
    int GetNextRequest() const;
    QString GetCaption(int level, int slot) const;
    int GetChosenSlot(int level) const;
    bool IsLevelDone(int level) const;
    QString GetDateText() const { return m_dateText; }
    QString GetTimeText() const { return m_timeText; }
    int GetReturnTime() const { return m_returnTime; }
    // The time (or switch code) handed to the recorder when the dialog last hid.
    int GetLastHandBack() const { return m_lastHandBack; }
    // A copy of a level's column as it is drawn.
    QImage ColumnImage(int level) const;
    QScrollArea* ColumnArea(int level) const { return m_columns[size_t(level)].area; }
    QLabel* ColumnLabel(int level) const { return m_columns[size_t(level)].label; }
    CCameoMuseum* Tile() const { return m_tile; }

signals:
    // Hand-overs from the search thread to the user-interface thread.
    void pictureArrived(QImage picture, QString timeText);
    void thumbnailArrived(int level, int slot, QString caption);
    void messageBoxArrived(QString title, QString text, QString option);

public slots:
    void OnPlayBFBtn();
    void OnPlayBBtn();
    void OnPlayPBtn();
    void OnPlayFBtn();
    void OnPlayFFBtn();
    void OnPlayExitBtn();
    void OnThumbnailPrev();
    void OnThumbnailNext();
    void OnOkBtn();
    void OnCancelBtn();
    void timerOnOk();
    void timerOnCancel();
    void OnRecord();
    void OnMuseumSearch();
    void OnQuickSearch();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void TakePicture(const QImage& picture, const QString& timeText);
    void TakeThumbnail(int level, int slot, const QString& caption);
    void TakeMessageBox(const QString& title, const QString& text, const QString& option);

private:
    struct Column
    {
        QScrollArea* area = nullptr;
        QLabel* label = nullptr;
        QImage canvas;
    };

    RecorderSession* Device() const;
    void BuildWidgets();
    void BuildColumns();
    void BuildButtons();
    QPushButton* AddButton(const QString& text, const QRect& geometry, void (SearchThumnail::*slot)());

    // Column painting, under the paint lock.
    void PaintSlot(int level, int slot, const QString& caption);
    void PaintColumnFrames(int level);
    void ClearColumn(int level);
    void PublishColumn(int level);

    void PickSlot(int slot);
    void ShowLevel(int level);
    void SetLevelTexts(int level);
    void EnablePlayRow(bool on);
    void Play(PlayMode mode, int speedStep, bool request);
    void StopPlaying();
    void RecordOff();
    void RedrawTile();
    void SwitchSearch(int returnCode);
    void CloseLater(bool gotoPicture);
    // What the search thread is told while playing: -15, -115, -25, -125, or -999 for a stop.
    static int PlayCode(int playMode);

    // Guards the drill-down state shared with the search thread.
    mutable QMutex m_stateLock;
    ThumbnailLevels m_levels;
    int m_deviceIndex = -1;

    // Guards the columns and the stored thumbnails shared with the search thread.
    mutable QMutex m_paintLock;
    std::array<Column, ThumbnailLevels::kLevelCount> m_columns;
    std::array<QVector<QImage>, ThumbnailLevels::kLevelCount> m_thumbnails;

    std::atomic<int> m_channel{0};
    std::atomic<bool> m_record{false};
    std::atomic<int> m_playMode{int(PlayMode::None)};
    std::atomic<int> m_speedStep{1};

    QString m_recorderName;
    QString m_cameraName;
    QString m_dateText;
    QString m_timeText;
    QImage m_picture;
    bool m_showsPicture = false;
    int m_returnTime = -1;
    int m_lastHandBack = -1;
    bool m_closeWithGoto = false;
    QTimer m_closeTimer;

    CCameoMuseum* m_tile = nullptr;
    std::array<QPushButton*, 5> m_playButtons{};
    QPushButton* m_exitButton = nullptr;
    QPushButton* m_prevButton = nullptr;
    QLabel* m_levelLabel = nullptr;
    QPushButton* m_nextButton = nullptr;
};
