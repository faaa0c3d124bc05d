#include "playback/stillcomposer.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

int StillComposer::Validate(int width, int height, int bitsPerPixel, bool hasPicture, qint64 size)
{
    if (width <= 0 || height <= 0) {
        return -1;
    }
    if (bitsPerPixel <= 0) {
        return -2;
    }
    if (!hasPicture) {
        return -3;
    }
    if (size <= 0) {
        return -4;
    }
    return 0;
}

QRect StillComposer::PictureBox(const QSize& area, int pictureWidth)
{
    const QSize box = pictureWidth > 400 ? QSize(640, 480) : QSize(320, 240);
    const int usableHeight = area.height() - kCaptionBand;
    return QRect((area.width() - box.width()) / 2, (usableHeight - box.height()) / 2, box.width(), box.height());
}

QRect StillComposer::SourceRegion(int width, int height, float zoomX, float zoomY, int* panX, int* panY)
{
    if (zoomX <= 1.0f && zoomY <= 1.0f) {
        return QRect(0, 0, width, height);
    }
    const int spanX = std::max(1, std::min(width, int(width / std::max(zoomX, 1.0f))));
    const int spanY = std::max(1, std::min(height, int(height / std::max(zoomY, 1.0f))));
    *panX = std::clamp(*panX, 0, width - spanX);
    *panY = std::clamp(*panY, 0, height - spanY);
    return QRect(*panX, *panY, spanX, spanY);
}

void StillComposer::BlendMark(QImage* page, const QImage& mark, const QPoint& at)
{
    for (int y = 0; y < mark.height(); ++y) {
        const int py = at.y() + y;
        if (py < 0 || py >= page->height()) {
            continue;
        }
        for (int x = 0; x < mark.width(); ++x) {
            const int px = at.x() + x;
            const QRgb m = mark.pixel(x, y);
            if (px < 0 || px >= page->width() || qRed(m) != 0) {
                continue;
            }
            const QRgb p = page->pixel(px, py);
            page->setPixel(px, py,
                           qRgb((qRed(p) * 180 + qRed(m) * 75) / 256, (qGreen(p) * 180 + qGreen(m) * 75) / 256,
                                (qBlue(p) * 180 + qBlue(m) * 75) / 256));
        }
    }
}

QImage StillComposer::Compose(const QImage& picture, const QRect& region, const StillCaption& caption,
                              const QImage& mark, const QString& fontFamily)
{
    QImage page(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QRect box = PictureBox(page.size(), picture.width());
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(box, picture, region);
    }
    BlendMark(&page, mark, QPoint(box.left() + box.width() / 2 - 30, box.top() + box.height() - 60));

    QPainter painter(&page);
    QFont font(fontFamily.isEmpty() ? painter.font().family() : fontFamily);
    font.setBold(true);
    font.setPixelSize(17);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int band = kPreviewHeight - kCaptionBand;
    // Values stand 130 pixels right of their labels; a label wider than that (the face at hand
    // may be wider than the one the layout was made for) is shown whole and pushes its value on,
    // both kept inside their column.
    const QFontMetrics metrics(font);
    auto row = [&](int x, int line, const QString& label, const QString& value) {
        const int top = band + 10 + 20 * line;
        const int columnEnd = x < kRightColumn ? kRightColumn - 10 : page.width() - 10;
        const QString text = QStringLiteral("%1 :").arg(label);
        const int labelWidth = std::min(metrics.horizontalAdvance(text), columnEnd - x);
        const int valueX = x + std::max(130, labelWidth + metrics.horizontalAdvance(QLatin1Char(' ')));
        painter.drawText(QRect(x, top, std::max(130, labelWidth), 20), Qt::AlignLeft | Qt::AlignTop, text);
        if (valueX < columnEnd)
            painter.drawText(QRect(valueX, top, columnEnd - valueX, 20), Qt::AlignLeft | Qt::AlignTop, value);
    };
    row(10, 0, caption.recorderLabel, caption.recorderName);
    row(10, 1, caption.cameraLabel, caption.cameraName);
    row(10, 2, caption.inputLabel, caption.cameraNumber);
    row(kRightColumn, 0, caption.addressLabel, caption.address);
    row(kRightColumn, 1, caption.dateTimeLabel, caption.dateTime);
    return page;
}

namespace {

QString FileNamePart(const QString& text)
{
    static const QString kRefused = QStringLiteral("\\/:*?\"<>|");
    QString kept;
    for (QChar c : text) {
        if (!kRefused.contains(c) && c.unicode() >= 0x20) {
            kept.append(c);
        }
    }
    return kept;
}

} // namespace

QString StillComposer::DefaultFileName(const QString& folder, int counter, const QString& recorderName,
                                       const QString& cameraName)
{
    const QString name = QStringLiteral("%1 %2(%3)")
                             .arg(counter, 3, 10, QLatin1Char('0'))
                             .arg(FileNamePart(recorderName), FileNamePart(cameraName));
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

bool StillComposer::IsJpegPath(const QString& path)
{
    return path.right(3).compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0;
}
