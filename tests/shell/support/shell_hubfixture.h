#pragma once
// A fresh main window hub per test, with helpers to register recorders that carry a named
// entry record, and a watcher that looks at the message boxes while they run modally.
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/mainwindow.h"
#include "support/named_recorders.h"
#include "widgets/messagedlg.h"

// The machine running the tests is busy with the other tests; above 70 % a hub decodes only the
// key frames of live video. That rule has tests of its own: hubs of the other tests read the
// processor as idle, so their live video does not depend on what else runs.
void HoldProcessorLoadOff(MainWindow& hub);

class ShellHubTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A recorder session item (kind 0) whose entry record carries the name.
    CModuleDevice* AddRecorder(const QString& name);
    // Destroys a recorder made by AddRecorder.
    void DeleteRecorder(CModuleDevice* device);

    std::unique_ptr<MainWindow> hub;

private:
    NamedRecorders m_recorders;
};

// What a tick of the watcher saw of the open message box.
struct BoxSample
{
    QPointer<MessageDlg> box;
    int id = 0; // 1 for the first box the watcher saw, 2 for the next, ...
    int mode = -1;
    QString title;
    QString text;
    QString buttonText;
    bool buttonEnabled = false;
    bool visible = false;
    int liveBoxes = 0;
};

// Looks every few milliseconds, also inside the modal loops of the boxes, at the message boxes
// that exist, records what the newest one shows and lets the test act on it.
class BoxWatcher : public QObject
{
public:
    using Action = std::function<void(MessageDlg* box, const BoxSample& sample)>;

    explicit BoxWatcher(Action action = {});
    ~BoxWatcher();

    const std::vector<BoxSample>& Samples() const { return m_samples; }
    // Number of distinct boxes seen, and the most that existed at one time.
    int BoxesSeen() const;
    int MostAtOnce() const;

    // Number of times a message box was shown, counted from its show events, so that a box
    // that opens and closes between two ticks is counted too.
    int BoxesShown() const { return m_shown; }

    static QList<MessageDlg*> LiveBoxes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tick();

    Action m_action;
    QTimer m_timer;
    std::vector<BoxSample> m_samples;
    int m_nextId = 1;
    int m_shown = 0;
};
