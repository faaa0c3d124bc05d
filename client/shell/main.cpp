// ZENT: the client for networked video recorders.
#include <QApplication>
#include <QSslSocket>

#include "shell/runclient.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return RunClient(argc, argv, QSslSocket::supportsSsl());
}
