#pragma once
// What the e-mail windows reach of the main window: its SMTP settings (read by the send dialog,
// set by the settings dialog) and the program directory that holds smtp.dat. The shell
// implements it; tests use a fake.
#include <QString>

#include "mail/smtpsettings.h"

class MailHub
{
public:
    virtual ~MailHub() = default;
    virtual SmtpSettings GetSmtpSettings() const = 0;
    virtual void SetSmtpSettings(const SmtpSettings& settings) = 0;
    virtual QString ProgramDirectory() const = 0;
};
