#pragma once
// The multi-document sub-window that frames a live, search or e-map window. It is not deleted
// when it closes: it reports an accepted close, and the hub then frees the window's slot and
// destroys window and frame itself, so no window is ever destroyed behind the hub's back.
#include <QMdiSubWindow>

class ChildSubWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit ChildSubWindow(QWidget* parent = nullptr);

signals:
    // The close was accepted (the framed window agreed to close).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};
