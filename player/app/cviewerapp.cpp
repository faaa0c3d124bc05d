#include "cviewerapp.h"

#include "ui/cviewerdlg.h"
#include "ui/filetypes.h"
#include "ui/handoverclient.h"
#include "ui/singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

QString CViewerApp::CommandLinePath(const QStringList& arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return QString();
    return QFileInfo(arguments.at(1)).absoluteFilePath();
}

int CViewerApp::HandOver(const QString& socketPath, const QString& path)
{
    HandOverClient client;
    QEventLoop loop;
    bool ok = false;
    bool finished = false;
    QObject::connect(&client, &HandOverClient::finished, &loop, [&](bool done) {
        ok = done;
        finished = true;
        loop.quit();
    });
    client.Start(socketPath, QFile::encodeName(path));
    if (!finished)
        loop.exec();
    return ok ? 0 : 1;
}

int CViewerApp::InitInstance(const QStringList& arguments)
{
    const QString path = CommandLinePath(arguments);
    SingleInstance instance;
    if (!instance.TryBecomeRunning())
        return HandOver(instance.SocketPath(), path);

    ViewerEnvironment env;
    env.programPath = QCoreApplication::applicationFilePath();
    env.programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    env.workingFolder = QDir::currentPath() + QLatin1Char('/');
    env.drives = platform::DriveRoot::Default();
    env.dataFolder = FileTypes::DefaultDataFolder();
    env.pendingPath = path;
    env.askOnExit = qEnvironmentVariableIsEmpty("ORVANE_NO_EXIT_QUESTION");

    CViewerDlg dialog(env);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &dialog, [&dialog] {
        if (dialog.isMinimized())
            dialog.showNormal();
        dialog.raise();
        dialog.activateWindow();
    });
    QObject::connect(&instance, &SingleInstance::openRequested, &dialog,
                     [&dialog](const QString& handed) { dialog.OpenHandedOverPath(handed); });
    dialog.OnInitDialog();
    dialog.exec();
    return 0;
}
