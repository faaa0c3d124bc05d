#include "shell/runclient.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/mainwindow.h"

int RunClient(int /*argc*/, char** /*argv*/, bool tlsSupported)
{
    if (!tlsSupported) {
        QMessageBox::information(nullptr, QStringLiteral("Secure Socket Client"),
                                 QStringLiteral("This system does not support OpenSSL."), QMessageBox::Ok);
        return -1;
    }
    auto* window = new MainWindow;
    window->show();
    const int result = QApplication::exec();
    delete window;
    return result;
}
