#pragma once
// Starting the external programs that the client runs (the firmware tool and the like). A program
// is named as on the recorder's original platform ("Firmware.exe"); it maps to the lower-case
// name without ".exe", looked up first in the program directory, then beside the running
// executable. A program that is not there gives the caller's failure path.
#include <QString>
#include <QStringList>

namespace platform {

class Process
{
public:
    // Result of Execute when the program is missing or could not be started.
    static constexpr int kNotStarted = -2;
    // Result of Execute when the program crashed or was stopped after the time-out.
    static constexpr int kCrashed = -1;

    // The path of the program to run for `name`, or an empty text when none exists.
    static QString FindProgram(const QString& name, const QString& programDirectory);
    // The path of the program for `name` in the first of the folders that holds it, or empty.
    static QString FindProgramIn(const QString& name, const QStringList& folders);

    // Runs the program with the arguments and waits for it to end (at most `timeoutMs`, or for
    // ever when negative). Returns its exit code, kNotStarted or kCrashed. Runs no event loop.
    static int Execute(const QString& name, const QStringList& arguments, const QString& programDirectory,
                       int timeoutMs = -1);

    // Starts the program with the arguments as a process of its own, in the program directory,
    // and does not wait for it. False when the program is missing or could not be started.
    static bool StartDetached(const QString& name, const QStringList& arguments, const QString& programDirectory);
    // Starts the program at `path` (as FindProgram gives it) the same way; false when it is not a
    // runnable file or could not be started.
    static bool StartDetachedAt(const QString& path, const QStringList& arguments,
                                const QString& programDirectory);
};

} // namespace platform
