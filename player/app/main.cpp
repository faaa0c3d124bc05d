// The backup player Orvane: orvane [recording or file.lst]
#include "cviewerapp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setOrganizationName(QStringLiteral("Mirel"));
    CViewerApp viewer;
    return viewer.InitInstance(QApplication::arguments());
}
