#include "validation/validationsession.h"

#include "core/adminlog.h"
#include "core/validationaccountreader.h"
#include "sitebook/recorderlistcheck.h"
#include "sitebook/recorderlistfile.h"
#include "validation/centralreply.h"
#include "validation/validationhub.h"
#include "validation/validationlineactions.h"

#include <QJsonArray>
#include <QPointer>

#include <algorithm>

namespace {
const QString kDvr = QStringLiteral("dvr");
const QString kGroup = QStringLiteral("group");

CentralRequests::Account AccountFields(const ValidationAccount& a)
{
    return {QString::number(a.parent_id),
            QString::number(a.id),
            a.type,
            a.user_id,
            a.name,
            a.password,
            a.email,
            a.report_mail,
            a.description};
}

CentralRequests::Dvr DvrFields(const ValidationAccount& d)
{
    return {QString::number(d.parent_id),
            QString::number(d.id),
            d.name,
            d.dvr_host,
            d.dvr_port,
            d.dvr_login_id,
            d.dvr_password,
            QString::number(d.dvr_permission_live),
            QString::number(d.dvr_permission_search),
            QString::number(d.dvr_permission_ptz),
            QString::number(d.dvr_permission_backup),
            d.dvr_permission_config ? QStringLiteral("1") : QStringLiteral("0")};
}
} // namespace

ValidationSession::ValidationSession(ValidationHub& hub, QObject* parent)
    : QObject(parent)
    , m_hub(hub)
    , m_model(ValidationTreeOps::Headers())
    , m_tree(m_model)
    , m_http(*this)
    , m_line(*this)
    , m_requests([this](int id, const QString& path, int tag, const QByteArray& body, bool post) {
        if (post)
            m_http.QueuePost(id, path, tag, body);
        else
            m_http.QueuePut(id, path, tag, body);
    })
{
    m_lineActions = std::make_unique<ValidationLineActions>(*this);
    m_line.SetRootIdSource([this] { return RootId(); });
    connect(&m_http, &CNetwork_http::OnResult, this, &ValidationSession::OnRecvNode);
    connect(&m_line, &ValidationClient::LineReceived, this,
            [this](const ValidationLine& line) { m_lineActions->Dispatch(line); });
    connect(&m_line, &ValidationClient::ConnectedChanged, this, &ValidationSession::ConnectedChanged);
    connect(&m_line, &ValidationClient::ConnectionFailed, this, [this] {
        m_hub.ShowMessage(QStringLiteral("Validation"), QStringLiteral("Validation Server connection fail."));
    });
    connect(&m_line, &ValidationClient::ConnectionLost, this, [this] {
        // The box waits for the operator while the line keeps trying: a loss meanwhile is the
        // same news and adds no box.
        if (m_lostBoxOpen)
            return;
        m_lostBoxOpen = true;
        const QPointer<ValidationSession> alive(this);
        m_hub.ShowMessage(QStringLiteral("Validation"),
                          QStringLiteral("Validation server has been disconnected."));
        if (alive)
            m_lostBoxOpen = false;
    });
    connect(&m_line, &ValidationClient::Reconnected, this, [this] {
        m_requests.OnNodeLoginRefresh(m_userId, m_password);
        m_requests.OnNodeSitebook(m_userId, m_password, 0);
    });
    m_pendingLimit.setSingleShot(true);
    m_pendingLimit.setInterval(kReplyLimitMs);
    connect(&m_pendingLimit, &QTimer::timeout, this, &ValidationSession::OnPendingExpired);
}

ValidationSession::~ValidationSession() = default;

bool ValidationSession::IsClosing() const
{
    return m_hub.IsClosing();
}

void ValidationSession::OnDatabaseServerProbe(bool connected)
{
    if (!connected)
        m_hub.ShowMessage(QStringLiteral("Warning"), CentralReply::TransportText(m_http.LastOutcome()));
    emit ProbeAnswered(connected);
}

void ValidationSession::SetValidationConnected(bool connected)
{
    m_hub.SetValidationConnected(connected);
}

void ValidationSession::ConnectDatabaseServer(const QString& host, const QString& port)
{
    m_http.SetServer(host, port);
    m_http.CheckServer();
}

void ValidationSession::Login(const QString& userId, const QString& password, const QString& validationHost,
                              int validationPort)
{
    m_validationHost = validationHost;
    m_validationPort = validationPort;
    m_requests.OnNodeLogin(userId, password);
}

int ValidationSession::RootId() const
{
    const ValidationAccount* root = m_tree.Record(m_root);
    return root ? root->id : 0;
}

QString ValidationSession::RootType() const
{
    const ValidationAccount* root = m_tree.Record(m_root);
    return root ? root->type : QString();
}

void ValidationSession::Warn(const QString& text)
{
    m_hub.ShowWarning(QStringLiteral("Warring"), text);
}

void ValidationSession::OnRecvNode(int id, const QString& text, int tag)
{
    const CentralReply reply(text);
    switch (id) {
    case CentralRequests::kAccountAdd:
    case CentralRequests::kDvrAdd: OnAddResult(id, reply, tag); break;
    case CentralRequests::kAccountModify:
    case CentralRequests::kDvrModify: OnModifyResult(id, reply, tag); break;
    case CentralRequests::kAccountInfo:
    case CentralRequests::kDvrInfo: OnInfoResult(id, reply, tag); break;
    case CentralRequests::kAccountDelete:
    case CentralRequests::kDvrDelete: OnDeleteResult(id, reply, tag); break;
    case CentralRequests::kNoticeAdd:
    case CentralRequests::kNoticeModify:
    case CentralRequests::kNoticeDelete:
        if (reply.IsObject() && reply.Object().value(QLatin1String("result")).toString() == QLatin1String("fail"))
            Warn(id == CentralRequests::kNoticeAdd      ? QStringLiteral("Notice registration error")
                 : id == CentralRequests::kNoticeModify ? QStringLiteral("Notice modify error")
                                                        : QStringLiteral("Notice delete error"));
        break;
    case CentralRequests::kNoticeList:
        // Requests go out on parallel connections: an answer to anything but the latest request
        // is stale.
        if (CentralRequests::NoticeTagSequence(tag) == m_noticeSequence)
            emit NoticeList(text, CentralRequests::NoticeTagPage(tag));
        break;
    case CentralRequests::kEvent: OnEventResult(reply); break;
    case CentralRequests::kLogin:
        if (tag == 0)
            OnLoginResult(reply);
        else if (tag == 1 && !reply.Failed())
            RefreshTree(reply);
        break;
    case CentralRequests::kSitebook:
        if (tag != 0)
            break;
        if (reply.Failed()) {
            // The site book stays as it is: an empty one would be written over sitebook.xml.
            m_hub.ShowMessage(QStringLiteral("Validation"),
                              QStringLiteral("The central server's site book could not be loaded.\n%1\n"
                                             "The site book is kept as it was.")
                                  .arg(reply.WhyFailed(m_http.LastOutcome())));
            break;
        }
        qCDebug(lcAdmin) << text;
        m_hub.SiteBookLoadServer(text);
        break;
    default: break;
    }
}

void ValidationSession::RequestNotices(int page)
{
    m_noticeSequence = (m_noticeSequence + 1) & CentralRequests::kNoticeSequenceMask;
    m_requests.OnNodeNoticeList(std::clamp(page, 0, CentralRequests::kLastNoticePage), m_noticeSequence);
}

void ValidationSession::OnLoginResult(const CentralReply& reply)
{
    if (reply.Failed()) {
        // A refusal shows the server's words; a reply that never came whole says what went wrong.
        m_hub.ShowMessage(QStringLiteral("Warning"), reply.WhyFailed(m_http.LastOutcome()));
        return;
    }
    const QJsonObject object = reply.Object();
    m_userId = object.value(QLatin1String("user_id")).toString();
    m_password = object.value(QLatin1String("password")).toString();
    m_accountId = QString::number(object.value(QLatin1String("id")).toInt());
    emit LoggedIn();
    m_tree.Clear();
    m_root = m_tree.Insert(QModelIndex(), ValidationAccountReader::ReadLoginAccount(object, true));
    m_tree.SetOnline(m_root, true);
    InsertChildren(m_root, object);
    emit RootChanged(IsAdmin());
    emit Expand(QModelIndex());
    m_line.Connect(m_validationHost, quint16(m_validationPort));
    m_requests.OnNodeSitebook(m_userId, m_password, 0);
    m_line.StartTimer();
}

void ValidationSession::RefreshTree(const CentralReply& reply)
{
    const QJsonObject object = reply.Object();
    if (object.value(QLatin1String("id")).toInt(0) == RootId()) {
        m_tree.RemoveChildren(m_root);
        InsertChildren(m_root, object);
        emit Expand(QModelIndex());
        return;
    }
    auto record = ValidationAccountReader::ReadLoginAccount(object, false);
    const QModelIndex parent = m_tree.FindAccount(record->parent_id);
    if (!parent.isValid())
        return;
    const QString userId = record->user_id;
    const QString password = record->password;
    const QModelIndex node = m_tree.Insert(parent, std::move(record));
    InsertChildren(node, object);
    emit Expand(parent);
    m_requests.OnNodeSitebook(userId, password, 1);
}

void ValidationSession::InsertChildren(const QModelIndex& parent, const QJsonObject& object)
{
    // Handles of the inserted nodes, alive while their children are inserted below them.
    std::vector<std::unique_ptr<QPersistentModelIndex>> handles;
    handles.push_back(std::make_unique<QPersistentModelIndex>(parent));
    const QJsonArray children = object.value(QLatin1String("children")).toArray();
    for (const QJsonValue& child : children) {
        if (!child.isObject())
            continue;
        ValidationAccountReader::ReadTree(
            child.toObject(), handles.front().get(),
            [&](std::unique_ptr<ValidationAccount> record, void* under) -> void* {
                const QModelIndex at = *static_cast<QPersistentModelIndex*>(under);
                handles.push_back(std::make_unique<QPersistentModelIndex>(m_tree.Insert(at, std::move(record))));
                return handles.back().get();
            });
    }
}

bool ValidationSession::IsCurrent(int tag) const
{
    return m_pending && CentralRequests::TagSequence(tag) == m_sequence;
}

void ValidationSession::StartPending(const QModelIndex& index, std::unique_ptr<ValidationAccount> record)
{
    m_stepPending = false;
    m_moving = false;
    m_moveTarget = QPersistentModelIndex();
    m_pending = std::move(record);
    m_pendingIndex = index;
    ++m_sequence;
    m_hub.SetLocalChange(1);
    m_pendingLimit.start();
}

void ValidationSession::EndPending()
{
    m_pending.reset();
    m_pendingIndex = QPersistentModelIndex();
    m_pendingLimit.stop();
    m_stepPending = false;
    m_moving = false;
    m_moveTarget = QPersistentModelIndex();
    if (m_queue.IsActive())
        QTimer::singleShot(0, this, &ValidationSession::RunNextStep);
    else if (m_deletes.isEmpty())
        m_hub.SetLocalChange(0);
}

void ValidationSession::OnPendingExpired()
{
    if (!m_pending)
        return;
    qCDebug(lcAdmin) << (m_pending->type == kDvr ? "Add dvr fail" : "Add account fail") << m_pending->name;
    // A reply after this carries an old sequence number and is dropped.
    ++m_sequence;
    const bool step = m_stepPending;
    const bool dvr = m_pending->type == kDvr;
    const QString name = m_pending->name;
    EndPending();
    // A server that lets one step go unanswered is not sent the rest.
    if (step) {
        if (dvr)
            m_queue.Failed(name);
        m_queue.Abort();
    }
}

void ValidationSession::AddAccount(const QModelIndex& parent, std::unique_ptr<ValidationAccount> account)
{
    const CentralRequests::Account fields = AccountFields(*account);
    StartPending(parent, std::move(account));
    m_requests.OnNodeAccountAdd(fields, m_sequence);
}

void ValidationSession::AddDvr(const QModelIndex& parent, std::unique_ptr<ValidationAccount> dvr)
{
    const CentralRequests::Dvr fields = DvrFields(*dvr);
    StartPending(parent, std::move(dvr));
    m_requests.OnNodeDvrAdd(fields, m_sequence);
}

void ValidationSession::ModifyAccount(const QModelIndex& node, std::unique_ptr<ValidationAccount> account)
{
    const CentralRequests::Account fields = AccountFields(*account);
    const int tag = account->type == kGroup ? 1 : 0;
    StartPending(node, std::move(account));
    m_requests.OnNodeAccountModify(fields, CentralRequests::Tag(tag, m_sequence));
}

void ValidationSession::ModifyDvr(const QModelIndex& node, std::unique_ptr<ValidationAccount> dvr)
{
    const CentralRequests::Dvr fields = DvrFields(*dvr);
    StartPending(node, std::move(dvr));
    m_requests.OnNodeDvrModify(fields, CentralRequests::Tag(0, m_sequence));
}

void ValidationSession::OnAddResult(int id, const CentralReply& reply, int tag)
{
    if (!IsCurrent(tag)) {
        qCDebug(lcAdmin) << "late add reply dropped" << id << tag;
        return;
    }
    const bool dvr = id == CentralRequests::kDvrAdd;
    const bool step = m_stepPending;
    if (!reply.AddSucceeded()) {
        const QString name = m_pending->name;
        EndPending();
        if (step) {
            // One report at the end of the batch instead of a box per row; a reply that did not
            // come whole means the server is gone, and the rest is not sent.
            qCDebug(lcAdmin) << (dvr ? "Add dvr fail" : "Add group fail") << name;
            if (dvr)
                m_queue.Failed(name);
            if (!reply.IsObject())
                m_queue.Abort();
            return;
        }
        if (dvr)
            Warn(QStringLiteral("DVR registration error"));
        else
            Warn(CentralRequests::TagValue(tag) == 1 ? QStringLiteral("Group registration error")
                                                     : QStringLiteral("Account registration error"));
        return;
    }
    auto record = std::make_unique<ValidationAccount>(*m_pending);
    record->id = reply.NewId();
    if (!dvr && record->type != kGroup)
        record->user_id = reply.NameText(m_pending->user_id);
    const QModelIndex parent = m_pendingIndex;
    const ValidationAccount* parentRecord = m_tree.Record(parent);
    const int parentId = parentRecord ? parentRecord->id : record->parent_id;
    const ValidationAccount copy = *record;
    if (parent.isValid())
        m_tree.Insert(parent, std::move(record));
    emit Expand(parent);
    if (dvr) {
        m_line.SendLine(ValidationLine::AddDvr(RootId(), copy.id, copy.parent_id));
        m_hub.SiteBookAddDvr(copy, parentId);
    } else {
        m_line.SendLine(ValidationLine::AddAccount(RootId(), copy.id, copy.user_id, copy.password));
        if (copy.type == kGroup)
            m_hub.SiteBookAddGroup(copy, parentId);
    }
    if (step && dvr) {
        qCDebug(lcAdmin) << "Add dvr success" << copy.name;
        m_queue.Added();
    }
    EndPending();
}

void ValidationSession::OnModifyResult(int id, const CentralReply& reply, int tag)
{
    if (!IsCurrent(tag))
        return;
    const bool dvr = id == CentralRequests::kDvrModify;
    const int value = CentralRequests::TagValue(tag);
    if (reply.Failed()) {
        EndPending();
        static const char* const kAccountErrors[] = {"Account modify error", "Group modify error",
                                                     "Account move error", "Group move error"};
        if (dvr)
            Warn(value == 1 ? QStringLiteral("DVR move error") : QStringLiteral("DVR modify error"));
        else if (value >= 0 && value < 4)
            Warn(QLatin1String(kAccountErrors[value]));
        return;
    }
    if (m_moving) {
        FinishMove(dvr);
        return;
    }
    ValidationAccount record = *m_pending;
    if (!dvr && !record.user_id.isEmpty())
        record.user_id = reply.NameText(m_pending->user_id);
    if (m_pendingIndex.isValid()) {
        m_tree.Apply(m_pendingIndex, record);
        ForwardModified(m_pendingIndex);
    }
    if (dvr)
        m_line.SendLine(ValidationLine::ModifyDvr(RootId(), record.id, record.parent_id));
    else
        m_line.SendLine(ValidationLine::ModifyAccount(RootId(), record.id, record.user_id, record.password));
    EndPending();
}

void ValidationSession::OnInfoResult(int id, const CentralReply& reply, int tag)
{
    if (reply.Failed())
        return;
    const bool dvr = id == CentralRequests::kDvrInfo;
    auto record = dvr ? ValidationAccountReader::ReadDvr(reply.Data())
                      : ValidationAccountReader::ReadAccount(reply.Data());
    if (tag == 1) {
        const QModelIndex node = dvr ? m_tree.FindDvr(record->id) : m_tree.FindAccount(record->id);
        if (node.isValid()) {
            m_tree.Apply(node, *record);
            ForwardModified(node);
        }
        return;
    }
    if (tag != 0 || record->id <= 0)
        return;
    const QModelIndex parent = m_tree.FindAccount(record->parent_id);
    if (!parent.isValid())
        return;
    const ValidationAccount copy = *record;
    m_tree.Insert(parent, std::move(record));
    emit Expand(parent);
    if (dvr)
        m_hub.SiteBookAddDvr(copy, copy.parent_id);
    else if (copy.type == kGroup)
        m_hub.SiteBookAddGroup(copy, copy.parent_id);
}

void ValidationSession::ForwardModified(const QModelIndex& node)
{
    // The site book shows the same recorders and groups: it follows every change the server took.
    const ValidationAccount* record = m_tree.Record(node);
    if (!record)
        return;
    if (record->type == kDvr)
        m_hub.SiteBookModifyDvr(*record);
    else if (record->type == kGroup)
        m_hub.SiteBookModifyGroup(*record);
}

bool ValidationSession::Move(const QModelIndex& sourceAt, const QModelIndex& targetAt)
{
    if (HasPending() || !sourceAt.isValid() || !targetAt.isValid())
        return false;
    const QModelIndex source = m_model.index(sourceAt.row(), 0, sourceAt.parent());
    const QModelIndex target = m_model.index(targetAt.row(), 0, targetAt.parent());
    if (!m_tree.MoveAllowed(source, target))
        return false;
    auto moved = std::make_unique<ValidationAccount>(*m_tree.Record(source));
    moved->parent_id = m_tree.Record(target)->id;
    const bool dvr = moved->type == kDvr;
    const bool group = moved->type == kGroup;
    const CentralRequests::Account account = AccountFields(*moved);
    const CentralRequests::Dvr recorder = DvrFields(*moved);
    StartPending(source, std::move(moved));
    m_moving = true;
    m_moveTarget = target;
    if (dvr) {
        m_hub.SetLocalChange(2);
        m_requests.OnNodeDvrModify(recorder, CentralRequests::Tag(1, m_sequence));
    } else {
        m_requests.OnNodeAccountModify(account, CentralRequests::Tag(group ? 3 : 2, m_sequence));
    }
    return true;
}

void ValidationSession::FinishMove(bool dvr)
{
    const ValidationAccount moved = *m_pending;
    const QPersistentModelIndex source = m_pendingIndex;
    const QPersistentModelIndex target = m_moveTarget;
    // Either end may have gone meanwhile (a push of another console): the tree is then left to
    // the pushes and the site book is fetched again.
    if (source.isValid() && target.isValid()) {
        const QModelIndex copy = m_tree.CopySubtree(source, target);
        if (ValidationAccount* record = m_tree.Record(copy))
            record->parent_id = moved.parent_id;
        m_tree.Remove(source);
        emit Expand(target);
    }
    const QString id = QString::number(moved.id);
    const QString parent = QString::number(moved.parent_id);
    if (dvr) {
        m_hub.SiteBookMoveDvr(moved, moved.parent_id);
        m_line.SendLine(ValidationLine::MoveDvr(RootId(), id, parent));
    } else {
        m_requests.OnNodeSitebook(m_userId, m_password, 0);
        m_line.SendLine(ValidationLine::MoveAccount(RootId(), id, parent, moved.user_id, moved.password));
    }
    EndPending();
}

int ValidationSession::PasteDvrs(const QModelIndex& target, const QList<QPersistentModelIndex>& dvrs)
{
    const ValidationAccount* parent = m_tree.Record(target);
    if (!parent || m_queue.IsActive())
        return 0;
    int queued = 0;
    for (const QPersistentModelIndex& index : dvrs) {
        const ValidationAccount* dvr = m_tree.Record(index);
        if (!dvr || dvr->type != kDvr)
            continue;
        ValidationAddQueue::Step step;
        step.under = m_model.index(target.row(), 0, target.parent());
        step.record = *dvr;
        step.record.id = -1;
        step.record.online = false;
        m_queue.Push(std::move(step));
        ++queued;
    }
    if (queued > 0) {
        m_hub.SetLocalChange(std::max(1, m_hub.LocalChange()));
        RunNextStep();
    }
    return queued;
}

void ValidationSession::ImportDvrs(const QModelIndex& target, const std::vector<RecorderListEntry>& rows)
{
    if (!m_tree.Record(target) || m_queue.IsActive() || rows.empty())
        return;
    const QModelIndex under = m_model.index(target.row(), 0, target.parent());
    for (const CheckedListRow& checked : RecorderListCheck::Check(rows)) {
        // A row the recorder dialogs would refuse is not sent; the same name twice is kept, as
        // the tree holds recorders of one name side by side.
        if (checked.refusal != ListRowRefusal::None && checked.refusal != ListRowRefusal::NameTwiceInList) {
            m_queue.Refused(checked.entry.row, RecorderListCheck::RefusalText(checked.refusal));
            continue;
        }
        const RecorderListEntry& row = checked.entry;
        ValidationAddQueue::Step group;
        group.kind = ValidationAddQueue::Step::Kind::Group;
        group.under = under;
        group.groupName = row.folder;
        group.record.type = kGroup;
        group.record.name = row.folder;
        group.record.description = QStringLiteral("Import DVR List");
        group.record.report_mail.clear();
        m_queue.Push(std::move(group));

        ValidationAddQueue::Step dvr;
        dvr.under = under;
        dvr.groupName = row.folder;
        dvr.record.type = kDvr;
        dvr.record.name = row.name;
        dvr.record.dvr_host = row.addr;
        dvr.record.dvr_port = row.port;
        dvr.record.dvr_login_id = row.id;
        dvr.record.dvr_password = row.password;
        m_queue.Push(std::move(dvr));
    }
    m_hub.SetLocalChange(std::max(1, m_hub.LocalChange()));
    RunNextStep();
}

void ValidationSession::RunNextStep()
{
    if (m_pending || !m_queue.IsActive())
        return;
    while (!m_queue.IsEmpty()) {
        ValidationAddQueue::Step step = m_queue.Take();
        if (step.kind == ValidationAddQueue::Step::Kind::Group) {
            if (m_tree.FindGroupByName(step.under, step.groupName).isValid()) {
                qCDebug(lcAdmin) << "Search group success" << step.groupName;
                continue;
            }
            const ValidationAccount* under = m_tree.Record(step.under);
            if (!under)
                continue;
            step.record.parent_id = under->id;
            AddAccount(step.under, std::make_unique<ValidationAccount>(step.record));
            m_stepPending = true;
            return;
        }
        const QModelIndex parent = step.groupName.isEmpty() ? QModelIndex(step.under)
                                                            : m_tree.FindGroupByName(step.under, step.groupName);
        const ValidationAccount* parentRecord = m_tree.Record(parent);
        if (!parentRecord) {
            // Its group could not be made: the recorder is not added.
            qCDebug(lcAdmin) << "Add dvr fail" << step.record.name;
            m_queue.Failed(step.record.name);
            continue;
        }
        step.record.parent_id = parentRecord->id;
        qCDebug(lcAdmin) << "import dvr start" << step.record.name;
        AddDvr(parent, std::make_unique<ValidationAccount>(step.record));
        m_stepPending = true;
        return;
    }
    const QString report = m_queue.Report();
    const int added = m_queue.AddedCount();
    m_queue.Finish();
    if (m_deletes.isEmpty())
        m_hub.SetLocalChange(0);
    if (!report.isEmpty())
        Warn(report);
    emit BatchFinished(added);
}

bool ValidationSession::CanDelete(const QModelIndex& node) const
{
    const ValidationAccount* record = m_tree.Record(node);
    if (!record || record->type == QLatin1String("camera"))
        return false;
    const QModelIndex column0 = m_model.index(node.row(), 0, node.parent());
    return column0 != QModelIndex(m_root);
}

void ValidationSession::Delete(const QModelIndex& node)
{
    if (!CanDelete(node))
        return;
    const ValidationAccount* record = m_tree.Record(node);
    const int sequence = ++m_sequence;
    const bool dvr = record->type == kDvr;
    m_deletes.insert(sequence, {record->id, dvr, record->type == kGroup});
    m_hub.SetLocalChange(m_hub.LocalChange() + 1);
    qCDebug(lcAdmin) << "delete" << record->id << record->type << record->name;
    if (dvr)
        m_requests.OnNodeDvrDelete(QString::number(record->id), QString::number(record->parent_id), sequence);
    else
        m_requests.OnNodeAccountDelete(QString::number(record->id), record->user_id, record->password);
}

void ValidationSession::OnDeleteResult(int id, const CentralReply& reply, int tag)
{
    const bool dvr = id == CentralRequests::kDvrDelete;
    // The account delete has no tag of its own: it answers the oldest account delete waiting.
    int sequence = CentralRequests::TagSequence(tag);
    if (!dvr) {
        sequence = -1;
        for (auto it = m_deletes.constBegin(); it != m_deletes.constEnd(); ++it)
            if (!it.value().dvr && (sequence < 0 || it.key() < sequence))
                sequence = it.key();
    }
    if (!m_deletes.contains(sequence))
        return;
    const PendingDelete done = m_deletes.take(sequence);
    m_hub.SetLocalChange(std::max(0, m_hub.LocalChange() - 1));
    if (reply.Failed()) {
        const QString message = reply.Message();
        Warn(message.isEmpty()
                 ? (dvr ? QStringLiteral("DVR delete error") : QStringLiteral("Account delete error"))
                 : message);
        return;
    }
    const QModelIndex node = done.dvr ? m_tree.FindDvr(done.id) : m_tree.FindAccount(done.id);
    m_tree.Remove(node);
    if (done.dvr) {
        m_hub.SiteBookDeleteDvr(done.id);
        m_line.SendLine(ValidationLine::DeleteDvr(RootId(), done.id));
    } else {
        if (done.group)
            m_hub.SiteBookDeleteGroup(done.id);
        m_line.SendLine(ValidationLine::DeleteAccount(RootId(), done.id));
    }
}

void ValidationSession::OnEventResult(const CentralReply& reply)
{
    bool ok = false;
    const QString text = reply.EventText(&ok);
    if (ok)
        m_line.SendLine(ValidationLine::Event(RootId(), text));
}

void ValidationSession::QueueServerMessage(const QString& text)
{
    m_serverMessages.append(text);
    emit ServerMessagePending();
}

QString ValidationSession::TakeServerMessage()
{
    return m_serverMessages.isEmpty() ? QString() : m_serverMessages.takeFirst();
}
