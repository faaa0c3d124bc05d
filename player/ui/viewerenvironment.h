#pragma once
// Where the main dialog finds and puts its files: the program's own folder and path, the drive
// root that stands for "c:\", the data folder that receives the file types, and the path that
// the command line handed over.
#include <QString>

#include "platform/driveroot.h"

#include <QStringList>

#include <functional>

struct ViewerEnvironment
{
    QString programPath;   // the program file
    QString programFolder; // its folder, ending in "/"
    QString workingFolder; // the folder it was started in, ending in "/" (empty: the program folder)
    platform::DriveRoot drives{QString()};
    QString dataFolder;  // receives the desktop entry and MIME package
    QString pendingPath; // from the command line; empty when none
    bool registerFileTypes = true;
    bool askOnExit = true;
    // The speakers' mixer program and how it is started (empty: the one found on PATH).
    QString mixerProgram;
    std::function<bool(const QString&, const QStringList&)> startMixer;
    // How the sibling programs are started: (name, arguments, folder) (empty: the process layer).
    std::function<bool(const QString&, const QStringList&, const QString&)> startProgram;
    // The save dialog of the AVI export (empty: the system's).
    std::function<QString(const QString& proposed)> chooseSavePath;
};
