#pragma once
#include <QMetaType>
#include <QString>

// One node of the validation tree: an account, a group, a recorder ("dvr") or a camera or disk
// row below a recorder. Travels as a pointer inside a QVariant (user role). The site book takes
// the recorders and groups that the central server and the validation console push as these
// records too.
class ValidationAccount
{
public:
    static constexpr int kAllChannels = 0xFFFF;

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
    int dvr_permission_live = kAllChannels;
    int dvr_permission_search = kAllChannels;
    int dvr_permission_backup = kAllChannels;
    int dvr_permission_ptz = kAllChannels;
    bool dvr_permission_config = true;
    // Camera and disk rows only: the row's state word.
    int status = -1;
    bool online = false;
    int dvr_option = 0;
    // Not among the server's keys: whether the site book connects a pushed recorder over TLS.
    int use_ssl = 0;

    // Registers "ValidationAccount*" once, for QVariant storage of the pointer.
    static void RegisterMetaType();
};

Q_DECLARE_METATYPE(ValidationAccount*)
