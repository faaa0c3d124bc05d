#pragma once
#include "core/adminhub.h"
#include "core/cnetwork_http.h"
#include "core/treemodel.h"
#include "core/validationclient.h"
#include "validation/centralrequests.h"
#include "validation/validationaddqueue.h"
#include "validation/validationtreeops.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class CentralReply;
class ValidationHub;
class ValidationLineActions;
struct RecorderListEntry;

// The validation console without its windows: the central server client and its replies, the
// validation line, the account tree's model and the pending add or modify of the console's own
// commands. The windows call its commands and follow its signals.
class ValidationSession : public QObject, private AdminHub
{
    Q_OBJECT
public:
    // A command's wait for its reply is given up after this long.
    static constexpr int kReplyLimitMs = 10000;
    // Tests shorten the wait.
    void SetReplyLimitMs(int ms) { m_pendingLimit.setInterval(ms); }

    explicit ValidationSession(ValidationHub& hub, QObject* parent = nullptr);
    ~ValidationSession() override;

    ValidationHub& Hub() const { return m_hub; }
    TreeModel& Model() { return m_model; }
    ValidationTreeOps& Tree() { return m_tree; }
    CentralRequests& Requests() { return m_requests; }
    ValidationClient& Line() { return m_line; }
    CNetwork_http& Http() { return m_http; }

    // Login: the probe first; once it answered true, Login() sends the account's credentials.
    void ConnectDatabaseServer(const QString& host, const QString& port);
    void Login(const QString& userId, const QString& password, const QString& validationHost, int validationPort);
    QString UserId() const { return m_userId; }
    QString Password() const { return m_password; }

    QModelIndex RootIndex() const { return m_root; }
    int RootId() const;
    QString RootType() const;
    bool IsAdmin() const { return RootType() == QLatin1String("admin"); }

    // The console's own commands; the tree follows when the server has answered.
    void AddAccount(const QModelIndex& parent, std::unique_ptr<ValidationAccount> account);
    void AddDvr(const QModelIndex& parent, std::unique_ptr<ValidationAccount> dvr);
    void ModifyAccount(const QModelIndex& node, std::unique_ptr<ValidationAccount> account);
    void ModifyDvr(const QModelIndex& node, std::unique_ptr<ValidationAccount> dvr);
    // Whether the node may be deleted (not the logged-in account's own node), and the delete.
    bool CanDelete(const QModelIndex& node) const;
    void Delete(const QModelIndex& node);
    bool HasPending() const { return m_pending != nullptr || !m_deletes.isEmpty() || m_queue.IsActive(); }

    // Adds copies of the recorders under the target, one after another (each waits for the
    // reply to the one before); the number queued.
    int PasteDvrs(const QModelIndex& target, const QList<QPersistentModelIndex>& dvrs);
    // Adds the rows of a recorder list under the target the same way: each row's group is looked
    // for below the target by name and made there when missing, and the recorder goes into it.
    // A row the recorder rules refuse is not sent and is named in the batch's report.
    void ImportDvrs(const QModelIndex& target, const std::vector<RecorderListEntry>& rows);
    bool IsBatchRunning() const { return m_queue.IsActive(); }
    // Asks the server to move the node under the target; the tree follows its agreement and
    // stays as it was on a refusal. False (nothing sent) when the move is not allowed or another
    // command still waits for its answer.
    bool Move(const QModelIndex& source, const QModelIndex& target);
    // Asks for a page of notices; only the answer to the latest request is shown, so an older
    // answer that arrives late never replaces a newer page.
    void RequestNotices(int page);

    // Server messages wait here until the window shows them, one at a time.
    QString TakeServerMessage();
    void QueueServerMessage(const QString& text);

signals:
    // The probe's answer: true lets the login form send the login.
    void ProbeAnswered(bool connected);
    void LoggedIn();
    // The logged-in account's kind decides the console's tabs.
    void RootChanged(bool admin);
    // The notice list reply and the page it was asked for.
    void NoticeList(const QString& text, int page);
    void EventLog(const QString& name, const QString& text);
    void MonitoringRow(const QStringList& texts);
    void ServerMessagePending();
    void Expand(const QModelIndex& index);
    void ConnectedChanged(bool connected);
    // A paste or an import has ended (anything that went wrong was shown).
    void BatchFinished(int added);

private slots:
    void OnRecvNode(int id, const QString& text, int tag);
    void OnPendingExpired();

private:
    // AdminHub, for the transport and the line.
    bool IsClosing() const override;
    void OnDatabaseServerProbe(bool connected) override;
    void SetValidationConnected(bool connected) override;

    void RefreshTree(const CentralReply& reply);
    void InsertChildren(const QModelIndex& parent, const QJsonObject& object);
    void OnLoginResult(const CentralReply& reply);
    void OnAddResult(int id, const CentralReply& reply, int tag);
    void OnModifyResult(int id, const CentralReply& reply, int tag);
    void OnInfoResult(int id, const CentralReply& reply, int tag);
    void OnDeleteResult(int id, const CentralReply& reply, int tag);
    void OnEventResult(const CentralReply& reply);
    void ForwardModified(const QModelIndex& node);
    void StartPending(const QModelIndex& index, std::unique_ptr<ValidationAccount> record);
    void EndPending();
    void RunNextStep();
    void FinishMove(bool dvr);
    bool IsCurrent(int tag) const;
    void Warn(const QString& text);

    ValidationHub& m_hub;
    TreeModel m_model;
    ValidationTreeOps m_tree;
    CNetwork_http m_http;
    ValidationClient m_line;
    CentralRequests m_requests;
    std::unique_ptr<ValidationLineActions> m_lineActions;

    QString m_userId;
    QString m_password;
    QString m_accountId;
    QString m_validationHost;
    int m_validationPort = 0;
    QPersistentModelIndex m_root;

    std::unique_ptr<ValidationAccount> m_pending;
    QPersistentModelIndex m_pendingIndex;
    int m_sequence = 0;
    // The pending command is a step of the add queue, or a move under m_moveTarget.
    bool m_stepPending = false;
    bool m_moving = false;
    QPersistentModelIndex m_moveTarget;
    ValidationAddQueue m_queue;
    QTimer m_pendingLimit;
    struct PendingDelete
    {
        int id;
        bool dvr;
        bool group;
    };
    QHash<int, PendingDelete> m_deletes; // by sequence
    QStringList m_serverMessages;
    int m_noticeSequence = 0;
    bool m_lostBoxOpen = false;
};
