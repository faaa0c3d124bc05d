#pragma once
// The main dialog's environment over a temporary home folder: its program, drives and data
// folders inside it, no file types registered and no question on exit.
#include "ui/viewerenvironment.h"

#include <QTemporaryDir>

inline ViewerEnvironment TestViewerEnvironment(const QTemporaryDir& home)
{
    ViewerEnvironment env;
    env.programPath = home.filePath("orvane");
    env.programFolder = home.path() + "/";
    env.drives = platform::DriveRoot(home.filePath("drives"));
    env.dataFolder = home.filePath("data");
    env.registerFileTypes = false;
    env.askOnExit = false;
    return env;
}
