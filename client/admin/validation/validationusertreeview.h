#pragma once
// The account tree of the validation console: accounts, groups, recorders and their camera and
// disk rows below the logged-in account, with the context menu of the logged-in account's role.
// Its commands go to the session, which changes the tree when the server has answered.
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QTreeView>

class QMenu;
class ValidationHub;
class ValidationSession;

class ValidationUserTreeView : public QTreeView
{
    Q_OBJECT
public:
    ValidationUserTreeView(ValidationSession& session, ValidationHub& hub, QWidget* parent = nullptr);

    // Fills the menu for the node (the entries of the logged-in account's role); false when no
    // menu opens (not connected, no node, no record).
    bool BuildMenu(QMenu& menu, const QModelIndex& node);

public slots:
    void customMenuRequested(const QPoint& point);
    void OnAddGroup();
    void OnAddAccount();
    void OnAddDvr();
    void OnModifyItem();
    void OnDeleteItem();

private:
    QAction* AddPending(QMenu& menu, const QString& text);

    ValidationSession& m_session;
    ValidationHub& m_hub;
    QPersistentModelIndex m_menuIndex;
};
