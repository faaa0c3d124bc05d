#pragma once
// One libswscale context kept between pictures: it is made again only when the source size,
// the source pixel format, the target size or the target format change, and it carries the
// brightness and contrast offsets of the adjust panel (percent, -100 to 100).
#include <memory>

struct AVFrame;
struct SwsContext;

class PictureScaler
{
public:
    PictureScaler();
    ~PictureScaler();
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    // Scales the top `sourceRows` rows of the frame into the planes given (target format an
    // AVPixelFormat). False when the context cannot be made or the scaler writes fewer rows.
    bool Scale(const AVFrame& frame, int sourceRows, int targetWidth, int targetHeight, int targetFormat,
               unsigned char* const targetPlanes[4], const int targetLinesizes[4], int brightness, int contrast);
    void Reset();

private:
    struct SwsDeleter
    {
        void operator()(SwsContext* p) const;
    };
    bool Prepare(const AVFrame& frame, int sourceRows, int targetWidth, int targetHeight, int targetFormat);
    void ApplyAdjust(int brightness, int contrast);

    std::unique_ptr<SwsContext, SwsDeleter> m_context;
    int m_sourceWidth = 0;
    int m_sourceRows = 0;
    int m_sourceFormat = -1;
    int m_targetWidth = 0;
    int m_targetHeight = 0;
    int m_targetFormat = -1;
    int m_brightness = 0; // what the context was set for
    int m_contrast = 0;
};
