#include "playback/aviexportrules.h"

#include <QFileInfo>

#include <cmath>

namespace {

// Slots of each source rate 1 to 30, "0" the next real frame, "1" a repeat.
const char* const kRows[30] = {
    "011111111111111111111111111111", "011111111111111011111111111111", "011111111101111111110111111111",
    "011111101111111011111101111111", "011111011111011111011111011111", "011110111101111011110111101111",
    "011101110111011110111011101111", "011011101110111011011101110111", "011011011101101101110110110111",
    "011011011011011011011011011011", "010110110101101101011011010111", "010110101101011010110101101011",
    "010101011010101101010101101011", "010101010101011010101010101011", "010101010101010101010101010101",
    "001010100110011001010100110011", "001001100101010011001001100101", "001001001100100100110010010011",
    "001001001001001100100100100101", "001001001001001001001001001001", "000100010001001010001000100011",
    "000100010001000100010001000101", "000100010001000100010001000100", "000010000100001000010000100001",
    "000001000001000001000001000001", "000000010000000100000001000001", "000000000100000000010000000001",
    "000000000000001000000000000001", "000000000000000000000000000001", "000000000000000000000000000000",
};

} // namespace

QVector<bool> AviExportRules::FrameRateRow(int sourceRate)
{
    const char* row = kRows[qBound(1, sourceRate, 30) - 1];
    QVector<bool> repeats(kSlots);
    for (int i = 0; i < kSlots; ++i)
        repeats[i] = row[i] == '1';
    return repeats;
}

QSize AviExportRules::OutputSize(const QSize& picture)
{
    const int width = picture.width();
    if (width >= 1920 && width <= 1999)
        return QSize(1920, 1080);
    int height = picture.height() & ~1;
    if (height < width / 2)
        height *= 2;
    return QSize(width, height);
}

void AviExportRules::ApplyWatermark(QImage& frame, const QImage& mark)
{
    if (frame.isNull() || mark.isNull())
        return;
    frame = frame.convertToFormat(QImage::Format_RGB32);
    const QImage m = mark.convertToFormat(QImage::Format_RGB32);
    const int left = frame.width() / 2 - 30;
    const int top = frame.height() - 60;
    for (int y = 0; y < m.height(); ++y) {
        const int fy = top + y;
        if (fy < 0 || fy >= frame.height())
            continue;
        const QRgb* markRow = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        QRgb* row = reinterpret_cast<QRgb*>(frame.scanLine(fy));
        for (int x = 0; x < m.width(); ++x) {
            const int fx = left + x;
            if (fx < 0 || fx >= frame.width() || qRed(markRow[x]) != 0)
                continue;
            const QRgb f = row[fx];
            const QRgb k = markRow[x];
            row[fx] = qRgb((qRed(f) * 180 + qRed(k) * 75) / 256, (qGreen(f) * 180 + qGreen(k) * 75) / 256,
                           (qBlue(f) * 180 + qBlue(k) * 75) / 256);
        }
    }
}

QString AviExportRules::AviPath(const QString& chosen)
{
    const int slash = chosen.lastIndexOf(QLatin1Char('/'));
    QString path = chosen.left(slash + 1) + chosen.mid(slash + 1).toLower();
    if (!path.endsWith(QLatin1String(".avi")))
        path += QStringLiteral(".avi");
    return path;
}

QString AviExportRules::DefaultName(const QString& folder, const QDateTime& now)
{
    return folder + QLatin1Char('/') + now.toString(QStringLiteral("yyyyMMdd_hhmmss"));
}

int AviExportRules::Progress(qint64 position, qint64 start, qint64 end)
{
    if (end <= start)
        return 100;
    const qint64 done = qBound<qint64>(0, position - start, end - start);
    return int(done * 100 / (end - start));
}

int AviExportRules::EntryModeRate(const QVector<int>& codes, bool fiftyFields)
{
    // The codes are times between frames, not rates: their average is the frame interval, so
    // the file plays as long as the recording lasts. A code of 0 carries no interval (the first
    // frame, or one that came with the frame before it) and is left out of the average.
    qint64 sum = 0;
    int intervals = 0;
    for (int code : codes) {
        if (code >= 1) {
            sum += code;
            ++intervals;
        }
    }
    if (intervals == 0)
        return 0;
    const double fieldRate = fiftyFields ? 50.0 : 59.94;
    return qMax(1, int(std::lround(fieldRate * intervals / double(sum))));
}

QString AviExportRules::Mp4Path(const QString& aviPath)
{
    return aviPath.left(aviPath.size() - 3) + QStringLiteral("mp4");
}

QStringList AviExportRules::Mp4Arguments(const QString& aviPath, const QString& outputPath)
{
    return {QStringLiteral("-nostdin"),
            QStringLiteral("-y"),
            QStringLiteral("-i"),
            aviPath,
            QStringLiteral("-c:v"),
            QStringLiteral("libx264"),
            QStringLiteral("-crf"),
            QStringLiteral("19"),
            QStringLiteral("-preset"),
            QStringLiteral("fast"),
            QStringLiteral("-c:a"),
            QStringLiteral("aac"),
            QStringLiteral("-b:a"),
            QStringLiteral("192k"),
            QStringLiteral("-ac"),
            QStringLiteral("2"),
            QStringLiteral("-f"),
            QStringLiteral("mp4"),
            outputPath};
}
