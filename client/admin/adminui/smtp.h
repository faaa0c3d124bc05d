#pragma once
// "Send Email": mails recorded files or snapshots of the site book through the outgoing server
// of the e-mail settings. The send runs without blocking the window; "Send Email" stays
// disabled until it ends, and its end is shown (an error box, or the success message).
#include <QStringList>

#include "widgets/cpopupdialog.h"

class MailHub;
class QErrorMessage;
class QLineEdit;
class QListWidget;
class QMessageBox;
class QPushButton;
class QTextEdit;
class SmtpSendJob;

class Smtp : public CPopupDialog
{
    Q_OBJECT
public:
    // kind 1: a recording file, attached with its index file; 2: a snapshot; else nothing.
    Smtp(MailHub& hub, QWidget* parent, const QString& path, int kind);
    ~Smtp() override;

    // The index file of a recording: the path with "i" before its last 11 characters.
    static QString IndexFileOf(const QString& path);

    QStringList Attachments() const;
    void AddAttachments(const QStringList& paths);
    QLineEdit* SenderEdit() const { return m_sender; }
    QLineEdit* RecipientsEdit() const { return m_recipients; }
    QLineEdit* SubjectEdit() const { return m_subject; }
    QTextEdit* BodyEdit() const { return m_body; }
    QPushButton* SendButton() const { return m_send; }
    SmtpSendJob* Job() const { return m_job; }
    // The text of the last end shown (error or success), for the window's tests.
    const QString& LastResult() const { return m_lastResult; }

public slots:
    void on_addAttachment_clicked();
    void on_sendEmail_clicked();

private:
    void OnSendFinished(int outcome, const QString& text, const QString& detail);

    MailHub& m_hub;
    QLineEdit* m_sender;
    QLineEdit* m_recipients;
    QLineEdit* m_subject;
    QTextEdit* m_body;
    QListWidget* m_attachments;
    QPushButton* m_send;
    SmtpSendJob* m_job;
    QErrorMessage* m_errors = nullptr;
    QString m_lastResult;
};
