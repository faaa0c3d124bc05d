#pragma once
// Panel tests against a logged-in recorder: the main window is the hub (offscreen), a recorder
// session logs in to a simulator of its own, and the messages the simulator received are read
// back as bytes.
#include <QByteArray>
#include <QList>
#include <functional>

#include "shell/support/grid_online_fixture.h"

class PanelsOnlineTest : public GridOnlineTest
{
protected:
    // The whole messages of one command the simulator of a recorder received, in order.
    static QList<QByteArray> Received(const GridDvrSim* sim, int command);
    // Waits until the simulator holds at least `count` messages of the command; those messages.
    static QList<QByteArray> AwaitReceived(const GridDvrSim* sim, int command, int count);
};

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
