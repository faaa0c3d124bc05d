#include "validation/validationauthority.h"

namespace {
const QString kAdminText = QStringLiteral("Admin User");
const QString kSuperText = QStringLiteral("Super User");
const QString kNormalText = QStringLiteral("Normal User");
} // namespace

QStringList ValidationAuthority::Choices(int level)
{
    if (level == 4)
        return {kAdminText, kSuperText, kNormalText};
    if (level == 3 || level == 2)
        return {kSuperText, kNormalText};
    return {QStringLiteral("-")};
}

int ValidationAuthority::ChoiceIndex(int level, Authority authority)
{
    const QString text = Text(authority);
    if (text.isEmpty())
        return -1;
    return int(Choices(level).indexOf(text));
}

Authority ValidationAuthority::FromText(const QString& text)
{
    if (text == kAdminText)
        return Authority::Admin;
    if (text == kSuperText)
        return Authority::Super;
    if (text == kNormalText)
        return Authority::Normal;
    return Authority::None;
}

QString ValidationAuthority::Text(Authority authority)
{
    switch (authority) {
    case Authority::Admin: return kAdminText;
    case Authority::Super: return kSuperText;
    case Authority::Normal: return kNormalText;
    case Authority::None: break;
    }
    return QString();
}

Authority ValidationAuthority::FromType(const QString& type, Authority other)
{
    if (type == QLatin1String("admin"))
        return Authority::Admin;
    if (type == QLatin1String("super"))
        return Authority::Super;
    if (type == QLatin1String("normal"))
        return Authority::Normal;
    return other;
}

QString ValidationAuthority::Type(Authority authority)
{
    switch (authority) {
    case Authority::Admin: return QStringLiteral("admin");
    case Authority::Super: return QStringLiteral("super");
    case Authority::Normal: return QStringLiteral("normal");
    case Authority::None: break;
    }
    return QString();
}
