#pragma once
// The still dialog's host on a real screen: the system's message box, save chooser and print
// dialog. Without any printer the page goes to a PDF file the user names.
#include "ui/stilldialoghost.h"

#include <functional>

class QWidget;

class SystemStillDialogHost : public StillDialogHost
{
public:
    SystemStillDialogHost(std::function<QString(const QString&)> text, QWidget* parent);

    QString Text(const QString& key) const override;
    void ShowMessage(const QString& text, const QString& caption) override;
    QString AskSavePath(const QString& proposed) override;
    bool AskPrinter(QPrinter* printer) override;
    int SaveCounter() const override { return m_counter; }
    void CountSave() override { ++m_counter; }

private:
    std::function<QString(const QString&)> m_text;
    QWidget* m_parent;
    int m_counter = 1;
};
