// Showing a file in the file manager opens the folder that holds it, or the folder itself.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/filemanager.h"

TEST(PlatformFileManager, OpensTheFolderOfAFileOrTheFolderItself)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("day/sub"));
    QFile file(dir.filePath("day/h120000.001"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct
    {
        QString path;
        QString folder;
    } cases[] = {
        {dir.filePath("day/h120000.001"), dir.filePath("day")},
        {dir.filePath("day/sub"), dir.filePath("day/sub")},
        {dir.filePath("day/gone.mp4"), dir.filePath("day")}, // a file not there (yet)
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::FileManager::FolderToOpen(c.path), c.folder) << qPrintable(c.path);
}
