#pragma once
// The still page without a window: checks a still, places its picture box, picks the zoomed and
// panned region, blends the mark, writes the caption block and proposes file names. The print and
// save dialog only shows and hands on what this makes.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// The labels and values of the caption block under the picture.
struct StillCaption
{
    QString recorderLabel;
    QString recorderName;
    QString cameraLabel;
    QString cameraName;
    QString inputLabel;
    QString cameraNumber;
    QString addressLabel;
    QString address;
    QString dateTimeLabel;
    QString dateTime;
};

class StillComposer
{
public:
    // The preview area: the 640 x 480 box beside margins, over the 80-pixel caption band.
    static constexpr int kPreviewWidth = 720;
    static constexpr int kPreviewHeight = 560;
    static constexpr int kCaptionBand = 80;
    static constexpr int kRightColumn = 350; // left edge of the caption's right column

    // 0 when usable, else -1 (no width or height), -2 (no bits), -3 (no picture), -4 (no size).
    static int Validate(int width, int height, int bitsPerPixel, bool hasPicture, qint64 size);
    // 320 x 240, or 640 x 480 for pictures wider than 400, centred above the caption band.
    static QRect PictureBox(const QSize& area, int pictureWidth);
    // The whole picture unless a zoom is above 1.0; the pan offsets are pulled back so that the
    // region stays inside the picture.
    static QRect SourceRegion(int width, int height, float zoomX, float zoomY, int* panX, int* panY);
    // (picture x 180 + mark x 75) / 256 per channel where the mark's red is 0.
    static void BlendMark(QImage* page, const QImage& mark, const QPoint& at);
    // The whole preview: white, the stretched region in its box, the mark (the skin's mark
    // bitmap; none when null) and the caption block.
    static QImage Compose(const QImage& picture, const QRect& region, const StillCaption& caption,
                          const QImage& mark, const QString& fontFamily = QString());

    // "%03d name(camera)" in the folder (or alone without one); separators and characters no file
    // name may hold are left out of the two names.
    static QString DefaultFileName(const QString& folder, int counter, const QString& recorderName,
                                   const QString& cameraName);
    // JPEG when the last three characters are "jpg" in any case, else BMP.
    static bool IsJpegPath(const QString& path);
};
