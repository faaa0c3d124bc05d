#pragma once
// The shared message box state that every MessageDlg follows: what the next or the open box
// shows, the wait flag, and the count of open boxes. The main window implements it and installs
// itself; a box without a hub shows only what it was given.
#include <QString>
#include <QtGlobal>

class MessageBoxHub
{
public:
    virtual ~MessageBoxHub() = default;

    virtual QString MessageTitle() const = 0;
    virtual QString MessageText() const = 0;
    virtual QString MessageOption() const = 0;
    virtual quint8 GetWaitFlag() const = 0;
    virtual void MessageBoxOpened() = 0;
    virtual void MessageBoxClosed() = 0;

    static MessageBoxHub* Instance();
    static void Install(MessageBoxHub* hub);
    // Counts the installs: a hub made where an earlier one stood has the same address but not
    // the same count.
    static quint64 Installs();
};
