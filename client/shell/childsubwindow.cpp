#include "shell/childsubwindow.h"

#include <QCloseEvent>

ChildSubWindow::ChildSubWindow(QWidget* parent)
    : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void ChildSubWindow::closeEvent(QCloseEvent* event)
{
    // The base asks the framed window first and ignores the event when the window refuses.
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
