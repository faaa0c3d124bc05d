#pragma once
// What both remote media backup pages share: the recorder they are bound to (by a site book drop
// or by the window), the range form, the table, the media choice and the Start/Stop button, and a
// run of MediaBackupFlow that locks the page while the recorder writes. A page adds how it sizes
// what it writes and how it starts the recorder.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "backup/mediabackupflow.h"

class MediaRangeForm;
class QComboBox;
class QPushButton;
class QTableView;
class RecorderSession;
class SiteBook;

class MediaBackupPage : public QWidget
{
    Q_OBJECT
public:
    // Asks the user (title, text, with Cancel instead of No when the flag is set); true for
    // Yes or OK. Tests answer it without a dialog.
    using Question = std::function<bool(const QString& title, const QString& text, bool okCancel)>;

    ~MediaBackupPage() override;

    void SetDeviceIndex(int deviceIndex) { m_deviceIndex = deviceIndex; }
    int GetDeviceIndex() const { return m_deviceIndex; }
    // Binds the page to its recorder's session (the one at the device index) and enables it. A
    // page bound before lets the earlier session go, so no answer reaches it twice.
    void AttachDevice();
    // What a drop of this record does.
    void DropRecord(const SiteBook& record);
    void SetQuestion(Question question) { m_question = std::move(question); }
    // Ends a run: the page unlocks, and a running recorder is told to stop and close its medium.
    void ResetBackup();
    // Start when idle, Stop while running.
    virtual void OnBackupStart() = 0;

    bool IsRunning() const { return m_running; }
    QString StatusText() const;
    QPushButton* ChannelButton(int channel) const;
    QPushButton* StartButton() const { return m_startButton; }
    QComboBox* MediaCombo() const { return m_mediaCombo; }

public slots:
    void OnConnected(QString name, int index);
    void ChannelAll();
    void SetRecvCDMedia(short state, short freeMB);
    void OnEraseResult(char result);
    void OnBurningRate(char state, char percent, char discs, char discIndex);

protected:
    // `sendStart` sends the start of the first medium; `totalMB` gives the megabytes a run writes.
    MediaBackupPage(QWidget* parent, std::function<void()> sendStart, std::function<int()> totalMB);

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    RecorderSession* Device() const;
    void Bind(RecorderSession* device);
    void SetStatus(const QString& text);
    void EnableControls(bool enabled);
    // Stops a run when Stop is pressed; false when no run was going.
    bool StopIfRunning();
    // Begins a run unless `problem` says what keeps it from starting (shown to the user).
    void BeginRun(const QString& problem);
    // The medium the run writes to (0 CD/DVD, 2 USB storage).
    quint8 MediaKind() const { return m_flow.MediaKind(); }

    // The page's own answer to its size request, connected when the page binds to a session.
    virtual void BindSizeAnswer(RecorderSession* device) = 0;
    // The page lets an earlier session go: answers it still waits for will not come.
    virtual void ForgetSizeAnswers() {}
    // The page's own buttons beside the range form, locked with it during a run.
    virtual void EnablePageButtons(bool enabled) = 0;

    std::unique_ptr<MediaRangeForm> m_form;
    QTableView* m_table = nullptr;

private:
    bool Ask(const QString& title, const QString& text, bool okCancel);

    MediaBackupFlow m_flow;
    QPointer<RecorderSession> m_bound;
    Question m_question;
    QComboBox* m_mediaCombo = nullptr;
    QPushButton* m_startButton = nullptr;
    int m_deviceIndex = -1;
    bool m_running = false;
};
