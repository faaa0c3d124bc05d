#include "validation/cchatmessage.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CChatMessage::CChatMessage(QWidget* parent)
    : QDialog(parent)
    , m_note(new QLabel(this))
    , m_lines(new QListWidget(this))
    , m_input(new QLineEdit(this))
    , m_send(new QPushButton(QStringLiteral("Send"), this))
{
    setWindowTitle(QStringLiteral("Chatting"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    // Return in the input sends nothing: only the button sends, so it is never the default.
    m_send->setAutoDefault(false);
    m_send->setDefault(false);
    m_lines->setSelectionMode(QAbstractItemView::NoSelection);
    // The validation line carries no chat: a sent line only ever shows here, and the user must
    // not take it for delivered.
    m_note->setText(QStringLiteral("Chat is local: lines stay in this window and are not sent to the server."));
    m_note->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_note);
    column->addWidget(m_lines);
    column->addWidget(m_input);
    column->addWidget(m_send);
    connect(m_send, &QPushButton::clicked, this, &CChatMessage::onSendButtonClicked);
    connect(m_input, &QLineEdit::returnPressed, this, &CChatMessage::OnReturnPressed);
    resize(400, 400);
}

void CChatMessage::Clear()
{
    m_input->clear();
    m_lines->clear();
}

void CChatMessage::SetConnecting()
{
    Clear();
    m_input->setReadOnly(true);
    m_send->setEnabled(false);
    m_lines->addItem(QStringLiteral("Connecting - Please wait...."));
    m_lines->scrollToBottom();
}

void CChatMessage::SetConnected()
{
    Clear();
    m_input->setReadOnly(false);
    m_send->setEnabled(true);
}

void CChatMessage::AddChatLine(const QString& name, const QString& text)
{
    m_lines->addItem(QStringLiteral("[") + name + QStringLiteral("] : ") + text);
    m_lines->scrollToBottom();
}

void CChatMessage::onSendButtonClicked()
{
    const QString text = m_input->text();
    if (text.isEmpty() || m_input->isReadOnly())
        return;
    m_input->clear();
    emit OnSendChatMessage(text);
    AddChatLine(m_ownName, text);
}

void CChatMessage::OnReturnPressed() {}

void CChatMessage::reject()
{
    close();
}

void CChatMessage::closeEvent(QCloseEvent* event)
{
    event->accept();
    hide();
    emit OnChatClose();
}
