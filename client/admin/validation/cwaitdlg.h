#pragma once
// The main window's empty wait window: a fixed-size tool window with a close button, made hidden
// at start-up and owned by the main window.
#include <QDialog>

class CWaitDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CWaitDlg(QWidget* parent = nullptr);

    // Makes the window hidden as a child of its owner, which deletes it.
    static CWaitDlg* CreateHidden(QWidget* owner);
};
