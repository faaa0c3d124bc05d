#pragma once
#include <QString>
#include <QStringList>

// The further e-mail addresses of an account, as the account dialog keeps them: one text of
// addresses joined by ";", the first the main address. Twenty rows are shown; a stored list
// with more further addresses keeps the ones past the twentieth, so that confirming the list
// never drops an address the user did not remove.
class EmailCcList
{
public:
    static constexpr int kRows = 20;

    // Takes the text as the result; its further parts fill the rows in order, the rest is kept.
    void SetEmails(const QString& text);
    QString Row(int row) const;
    // A row past the last or before the first changes nothing.
    void SetRow(int row, const QString& address);
    // The addresses beyond the rows, kept as they were.
    QStringList Overflow() const { return m_overflow; }
    // The main address followed by ";" and each non-empty row, top to bottom, then the kept ones.
    QString Result() const;

    // The part of an account's e-mail before the first ";".
    static QString MainAddress(const QString& email);
    // The account's e-mail from the "Email" text and the further-address text: the text, then
    // ";" and each part of the further text after its first.
    static QString AccountEmail(const QString& emailText, const QString& further);

private:
    QString m_main;
    QString m_rows[kRows];
    QStringList m_overflow;
};
