#include "console/support/consolestream.h"

#include <QFile>
#include <QSaveFile>

#include "common/support/decoder_streams.h"

namespace consolestream {

QString RecorderStream(int width, int height, QString* error)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(width, height, 30, 10, true);
    if (!stream.error.isEmpty()) {
        *error = stream.error;
        return QString();
    }
    const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                              decoder_streams::Numbering::FrameNum10);
    if (units.isEmpty()) {
        *error = QStringLiteral("the stream could not be renumbered");
        return QString();
    }
    const QString path = decoder_streams::FixtureFolder()
                         + QStringLiteral("/console_%1x%2_frame10.264").arg(width).arg(height);
    if (QFile::exists(path))
        return path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return QString();
    }
    for (const QByteArray& unit : units)
        file.write(unit);
    if (!file.commit()) {
        *error = file.errorString();
        return QString();
    }
    return path;
}

} // namespace consolestream
