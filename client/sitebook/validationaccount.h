#pragma once
// One node of the validation tree of the central-server console: an account, a group (shown as
// a folder in the site book) or a recorder ("dvr"), as the central and validation servers send
// it. Pushed recorders and groups reach the site book as these records.
#include <QJsonObject>
#include <QMetaType>
#include <QString>

class ValidationAccount
{
public:
    int parent_id = -1;
    int id = -1;
    QString type;
    QString name;
    QString password;
    QString email;
    QString description;
    QString user_id;
    QString report_mail = QStringLiteral("true");
    QString dvr_host;
    QString dvr_port;
    QString dvr_login_id;
    QString dvr_password;
    int dvr_permission_live = 0xFFFF;
    int dvr_permission_search = 0xFFFF;
    int dvr_permission_backup = 0xFFFF;
    int dvr_permission_ptz = 0xFFFF;
    bool dvr_permission_config = true;
    int status = 0;
    bool online = false;
    int recorderOption = 0;
    // Not among the server's keys: whether the site book connects the recorder over TLS.
    int use_ssl = 0;

    // Reads a tree node: an account or group record, and for type "dvr" the recorder keys too
    // (its name then comes from "dvr_name"). Missing keys give 0 and empty texts.
    static ValidationAccount FromTreeNode(const QJsonObject& node);
    // The recorder keys of a node, type "dvr".
    void ReadRecorderKeys(const QJsonObject& node);
    // A permission sent as decimal text; anything else is 0.
    static int PermissionValue(const QJsonValue& value);

    static int RegisterMetaType();
};

Q_DECLARE_METATYPE(ValidationAccount*)
