#include "validation/validationlineactions.h"

#include "core/adminlog.h"
#include "validation/validationhub.h"
#include "validation/validationsession.h"

#include <QStringList>

void ValidationLineActions::Dispatch(const ValidationLine& line)
{
    ValidationSession& s = m_session;
    switch (line.Command()) {
    case ValidationCommand::AliveVMS: OnAlive(line.IntField(0), true, line.IntField(1) == 1); break;
    case ValidationCommand::Disconnect: OnAlive(line.IntField(0), false, true); break;
    case ValidationCommand::LoginFail:
        s.Hub().ShowMessage(QStringLiteral("Warring"),
                            QStringLiteral("This account is already in use.\nTerminates execution."));
        s.Hub().CloseMainWindow();
        break;
    case ValidationCommand::Notice: s.RequestNotices(0); break;
    case ValidationCommand::AddAccount:
    case ValidationCommand::ModifyAccount:
        s.Requests().OnNodeAccountInfo(line.Field(0), line.Field(1), line.Field(2),
                                       line.Command() == ValidationCommand::AddAccount ? 0 : 1);
        break;
    case ValidationCommand::AddDvr:
    case ValidationCommand::ModifyDvr:
        s.Requests().OnNodeDvrInfo(line.Field(0), line.Field(1),
                                   line.Command() == ValidationCommand::AddDvr ? 0 : 1);
        break;
    case ValidationCommand::DeleteAccount: OnRemove(line.IntField(0), false); break;
    case ValidationCommand::DeleteDvr: OnRemove(line.IntField(0), true); break;
    case ValidationCommand::MoveAccount: OnMoveAccount(line); break;
    case ValidationCommand::MoveDvr: OnMoveDvr(line); break;
    case ValidationCommand::ConnectDvr:
    case ValidationCommand::DisconnectDvr: {
        const QModelIndex node = s.Tree().FindDvr(line.IntField(0));
        if (node.isValid())
            s.Tree().SetDvrConnected(node, line.Command() == ValidationCommand::ConnectDvr);
        break;
    }
    case ValidationCommand::HealthCheck: {
        qCDebug(lcAdmin) << "healthcheck" << line.Field(0) << line.Field(1);
        const QModelIndex node = s.Tree().FindDvr(line.IntField(0));
        if (node.isValid())
            s.Tree().HealthCheck(node, line.Field(1));
        break;
    }
    case ValidationCommand::Message: OnMessage(line); break;
    case ValidationCommand::Event: OnEvent(line); break;
    default: break;
    }
}

void ValidationLineActions::OnAlive(int accountId, bool online, bool announce)
{
    ValidationTreeOps& tree = m_session.Tree();
    const QModelIndex node = tree.FindAccount(accountId);
    const ValidationAccount* record = tree.Record(node);
    if (!record)
        return;
    qCDebug(lcAdmin) << "alive" << accountId << online;
    tree.SetOnline(node, online);
    if (announce)
        emit m_session.EventLog(record->user_id, online ? QStringLiteral("login") : QStringLiteral("logout"));
}

void ValidationLineActions::OnRemove(int id, bool dvr)
{
    ValidationTreeOps& tree = m_session.Tree();
    const QModelIndex node = dvr ? tree.FindDvr(id) : tree.FindAccount(id);
    const ValidationAccount* record = tree.Record(node);
    if (!record || node == m_session.RootIndex())
        return;
    if (dvr)
        m_session.Hub().SiteBookDeleteDvr(id);
    else if (record->type == QLatin1String("group"))
        m_session.Hub().SiteBookDeleteGroup(id);
    tree.Remove(node);
}

void ValidationLineActions::OnMoveAccount(const ValidationLine& line)
{
    const int moved = line.IntField(0);
    if (moved == m_session.RootId())
        return;
    ValidationTreeOps& tree = m_session.Tree();
    const QModelIndex parent = tree.FindAccount(line.IntField(1));
    const QModelIndex node = tree.FindAccount(moved);
    if (!parent.isValid()) {
        OnRemove(moved, false);
        return;
    }
    if (!node.isValid()) {
        m_session.Requests().OnNodeLoginRefresh(line.Field(2), line.Field(3));
        return;
    }
    const QPersistentModelIndex keptParent(parent);
    const QPersistentModelIndex old(node);
    const QModelIndex copy = tree.CopySubtree(node, parent);
    if (ValidationAccount* record = tree.Record(copy))
        record->parent_id = line.IntField(1);
    tree.Remove(old);
    emit m_session.Expand(keptParent);
    const ValidationAccount* group = tree.Record(keptParent);
    if (group && group->type == QLatin1String("group"))
        m_session.Requests().OnNodeSitebook(group->user_id, group->password, 0);
}

void ValidationLineActions::OnMoveDvr(const ValidationLine& line)
{
    ValidationTreeOps& tree = m_session.Tree();
    const int moved = line.IntField(0);
    const QModelIndex parent = tree.FindAccount(line.IntField(1));
    const QModelIndex node = tree.FindDvr(moved);
    if (!parent.isValid()) {
        OnRemove(moved, true);
        return;
    }
    if (!node.isValid()) {
        m_session.Requests().OnNodeDvrInfo(line.Field(0), line.Field(1), 0);
        return;
    }
    const QPersistentModelIndex keptParent(parent);
    const QPersistentModelIndex old(node);
    const QModelIndex copy = tree.CopySubtree(node, parent);
    if (ValidationAccount* record = tree.Record(copy)) {
        record->parent_id = line.IntField(1);
        m_session.Hub().SiteBookDeleteDvr(moved);
        m_session.Hub().SiteBookAddDvr(*record, record->parent_id);
    }
    tree.Remove(old);
    emit m_session.Expand(keptParent);
}

void ValidationLineActions::OnMessage(const ValidationLine& line)
{
    const ValidationAccount* root = m_session.Tree().Record(m_session.RootIndex());
    if (!root || line.Field(0) != root->user_id)
        return;
    if (line.Field(1) == QLatin1String("0"))
        m_session.Line().SendLine(ValidationLine::MessageReceipt(m_session.RootId()));
    m_session.QueueServerMessage(line.Field(2));
}

void ValidationLineActions::OnEvent(const ValidationLine& line)
{
    if (!m_session.IsAdmin())
        return;
    QStringList texts;
    for (int field = 1; field <= 10; ++field) {
        if (line.Field(field).isEmpty())
            return;
        texts << line.Field(field);
    }
    // The monitoring list keeps an id table of 9999 slots: an id outside it has no row.
    const int accountId = line.IntField(1);
    if (accountId < 0 || accountId > kMaxAccountId) {
        qCDebug(lcAdmin) << "event for an account id out of range dropped" << accountId;
        return;
    }
    qCDebug(lcAdmin) << "event" << line.Field(1);
    emit m_session.MonitoringRow(texts);
}
