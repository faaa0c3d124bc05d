#pragma once
// The chat window of the validation console: the lines said so far, one input line and "Send".
// Closing it only hides it; the console shows it again for the next chat.
#include <QDialog>

class QLineEdit;
class QLabel;
class QListWidget;
class QPushButton;

class CChatMessage : public QDialog
{
    Q_OBJECT
public:
    explicit CChatMessage(QWidget* parent = nullptr);

    // The name the window puts before the lines this console sends.
    void SetOwnName(const QString& name) { m_ownName = name; }

    void SetConnecting();
    void SetConnected();
    void AddChatLine(const QString& name, const QString& text);

    QListWidget* Lines() const { return m_lines; }
    QLineEdit* Input() const { return m_input; }
    QPushButton* SendButton() const { return m_send; }
    QLabel* NoteLabel() const { return m_note; }

signals:
    void OnSendChatMessage(const QString& text);
    void OnChatClose();

public slots:
    void onSendButtonClicked();
    void OnReturnPressed();
    // Escape closes the window as its close button does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Clear();

    QLabel* m_note;
    QListWidget* m_lines;
    QLineEdit* m_input;
    QPushButton* m_send;
    QString m_ownName;
};
