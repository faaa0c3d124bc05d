#pragma once
// The administrator password kept in the account file ([ADMIN] Password), compared as plain text.
// A missing key (or one reading "null") is replaced by the default "4619" when the prompt opens.
#include <QString>

class AdminPassword
{
public:
    static constexpr const char* kDefault = "4619";

    // path: the account file ("c:\KRO\Account.ini" on the player's drive root).
    explicit AdminPassword(QString path);

    // Reads the stored password for a prompt, writing the default when there is none. When the
    // file cannot be written the default is still used for this prompt.
    QString LoadForPrompt();
    // Exact, case-sensitive comparison with what the prompt loaded.
    bool Matches(const QString& entered) const { return entered == m_stored; }
    // Writes the new password when the old one equals the stored value (missing key: empty).
    // False (nothing written) for a wrong old password; *writeFailed tells a failed write apart.
    bool Change(const QString& oldPassword, const QString& newPassword, bool* writeFailed);
    const QString& Path() const { return m_path; }

private:
    QString m_path;
    QString m_stored;
};
