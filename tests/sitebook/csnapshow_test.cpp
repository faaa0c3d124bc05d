// The snapshot viewer: any picture fills the 960 x 540 area; a file that does not load leaves it
// empty, and the window still closes normally.
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "sitebook/csnapshow.h"

namespace {

TEST(CSnapShow, AnyPictureFillsTheArea)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QSize size : {QSize(1920, 1080), QSize(640, 480), QSize(100, 700)}) {
        const QString path = dir.filePath(QStringLiteral("%1x%2.jpg").arg(size.width()).arg(size.height()));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(path));
        CSnapShow viewer(nullptr, path);
        EXPECT_EQ(viewer.PictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(960, 540)) << path.toStdString();
    }
}

TEST(CSnapShow, LayoutOfTheWindow)
{
    CSnapShow viewer(nullptr, QStringLiteral("/nonexistent/shot.jpg"));
    EXPECT_EQ(viewer.windowTitle(), QLatin1String("SnapShot"));
    EXPECT_EQ(viewer.size(), QSize(980, 620));
    EXPECT_EQ(viewer.PictureLabel()->geometry(), QRect(10, 30, 960, 540));
    EXPECT_EQ(viewer.PictureLabel()->frameShape(), QFrame::Box);
    EXPECT_EQ(viewer.CloseButton()->text(), QLatin1String("Close"));
    EXPECT_EQ(viewer.CloseButton()->geometry(), QRect(860, 580, 100, 30));
}

TEST(CSnapShow, AFileThatDoesNotLoadLeavesTheAreaEmptyAndCloseStillWorks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    CSnapShow viewer(nullptr, path);
    EXPECT_TRUE(viewer.PictureLabel()->pixmap(Qt::ReturnByValue).isNull());
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    QTest::mouseClick(viewer.CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(viewer.result(), 1);
}

} // namespace
