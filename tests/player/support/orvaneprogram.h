#pragma once
// The built backup player run as a process of a test: where it lies, the environment that runs
// it offscreen in a home of the test's own, a recording written by the client's own writer for
// it to open, and the pictures it reports showing (one debug line per shown picture) checked
// against ffmpeg's decode of the same stream.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace decoder_streams {
struct Stream;
}

namespace orvane_program {

// Folder of the built programs and the player in it.
QString ProgramFolder();
QString Program();

// Runs the player offscreen with its runtime, data and configuration folders under `home`
// (made here), its picture lines switched on and no question on exit.
QProcessEnvironment Environment(const QString& home);

// Sets the environment's entries in this process too, so that programs it starts (as the
// client starts the player) run the same way; the old values come back when it goes.
class ProcessEnvironment
{
public:
    explicit ProcessEnvironment(const QProcessEnvironment& env);
    ~ProcessEnvironment();
    ProcessEnvironment(const ProcessEnvironment&) = delete;
    ProcessEnvironment& operator=(const ProcessEnvironment&) = delete;

private:
    QList<QPair<QByteArray, QByteArray>> m_old; // name, old value
    QList<QByteArray> m_unset;                  // names not set before
};

// A player process of the test, ended (by its own process id) when the test ends.
struct OwnProcess
{
    QProcess process;
    ~OwnProcess();
};

// Waits without a fixed sleep until `done` holds or the generous limit has passed.
bool WaitFor(const std::function<bool()>& done, int limitMs = 60000);

// The running player's hand-over socket under `home`.
QString SocketPath(const QString& home);

// The recording the client's writer makes of `units` (each wrapped in the recorder's frame
// payload) on channel `channel` (0-based) of a day at `start` (hhmmss), `rate` frames a
// second, a key frame at the start of each second. Returns its path, or empty with `error`.
QString WriteClientRecording(const QString& folder, const QList<QByteArray>& units, int channel, int date,
                             int start, int rate, QString& error);

using Colour = std::array<int, 3>;

struct Shown
{
    int tile = -1;
    int width = 0;
    int height = 0;
    int date = 0;
    int time = 0;
    Colour mean{0, 0, 0};
};

// The pictures the player's log reports showing, in order.
QList<Shown> ShownPictures(const QString& log);
// The pictures the log reports for the tile that opened `recording`, without the blank tiles'
// pictures of no date; empty until the opening is in the log.
QList<Shown> ShownForRecording(const QString& log, const QString& recording);

// What is wrong with the pictures shown of a recording of `stream` (date, start hhmmss, `rate`
// frames a second): size, date and time, and a mean colour that no picture of the same second
// of ffmpeg's decode has. Empty when every picture is right.
QStringList ShownFaults(const QList<Shown>& shown, const decoder_streams::Stream& stream, int date, int start,
                        int rate);

} // namespace orvane_program
