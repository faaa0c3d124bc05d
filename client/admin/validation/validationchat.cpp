#include "validation/validationchat.h"

#include "core/adminlog.h"
#include "validation/cchatmessage.h"

ValidationChat::ValidationChat(QWidget* windowParent)
    : QObject(windowParent)
    , m_window(new CChatMessage(windowParent))
{
    m_window->hide();
    connect(m_window, &CChatMessage::OnChatClose, this, &ValidationChat::OnChatClose);
    connect(m_window, &CChatMessage::OnSendChatMessage, this, &ValidationChat::OnSendChatMessage);
}

ValidationChat::~ValidationChat() = default;

void ValidationChat::Start(bool root, const QString& ownName)
{
    m_open = true;
    m_target = root ? Target::Parent : Target::Child;
    m_window->SetOwnName(ownName);
    // Nothing on the line answers a chat request, so the window is ready at once.
    m_window->SetConnected();
    m_window->show();
    m_window->raise();
}

void ValidationChat::AddServerText(const QString& text)
{
    if (m_open)
        m_window->AddChatLine(QStringLiteral("Validation"), text);
}

void ValidationChat::OnChatClose()
{
    m_open = false;
    m_target = Target::None;
    m_window->SetConnected();
    m_window->hide();
}

void ValidationChat::OnSendChatMessage(const QString& text)
{
    qCDebug(lcAdmin) << "chat" << text.size() << "characters, kept in the window";
}
