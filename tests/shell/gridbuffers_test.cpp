// The grid's two pictures on their own: a cell is drawn again into a buffer only when that
// buffer holds an older version of it, a published composition asks for one repaint until the
// screen takes it, and what changed adds up until then.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "shell/gridbuffers.h"

TEST(GridBuffersTest, ACellIsDrawnAgainOnlyIntoABufferThatHoldsAnOlderVersion)
{
    GridBuffers buffers;
    buffers.Resize(QSize(40, 20));
    ASSERT_FALSE(buffers.IsNull());
    EXPECT_FALSE(buffers.HoldsAll(1)) << "a new buffer holds nothing yet";

    // Version 5 of cell 0 goes into the first buffer, which then goes to the screen.
    EXPECT_TRUE(buffers.NeedsCell(0, 5, false));
    buffers.MarkCell(0, 5);
    EXPECT_FALSE(buffers.NeedsCell(0, 5, false));
    buffers.Publish(QRect(0, 0, 20, 20), 1);
    // The other buffer, now the back one, has never held version 5.
    EXPECT_TRUE(buffers.NeedsCell(0, 5, false));
    EXPECT_FALSE(buffers.HoldsAll(1));
    buffers.MarkCell(0, 5);
    buffers.Publish(QRect(0, 0, 20, 20), 1);
    // Back to the first: it holds version 5 and everything of version 1.
    EXPECT_FALSE(buffers.NeedsCell(0, 5, false));
    EXPECT_TRUE(buffers.HoldsAll(1));
    EXPECT_TRUE(buffers.NeedsCell(0, 5, true)) << "everything to be drawn again";
    EXPECT_TRUE(buffers.NeedsCell(1, 1, false));
}

TEST(GridBuffersTest, OneRepaintIsAskedForUntilTheScreenTakesWhatChanged)
{
    GridBuffers buffers;
    buffers.Resize(QSize(40, 20));
    EXPECT_EQ(buffers.TakeDirty(), QRect()) << "nothing published yet";

    buffers.Back().fill(Qt::red);
    EXPECT_TRUE(buffers.Publish(QRect(0, 0, 20, 20), 1)) << "the first composition asks for a repaint";
    EXPECT_FALSE(buffers.Publish(QRect(20, 0, 20, 10), 1)) << "one is already asked for";
    EXPECT_EQ(buffers.TakeDirty(), QRect(0, 0, 40, 20)) << "the resize's whole picture and both changes";
    EXPECT_EQ(buffers.TakeDirty(), QRect()) << "taken";
    EXPECT_TRUE(buffers.Publish(QRect(5, 5, 2, 2), 2)) << "the screen took everything: ask again";
    EXPECT_EQ(buffers.TakeDirty(), QRect(5, 5, 2, 2));
}

TEST(GridBuffersTest, TheScreenDrawsTheFrontPictureAsItIs)
{
    GridBuffers buffers;
    buffers.Resize(QSize(4, 2));
    buffers.Back().fill(Qt::blue);
    buffers.Publish(QRect(0, 0, 4, 2), 1);
    EXPECT_EQ(buffers.FrontCopy().pixel(3, 1), QColor(Qt::blue).rgb());
    // Drawing changes nothing in the pictures: the back buffer is the older one, still black.
    EXPECT_EQ(buffers.Back().pixel(0, 0), QColor(Qt::black).rgb());

    QImage screen(4, 2, QImage::Format_RGB32);
    screen.fill(Qt::white);
    {
        QPainter painter(&screen);
        buffers.DrawFront(painter, QRect(2, 0, 2, 2), QRect(0, 0, 4, 2));
    }
    EXPECT_EQ(screen.pixel(0, 0), QColor(Qt::white).rgb()) << "outside the area asked for";
    EXPECT_EQ(screen.pixel(3, 1), QColor(Qt::blue).rgb());
}
