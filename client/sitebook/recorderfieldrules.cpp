#include "sitebook/recorderfieldrules.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr int kMaxHostNameLength = 253;

bool IsIpv4(const QString& address)
{
    static const QRegularExpression dottedQuad(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{1,3}){3}$"));
    QHostAddress parsed;
    return dottedQuad.match(address).hasMatch() && parsed.setAddress(address)
           && parsed.protocol() == QAbstractSocket::IPv4Protocol;
}

bool IsIpv6(const QString& address)
{
    QHostAddress parsed;
    return address.contains(QLatin1Char(':')) && parsed.setAddress(address)
           && parsed.protocol() == QAbstractSocket::IPv6Protocol;
}

bool IsHostName(const QString& address)
{
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (address.isEmpty() || address.size() > kMaxHostNameLength)
        return false;
    const QStringList labels = address.split(QLatin1Char('.'));
    for (const QString& part : labels) {
        if (!label.match(part).hasMatch())
            return false;
    }
    // All digits at the end is an IPv4 address (or a broken one), never a name.
    return !digits.match(labels.last()).hasMatch();
}

} // namespace

bool RecorderFieldRules::IsHostAddress(const QString& address)
{
    return IsIpv4(address) || IsIpv6(address) || IsHostName(address);
}

int RecorderFieldRules::PortNumber(const QString& port)
{
    static const QRegularExpression decimal(QStringLiteral("^[0-9]+$"));
    bool ok = false;
    const int number = decimal.match(port).hasMatch() ? port.toInt(&ok, 10) : 0;
    return ok && number >= kLowestPort && number <= kHighestPort ? number : 0;
}

QString RecorderFieldRules::AddressRefusal()
{
    return QStringLiteral("The address must be a host name, an IPv4 address or an IPv6 address.");
}

QString RecorderFieldRules::PortRefusal()
{
    return QStringLiteral("The port must be a number from %1 to %2.").arg(kLowestPort).arg(kHighestPort);
}
