#include "ui/cliveprintmodule.h"
#include "ui/skinbitmaps.h"

#include "ui/stilldialoghost.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FakeStillHost : public StillDialogHost
{
public:
    QString Text(const QString& key) const override { return key; }
    void ShowMessage(const QString& text, const QString& caption) override { messages << caption + ": " + text; }
    QString AskSavePath(const QString& proposed) override
    {
        proposals << proposed;
        return answer;
    }
    bool AskPrinter(QPrinter* printer) override
    {
        if (pdf.isEmpty()) {
            return false;
        }
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return true;
    }
    int SaveCounter() const override { return counter; }
    void CountSave() override { ++counter; }

    QStringList messages;
    QStringList proposals;
    QString answer;
    QString pdf;
    int counter = 1;
};

StillRecord Still(int width, int height)
{
    StillRecord still;
    still.picture = QImage(width, height, QImage::Format_RGB32);
    still.picture.fill(qRgb(30, 90, 200));
    still.width = width;
    still.height = height;
    still.recorderName = QStringLiteral("Lobby/DVR");
    still.cameraName = QStringLiteral("Door");
    still.address = QStringLiteral("192.168.0.9");
    still.dateTime = QStringLiteral("2026-12-10 11:00:00");
    still.cameraNumber = QStringLiteral("3");
    return still;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What an outside tool says of a written file (identify for pictures, pdfinfo for the page);
// a tool that cannot run gives its error instead, which no expectation matches.
QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + tool.errorString() + QLatin1Char(' ')
               + QString::fromLocal8Bit(tool.readAllStandardError());
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString Identify(const QString& path)
{
    return Tool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%m %w %h"), path});
}

// "Key: value" lines of pdfinfo.
QMap<QString, QString> PdfInfo(const QString& path)
{
    QMap<QString, QString> info;
    const QString text = Tool(QStringLiteral("pdfinfo"), {path});
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    if (info.isEmpty())
        info.insert(QStringLiteral("error"), text);
    return info;
}

TEST(CLivePrintModule, AnUnusableStillSaysWhyAndEnds)
{
    FakeStillHost host;
    const std::pair<StillRecord, int> cases[] = {{Still(0, 0), -1},
                                                 {[] {
                                                      StillRecord s = Still(64, 48);
                                                      s.bitsPerPixel = 0;
                                                      return s;
                                                  }(),
                                                  -2},
                                                 {[] {
                                                      StillRecord s = Still(64, 48);
                                                      s.picture = QImage();
                                                      return s;
                                                  }(),
                                                  -3},
                                                 {[] {
                                                      StillRecord s = Still(64, 48);
                                                      s.width = 640;
                                                      return s;
                                                  }(),
                                                  -4}};
    for (const auto& [still, code] : cases) {
        CLivePrintModule dialog(still, &host);
        EXPECT_EQ(dialog.SetData(still), code);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_EQ(host.messages.last(), QStringLiteral("NOTIFY: INVALID_PRINT_INFO %1").arg(code));
    }
}

TEST(CLivePrintModule, SavesJpegAndBmpAndCountsTheRunsSaves)
{
    QTemporaryDir dir;
    FakeStillHost host;
    StillRecord still = Still(672, 480);
    still.imageFolder = dir.filePath("stills");
    CLivePrintModule dialog(still, &host);
    host.answer = dir.filePath("first.JPG");
    dialog.OnSave();
    EXPECT_TRUE(QFileInfo(still.imageFolder).isDir());
    EXPECT_EQ(host.proposals.last(), still.imageFolder + "/001 LobbyDVR(Door)");
    host.answer = dir.filePath("second.jpeg");
    dialog.OnSave();
    EXPECT_EQ(host.proposals.last(), still.imageFolder + "/002 LobbyDVR(Door)");
    EXPECT_EQ(host.counter, 3);
    EXPECT_EQ(QImageReader(dir.filePath("first.JPG")).format(), QByteArray("jpeg"));
    QImageReader bmp(dir.filePath("second.jpeg"));
    bmp.setDecideFormatFromContent(true);
    EXPECT_EQ(bmp.format(), QByteArray("bmp"));
    const QImage back = bmp.read();
    ASSERT_EQ(back.size(), QSize(720, 560));
    EXPECT_EQ(back.pixel(100, 100), qRgb(30, 90, 200)); // inside the 640 x 480 box
    EXPECT_EQ(back.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_TRUE(host.messages.isEmpty());
    // The files as another program reads them: the type chosen by the name, the whole page.
    EXPECT_EQ(Identify(dir.filePath("first.JPG")), QStringLiteral("JPEG 720 560"));
    EXPECT_EQ(Identify(dir.filePath("second.jpeg")), QStringLiteral("BMP3 720 560")); // a Windows 3 bitmap
    // No temporary file is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"first.JPG", "second.jpeg"}));
}

TEST(CLivePrintModule, ACancelledOrShortPathSavesNothingAndAFailureIsShown)
{
    QTemporaryDir dir;
    FakeStillHost host;
    CLivePrintModule dialog(Still(352, 240), &host);
    host.answer = "ab";
    dialog.OnSave();
    EXPECT_EQ(host.counter, 1);
    host.answer = dir.filePath("no/such/folder/x.bmp");
    dialog.OnSave();
    EXPECT_EQ(host.counter, 1);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages.first().startsWith("NOTIFY: "));
}

TEST(CLivePrintModule, PrintsOneLandscapePageLivePrint)
{
    QTemporaryDir dir;
    FakeStillHost host;
    CLivePrintModule dialog(Still(640, 480), &host);
    dialog.OnPrint(); // no printer chosen: nothing happens
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    host.pdf = dir.filePath("page.pdf");
    dialog.OnPrint();
    const QByteArray pdf = ReadAll(host.pdf);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    const QRegularExpressionMatch box = QRegularExpression(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")
                                            .match(QString::fromLatin1(pdf.constData(), pdf.size()));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());
    QByteArray title; // the document name as the PDF writes it, UTF-16 big-endian
    for (char c : QByteArray("Live Print")) {
        title.append('\0').append(c);
    }
    EXPECT_TRUE(pdf.contains(title));
    EXPECT_TRUE(host.messages.isEmpty());
    const QMap<QString, QString> info = PdfInfo(host.pdf);
    EXPECT_EQ(info.value("Pages"), QStringLiteral("1")) << info.value("error").toStdString();
    EXPECT_EQ(info.value("Title"), QStringLiteral("Live Print"));
    const QRegularExpressionMatch size =
        QRegularExpression(R"(^([0-9.]+) x ([0-9.]+) pts)").match(info.value("Page size"));
    ASSERT_TRUE(size.hasMatch()) << info.value("Page size").toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()); // landscape
}

TEST(CLivePrintModule, ZoomedStillPreviewsThePannedRegionPulledInside)
{
    FakeStillHost host;
    StillRecord still = Still(640, 480);
    still.zoomX = still.zoomY = 2.0f;
    still.panX = 500;
    still.panY = 50;
    CLivePrintModule dialog(still, &host);
    EXPECT_EQ(dialog.SourceRegion(), QRect(320, 50, 320, 240));
}

TEST(CLivePrintModule, PreviewCarriesTheSkinsMarkBitmap)
{
    FakeStillHost host;
    CLivePrintModule dialog(Still(640, 480), &host);
    const QImage page = dialog.Page();
    const QImage mark = SkinBitmaps::Load(SkinBitmaps::kMark).toImage();
    ASSERT_EQ(mark.size(), QSize(59, 33));
    // The 640 x 480 box stands at (40, 0): the mark's corner is at its centre - 30, bottom - 60.
    const QPoint at(40 + 320 - 30, 480 - 60);
    const QRgb ground = qRgb(30, 90, 200);
    int blended = 0;
    int wrong = 0;
    for (int y = 0; y < mark.height(); ++y) {
        for (int x = 0; x < mark.width(); ++x) {
            const QRgb m = mark.pixel(x, y);
            QRgb expected = ground;
            if (qRed(m) == 0) {
                ++blended;
                expected = qRgb((30 * 180 + qRed(m) * 75) / 256, (90 * 180 + qGreen(m) * 75) / 256,
                                (200 * 180 + qBlue(m) * 75) / 256);
            }
            wrong += page.pixel(at + QPoint(x, y)) != expected;
        }
    }
    EXPECT_GT(blended, 100);
    EXPECT_EQ(wrong, 0);
}

} // namespace
