#pragma once
// The remote playback window: one recorder's recorded video in a playback grid. It decides which
// day and time are played (the day already chosen, or the operator's choice in SearchInfo or the
// record calendar) and hands every request to the recorder's session; the session calls it back
// as its playback view.
#include <QDialog>
#include <QPointer>

#include "session/playbackview.h"

class RecorderSession;

class SearchView : public QDialog, public PlaybackView
{
    Q_OBJECT

public:
    static constexpr int kInfoDelayMs = 500;

    SearchView(QWidget* parent, int slot);
    ~SearchView() override;

    int GetSlot() const { return m_slot; }
    int GetDeviceIndex() const { return m_deviceIndex; }
    QWidget* GetGrid() const { return m_grid; }
    int GetReselect() const { return m_reselect; }
    // The recorder whose playback the window shows, -1 when none.
    int ShownRecorder() const;

    // Starts the window on a recorder: its channels fill the grid, the window becomes the
    // recorder's playback view and the recorder connects for playback. A date and time (both not
    // -1) are kept as the play start, so that the day loads without asking.
    void StartSearch(int deviceIndex, int date, int time);
    // Stops the shown recorder's playback and closes every cell.
    void ReleaseRecorder();

    // PlaybackView
    void SetPlaybackInfo(int deviceIndex, bool dateChosen) override;
    void NotifyTimeList() override;
    bool IsCalendarOpen() const override { return m_calendarOpen != 0; }
    bool IsPlaybackStarted() const override { return m_started != 0; }
    void MarkPlaybackStarted(const QString& recorderName) override;

    // A code of the main window's playback bar; only while the recorder plays in this window.
    void SetPlaybackControl(int code);

signals:
    void setTimeList();

public slots:
    void timerOnPlaybackInfo();
    void OnSelectDate();
    void getTimeList(int date);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RecorderSession* Device() const;
    bool IsPopup() const;
    void LoadChosenDay(RecorderSession* device);
    void ClearGridsUnlessPlaying(RecorderSession* device);
    void RunCalendar(RecorderSession* device);

    int m_slot = 0;
    int m_deviceIndex = -1;
    QPointer<QWidget> m_grid;
    quint8 m_calendarOpen = 0;
    int m_reselect = 0;
    quint8 m_started = 0;
};
