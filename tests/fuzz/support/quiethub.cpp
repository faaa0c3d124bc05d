#include "fuzz/support/quiethub.h"

#include <QDir>

QuietHub* QuietHub::Create()
{
    // The folder lives as long as the process: sessions make their recording folders in it. The
    // hub takes the working directory as its program directory once, when it is built; the
    // working directory is then given back, where libFuzzer finds its corpus folders.
    static QTemporaryDir programDirectory;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(programDirectory.path());
    auto* hub = new QuietHub;
    QDir::setCurrent(previous);
    return hub;
}
