#pragma once
// The console's chat: which node it is with (the logged-in account's parent or a node below),
// whether it is open, and its window. What is said stays in the window: the validation line
// carries no chat.
#include <QObject>
#include <QString>

class CChatMessage;
class QWidget;

class ValidationChat : public QObject
{
    Q_OBJECT
public:
    enum class Target { None = 0, Parent = 1, Child = 2 };

    explicit ValidationChat(QWidget* windowParent);
    ~ValidationChat() override;

    // Opens the chat with the logged-in account's parent (`root`) or with a node below it.
    void Start(bool root, const QString& ownName);
    // A server message while the chat is open is said in it too.
    void AddServerText(const QString& text);

    bool IsOpen() const { return m_open; }
    Target TargetKind() const { return m_target; }
    CChatMessage* Window() const { return m_window; }

public slots:
    void OnChatClose();
    void OnSendChatMessage(const QString& text);

private:
    CChatMessage* m_window;
    bool m_open = false;
    Target m_target = Target::None;
};
