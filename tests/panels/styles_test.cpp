// The style sheets the client carries: every picture they name is compiled into the resources,
// and the P/T/Z panel and the camera control read theirs from the qss folder of the current
// directory.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "panels/cptzctrl.h"
#include "panels/cucccontrol.h"

static void InitClientResources()
{
    Q_INIT_RESOURCE(res);
}

namespace {

TEST(PanelStyles, EveryPictureAStyleSheetNamesIsCompiledIn)
{
    InitClientResources();
    static const QRegularExpression url(QStringLiteral("url\\((:/res/[^)]*)\\)"));
    int named = 0;
    QDirIterator files(QStringLiteral(ZENT_SOURCE_DIR "/client/qss"), {QStringLiteral("*.qss")}, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        for (auto it = url.globalMatch(text); it.hasNext();) {
            const QString path = it.next().captured(1);
            ++named;
            EXPECT_FALSE(QImage(path).isNull()) << qPrintable(file.fileName() + ": " + path);
        }
    }
    EXPECT_GE(named, 9); // the nine pad pictures at least
}

TEST(PanelStyles, PanelsReadPtzOneFromTheCurrentDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir(dir.path()).mkdir(QStringLiteral("qss"));
    const QByteArray sheet = "QPushButton { color: #123456; } /* \xe9 */";
    {
        QFile file(dir.path() + QStringLiteral("/qss/ptz_1.qss"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sheet);
    }
    QDir::setCurrent(dir.path());
    {
        CPTZCtrl panel;
        cUccControl popup;
        EXPECT_EQ(panel.styleSheet(), QString::fromLatin1(sheet));
        EXPECT_EQ(popup.styleSheet(), QString::fromLatin1(sheet));
    }
    QFile::remove(dir.path() + QStringLiteral("/qss/ptz_1.qss"));
    {
        CPTZCtrl panel;
        EXPECT_TRUE(panel.styleSheet().isEmpty());
    }
    QDir::setCurrent(previous);
}

} // namespace
