#pragma once
// Writes a still as JPEG (quality 100) or BMP under a temporary name, renamed over the chosen file
// only when the picture is whole; a failed write leaves any earlier file as it was.
#include <QImage>
#include <QString>

class StillFile
{
public:
    // An empty text on success, else why nothing was written.
    static QString Save(const QImage& page, const QString& path);
};
