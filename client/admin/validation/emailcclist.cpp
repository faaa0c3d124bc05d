#include "validation/emailcclist.h"

void EmailCcList::SetEmails(const QString& text)
{
    m_main = text;
    for (QString& row : m_rows)
        row.clear();
    m_overflow.clear();
    if (text.isEmpty())
        return;
    const QStringList parts = text.split(QLatin1Char(';'));
    m_main = parts.first();
    for (int part = 1; part < parts.size(); ++part) {
        if (part <= kRows)
            m_rows[part - 1] = parts[part];
        else if (!parts[part].isEmpty())
            m_overflow << parts[part];
    }
}

QString EmailCcList::Row(int row) const
{
    return row >= 0 && row < kRows ? m_rows[row] : QString();
}

void EmailCcList::SetRow(int row, const QString& address)
{
    if (row >= 0 && row < kRows)
        m_rows[row] = address;
}

QString EmailCcList::Result() const
{
    QString result = m_main;
    for (const QString& row : m_rows)
        if (!row.isEmpty())
            result += QLatin1Char(';') + row;
    for (const QString& kept : m_overflow)
        result += QLatin1Char(';') + kept;
    return result;
}

QString EmailCcList::MainAddress(const QString& email)
{
    return email.section(QLatin1Char(';'), 0, 0);
}

QString EmailCcList::AccountEmail(const QString& emailText, const QString& further)
{
    QString email = emailText;
    if (further.isEmpty())
        return email;
    const QStringList parts = further.split(QLatin1Char(';'));
    for (int part = 1; part < parts.size(); ++part)
        email += QLatin1Char(';') + parts[part];
    return email;
}
