#include "platform/process.h"
#include "platform/platformlog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace platform {

namespace {

QString LocalName(const QString& name)
{
    QString base = QFileInfo(name).fileName().toLower();
    if (base.endsWith(QLatin1String(".exe")))
        base.chop(4);
    return base;
}

bool IsRunnable(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QString Process::FindProgram(const QString& name, const QString& programDirectory)
{
    QStringList folders;
    if (!programDirectory.isEmpty())
        folders << programDirectory;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    return FindProgramIn(name, folders);
}

QString Process::FindProgramIn(const QString& name, const QStringList& folders)
{
    const QString local = LocalName(name);
    if (local.isEmpty() || local == QLatin1String(".") || local == QLatin1String(".."))
        return QString();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).absoluteFilePath(local);
        if (IsRunnable(path))
            return path;
    }
    return QString();
}

int Process::Execute(const QString& name, const QStringList& arguments, const QString& programDirectory,
                     int timeoutMs)
{
    const QString program = FindProgram(name, programDirectory);
    if (program.isEmpty()) {
        qCWarning(lcPlatform) << "Process: no program for" << name << "in" << programDirectory
                              << "or beside the client";
        return kNotStarted;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QIODevice::NotOpen);
    if (!process.waitForStarted()) {
        qCWarning(lcPlatform) << "Process: cannot start" << program << process.errorString();
        return kNotStarted;
    }
    if (!process.waitForFinished(timeoutMs < 0 ? -1 : timeoutMs)) {
        qCWarning(lcPlatform) << "Process:" << program << "did not end in time";
        process.kill();
        process.waitForFinished();
        return kCrashed;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return kCrashed;
    return process.exitCode();
}

bool Process::StartDetached(const QString& name, const QStringList& arguments, const QString& programDirectory)
{
    const QString program = FindProgram(name, programDirectory);
    if (program.isEmpty()) {
        qCWarning(lcPlatform) << "Process: no program for" << name << "in" << programDirectory
                              << "or beside the client";
        return false;
    }
    return StartDetachedAt(program, arguments, programDirectory);
}

bool Process::StartDetachedAt(const QString& path, const QStringList& arguments, const QString& programDirectory)
{
    if (path.isEmpty() || !IsRunnable(path))
        return false;
    if (!QProcess::startDetached(path, arguments, programDirectory)) {
        qCWarning(lcPlatform) << "Process: cannot start" << path;
        return false;
    }
    return true;
}

} // namespace platform
