#pragma once
// The part the account and firmware runs share: the checked rows of the manager's list worked
// one recorder at a time. Each row gets "Wait" and its connection with the run's purpose; a row
// whose recorder has no session any more gets "Connect fail" and the walk goes on to the next
// checked row. States reported by any other recorder than the current one are not the run's.
#include <QString>

#include <functional>

class ManagerRows;
class RecorderAdmin;

class RecorderWalk
{
public:
    RecorderWalk(RecorderAdmin& admin, ManagerRows& rows, int purpose, QString waitText, QString connectFailText);

    int Current() const { return m_current; }
    bool IsActive() const;
    // True when `recorder` is the recorder of the row being worked on.
    bool IsCurrent(int recorder) const;

    // Starts from the first row; false when no checked row could be connected.
    bool Begin(const std::function<void()>& beforeConnect);
    // Leaves the current row and starts the next checked one; false when none remains.
    bool Advance(const std::function<void()>& beforeConnect);
    // Connects the current row's recorder again (its session asked to start over); false, with
    // "Connect fail" on the row, when it has no session any more.
    bool Reconnect();
    void SetStatus(const QString& status);
    void Finish() { m_current = -1; }

private:
    bool StartNext(const std::function<void()>& beforeConnect);

    RecorderAdmin& m_admin;
    ManagerRows& m_rows;
    int m_purpose;
    QString m_waitText;
    QString m_connectFailText;
    int m_current = -1;
};
