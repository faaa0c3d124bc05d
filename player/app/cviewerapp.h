#pragma once
// The player's start: one running player per user. A later start hands its path (or, without
// one, just the wish to be seen) to the running player and ends when it has been opened; the
// first start builds the main dialog and runs it until it is closed.
#include <QString>

class CViewerApp
{
public:
    // The path of the command line (made absolute, since the running player may work in
    // another folder), or an empty text.
    static QString CommandLinePath(const QStringList& arguments);
    // Runs the program; the exit code of the process.
    int InitInstance(const QStringList& arguments);

private:
    int HandOver(const QString& socketPath, const QString& path);
};
