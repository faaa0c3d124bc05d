#include "mail/emailaddress.h"

EmailAddress::EmailAddress(const QString& address, const QString& name)
    : m_address(address)
    , m_name(name)
{}

EmailAddress EmailAddress::Parse(const QString& text)
{
    const int open = text.indexOf(QLatin1Char('<'));
    if (open < 0)
        return EmailAddress(text);
    // The closing bracket that follows the opening one; without one the address runs to the end.
    const int close = text.indexOf(QLatin1Char('>'), open + 1);
    const int end = close > open ? close : text.size();
    return EmailAddress(text.mid(open + 1, end - open - 1), text.left(open));
}
