#include "shell/cameoosd.h"

#include <QPainter>
#include <QStringList>
#include <QtMath>

#include <algorithm>

QString CameoOsd::PlaybackText(PlaybackControl state, int speed)
{
    switch (state) {
    case PlaybackControl::Forward: return QStringLiteral(">");
    case PlaybackControl::Backward: return QStringLiteral("<");
    case PlaybackControl::Pause: return QStringLiteral("||");
    case PlaybackControl::FastForward: return QString::asprintf("x%d >>", speed);
    case PlaybackControl::FastBackward: return QString::asprintf("x%d <<", speed);
    default: return QString();
    }
}

namespace {

// The left text's lines, each cut to leave a gap before the right text's line of the same row
// (the right-hand text keeps its room: the date and time must stay readable).
QString FitBeside(const QString& left, const QString& right, const QFontMetrics& metrics, int width)
{
    constexpr int kGap = 6;
    QStringList leftLines = left.split(QLatin1Char('\n'));
    const QStringList rightLines = right.split(QLatin1Char('\n'));
    for (int i = 0; i < leftLines.size(); ++i) {
        const QString other = i < rightLines.size() ? rightLines[i] : QString();
        const int room = width - (other.trimmed().isEmpty() ? 0 : metrics.horizontalAdvance(other) + kGap);
        if (metrics.horizontalAdvance(leftLines[i]) > room)
            leftLines[i] = metrics.elidedText(leftLines[i], Qt::ElideRight, qMax(0, room));
    }
    return leftLines.join(QLatin1Char('\n'));
}

// The bottom corners are aligned to the bottom: their last lines share a row.
QString FitBesideFromBottom(const QString& left, const QString& right, const QFontMetrics& metrics, int width)
{
    QStringList leftLines = left.split(QLatin1Char('\n'));
    QStringList rightLines = right.split(QLatin1Char('\n'));
    std::reverse(leftLines.begin(), leftLines.end());
    std::reverse(rightLines.begin(), rightLines.end());
    QStringList fitted = FitBeside(leftLines.join(QLatin1Char('\n')), rightLines.join(QLatin1Char('\n')), metrics,
                                   width)
                             .split(QLatin1Char('\n'));
    std::reverse(fitted.begin(), fitted.end());
    return fitted.join(QLatin1Char('\n'));
}

} // namespace

void CameoOsd::FitCorners(CameoOsdTexts& texts, const QFontMetrics& metrics, int width)
{
    if (width < 1)
        return;
    texts.topLeft = FitBeside(texts.topLeft, texts.topRight, metrics, width);
    texts.bottomLeft = FitBesideFromBottom(texts.bottomLeft, texts.bottomRight, metrics, width);
}

CameoOsdTexts CameoOsd::BuildTexts(const CameoOsdInput& in)
{
    CameoOsdTexts t;
    const bool showNumber = in.flags.IsOn(OsdFlag::CameoNumber) && !in.emap;
    QString date;
    QString time;
    QString fpsText;

    switch (in.source) {
    case CameoOsdInput::Source::Unbound:
        if (showNumber)
            t.topLeft = QString::asprintf("%02d", in.cell + 1);
        t.blankPicture = true;
        break;
    case CameoOsdInput::Source::Online:
        if (showNumber)
            t.topLeft = QString::asprintf("%02d ", in.cell + 1);
        if (in.flags.IsOn(OsdFlag::CameraName))
            t.topLeft += in.cameraTitle;
        t.bottomLeft = in.dvrName;
        if (in.kind == CameoKind::Playback)
            t.bottomRight = PlaybackText(in.playbackState, in.speed);
        else if (in.ptz)
            t.bottomRight = QStringLiteral("PTZ");
        break;
    case CameoOsdInput::Source::Local:
        if (showNumber)
            t.topLeft = QString::asprintf("%02d ", in.cell + 1);
        t.topLeft += QString::asprintf("C%02d", in.channel + 1);
        t.bottomLeft = in.localDataFile;
        t.bottomRight = PlaybackText(in.playbackState, in.speed);
        break;
    }

    if (in.source == CameoOsdInput::Source::Online) {
        t.fps = qBound(1, in.fps, 30);
        fpsText = QString::asprintf("FPS - %02d", t.fps);
        if (in.recording)
            t.record = QStringLiteral("REC");
        if (in.videoLoss) {
            t.event = QStringLiteral("Video loss");
            t.blankPicture = true;
        } else {
            if (in.sensor)
                t.event = QStringLiteral("Sensor");
            if (in.motion)
                t.event += in.sensor ? QStringLiteral(" & Motion") : QStringLiteral("Motion");
        }
        if (in.frozen)
            t.topLeft += QStringLiteral(" - F");
        if (in.audio)
            t.topLeft += in.audioIsThisChannel ? QStringLiteral("\n((A))") : QStringLiteral("\nA");
    }

    if (in.source != CameoOsdInput::Source::Unbound) {
        if (in.osdDate >= 1 && in.cellWidth >= 121) {
            date = QString::asprintf("%02d/%02d/%04d", (in.osdDate / 100) % 100, in.osdDate % 100,
                                     in.osdDate / 10000);
            time = QString::asprintf("%02d:%02d:%02d", in.osdTime / 10000, (in.osdTime / 100) % 100,
                                     in.osdTime % 100);
        } else {
            fpsText.clear();
        }
    }

    // What the display flags switch off.
    if (!in.flags.IsOn(OsdFlag::Event))
        t.event.clear();
    if (!in.flags.IsOn(OsdFlag::Time))
        time.clear();
    if (!in.fpsOsd)
        fpsText.clear();
    t.topRight = in.flags.IsOn(OsdFlag::Date) ? date + QLatin1Char('\n') + time : time;
    t.topRight += QLatin1Char('\n') + fpsText;
    if (!in.flags.IsOn(OsdFlag::DvrName))
        t.bottomLeft.clear();
    return t;
}

QImage CameoOsd::RenderPicture(const QImage& picture, int width, int height, bool online, int formatCode,
                               float zoom, int& panX, int& panY, QPoint& offset)
{
    offset = QPoint(0, 0);
    if (width < 1 || height < 1 || picture.isNull())
        return QImage();
    const int ratioW = formatCode < 5 ? 4 : 16;
    const int ratioH = formatCode < 5 ? 3 : 9;

    if (zoom == 1.0f) {
        panX = 0;
        panY = 0;
        const QRect fit = FitRect(width, height, online, formatCode);
        offset = fit.topLeft();
        return picture.scaled(fit.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (zoom <= 0.0f)
        return QImage();

    // Digital zoom: build a canvas with the cell's aspect so that the margins of the fitted
    // picture zoom with it, then cut the panned region out of it.
    QImage canvas = picture;
    double marginX = 0.0;
    double marginY = 0.0;
    double displayW = width;
    double displayH = height;
    if (online) {
        displayH = width * double(ratioH) / ratioW;
        if (displayH > height) {
            displayH = height;
            displayW = height * double(ratioW) / ratioH;
        }
        const int picW = picture.width();
        const int formatH = qMax(1, int(picW * double(ratioH) / ratioW));
        const double unit = picW / displayW; // picture pixels per cell pixel
        marginX = (width - displayW) / 2.0 * unit;
        marginY = (height - displayH) / 2.0 * unit;
        canvas = QImage(picW + int(2 * marginX), formatH + int(2 * marginY), QImage::Format_RGB888);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        p.drawImage(int(marginX), int(marginY),
                    picture.scaled(picW, formatH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    const int regionW = qMax(1, int(canvas.width() / zoom));
    const int regionH = qMax(1, int(canvas.height() / zoom));

    auto place = [](int& pan, int canvasSize, int region, double margin, bool narrower) {
        const int lo = int(margin);
        const int hi = canvasSize - region - int(margin);
        if (narrower || hi < lo)
            pan = (canvasSize - region) / 2;
        else
            pan = qBound(lo, pan, hi);
    };
    place(panX, canvas.width(), regionW, marginX, displayW * zoom < width);
    place(panY, canvas.height(), regionH, marginY, displayH * zoom < height);
    return canvas.copy(panX, panY, regionW, regionH)
        .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int CameoOsd::RepaintInterval(int split, bool emap)
{
    if (emap)
        return 250;
    switch (split) {
    case 1: return 33;
    case 4: return 66;
    case 9: return 99;
    case 16: return 120;
    default: return 250;
    }
}

QRect CameoOsd::FitRect(int width, int height, bool online, int formatCode)
{
    if (width < 1 || height < 1)
        return QRect();
    if (!online)
        return QRect(0, 0, width, height);
    const int ratioW = formatCode < 5 ? 4 : 16;
    const int ratioH = formatCode < 5 ? 3 : 9;
    const int h = (width / ratioW) * ratioH;
    if (h <= height)
        return QRect(0, (height - h) / 2, width, h);
    const int w = (height / ratioH) * ratioW;
    return QRect((width - w) / 2, 0, w, height);
}

int CameoOsd::FormatCodeOf(const QSize& picture)
{
    if (picture.width() < 1 || picture.height() < 1)
        return kFourToThree;
    // Halfway between 4:3 and 16:9 is 14:9 (about 1.56): w / h >= 14 / 9.
    return qint64(picture.width()) * 9 >= qint64(picture.height()) * 14 ? kSixteenToNine : kFourToThree;
}

int CameoOsd::RedrawInterval(int split, bool emap)
{
    if (emap)
        return 250;
    switch (split) {
    case 1: return 33;
    case 4: return 66;
    case 9: return 120;
    default: return 250;
    }
}

int CameoOsd::IntegerSqrt(int value)
{
    if (value < 1)
        return 0;
    int n = int(std::sqrt(double(value)));
    while (n * n > value)
        --n;
    while ((n + 1) * (n + 1) <= value)
        ++n;
    return n;
}
