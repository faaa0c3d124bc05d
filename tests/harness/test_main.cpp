// Test entry shared by every suite: a QApplication (offscreen) so that sockets, timers and
// widgets work, then GoogleTest. Each test program runs in a working directory of its own, as
// the main window reads and writes its files (osd.dat, sitebook.xml) in the working directory.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZENT_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENT_TEST_ASAN 1
#endif
#endif

#ifdef ZENT_TEST_ASAN
// Qt's offscreen platform plugin leaves its screen objects behind at exit, so leak checking would
// fail every run of a test program, the test listing that the build runs to find the tests
// included. The program carries that setting itself so that building and running need nothing
// in the environment; ASAN_OPTIONS still overrides it (detect_leaks=1 to look at leaks anyway).
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options()
{
    return "detect_leaks=0";
}
#endif

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
