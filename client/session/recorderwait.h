#pragma once
// The wait of a box that stands while a recorder answers (the playback information, the day's
// record lists and index, the first played picture). Every request the box waits for arms the
// limit again; the answer settles it. A recorder that stays silent past the limit, or whose
// reply cannot be read, ends the wait at once: the session then tells the user and the box can
// be closed, so no box outlives the recorder's answer or the limit.
#include <QObject>

class QTimer;

class RecorderWait : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLimitMs = 10000;

    enum class End { TimedOut, Refused };

    explicit RecorderWait(QObject* parent = nullptr);

    // A request went out whose answer the box waits for: the limit starts again.
    void Arm();
    // A further request of the same exchange went out: the limit starts again while waiting.
    void Continue();
    // The answer the box waited for arrived: nothing is waited for any more.
    void Settle();
    // A reply that cannot be read arrived while waiting: the wait ends now. Replies of the same
    // exchange that follow are ignored until the next Arm.
    void Refuse();
    bool IsWaiting() const;
    bool IsRefused() const { return m_refused; }
    void SetLimitMs(int ms);

signals:
    void ended(RecorderWait::End why);

private:
    void OnLimit();

    QTimer* m_timer = nullptr;
    bool m_refused = false;
};
