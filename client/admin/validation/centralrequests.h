#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// The central server's requests: each builds its JSON body (every value a string, keys in
// ascending order) and queues it under its request id, path and tag.
class CentralRequests
{
public:
    enum Id {
        kAccountAdd = 1,
        kAccountModify = 2,
        kAccountDelete = 3,
        kAccountInfo = 4,
        kDvrAdd = 5,
        kDvrModify = 6,
        kDvrDelete = 7,
        kDvrInfo = 8,
        kNoticeAdd = 9,
        kNoticeModify = 10,
        kNoticeDelete = 11,
        kNoticeList = 12,
        kEvent = 14,
        kLogin = 20,
        kSitebook = 21,
    };
    static constexpr int kNoticePage = 30;

    struct Account
    {
        QString parent_id, id, type, user_id, name, password, email, report_mail, description;
    };
    struct Dvr
    {
        QString parent_id, id, dvr_name, dvr_host, dvr_port, dvr_login_id, dvr_password;
        QString dvr_permission_live, dvr_permission_search, dvr_permission_ptz, dvr_permission_backup,
            dvr_permission_config;
    };

    // Puts one request on the wire's queue: (id, path, tag, body, post rather than put).
    using Queue = std::function<void(int, const QString&, int, const QByteArray&, bool)>;
    explicit CentralRequests(Queue queue)
        : m_queue(std::move(queue))
    {}

    // Tag 0 for an account, 1 for a group (an empty user id); `sequence` marks the tag.
    void OnNodeAccountAdd(const Account& account, int sequence = 0);
    void OnNodeAccountModify(const Account& account, int tag);
    void OnNodeAccountDelete(const QString& id, const QString& userId, const QString& password);
    void OnNodeAccountInfo(const QString& id, const QString& userId, const QString& password, int tag);
    void OnNodeDvrAdd(const Dvr& dvr, int sequence = 0);
    void OnNodeDvrModify(const Dvr& dvr, int tag);
    void OnNodeDvrDelete(const QString& id, const QString& parentId, int sequence = 0);
    void OnNodeDvrInfo(const QString& id, const QString& parentId, int tag);
    // The tag carries the page in its low 16 bits and `sequence` above them.
    void OnNodeNoticeList(int page, int sequence = 0);
    void OnNodeLogin(const QString& userId, const QString& password);
    void OnNodeLoginRefresh(const QString& userId, const QString& password);
    void OnNodeSitebook(const QString& userId, const QString& password, int tag);

    // A tag carries the caller's value in its low four bits and a sequence number above them,
    // so that a reply that comes after its wait was given up is recognised.
    static int Tag(int value, int sequence) { return value + (sequence << 4); }
    static int TagValue(int tag) { return tag & 0xF; }
    static int TagSequence(int tag) { return tag >> 4; }
    static constexpr int kLastNoticePage = 0xFFFF;
    static constexpr int kNoticeSequenceMask = 0x7FFF;
    static int NoticeTag(int page, int sequence) { return page + ((sequence & kNoticeSequenceMask) << 16); }
    static int NoticeTagPage(int tag) { return tag & kLastNoticePage; }
    static int NoticeTagSequence(int tag) { return (tag >> 16) & kNoticeSequenceMask; }

private:
    void Send(int id, const QString& path, int tag, const QList<QPair<QString, QString>>& keys, bool post);

    Queue m_queue;
};
