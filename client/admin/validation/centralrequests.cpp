#include "validation/centralrequests.h"

#include "core/adminlog.h"
#include "core/jsonhelper.h"

#include <QJsonObject>

void CentralRequests::Send(int id, const QString& path, int tag, const QList<QPair<QString, QString>>& keys,
                           bool post)
{
    JsonHelper json;
    QJsonObject object;
    for (const auto& key : keys)
        json.Insert(object, key.first, key.second);
    const QByteArray body = json.ToJsonText(object).toUtf8();
    if (id == kDvrDelete || id == kDvrInfo)
        qCDebug(lcAdmin) << body;
    m_queue(id, path, tag, body, post);
}

void CentralRequests::OnNodeAccountAdd(const Account& a, int sequence)
{
    Send(kAccountAdd, QStringLiteral("/account"), Tag(a.user_id.isEmpty() ? 1 : 0, sequence),
         {{"parent_id", a.parent_id},
          {"type", a.type},
          {"user_id", a.user_id},
          {"password", a.password},
          {"name", a.name},
          {"email", a.email},
          {"report_mail", a.report_mail},
          {"description", a.description}},
         true);
}

void CentralRequests::OnNodeAccountModify(const Account& a, int tag)
{
    Send(kAccountModify, QStringLiteral("/account"), tag,
         {{"parent_id", a.parent_id},
          {"type", a.type},
          {"id", a.id},
          {"user_id", a.user_id},
          {"password", a.password},
          {"name", a.name},
          {"email", a.email},
          {"report_mail", a.report_mail},
          {"description", a.description}},
         false);
}

void CentralRequests::OnNodeAccountDelete(const QString& id, const QString& userId, const QString& password)
{
    Send(kAccountDelete, QStringLiteral("/account/delete"), 0,
         {{"user_id", userId}, {"password", password}, {"id", id}}, false);
}

void CentralRequests::OnNodeAccountInfo(const QString& id, const QString& userId, const QString& password, int tag)
{
    Send(kAccountInfo, QStringLiteral("/account/information"), tag,
         {{"id", id}, {"user_id", userId}, {"password", password}}, false);
}

namespace {
QList<QPair<QString, QString>> DvrKeys(const CentralRequests::Dvr& d)
{
    return {{"parent_id", d.parent_id},
            {"dvr_name", d.dvr_name},
            {"dvr_host", d.dvr_host},
            {"dvr_port", d.dvr_port},
            {"dvr_login_id", d.dvr_login_id},
            {"dvr_password", d.dvr_password},
            {"dvr_permission_live", d.dvr_permission_live},
            {"dvr_permission_search", d.dvr_permission_search},
            {"dvr_permission_ptz", d.dvr_permission_ptz},
            {"dvr_permission_backup", d.dvr_permission_backup},
            {"dvr_permission_config", d.dvr_permission_config}};
}
} // namespace

void CentralRequests::OnNodeDvrAdd(const Dvr& dvr, int sequence)
{
    Send(kDvrAdd, QStringLiteral("/dvr"), Tag(0, sequence), DvrKeys(dvr), true);
}

void CentralRequests::OnNodeDvrModify(const Dvr& dvr, int tag)
{
    auto keys = DvrKeys(dvr);
    keys.append({QStringLiteral("id"), dvr.id});
    Send(kDvrModify, QStringLiteral("/dvr"), tag, keys, false);
}

void CentralRequests::OnNodeDvrDelete(const QString& id, const QString& parentId, int sequence)
{
    Send(kDvrDelete, QStringLiteral("/dvr/delete"), Tag(0, sequence), {{"parent_id", parentId}, {"id", id}},
         false);
}

void CentralRequests::OnNodeDvrInfo(const QString& id, const QString& parentId, int tag)
{
    Send(kDvrInfo, QStringLiteral("/dvr/information"), tag, {{"id", id}, {"parent_id", parentId}}, false);
}

void CentralRequests::OnNodeNoticeList(int page, int sequence)
{
    Send(kNoticeList, QStringLiteral("/notice/list"), NoticeTag(page, sequence),
         {{"offset", QString::number(page * kNoticePage)}, {"limit", QString::number(kNoticePage)}}, false);
}

void CentralRequests::OnNodeLogin(const QString& userId, const QString& password)
{
    Send(kLogin, QStringLiteral("/login"), 0, {{"user_id", userId}, {"password", password}}, false);
}

void CentralRequests::OnNodeLoginRefresh(const QString& userId, const QString& password)
{
    Send(kLogin, QStringLiteral("/login"), 1, {{"user_id", userId}, {"password", password}}, false);
}

void CentralRequests::OnNodeSitebook(const QString& userId, const QString& password, int tag)
{
    Send(kSitebook, QStringLiteral("/sitebook"), tag, {{"user_id", userId}, {"password", password}}, false);
}
