#pragma once
// The application's modal message box, as the account dialogs use it (title, text). The shell
// implements it with the main window's box; tests record the messages.
#include <QString>

class ModalMessages
{
public:
    virtual ~ModalMessages() = default;
    virtual void ShowModalMessage(const QString& title, const QString& text) = 0;
};
