// The desktop entry and MIME package written into a data folder, and their narrow patterns.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/filetypes.h"

namespace {
bool MatchesAny(const QStringList& globs, const QString& name)
{
    for (const QString& g : globs) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(g),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}
} // namespace

TEST(PlayerFileTypes, RecordingPatternsAreNarrow)
{
    const QStringList globs = FileTypes::RecordingGlobs();
    EXPECT_EQ(globs.size(), 16 * 5);
    for (const char* name : {"x0101.3", "s2000.a", "x1000.f", "h080510.003", "ih080510.016", "x1.001_hd"})
        EXPECT_TRUE(MatchesAny(globs, QString::fromLatin1(name))) << name;
    for (const char* name : {"archive.001", "photo.b", "notes.1", "h1.017", "readme.txt", "list.lst"})
        EXPECT_FALSE(MatchesAny(globs, QString::fromLatin1(name))) << name;
}

TEST(PlayerFileTypes, WritesDesktopEntryAndMimePackage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(FileTypes::Register(dir.path(), QStringLiteral("/opt/my player/orvane"), false));

    QFile desktop(dir.filePath("applications/orvane.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("Exec=\"/opt/my player/orvane\" %f\n"));
    EXPECT_TRUE(entry.contains("MimeType=application/x-orvane-list;application/x-orvane-recording;\n"));

    EXPECT_FALSE(QImage(dir.filePath("icons/hicolor/48x48/apps/orvane.png")).isNull());
    QFile mime(dir.filePath("mime/packages/orvane.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(mime.readAll());
    EXPECT_TRUE(xml.contains("<glob pattern=\"file.lst\" weight=\"60\"/>"));
    EXPECT_FALSE(xml.contains("pattern=\"*.lst\""));
    EXPECT_FALSE(xml.contains("pattern=\"*.001\""));

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty()) {
        QProcess check;
        check.start(validator, {desktop.fileName()});
        ASSERT_TRUE(check.waitForFinished(30000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().constData();
    }
    const QString updater = QStandardPaths::findExecutable("update-mime-database");
    if (!updater.isEmpty()) {
        QProcess update;
        update.start(updater, {dir.filePath("mime")});
        ASSERT_TRUE(update.waitForFinished(30000));
        EXPECT_EQ(update.exitCode(), 0) << update.readAllStandardError().constData();
        EXPECT_TRUE(QFile::exists(dir.filePath("mime/globs2")));
    }
}

TEST(PlayerFileTypes, InstalledFilesMatchWhatThePlayerWrites)
{
    QFile entry(QStringLiteral(ZENT_SOURCE_DIR "/player/app/orvane.desktop.in"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(entry.readAll()), FileTypes::DesktopEntry(QStringLiteral("@ORVANE_PROGRAM@")));
    QFile mime(QStringLiteral(ZENT_SOURCE_DIR "/player/app/orvane-mime.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(mime.readAll()), FileTypes::MimePackage());
}
