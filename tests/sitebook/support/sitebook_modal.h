#pragma once
// Drives modal dialogs that the code under test opens and runs with exec(): a timer waits for
// the first visible top-level widget of the type and hands it to the test's function once.
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class ModalDriver : public QObject
{
public:
    // Gives up after limitMs when no such dialog shows up.
    ModalDriver(std::function<bool(QWidget*)> act, int limitMs);
    bool Done() const { return m_done; }

private:
    void Tick();

    std::function<bool(QWidget*)> m_act;
    QTimer m_timer;
    int m_ticksLeft;
    bool m_done = false;
};

// Runs act on the next dialog of type T (a widget of type T that is visible and top-level).
// The driver lives until the test's scope ends.
template <class T>
std::unique_ptr<ModalDriver> OnNextDialog(std::function<void(T*)> act, int limitMs = 10000)
{
    return std::make_unique<ModalDriver>(
        [act](QWidget* w) {
            T* dialog = qobject_cast<T*>(w);
            if (!dialog)
                return false;
            act(dialog);
            return true;
        },
        limitMs);
}

// Answers the next question box with the button.
std::unique_ptr<ModalDriver> AnswerNextQuestion(QMessageBox::StandardButton button, QString* seenTitle = nullptr,
                                                QString* seenText = nullptr);
