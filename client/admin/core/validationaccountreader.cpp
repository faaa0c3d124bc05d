#include "core/validationaccountreader.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {
QString Text(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toString();
}

int Number(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toInt(0);
}
} // namespace

int ValidationAccountReader::DecimalField(const QJsonObject& object, const QString& key)
{
    bool ok = false;
    const int value = object.value(key).toString().toInt(&ok, 10);
    return ok ? value : 0;
}

void ValidationAccountReader::ReadIds(const QJsonObject& object, ValidationAccount& account)
{
    account.parent_id = Number(object, "parent_id");
    account.id = Number(object, "id");
}

void ValidationAccountReader::ReadDvrKeys(const QJsonObject& object, ValidationAccount& account)
{
    account.type = QStringLiteral("dvr");
    account.name = Text(object, "dvr_name");
    account.dvr_host = Text(object, "dvr_host");
    account.dvr_port = Text(object, "dvr_port");
    account.dvr_login_id = Text(object, "dvr_login_id");
    account.dvr_password = Text(object, "dvr_password");
    account.dvr_permission_live = DecimalField(object, QStringLiteral("dvr_permission_live"));
    account.dvr_permission_search = DecimalField(object, QStringLiteral("dvr_permission_search"));
    account.dvr_permission_backup = DecimalField(object, QStringLiteral("dvr_permission_backup"));
    account.dvr_permission_ptz = DecimalField(object, QStringLiteral("dvr_permission_ptz"));
    account.dvr_permission_config = DecimalField(object, QStringLiteral("dvr_permission_config")) != 0;
}

std::unique_ptr<ValidationAccount> ValidationAccountReader::ReadAccount(const QJsonObject& object)
{
    auto account = std::make_unique<ValidationAccount>();
    ReadIds(object, *account);
    account->type = Text(object, "type");
    account->name = Text(object, "name");
    account->password = Text(object, "password");
    account->email = Text(object, "email");
    account->description = Text(object, "description");
    account->user_id = Text(object, "user_id");
    account->report_mail = Text(object, "report_mail");
    return account;
}

std::unique_ptr<ValidationAccount> ValidationAccountReader::ReadDvr(const QJsonObject& object)
{
    auto account = std::make_unique<ValidationAccount>();
    ReadIds(object, *account);
    ReadDvrKeys(object, *account);
    return account;
}

std::unique_ptr<ValidationAccount> ValidationAccountReader::ReadTreeNode(const QJsonObject& object)
{
    auto account = ReadAccount(object);
    if (account->type == QLatin1String("dvr"))
        ReadDvrKeys(object, *account);
    return account;
}

std::unique_ptr<ValidationAccount> ValidationAccountReader::ReadLoginAccount(const QJsonObject& object,
                                                                             bool withReportMail)
{
    auto account = std::make_unique<ValidationAccount>();
    ReadIds(object, *account);
    account->type = Text(object, "type");
    account->name = Text(object, "name");
    account->user_id = Text(object, "user_id");
    account->password = Text(object, "password");
    account->email = Text(object, "email");
    account->description = Text(object, "description");
    if (withReportMail)
        account->report_mail = Text(object, "report_mail");
    if (account->name.isEmpty())
        account->name = account->user_id;
    return account;
}

void ValidationAccountReader::ReadTree(const QJsonObject& object, void* parent, const InsertNode& insert)
{
    ReadTreeLevel(object, parent, insert, 0);
}

void ValidationAccountReader::ReadTreeLevel(const QJsonObject& object, void* parent, const InsertNode& insert,
                                            int depth)
{
    void* node = insert(ReadTreeNode(object), parent);
    if (depth >= kMaxDepth)
        return;
    const QJsonArray children = object.value(QLatin1String("children")).toArray();
    for (const QJsonValue& child : children) {
        if (child.isObject())
            ReadTreeLevel(child.toObject(), node, insert, depth + 1);
    }
}
