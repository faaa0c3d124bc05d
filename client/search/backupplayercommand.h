#pragma once
// The command line with which the local backup browser starts the backup player on one recorded
// file: the program directory + "/Orvane.exe " + the file's path in double quotes with every
// forward slash turned into a backslash (the program directory keeps its own separators).
#include <QString>

class BackupPlayerCommand
{
public:
    static QString CommandLine(const QString& programDirectory, const QString& filePath);
};
