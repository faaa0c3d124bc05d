#include "backup/jobmenu.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMenu>

void ShowJobMenu(QWidget* parent, const QPoint& globalPos, const JobMenuActions& actions)
{
    const QIcon icon(QStringLiteral(":/res/Resource/21.png"));
    QMenu menu(parent);
    auto translated = [](const char* text) { return QCoreApplication::translate("JobMenu", text); };
    QAction* selected = menu.addAction(icon, translated("Remove selected item"));
    QAction* complete = menu.addAction(icon, translated("Remove complete items"));
    menu.addSeparator();
    QAction* all = menu.addAction(icon, translated("Remove all items"));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == selected && actions.removeSelected)
        actions.removeSelected();
    else if (chosen == complete && actions.removeComplete)
        actions.removeComplete();
    else if (chosen == all && actions.removeAll)
        actions.removeAll();
}
