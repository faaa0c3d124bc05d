// The program's entry: no window without TLS support, else the main window until it closes.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "shell/mainwindow.h"
#include "shell/runclient.h"

namespace {

// Runs the client in a fresh temporary working directory and restores the old one afterwards.
class ShellRunClient : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override { QDir::setCurrent(previous); }

    QStringList FilesInWorkingDirectory() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QString previous;
};

int MainWindowsAlive()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<MainWindow*>(w) != nullptr;
    return n;
}

} // namespace

TEST_F(ShellRunClient, WithoutTlsShowsTheBoxAndEndsWithMinusOne)
{
    QString title, text;
    int buttons = 0;
    bool hubDuringBox = true;
    int windowsDuringBox = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        buttons = box->buttons().size();
        hubDuringBox = g_pMainWindow != nullptr;
        windowsDuringBox = MainWindowsAlive();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(5);

    char name[] = "zent";
    char* argv[] = {name, nullptr};
    const int result = RunClient(1, argv, false);
    poll.stop();

    EXPECT_EQ(result, -1);
    EXPECT_EQ(title, QStringLiteral("Secure Socket Client"));
    EXPECT_EQ(text, QStringLiteral("This system does not support OpenSSL."));
    EXPECT_EQ(buttons, 1);
    EXPECT_FALSE(hubDuringBox);
    EXPECT_EQ(windowsDuringBox, 0);
    EXPECT_EQ(g_pMainWindow, nullptr);
    EXPECT_EQ(MainWindowsAlive(), 0);
    EXPECT_TRUE(FilesInWorkingDirectory().isEmpty()) << FilesInWorkingDirectory().join(' ').toStdString();
}

TEST_F(ShellRunClient, WithTlsShowsTheMainWindowAndEndsWhenItCloses)
{
    QString title;
    bool wasVisible = false;
    QString centralName;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        MainWindow* hub = g_pMainWindow;
        if (!hub || !hub->isVisible())
            return;
        wasVisible = true;
        title = hub->windowTitle();
        if (hub->centralWidget())
            centralName = hub->centralWidget()->metaObject()->className();
        hub->close();
    });
    poll.start(5);

    char name[] = "zent";
    char* argv[] = {name, nullptr};
    const int result = RunClient(1, argv, true);
    poll.stop();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(wasVisible);
    EXPECT_EQ(title, QStringLiteral("ZENT"));
    // The multi-document area holds the middle of the window.
    EXPECT_EQ(centralName, QStringLiteral("QMdiArea"));
    // The window is destroyed when the loop ends, and the hub with it.
    EXPECT_EQ(g_pMainWindow, nullptr);
    EXPECT_EQ(MainWindowsAlive(), 0);
}

TEST_F(ShellRunClient, ProgramStartsUnderTheOffscreenPlatform)
{
    const QString program = QStringLiteral(ZENT_BINARY_DIR "/bin/zent");
    ASSERT_TRUE(QFileInfo::exists(program)) << program.toStdString();

    QProcess zent;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The shell's debug lines are off by default; the documented switch turns them on.
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zent.shell.debug=true"));
    zent.setProcessEnvironment(env);
    zent.setWorkingDirectory(dir.path());
    zent.setProcessChannelMode(QProcess::SeparateChannels);
    zent.start(program, {});
    ASSERT_TRUE(zent.waitForStarted(10000));

    // The main window has been built once its constructor reports the end of its set-up.
    QByteArray err;
    while (!err.contains("Main initialize finish") && zent.state() == QProcess::Running) {
        zent.waitForReadyRead(1000);
        err += zent.readAllStandardError();
    }
    EXPECT_TRUE(err.contains("Init start")) << err.toStdString();
    EXPECT_TRUE(err.contains("Main initialize finish")) << err.toStdString();
    EXPECT_EQ(zent.state(), QProcess::Running) << "exit code " << zent.exitCode();

    zent.kill();
    zent.waitForFinished(10000);
}
