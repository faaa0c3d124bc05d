#include "core/validationicons.h"

#include "core/validationaccount.h"

// Outside any namespace: the resource initialiser is declared where the macro stands.
static void LoadResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(res);
        return true;
    }();
    Q_UNUSED(loaded)
}

namespace {

QString AccountIconPath(const QString& level, bool on)
{
    // Spelled out whole, so that every picture named here can be found in the sources.
    // clang-format off
    if (level == QLatin1String("root"))
        return on ? QStringLiteral(":/res/account_root_on.PNG") : QStringLiteral(":/res/account_root_off.PNG");
    if (level == QLatin1String("admin"))
        return on ? QStringLiteral(":/res/account_admin_on.PNG") : QStringLiteral(":/res/account_admin_off.PNG");
    if (level == QLatin1String("super"))
        return on ? QStringLiteral(":/res/account_super_on.PNG") : QStringLiteral(":/res/account_super_off.PNG");
    return on ? QStringLiteral(":/res/account_normal_on.PNG") : QStringLiteral(":/res/account_normal_off.PNG");
    // clang-format on
}
} // namespace

QString ValidationIcons::CameraIconPath(int status)
{
    switch (status) {
    case 0:
    case 9: return QStringLiteral(":/res/Resource/Camera_off.png");
    case 1: return QStringLiteral(":/res/Resource/Camera.png");
    case 2: return QStringLiteral(":/res/Resource/Camera_loss.png");
    case 3: return QStringLiteral(":/res/Resource/Camera_event.png");
    case 4:
    case 6: return QStringLiteral(":/res/hdd_off.png");
    case 5: return QStringLiteral(":/res/hdd_on.png");
    default: return QString();
    }
}

QString ValidationIcons::IconPath(const ValidationAccount& account, const QString& state)
{
    const bool on = state != QLatin1String("X");
    const QString& type = account.type;
    if (type == QLatin1String("root") || type == QLatin1String("admin") || type == QLatin1String("super")
        || type == QLatin1String("normal"))
        return AccountIconPath(type, on);
    if (type == QLatin1String("dvr"))
        return on ? QStringLiteral(":/res/Resource/DVR.png") : QStringLiteral(":/res/Resource/DVRDisable.png");
    if (type == QLatin1String("group"))
        return QStringLiteral(":/res/Resource/folder.png");
    if (type == QLatin1String("camera"))
        return CameraIconPath(account.status);
    return QString();
}

QIcon ValidationIcons::Icon(const ValidationAccount& account, const QString& state)
{
    const QString path = IconPath(account, state);
    if (path.isEmpty())
        return QIcon();
    LoadResources();
    return QIcon(path);
}
