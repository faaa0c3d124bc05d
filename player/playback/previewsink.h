#pragma once
// Where a tile's slider previews go: the preview dialogs with decoder contexts of their own (a
// preview never decodes into a tile's contexts). Called from the preview reader's thread.
#include <QString>
#include <QtGlobal>

class PreviewSink
{
public:
    virtual ~PreviewSink() = default;
    // Decodes a frame for preview 0..9 (the data may be rewritten in place); the size result of
    // the video engine (width x 1000 + height), 0 or less for none.
    virtual int DecodePreview(int preview, quint8* data, int length) = 0;
    // The preview's picture is ready (width and height 0: no picture) with its caption.
    virtual void ShowPreview(int preview, int width, int height, const QString& caption) = 0;
};
