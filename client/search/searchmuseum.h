#pragma once
// The "Museum Search" pop-up: the operator draws a rectangle of grid cells on a still picture of
// one camera, enters a time range of the day and presses "Search"; the recorder's session walks
// the range through its museum scheduler, and every picture with change inside the area lands as
// a thumbnail in the match list, from where it can be played. The program has one.
//
// The session hands pictures over on its search thread: the walk state is kept under a lock of
// the dialog's own, and everything the widgets show goes to the user-interface thread through
// queued signals.
#include <QImage>
#include <QMutex>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>

#include "search/museumgrid.h"
#include "search/museumsearchrun.h"
#include "search/sessionmuseumrecorder.h"
#include "session/museumsearchpopup.h"
#include "session/playbackmode.h"
#include "widgets/cpopupdialog.h"

class CCameoMuseum;
class CCameoSub;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimeEdit;

class SearchMuseum : public CPopupDialog, public MuseumSearchPopup
{
    Q_OBJECT

public:
    static constexpr int kDialogWidth = 1170;
    static constexpr int kDialogHeight = 643;
    static constexpr int kMessageTickMs = 100;
    static constexpr int kCloseDelayMs = 1000;
    static constexpr int kThumbnailWidth = 160;
    static constexpr int kThumbnailHeight = 120;
    static constexpr int kListX = 979;
    static constexpr int kListY = 30;
    static constexpr int kListWidth = 162;
    static constexpr int kWideListWidth = 180;
    static constexpr int kListHeight = 602;
    // After this many matches the list widens to leave room for its scroll bar.
    static constexpr int kWideListHits = 4;

    enum class ViewState { ShowOne = 0, Playing = 10, Searching = 99 };
    // The six buttons of the play row, in their order on screen.
    enum class PlayButton { FastBackward, Backward, Pause, Forward, FastForward, Exit };

    explicit SearchMuseum(QWidget* parent = nullptr);
    ~SearchMuseum() override;

    // MuseumSearchPopup
    void SetSearchInfo(int deviceIndex, int channel, int date, int time, int resolutionClass, int gridFamily,
                       int videoFormatBit) override;
    void SetLatestTime(int hhmmss) override { m_latestTime = hhmmss; }
    void SetStreamFlag(quint8 flag) override { m_streamFlag = flag; }
    quint8 GetStreamFlag() const override { return m_streamFlag.load(); }
    int SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture,
                      bool match) override;
    void OnRecorderLost() override;
    int GetPlayState() const override;
    int GetChannel() const override;
    bool GetRecordFlag() const override { return m_record.load(); }
    int GetSpeedCode() const override;

    // The recorder the dialog talks to instead of the hub's session (null: the hub's again).
    void SetRecorder(MuseumRecorder* recorder) { m_recorderStandIn = recorder; }

    // What the dialog holds, for whoever looks at it.
    const MuseumGrid& Grid() const { return m_grid; }
    ViewState GetViewState() const;
    PlaybackMode GetPlayMode() const;
    int GetSpeedStep() const;
    int HitCount() const;
    int HitTime(int index) const;
    int GetReturnTime() const { return m_returnTime; }
    int GetLatestTime() const { return m_latestTime; }
    QString GetDateText() const { return m_dateText; }
    QString GetCurrentTimeText() const { return m_currentTimeText; }
    bool IsBusy() const { return m_busy; }
    bool IsShowingMatch() const { return m_showingMatch; }
    bool IsMessageTimerActive() const { return m_messageTimer.isActive(); }
    QImage LastThumbnail() const { return m_lastThumbnail; }
    CCameoMuseum* Tile() const { return m_tile; }
    CCameoSub* Strip() const { return m_strip; }
    QScrollArea* MatchList() const { return m_matchList; }
    QTimeEdit* StartEdit() const { return m_startEdit; }
    QTimeEdit* EndEdit() const { return m_endEdit; }
    QPushButton* SearchButton() const { return m_searchButton; }
    QPushButton* GotoButton() const { return m_gotoButton; }
    QPushButton* CloseButton() const { return m_closeButton; }
    QPushButton* PlayRowButton(PlayButton which) const { return m_playButtons[size_t(which)]; }

signals:
    void resizeAreaWidth();
    void resizeCameoHeight(int height);
    // Hand-overs from the search thread to the user-interface thread.
    void hitFound(QImage thumbnail, QString timeText, int slot);
    void progressChanged(QString text);
    void searchFinished();
    void pictureArrived(QImage picture, QString timeText, bool single);

public slots:
    void OnSearchBtn();
    void OnOkBtn();
    void OnCancelBtn();
    void OnPlayBFBtn();
    void OnPlayBBtn();
    void OnPlayPBtn();
    void OnPlayFBtn();
    void OnPlayFFBtn();
    void OnPlayExitBtn();
    void OnThumbSearch();
    void OnQuickSearch();
    void OnRecord();
    void OnMousePressEvent(int x, int y);
    void OnMouseMoveEvent(int x, int y);
    void OnMessageTimeOut();
    void resizeArea();
    void resizeCameo(int height);
    void timerOnCancel();
    void timerOnOk();
    // Picks the match under a dialog position; whether the position lies in the match list.
    bool OnSelectCameo(int x, int y);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void TakeHit(const QImage& thumbnail, const QString& timeText, int slot);
    void TakeProgress(const QString& text);
    void FinishSearch();
    void TakePicture(const QImage& picture, const QString& timeText, bool single);
    void CloseTimeOut();

private:
    void BuildWidgets();
    void BuildPlayRow(int rowY);
    void BuildRangeRow(int rowY);
    MuseumRecorder* Recorder();
    int DeviceIndex() const;
    void RedrawTile();
    void ClearArea();
    // A left press at a dialog position: starts an area drag or picks a match; false when
    // neither took it.
    bool LeftPressAt(QPoint pos);
    void DragAt(QPoint pos);
    void ResetMatchList();
    void EnablePlayRow(bool enable);
    void RecordOff();
    // Stops playing before the dialog closes.
    void StopPlaying();
    void Play(PlaybackMode mode, int speedStep, bool recordOff);
    void RequestPlayback(int time);
    // For the search thread: the progress box stands for the walk once it has opened; until then
    // it counts as open (it opens a moment after it is asked for).
    bool ProgressBoxOpen();
    int SearchDate() const;

    // The walk, shared with the session's search thread.
    mutable QMutex m_walkLock;
    MuseumSearchRun m_run;
    ViewState m_viewState = ViewState::ShowOne;
    PlaybackMode m_playMode = PlaybackMode::Idle;
    int m_speedStep = 1;
    int m_deviceIndex = -1;
    int m_channel = 0;

    std::atomic<bool> m_record{false};
    std::atomic<quint8> m_streamFlag{0};
    std::atomic<bool> m_boxOpened{false};

    // User-interface thread only.
    MuseumGrid m_grid;
    int m_searchTime = 0;
    int m_returnTime = 0;
    int m_latestTime = 0;
    int m_resolutionClass = 0;
    int m_gridFamily = -1;
    int m_videoFormatBit = 0;
    QString m_recorderName;
    QString m_cameraName;
    QString m_dateText;
    QString m_currentTimeText = QStringLiteral("00:00:00");
    QImage m_picture;
    QImage m_lastThumbnail;
    bool m_busy = false;
    bool m_showingMatch = false;
    bool m_closeByOk = false;
    QTimer m_messageTimer;
    QTimer m_closeTimer;
    MuseumRecorder* m_recorderStandIn = nullptr;
    SessionMuseumRecorder m_sessionRecorder;

    CCameoMuseum* m_tile = nullptr;
    CCameoSub* m_strip = nullptr;
    QScrollArea* m_matchList = nullptr;
    QTimeEdit* m_startEdit = nullptr;
    QTimeEdit* m_endEdit = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_gotoButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_hitLabel = nullptr;
    std::array<QPushButton*, 6> m_playButtons{};
};
