#include "sitebook/validationaccount.h"

#include <QJsonValue>

namespace {
QString Text(const QJsonObject& node, const char* key)
{
    return node.value(QLatin1String(key)).toString();
}
} // namespace

int ValidationAccount::PermissionValue(const QJsonValue& value)
{
    if (!value.isString())
        return 0;
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    return ok ? number : 0;
}

void ValidationAccount::ReadRecorderKeys(const QJsonObject& node)
{
    type = QStringLiteral("dvr");
    name = Text(node, "dvr_name");
    dvr_host = Text(node, "dvr_host");
    dvr_port = Text(node, "dvr_port");
    dvr_login_id = Text(node, "dvr_login_id");
    dvr_password = Text(node, "dvr_password");
    dvr_permission_live = PermissionValue(node.value(QLatin1String("dvr_permission_live")));
    dvr_permission_search = PermissionValue(node.value(QLatin1String("dvr_permission_search")));
    dvr_permission_backup = PermissionValue(node.value(QLatin1String("dvr_permission_backup")));
    dvr_permission_ptz = PermissionValue(node.value(QLatin1String("dvr_permission_ptz")));
    dvr_permission_config = PermissionValue(node.value(QLatin1String("dvr_permission_config"))) != 0;
}

ValidationAccount ValidationAccount::FromTreeNode(const QJsonObject& node)
{
    ValidationAccount record;
    record.parent_id = node.value(QLatin1String("parent_id")).toInt(0);
    record.id = node.value(QLatin1String("id")).toInt(0);
    record.type = Text(node, "type");
    record.name = Text(node, "name");
    record.password = Text(node, "password");
    record.email = Text(node, "email");
    record.description = Text(node, "description");
    record.user_id = Text(node, "user_id");
    record.report_mail = Text(node, "report_mail");
    if (record.type == QLatin1String("dvr"))
        record.ReadRecorderKeys(node);
    return record;
}

int ValidationAccount::RegisterMetaType()
{
    static const int id = qRegisterMetaType<ValidationAccount*>("ValidationAccount*");
    return id;
}
