#include "adminui/smtp.h"
#include "adminui/mailhub.h"
#include "mail/smtpsendjob.h"

#include <QErrorMessage>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QLabel* RowLabel(const QString& text, int width, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(width);
    return label;
}
} // namespace

Smtp::Smtp(MailHub& hub, QWidget* parent, const QString& path, int kind)
    : CPopupDialog(parent)
    , m_hub(hub)
    , m_job(new SmtpSendJob(this))
{
    setWindowTitle(tr("Send Email"));
    m_sender = new QLineEdit(hub.GetSmtpSettings().user, this);
    m_recipients = new QLineEdit(this);
    m_subject = new QLineEdit(this);
    m_body = new QTextEdit(this);
    m_body->setAcceptRichText(true);
    m_attachments = new QListWidget(this);
    auto* add = new QPushButton(tr("Add File"), this);
    m_send = new QPushButton(tr("Send Email"), this);
    auto* close = new QPushButton(tr("Close"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(RowLabel(tr("Sender : "), 100, this), 0, 0);
    grid->addWidget(m_sender, 0, 1);
    grid->addWidget(RowLabel(tr("Recipients : "), 100, this), 1, 0);
    grid->addWidget(m_recipients, 1, 1);
    grid->addWidget(RowLabel(tr("Subject : "), 100, this), 2, 0);
    grid->addWidget(m_subject, 2, 1);
    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(RowLabel(tr("Attachments : "), 250, this));
    attachRow->addStretch();
    attachRow->addWidget(add);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_send);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 30, 10, 10);
    layout->addLayout(grid);
    layout->addWidget(m_body, 3);
    layout->addLayout(attachRow);
    layout->addWidget(m_attachments, 1);
    layout->addLayout(buttons);
    resize(560, 520);

    if (kind == 1)
        AddAttachments({path, IndexFileOf(path)});
    else if (kind == 2)
        AddAttachments({path});

    connect(add, &QPushButton::clicked, this, &Smtp::on_addAttachment_clicked);
    connect(m_send, &QPushButton::clicked, this, &Smtp::on_sendEmail_clicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_job, &SmtpSendJob::finished, this,
            [this](SmtpSendJob::Outcome outcome, const QString& text, const QString& detail) {
                OnSendFinished(static_cast<int>(outcome), text, detail);
            });
}

Smtp::~Smtp() = default;

QString Smtp::IndexFileOf(const QString& path)
{
    QString index = path;
    index.insert(qMax(0, path.size() - 11), QLatin1Char('i'));
    return index;
}

QStringList Smtp::Attachments() const
{
    QStringList paths;
    for (int i = 0; i < m_attachments->count(); ++i)
        paths << m_attachments->item(i)->text();
    return paths;
}

void Smtp::AddAttachments(const QStringList& paths)
{
    m_attachments->addItems(paths);
}

void Smtp::on_addAttachment_clicked()
{
    auto* dialog = new QFileDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    connect(dialog, &QFileDialog::filesSelected, this, &Smtp::AddAttachments);
    dialog->open();
}

void Smtp::on_sendEmail_clicked()
{
    if (m_job->IsRunning())
        return;
    MailForm form;
    form.sender = m_sender->text();
    form.recipients = m_recipients->text();
    form.subject = m_subject->text();
    form.html = m_body->toHtml();
    form.attachments = Attachments();
    // Refused here, before a connection is made and a login spent on a mail that cannot go.
    const QString problem = SmtpSendJob::FormProblem(form);
    if (!problem.isEmpty()) {
        m_lastResult = problem;
        auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), problem, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    m_send->setEnabled(false);
    if (!m_job->Start(m_hub.GetSmtpSettings(), form))
        m_send->setEnabled(true);
}

void Smtp::OnSendFinished(int outcome, const QString& text, const QString& detail)
{
    m_send->setEnabled(true);
    m_lastResult = text;
    if (static_cast<SmtpSendJob::Outcome>(outcome) == SmtpSendJob::Outcome::Sent) {
        auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    if (!m_errors) {
        m_errors = new QErrorMessage(this);
        m_errors->setModal(true);
        m_errors->setWindowTitle(windowTitle());
    }
    // The box shows rich text: the server's words are escaped, and only their first lines.
    QString shown = SmtpSendJob::ShownDetail(detail).toHtmlEscaped();
    shown.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    m_errors->showMessage(detail.isEmpty() ? text : text.toHtmlEscaped() + QStringLiteral("<br><br>") + shown);
}
