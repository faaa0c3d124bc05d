#pragma once
// New Account and the Property of an account node in the validation tree: the account dialog at
// the level its place in the tree gives, then the add or modify request with the dialog's values.
// The tree changes when the server has answered (the session's pending record).
#include <QModelIndex>

#include <memory>

class CAddValidationUser;
class QWidget;
class ValidationAccount;
class ValidationHub;
class ValidationSession;

class ValidationAccountEditor
{
public:
    ValidationAccountEditor(ValidationSession& session, ValidationHub& hub, QWidget* parent);

    // The account dialog for a new account under the node; nothing for a node that cannot hold
    // accounts.
    void Add(const QModelIndex& node);
    // The account dialog on the node: only shown for the logged-in account, else changed.
    void Modify(const QModelIndex& node);

    // The record a confirmed dialog gives: its values under the parent id, with the kind of its
    // authority; null when it chose no authority.
    static std::unique_ptr<ValidationAccount> Record(const CAddValidationUser& dialog, int parentId);

private:
    ValidationSession& m_session;
    ValidationHub& m_hub;
    QWidget* m_parent;
};
