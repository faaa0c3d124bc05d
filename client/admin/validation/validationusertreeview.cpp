#include "validation/validationusertreeview.h"

#include "core/treemodel.h"
#include "session/sitebook.h"
#include "sitebook/cadddvrdialog.h"
#include "validation/caddgroupdialog.h"
#include "validation/validationaccounteditor.h"
#include "validation/validationhub.h"
#include "validation/validationsession.h"
#include "widgets/messagedlg.h"

#include <QHeaderView>
#include <QMenu>

namespace {
const QString kDvr = QStringLiteral("dvr");
const QString kGroup = QStringLiteral("group");
const QString kNormal = QStringLiteral("normal");
} // namespace

ValidationUserTreeView::ValidationUserTreeView(ValidationSession& session, ValidationHub& hub, QWidget* parent)
    : QTreeView(parent)
    , m_session(session)
    , m_hub(hub)
{
    setModel(&m_session.Model());
    setColumnWidth(0, 200);
    setColumnWidth(1, 100);
    setColumnWidth(2, 50);
    setColumnWidth(3, 250);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &ValidationUserTreeView::customMenuRequested);
    connect(&m_session, &ValidationSession::Expand, this, [this](const QModelIndex& index) {
        if (index.isValid())
            expand(index);
        else
            expandAll();
    });
}

QAction* ValidationUserTreeView::AddPending(QMenu& menu, const QString& text)
{
    // pending: find dialog, recorder copy and list import of the validation tree
    QAction* action = menu.addAction(text);
    action->setEnabled(false);
    return action;
}

bool ValidationUserTreeView::BuildMenu(QMenu& menu, const QModelIndex& node)
{
    if (!m_hub.IsValidationConnected() || !node.isValid() || node.column() != 0)
        return false;
    const ValidationAccount* record = m_session.Tree().Record(node);
    if (!record)
        return false;
    m_menuIndex = node;
    const QString& type = record->type;
    if (m_session.RootType() == kNormal) {
        if (type == kDvr || type == kGroup)
            menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
        if (type == kGroup) {
            menu.addSeparator();
            AddPending(menu, QStringLiteral("Find DVR"));
        }
        return true;
    }
    if (type == kDvr) {
        AddPending(menu, QStringLiteral("Copy DVR"));
        menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
        menu.addAction(QStringLiteral("Delete"), this, &ValidationUserTreeView::OnDeleteItem);
        return true;
    }
    const bool root = type == QLatin1String("root");
    const bool owner = type == QLatin1String("admin") || type == QLatin1String("super") || type == kGroup;
    if (!root && !owner && type != kNormal)
        return true;
    menu.addAction(QStringLiteral("New Group"), this, &ValidationUserTreeView::OnAddGroup);
    if (root || owner)
        menu.addAction(QStringLiteral("New Account"), this, &ValidationUserTreeView::OnAddAccount);
    if (!root)
        menu.addAction(QStringLiteral("New DVR"), this, &ValidationUserTreeView::OnAddDvr);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Property"), this, &ValidationUserTreeView::OnModifyItem);
    // The logged-in account's own node is never offered for deletion.
    if (!root && m_session.CanDelete(node))
        menu.addAction(QStringLiteral("Delete"), this, &ValidationUserTreeView::OnDeleteItem);
    menu.addSeparator();
    AddPending(menu, QStringLiteral("Find DVR"));
    if (!root)
        AddPending(menu, QStringLiteral("Import DVR list"));
    return true;
}

void ValidationUserTreeView::customMenuRequested(const QPoint& point)
{
    QModelIndex node = currentIndex();
    node = node.isValid() ? node.siblingAtColumn(0) : QModelIndex(m_session.RootIndex());
    QMenu menu(this);
    if (!BuildMenu(menu, node) || menu.isEmpty())
        return;
    menu.exec(mapToGlobal(point + QPoint(0, 20)));
}

void ValidationUserTreeView::OnAddGroup()
{
    const ValidationAccount* parent = m_session.Tree().Record(m_menuIndex);
    if (!parent)
        return;
    CAddGroupDialog dialog(m_hub, this);
    dialog.SetGroup(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto group = std::make_unique<ValidationAccount>();
    group->parent_id = parent->id;
    group->type = kGroup;
    group->name = dialog.name;
    group->description = dialog.description;
    group->report_mail.clear();
    m_session.AddAccount(m_menuIndex, std::move(group));
}

void ValidationUserTreeView::OnAddAccount()
{
    ValidationAccountEditor(m_session, m_hub, this).Add(m_menuIndex);
}

void ValidationUserTreeView::OnAddDvr()
{
    const ValidationAccount* parent = m_session.Tree().Record(m_menuIndex);
    if (!parent)
        return;
    CAddDvrDialog dialog(this);
    dialog.setEditable(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto dvr = std::make_unique<ValidationAccount>();
    dvr->parent_id = parent->id;
    dvr->type = kDvr;
    dvr->name = dialog.name;
    dvr->dvr_host = dialog.addr;
    dvr->dvr_port = dialog.port;
    dvr->dvr_login_id = dialog.id;
    dvr->dvr_password = dialog.password;
    dvr->dvr_permission_live = dialog.permissionLive;
    dvr->dvr_permission_search = dialog.permissionSearch;
    dvr->dvr_permission_ptz = dialog.permissionPtz;
    dvr->dvr_permission_backup = dialog.permissionBackup;
    dvr->dvr_permission_config = dialog.permissionConfig != 0;
    dvr->use_ssl = dialog.use_ssl;
    dvr->dvr_option = dialog.quality;
    m_session.AddDvr(m_menuIndex, std::move(dvr));
}

void ValidationUserTreeView::OnModifyItem()
{
    const ValidationAccount* record = m_session.Tree().Record(m_menuIndex);
    if (!record)
        return;
    const bool readOnly = m_session.RootType() == kNormal;
    if (record->type == kGroup) {
        CAddGroupDialog dialog(m_hub, this);
        dialog.name = record->name;
        dialog.description = record->description;
        dialog.SetGroup(readOnly);
        if (dialog.exec() != QDialog::Accepted)
            return;
        auto changed = std::make_unique<ValidationAccount>(*record);
        changed->name = dialog.name;
        changed->description = dialog.description;
        m_session.ModifyAccount(m_menuIndex, std::move(changed));
        return;
    }
    if (ValidationTreeOps::IsAccountType(record->type)) {
        ValidationAccountEditor(m_session, m_hub, this).Modify(m_menuIndex);
        return;
    }
    if (record->type != kDvr)
        return;
    SiteBook entry;
    entry.name = record->name;
    entry.addr = record->dvr_host;
    entry.port = record->dvr_port;
    entry.id = record->dvr_login_id;
    entry.password = record->dvr_password;
    entry.permissionLive = record->dvr_permission_live;
    entry.permissionSearch = record->dvr_permission_search;
    entry.permissionPtz = record->dvr_permission_ptz;
    entry.permissionBackup = record->dvr_permission_backup;
    entry.permissionConfig = record->dvr_permission_config ? 1 : 0;
    CAddDvrDialog dialog(this);
    dialog.setSiteBook(&entry);
    dialog.setEditable(!readOnly);
    if (dialog.exec() != QDialog::Accepted || readOnly)
        return;
    auto changed = std::make_unique<ValidationAccount>(*record);
    changed->name = dialog.name;
    changed->dvr_host = dialog.addr;
    changed->dvr_port = dialog.port;
    changed->dvr_login_id = dialog.id;
    changed->dvr_password = dialog.password;
    changed->dvr_permission_live = dialog.permissionLive;
    changed->dvr_permission_search = dialog.permissionSearch;
    changed->dvr_permission_ptz = dialog.permissionPtz;
    changed->dvr_permission_backup = dialog.permissionBackup;
    changed->dvr_permission_config = dialog.permissionConfig != 0;
    m_session.ModifyDvr(m_menuIndex, std::move(changed));
}

void ValidationUserTreeView::OnDeleteItem()
{
    const ValidationAccount* record = m_session.Tree().Record(m_menuIndex);
    if (!record || !m_session.CanDelete(m_menuIndex))
        return;
    // The server deletes everything below the node too: ask first.
    MessageDlg box(this, MessageDlg::Question);
    box.SetText(QStringLiteral("Validation"), QStringLiteral("Delete \"%1\" and everything below it?")
                                                  .arg(record->name.isEmpty() ? record->user_id : record->name));
    box.setModal(true);
    if (box.exec() != 1)
        return;
    m_session.Delete(m_menuIndex);
}
