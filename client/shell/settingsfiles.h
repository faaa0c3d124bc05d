#pragma once
// The hub's small settings files in the program directory: osd.dat (the six display switches),
// smtp.dat (the mail server, read only), account.dat (the central server login, written only)
// and the style sheets of the qss folder. The program directory is fixed at construction; every
// file path is that directory, "/" and the file name.
//
// The display switches are read without a lock by the grids' redraw threads; everything else
// runs on the user-interface thread.
#include <QString>

#include <array>

#include "mail/smtpsettings.h"
#include "shell/osdflags.h"

class SettingsFiles
{
public:
    // The mail server settings of smtp.dat, read at start-up and set by the e-mail settings.
    using SmtpSettings = ::SmtpSettings;

    // The central server login: nine texts in the order the server login dialog fills them.
    static constexpr int kServerLoginFields = 9;

    // The working directory without a trailing "/", as the program finds it at start.
    static QString WorkingDirectory();

    explicit SettingsFiles(const QString& programDirectory);

    QString ProgramDirectory() const { return m_programDirectory; }
    QString FilePath(const QString& fileName) const;

    // osd.dat: six words, each "1" for on; any other word, and a missing one, is off. Without
    // the file every switch is on.
    void ReadOsdFile();
    // Writes the six switches, "1" for a switch that is exactly 1, else "0"; false when the file
    // could not be written.
    bool SaveOsdFile() const;
    quint8 GetOsdFlag(OsdFlag flag) const { return m_osdFlags.Get(flag); }
    void SetOsdFlag(OsdFlag flag, quint8 value) { m_osdFlags.Set(flag, value); }
    const OsdFlags& GetOsdFlags() const { return m_osdFlags; }

    // smtp.dat: one value a line (server, port, secure, authentication, user, password); without
    // the file the defaults (port 25, authentication on).
    void LoadSmtp();
    const SmtpSettings& GetSmtpSettings() const { return m_smtp; }
    void SetSmtpSettings(const SmtpSettings& settings) { m_smtp = settings; }

    // One text of the server login record (0..8); an empty text for a bad index.
    QString GetServerLogin(int field) const;
    void SetServerLogin(int field, const QString& value);
    // Reads account.dat back into the server login record, so that the login form can offer
    // what it kept; a missing or unreadable file leaves the record empty.
    void ReadAccountFile();
    // Writes account.dat from the server login record. Empty fields are replaced first, in the
    // record as well. False when the file could not be written (nothing is written then).
    bool SaveAccountFile();

    // qss/<name in lower case>.qss as Latin-1; a missing or unreadable file gives an empty text.
    QString ReadStyleSheet(const QString& name) const;
    // <folder>/qss/<name in lower case>.qss read whole as Latin-1; empty when it cannot be read.
    static QString ReadStyleSheetIn(const QString& folder, const QString& name);

private:
    void FillEmptyServerLogin();

    QString m_programDirectory;
    OsdFlags m_osdFlags;
    SmtpSettings m_smtp;
    std::array<QString, kServerLoginFields> m_serverLogin;
};
