#pragma once
// One notice of the central server, to read: its title and text, both locked.
#include "widgets/cpopupdialog.h"

class QLineEdit;
class QTextEdit;

class CNoticeDlg : public CPopupDialog
{
    Q_OBJECT
public:
    explicit CNoticeDlg(QWidget* parent = nullptr);
    // Shown as plain text: a notice's words never become markup.
    void SetNotice(const QString& title, const QString& contents);

private:
    QLineEdit* m_title;
    QTextEdit* m_text;
};
