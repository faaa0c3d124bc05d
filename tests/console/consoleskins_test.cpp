// The console skin bitmaps the client carries: every picture that the simulator's console pages
// name (and the table button the console's restart rule looks for) is in the resources, in both
// skin sets' base folder and "bin" folder, and loads as a bitmap with magenta where it is clear.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

// The pictures live in a static library, so they are registered by hand.
static void InitClientResources()
{
    Q_INIT_RESOURCE(res);
}

namespace {

// The usual skin set, and the one of recorders of model type 7.
const QString kSkins[] = {QStringLiteral(":/res/Config/TYPE1_CALDORA/VGA/skin_img/"),
                          QStringLiteral(":/res/Config/TYPE5_PRIME/VGA/skin_img/")};

QSet<QString> NamesInSimulatorPages(QString* error)
{
    QProcess python;
    python.setWorkingDirectory(QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim"));
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("from dvrsim_lib import console\n"
                                 "for page in console.PAGES: print(console.layout_text(page).decode())")});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        *error = QString::fromLocal8Bit(python.readAllStandardError());
        return {};
    }
    QSet<QString> names;
    static const QRegularExpression imageName(QStringLiteral("image_name=\"([^\"]+)\""));
    const QString text = QString::fromUtf8(python.readAllStandardOutput());
    for (auto it = imageName.globalMatch(text); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

TEST(ConsoleSkins, EveryNamedPictureIsCarried)
{
    InitClientResources();
    QString error;
    QSet<QString> names = NamesInSimulatorPages(&error);
    ASSERT_FALSE(names.isEmpty()) << error.toStdString();
    names << QStringLiteral("btn_table_each_normal");
    for (const QString& skin : kSkins) {
        for (const QString& name : qAsConst(names)) {
            for (const QString& folder : {QString(), QStringLiteral("bin/")}) {
                const QString path = skin + folder + name + QStringLiteral(".bmp");
                QImage picture(path);
                ASSERT_FALSE(picture.isNull()) << path.toStdString();
                EXPECT_EQ(picture.size(), QSize(48, 48)) << path.toStdString();
            }
        }
        // The logo stands on a clear ground.
        EXPECT_EQ(QImage(skin + QStringLiteral("logo.bmp")).pixel(0, 0), qRgb(255, 0, 255)) << skin.toStdString();
    }
}

} // namespace
