#include "sitebook/support/sitebook_modal.h"

#include <QAbstractButton>

namespace {
constexpr int kTickMs = 10;
}

ModalDriver::ModalDriver(std::function<bool(QWidget*)> act, int limitMs)
    : m_act(std::move(act))
    , m_ticksLeft(limitMs / kTickMs)
{
    QObject::connect(&m_timer, &QTimer::timeout, this, &ModalDriver::Tick);
    m_timer.start(kTickMs);
}

void ModalDriver::Tick()
{
    if (m_done || --m_ticksLeft < 0) {
        m_timer.stop();
        return;
    }
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        if (!w->isVisible())
            continue;
        if (m_act(w)) {
            m_done = true;
            m_timer.stop();
            return;
        }
    }
}

std::unique_ptr<ModalDriver> AnswerNextQuestion(QMessageBox::StandardButton button, QString* seenTitle,
                                                QString* seenText)
{
    return OnNextDialog<QMessageBox>([button, seenTitle, seenText](QMessageBox* box) {
        if (seenTitle)
            *seenTitle = box->windowTitle();
        if (seenText)
            *seenText = box->text();
        if (QAbstractButton* b = box->button(button))
            b->click();
    });
}
