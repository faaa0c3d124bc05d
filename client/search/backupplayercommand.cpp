#include "search/backupplayercommand.h"

QString BackupPlayerCommand::CommandLine(const QString& programDirectory, const QString& filePath)
{
    QString argument = QLatin1Char('"') + filePath + QLatin1Char('"');
    argument.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return programDirectory + QStringLiteral("/Orvane.exe ") + argument;
}
