#pragma once
// The shared message box's state: what the next or the open box shows, the wait flag and the
// count of open boxes. The texts are read by the boxes and by the sessions' threads, so they sit
// under a lock; the main window writes them and opens the box.
#include <QMutex>
#include <QString>

#include <atomic>

#include "widgets/messageboxhub.h"

class MessageBoxState : public MessageBoxHub
{
public:
    // Takes a notice: the option always, the text when it is not empty, the title when it is not
    // empty. True when a title came, so that a box should show it.
    bool Take(const QString& title, const QString& text, const QString& option);

    QString MessageTitle() const override;
    QString MessageText() const override;
    QString MessageOption() const override;
    quint8 GetWaitFlag() const override { return m_waitFlag.load(); }
    void SetWaitFlag(quint8 value) { m_waitFlag.store(value); }

    // True while any MessageDlg is open. Boxes report their opening and their closing (or
    // destruction, whichever comes first) so the state cannot outlive the last box.
    bool IsOpen() const { return m_openBoxes.load() > 0; }
    void MessageBoxOpened() override { ++m_openBoxes; }
    void MessageBoxClosed() override;

private:
    mutable QMutex m_lock;
    QString m_title;
    QString m_text;
    QString m_option;
    std::atomic<quint8> m_waitFlag{0};
    std::atomic<int> m_openBoxes{0};
};
