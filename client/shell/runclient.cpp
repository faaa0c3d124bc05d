#include "shell/runclient.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/clientapp.h"
#include "shell/mainwindow.h"

int RunClient(int /*argc*/, char** /*argv*/, bool tlsSupported)
{
    if (!tlsSupported) {
        QMessageBox::information(nullptr, QStringLiteral("Secure Socket Client"),
                                 QStringLiteral("This system does not support OpenSSL."), QMessageBox::Ok);
        return -1;
    }
    ClientApp app;
    app.Window().show();
    return QApplication::exec();
}
