#include "panels/support/panels_messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QJsonObject>
#include <QTest>

QList<QByteArray> Received(const DvrSimProcess* sim, int command)
{
    QList<QByteArray> messages;
    if (!sim)
        return messages;
    for (const QJsonObject& o : sim->Messages(command))
        messages << QByteArray::fromHex(o.value(QStringLiteral("hex")).toString().toLatin1());
    return messages;
}

QList<QByteArray> AwaitReceived(const DvrSimProcess* sim, int command, int count)
{
    // The caller compares what arrived; a shortfall shows there.
    (void)QTest::qWaitFor([&] { return Received(sim, command).size() >= count; }, 10000);
    return Received(sim, command);
}

QByteArray CameraControlBytes(int channel, int code, int speed, int preset)
{
    // Length 14 (big-endian), markers 00 A1, command 08, status 0, sub-code 0, total 18 (24-bit
    // little-endian), then the six body bytes.
    QByteArray bytes = QByteArray::fromHex("0000000e00a108000012"
                                           "0000");
    bytes += char(channel);
    bytes += char(code);
    bytes += char(speed);
    bytes += QByteArray(3, char(preset & 0xFF));
    return bytes;
}

InputDialogAnswers::InputDialogAnswers(QList<int> answers)
    : m_answers(std::move(answers))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(5);
}

InputDialogAnswers::~InputDialogAnswers()
{
    m_timer.stop();
}

void InputDialogAnswers::Tick()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        if (!dialog || !dialog->isVisible())
            continue;
        asked << dialog->windowTitle();
        const int answer = m_answers.isEmpty() ? kCancelAnswer : m_answers.takeFirst();
        if (answer == kCancelAnswer) {
            dialog->reject();
        } else {
            dialog->setIntValue(answer);
            dialog->accept();
        }
        return;
    }
}
