// The sibling programs the main dialog starts: names, the dialog's position as arguments, an
// open Vistrel window brought forward instead of a second start, and real starts through the
// process layer (a program that is not there is simply not started).
#include <QApplication>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "support/viewerhome.h"
#include "ui/cviewerdlg.h"
#include "ui/siblinglauncher.h"
#include "ui/skinbitmaps.h"

namespace {

struct Started
{
    QStringList calls;
    bool result = true;
    SiblingLauncher::Runner Runner()
    {
        return [this](const QString& name, const QStringList& arguments, const QString& folder) {
            calls << name + " " + arguments.join(' ') + " in " + folder;
            return result;
        };
    }
};

} // namespace

TEST(SiblingLauncher, StartsEachProgramWithThePositionOrRaisesVistrel)
{
    const struct
    {
        const char* name;
        bool vistrel;
        bool windowOpen;
        bool startWorks;
        bool result;
        const char* call; // empty: nothing started
    } cases[] = {
        {"kro", false, false, true, true, "KRO.exe 120 -45 in /opt/player/"},
        {"kro with a Vistrel window", false, true, true, true, "KRO.exe 120 -45 in /opt/player/"},
        {"kro missing", false, false, false, false, "KRO.exe 120 -45 in /opt/player/"},
        {"vistrel", true, false, true, true, "Vistrel.exe 120 -45 in /opt/player/"},
        {"vistrel already open", true, true, true, true, ""},
        {"vistrel missing", true, false, false, false, "Vistrel.exe 120 -45 in /opt/player/"},
    };
    for (const auto& c : cases) {
        Started started;
        started.result = c.startWorks;
        QStringList raised;
        const SiblingLauncher launcher(QStringLiteral("/opt/player/"), started.Runner(),
                                       [&](const QString& title) {
                                           raised << title;
                                           return c.windowOpen;
                                       });
        const QPoint at(120, -45);
        EXPECT_EQ(c.vistrel ? launcher.LaunchVistrel(at) : launcher.LaunchKro(at), c.result) << c.name;
        EXPECT_EQ(started.calls, QString(c.call).isEmpty() ? QStringList() : QStringList({c.call})) << c.name;
        EXPECT_EQ(raised, c.vistrel ? QStringList({"KRO - Vistrel"}) : QStringList()) << c.name;
    }
}

TEST(SiblingLauncher, RealStartsThroughTheProcessLayer)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString out = folder.filePath("started.txt");
    {
        QFile script(folder.filePath("kro"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\necho \"$@\" > \"%1.tmp\" && mv \"%1.tmp\" \"%1\"\n").arg(out).toUtf8());
        script.close();
        ASSERT_TRUE(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    }
    const SiblingLauncher launcher(folder.path() + "/", &SiblingLauncher::StartDetached, nullptr);
    ASSERT_TRUE(launcher.LaunchKro(QPoint(7, 9)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 30000));
    QFile result(out);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll().trimmed(), QByteArray("7 9"));
    // No Vistrel program in the folder: nothing is started and nothing is shown.
    EXPECT_FALSE(launcher.LaunchVistrel(QPoint(7, 9)));
}

TEST(SiblingLauncher, TheDialogPassesItsPositionAndFindsAnOpenVistrelWindow)
{
    SkinBitmaps::Init();
    QTemporaryDir home;
    ViewerEnvironment env = TestViewerEnvironment(home);
    Started started;
    env.startProgram = started.Runner();
    CViewerDlg dialog(env);
    dialog.OnInitDialog();
    dialog.show();
    const QPoint at = dialog.frameGeometry().topLeft();
    const QString args = QStringLiteral("%1 %2 in %3").arg(at.x()).arg(at.y()).arg(env.programFolder);
    EXPECT_TRUE(dialog.OnLaunchKro());
    EXPECT_TRUE(dialog.OnLaunchVistrel());
    EXPECT_EQ(started.calls, QStringList({"KRO.exe " + args, "Vistrel.exe " + args}));

    QWidget vistrel;
    vistrel.setWindowTitle(QStringLiteral("KRO - Vistrel"));
    vistrel.showMinimized();
    EXPECT_TRUE(dialog.OnLaunchVistrel());
    EXPECT_EQ(started.calls.size(), 2); // brought forward, not started again
    EXPECT_FALSE(vistrel.isMinimized());
    dialog.CloseWithoutAsking();
}
