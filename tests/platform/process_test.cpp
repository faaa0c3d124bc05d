// The process stand-in: a program named as on the original platform maps to a lower-case file
// without ".exe" in the program directory; a missing program gives the failure result.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/process.h"

namespace {

void WriteScript(const QString& path, const QByteArray& body, bool executable = true)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        p |= QFile::ExeOwner;
    file.setPermissions(p);
}

} // namespace

TEST(PlatformProcess, MapsTheProgramNameIntoTheProgramDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(platform::Process::FindProgram("Firmware.exe", dir.path()).isEmpty());
    WriteScript(dir.filePath("firmware"), "exit 0\n");
    EXPECT_EQ(platform::Process::FindProgram("Firmware.exe", dir.path()), dir.filePath("firmware"));
    EXPECT_EQ(platform::Process::FindProgram("FIRMWARE", dir.path()), dir.filePath("firmware"));
    EXPECT_TRUE(platform::Process::FindProgram("..", dir.path()).isEmpty());
    EXPECT_TRUE(platform::Process::FindProgram("", dir.path()).isEmpty());
}

TEST(PlatformProcess, FileThatCannotRunIsMissing)
{
    QTemporaryDir dir;
    WriteScript(dir.filePath("kesto"), "exit 0\n", false);
    EXPECT_TRUE(platform::Process::FindProgram("Kesto.exe", dir.path()).isEmpty());
    EXPECT_EQ(platform::Process::Execute("Kesto.exe", {}, dir.path()), platform::Process::kNotStarted);
}

TEST(PlatformProcess, RunsWithArgumentsAndWaitsForTheEnd)
{
    QTemporaryDir dir;
    // The tool writes its second argument's folder a file named after its first argument.
    WriteScript(dir.filePath("firmware"), "sleep 0.2\nprintf '%s' \"$1\" > \"$2/out.txt\"\nexit 3\n");
    const int result = platform::Process::Execute("Firmware.exe", {"package.bin", dir.path()}, dir.path());
    EXPECT_EQ(result, 3);
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << "the call returns only after the program ended";
    EXPECT_EQ(out.readAll(), QByteArray("package.bin"));
}

TEST(PlatformProcess, MissingProgramIsNotStarted)
{
    QTemporaryDir dir;
    EXPECT_EQ(platform::Process::Execute("Firmware.exe", {"a"}, dir.path()), platform::Process::kNotStarted);
}

TEST(PlatformProcess, ProgramStoppedAfterTheTimeOutCountsAsCrashed)
{
    QTemporaryDir dir;
    WriteScript(dir.filePath("slow"), "exec sleep 30\n");
    EXPECT_EQ(platform::Process::Execute("Slow.exe", {}, dir.path(), 200), platform::Process::kCrashed);
}

// Only the named folders are looked at, first to last; a start by path needs a runnable file.
TEST(PlatformProcess, FindsInTheNamedFoldersAndStartsByPath)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    EXPECT_TRUE(platform::Process::FindProgramIn("Orvane.exe", {first.path(), second.path()}).isEmpty());
    WriteScript(second.filePath("orvane"), "exit 0\n");
    EXPECT_EQ(platform::Process::FindProgramIn("Orvane.exe", {first.path(), second.path()}),
              second.filePath("orvane"));
    WriteScript(first.filePath("orvane"), "exit 0\n");
    EXPECT_EQ(platform::Process::FindProgramIn("orvane", {first.path(), second.path()}), first.filePath("orvane"));
    EXPECT_TRUE(platform::Process::FindProgramIn("orvane", {}).isEmpty());

    EXPECT_TRUE(platform::Process::StartDetachedAt(first.filePath("orvane"), {}, first.path()));
    WriteScript(first.filePath("plain"), "exit 0\n", false);
    EXPECT_FALSE(platform::Process::StartDetachedAt(first.filePath("plain"), {}, first.path()));
    EXPECT_FALSE(platform::Process::StartDetachedAt(QString(), {}, first.path()));
    EXPECT_FALSE(platform::Process::StartDetachedAt(first.filePath("missing"), {}, first.path()));
}
