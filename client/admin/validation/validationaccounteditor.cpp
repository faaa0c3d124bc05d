#include "validation/validationaccounteditor.h"

#include "core/adminlog.h"
#include "core/validationaccount.h"
#include "validation/caddvalidationuser.h"
#include "validation/validationsession.h"

#include <QPersistentModelIndex>

ValidationAccountEditor::ValidationAccountEditor(ValidationSession& session, ValidationHub& hub, QWidget* parent)
    : m_session(session)
    , m_hub(hub)
    , m_parent(parent)
{}

std::unique_ptr<ValidationAccount> ValidationAccountEditor::Record(const CAddValidationUser& dialog, int parentId)
{
    const QString type = ValidationAuthority::Type(dialog.authority);
    // An account without a kind would reach the server as nothing it knows.
    if (type.isEmpty())
        return nullptr;
    auto record = std::make_unique<ValidationAccount>();
    record->parent_id = parentId;
    record->type = type;
    record->user_id = dialog.user_id;
    record->name = dialog.name;
    record->password = dialog.password;
    record->email = dialog.email;
    record->report_mail = dialog.report_mail;
    record->description = dialog.description;
    return record;
}

void ValidationAccountEditor::Add(const QModelIndex& node)
{
    const QPersistentModelIndex kept(node);
    const int level = m_session.Tree().LevelForChildOf(node);
    if (!m_session.Tree().Record(node) || level == 0)
        return;
    CAddValidationUser dialog(m_hub, m_parent);
    dialog.SetAuthorityChoices(level, Authority::None);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog may have been open while the node went away (a push of another console).
    const ValidationAccount* parent = m_session.Tree().Record(kept);
    if (!parent)
        return;
    auto record = Record(dialog, parent->id);
    if (!record) {
        qCDebug(lcAdmin) << "account without an authority not sent" << dialog.user_id;
        return;
    }
    m_session.AddAccount(kept, std::move(record));
}

void ValidationAccountEditor::Modify(const QModelIndex& node)
{
    const ValidationAccount* account = m_session.Tree().Record(node);
    if (!account || !ValidationTreeOps::IsAccountType(account->type))
        return;
    const QPersistentModelIndex kept(node.siblingAtColumn(0));
    CAddValidationUser dialog(m_hub, m_parent);
    dialog.setModal(true);
    if (node.siblingAtColumn(0) == QModelIndex(m_session.RootIndex())) {
        dialog.SetAccount(*account, ValidationAuthority::kViewLevel, 1);
        dialog.exec();
        return;
    }
    const QModelIndex parentNode = node.parent();
    const int level = m_session.Tree().LevelForChildOf(parentNode);
    const ValidationAccount* parent = m_session.Tree().Record(parentNode);
    if (!parent || level == 0)
        return;
    dialog.SetAccount(*account, level, 1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ValidationAccount* still = m_session.Tree().Record(kept);
    if (!still)
        return;
    auto record = Record(dialog, still->parent_id);
    if (!record)
        return;
    record->id = still->id;
    m_session.ModifyAccount(kept, std::move(record));
}
