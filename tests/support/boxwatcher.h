#pragma once
// The message boxes a test sees while they run, modally or not.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

#include "widgets/messagedlg.h"

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
