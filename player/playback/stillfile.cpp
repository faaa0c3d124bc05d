#include "playback/stillfile.h"

#include "playback/stillcomposer.h"

#include <QImageWriter>
#include <QSaveFile>

QString StillFile::Save(const QImage& page, const QString& path)
{
    if (page.isNull()) {
        return QStringLiteral("There is no picture to save.");
    }
    const bool jpeg = StillComposer::IsJpegPath(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    QImageWriter writer(&file, jpeg ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("bmp"));
    if (jpeg) {
        writer.setQuality(100);
    }
    if (!writer.write(page.convertToFormat(QImage::Format_RGB888))) {
        file.cancelWriting();
        return writer.errorString();
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return QString();
}
