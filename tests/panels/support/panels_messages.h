#pragma once
// What the panel tests read of a recorder simulator and how they answer the panels' questions;
// no hub involved, so the shell's end-to-end panel tests use them too.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "harness/dvrsimprocess.h"

// The whole messages of one command a simulator received, in order.
QList<QByteArray> Received(const DvrSimProcess* sim, int command);
// Waits until the simulator holds at least `count` messages of the command; those messages.
QList<QByteArray> AwaitReceived(const DvrSimProcess* sim, int command, int count);

// A camera control message (command 0x08) as a recorder receives it: channel, code, speed, and
// the low byte of the preset three times.
QByteArray CameraControlBytes(int channel, int code, int speed, int preset);

// Answers the next QInputDialog questions with the given values in turn (an empty optional: cancel).
class InputDialogAnswers : public QObject
{
public:
    explicit InputDialogAnswers(QList<int> answers);
    ~InputDialogAnswers() override;
    // The titles of the questions asked, in order.
    QStringList asked;

private:
    void Tick();
    QList<int> m_answers;
    QTimer m_timer;
};
// A value of InputDialogAnswers that cancels its question.
constexpr int kCancelAnswer = -1;
