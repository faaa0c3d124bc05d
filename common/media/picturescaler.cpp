#include "common/media/picturescaler.h"

#include <QtGlobal>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

void PictureScaler::SwsDeleter::operator()(SwsContext* p) const
{
    sws_freeContext(p);
}

PictureScaler::PictureScaler() = default;
PictureScaler::~PictureScaler() = default;

void PictureScaler::Reset()
{
    m_context.reset();
}

bool PictureScaler::Prepare(const AVFrame& frame, int sourceRows, int targetWidth, int targetHeight,
                            int targetFormat)
{
    if (m_context && m_sourceWidth == frame.width && m_sourceRows == sourceRows && m_sourceFormat == frame.format
        && m_targetWidth == targetWidth && m_targetHeight == targetHeight && m_targetFormat == targetFormat)
        return true;
    m_context.reset(sws_getContext(frame.width, sourceRows, static_cast<AVPixelFormat>(frame.format), targetWidth,
                                   targetHeight, static_cast<AVPixelFormat>(targetFormat), SWS_FAST_BILINEAR,
                                   nullptr, nullptr, nullptr));
    if (!m_context)
        return false;
    m_sourceWidth = frame.width;
    m_sourceRows = sourceRows;
    m_sourceFormat = frame.format;
    m_targetWidth = targetWidth;
    m_targetHeight = targetHeight;
    m_targetFormat = targetFormat;
    m_brightness = 0;
    m_contrast = 0;
    return true;
}

// Brightness and contrast are percent offsets, handed to the scaler in 16.16 fixed point.
void PictureScaler::ApplyAdjust(int brightness, int contrast)
{
    if (brightness == m_brightness && contrast == m_contrast)
        return;
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceRange = 0, destinationRange = 0, usedBrightness = 0, usedContrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(m_context.get(), &inverseTable, &sourceRange, &table, &destinationRange,
                                 &usedBrightness, &usedContrast, &saturation)
        < 0)
        return;
    // The adjust panel gives -50 to 50; larger values would push the scaler's colour tables
    // beyond the room they are built with, so they are held to -100 to 100.
    usedBrightness = (qBound(-100, brightness, 100) * 65536 + 50) / 100;
    usedContrast = ((qBound(-100, contrast, 100) + 100) * 65536 + 50) / 100;
    sws_setColorspaceDetails(m_context.get(), inverseTable, sourceRange, table, destinationRange, usedBrightness,
                             usedContrast, saturation);
    m_brightness = brightness;
    m_contrast = contrast;
}

bool PictureScaler::Scale(const AVFrame& frame, int sourceRows, int targetWidth, int targetHeight,
                          int targetFormat, unsigned char* const targetPlanes[4], const int targetLinesizes[4],
                          int brightness, int contrast)
{
    if (sourceRows < 1 || sourceRows > frame.height || targetWidth < 1 || targetHeight < 1)
        return false;
    if (!Prepare(frame, sourceRows, targetWidth, targetHeight, targetFormat))
        return false;
    ApplyAdjust(brightness, contrast);
    return sws_scale(m_context.get(), frame.data, frame.linesize, 0, sourceRows, targetPlanes, targetLinesizes)
           == targetHeight;
}
