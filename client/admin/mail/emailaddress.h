#pragma once
// One mail address with its optional display name, and the rule by which the send dialog reads
// an address typed by the user: "Name <address>" gives the name (everything before the first
// "<", blanks kept) and the text between the first "<" and the first ">"; anything else is the
// address as it stands, without a name.
#include <QString>

class EmailAddress
{
public:
    EmailAddress() = default;
    EmailAddress(const QString& address, const QString& name = QString());

    const QString& getAddress() const { return m_address; }
    const QString& getName() const { return m_name; }

    static EmailAddress Parse(const QString& text);

private:
    QString m_address;
    QString m_name;
};
