// Files that hold secrets: readable by their owner only, new or rewritten; a failed write leaves
// the old content.
#include "common/io/privatefile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PrivateFile, NewFileIsReadableByItsOwnerOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sitebook.xml"));
    // A permissive umask must not widen the mode of a new file.
    const mode_t old = ::umask(0);
    const bool ok = privatefile::Write(path, "<zent/>");
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ModeOf(path), mode_t(0600));
    EXPECT_EQ(ReadAll(path), QByteArray("<zent/>"));
}

// A file an older build wrote with the process's umask, or one a user opened up, is put back to
// owner only by the next save.
TEST(PrivateFile, ExistingFileIsMadeOwnerOnly)
{
    for (const mode_t before : {mode_t(0644), mode_t(0640), mode_t(0666), mode_t(0600), mode_t(0400)}) {
        SCOPED_TRACE(before);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sitebook.xml"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), before), 0);
        ASSERT_TRUE(privatefile::Write(path, "new content"));
        EXPECT_EQ(ModeOf(path), mode_t(0600));
        EXPECT_EQ(ReadAll(path), QByteArray("new content"));
    }
}

TEST(PrivateFile, FailedWriteReportsAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing-folder/emap.xml"));
    QString error;
    EXPECT_FALSE(privatefile::Write(path, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
}
