#pragma once
#include "core/validationaccount.h"

#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

#include <deque>

// The adds of a paste or a list import, sent one after another: each waits for the reply to the
// one before. Keeps what came of them for the one report at the end.
class ValidationAddQueue
{
public:
    struct Step
    {
        enum class Kind { Group, Dvr };
        Kind kind = Kind::Dvr;
        // Where the group is looked for (and made when missing), or where the recorder goes.
        QPersistentModelIndex under;
        // A recorder of an import goes into the group of this name below `under`.
        QString groupName;
        ValidationAccount record;
    };

    void Push(Step step);
    bool IsEmpty() const { return m_steps.empty(); }
    // True from the first Push until Finish.
    bool IsActive() const { return m_active; }
    Step Take();

    void Added() { ++m_added; }
    void Failed(const QString& name);
    // A row of an imported list that was not sent, and why; the batch counts as begun.
    void Refused(int row, const QString& reason);
    // The server stopped answering: the steps left are dropped and counted as not sent.
    void Abort();
    int AddedCount() const { return m_added; }
    // What a user is told at the end when anything went wrong; empty when all went well.
    QString Report() const;
    // Ends the batch and forgets its counts.
    void Finish();

private:
    std::deque<Step> m_steps;
    bool m_active = false;
    int m_added = 0;
    int m_notSent = 0;
    QStringList m_failed;
    QStringList m_refused;
};
