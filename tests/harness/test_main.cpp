// Test entry shared by every suite: a QApplication (offscreen) so that sockets, timers and
// widgets work, then GoogleTest. Each test program runs in a working directory of its own, as
// the main window reads and writes its files (osd.dat, sitebook.xml) in the working directory.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir workDir;
    if (workDir.isValid())
        QDir::setCurrent(workDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir::setCurrent(QDir::tempPath());
    return result;
}
